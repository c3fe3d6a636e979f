// Prints the features of every candidate phrase of the documents named on standard input, one
// per line, for bench/keyphrase_fit.py. Usage: keyphrase_features LANGUAGE_VALUE < paths
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "candidates.h"
#include "phrase_features.h"
#include "words.h"

using namespace kezo;
using namespace kezo::keyphrase;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: keyphrase_features LANGUAGE_VALUE < list of document paths\n";
        return 2;
    }
    const auto lang = static_cast<Language>(std::stoul(argv[1]));
    std::cout << "doc\tphrase";
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
        const Candidates c = build_candidates(doc, scan_words(doc, scan), options);
        const std::vector<FeatureRow> rows = phrase_features(c, lang);
        for (std::size_t p = 0; p < rows.size(); ++p) {
            const Phrase& phrase = c.phrases[p];
            std::cout << path << '\t';
            for (std::size_t k = 0; k < phrase.terms.size(); ++k)
                std::cout << (k ? " " : "") << c.words.lower(phrase.first_word + k);
            for (double value : rows[p]) std::cout << '\t' << value;
            std::cout << '\n';
        }
    }
    return 0;
}
