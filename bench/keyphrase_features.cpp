// Prints the features of every candidate phrase of the documents named on standard input, one
// line per phrase and window, for bench/keyphrase_fit.py: the document, the window's number and
// the number of windows, the phrase's stem key (the same in every window) and its words. With
// KEZO_TAGGER_DIRECTORY naming the part-of-speech models (python/kezo/data/tagger), candidates
// are noun phrases, as kezo.extract has them; without it, stopword-bounded as in kezo_native.
// Usage: keyphrase_features LANGUAGE_VALUE [CONTENT_WORDS_PER_WINDOW] < paths
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "candidates.h"
#include "kezo/tagger.h"
#include "noun_phrases.h"
#include "phrase_features.h"
#include "scoring.h"
#include "windows.h"
#include "words.h"

using namespace kezo;
using namespace kezo::keyphrase;

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: keyphrase_features LANGUAGE_VALUE [CONTENT_WORDS] < document paths\n";
        return 2;
    }
    const auto lang = static_cast<Language>(std::stoul(argv[1]));
    if (const char* models = std::getenv("KEZO_TAGGER_DIRECTORY")) set_tagger_directory(models);
    WindowOptions windows;
    if (argc == 3) windows.content_words = static_cast<std::uint32_t>(std::stoul(argv[2]));
    std::cout << "doc\twindow\twindows\tkey\tphrase";
    for (const char* name : kFeatureNames) std::cout << '\t' << name;
    std::cout << '\n';
    std::string path;
    while (std::getline(std::cin, path)) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ScanOptions scan;
        scan.language = lang;
        CandidateOptions options;
        options.language = lang;
        const std::string doc = text.str();
        Words words = scan_words(doc, scan);
        words.nominal = noun_phrase_words(doc, words, lang);
        const Candidates whole = build_candidates(doc, std::move(words), options);
        const auto ranges = window_ranges(whole, windows);
        std::vector<std::uint32_t> scratch;
        for (std::size_t k = 0; k < ranges.size(); ++k) {
            // A document too short to cut is scored whole: its rows are the document's own.
            Candidates window;
            if (ranges.size() > 1)
                window =
                    window_candidates(whole, ranges[k].first, ranges[k].second, options, &scratch);
            const Candidates& c = ranges.size() > 1 ? window : whole;
            const std::vector<FeatureRow> rows = phrase_features(c, lang);
            for (std::size_t p = 0; p < rows.size(); ++p) {
                const Phrase& phrase = c.phrases[p];
                if (!is_offered(phrase)) continue;
                std::cout << path << '\t' << k << '\t' << ranges.size() << '\t'
                          << phrase_stem_key(c, phrase) << '\t';
                for (std::size_t j = 0; j < phrase.terms().size(); ++j)
                    std::cout << (j ? " " : "") << c.words.lower(phrase.first_word + j);
                for (double value : rows[p]) std::cout << '\t' << value;
                std::cout << '\n';
            }
        }
    }
    return 0;
}
