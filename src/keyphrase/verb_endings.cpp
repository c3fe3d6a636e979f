#include "verb_endings.h"

#include <array>
#include <atomic>
#include <string_view>

#include "kezo/tagger.h"

namespace kezo::keyphrase {
namespace {

// The model of lang, or null. A model once loaded stays for the rest of the process (load_tagger
// keeps it), so it is remembered here and later calls cost one atomic load; without one, the
// directory is asked again each time (a model may arrive with a directory set later).
const Tagger* tagger_of(Language lang) {
    static std::array<std::atomic<const Tagger*>, kLanguageCount + 1> known{};
    const auto index = static_cast<std::size_t>(lang);
    if (index == 0 || index > kLanguageCount) return nullptr;
    if (const Tagger* tagger = known[index].load(std::memory_order_acquire)) return tagger;
    if (tagger_directory().empty() || !has_tagger(lang)) return nullptr;
    try {
        const Tagger* tagger = load_tagger(lang).get();
        known[index].store(tagger, std::memory_order_release);
        return tagger;
    } catch (const TaggerModelError&) {
        return nullptr;  // a damaged model costs the filter, never the extraction
    }
}

}  // namespace

std::vector<char> phrases_not_ending_in_verbs(const Candidates& c, Language lang) {
    std::vector<char> offered;
    if (lang == Language::Chinese || lang == Language::Japanese) return offered;
    const Tagger* tagger = tagger_of(lang);
    if (tagger == nullptr) return offered;
    constexpr std::size_t kMaxRun = 256;
    const std::vector<Word>& words = c.words.words;
    std::vector<bool> verb(words.size(), false);
    std::vector<std::string_view> run;
    std::vector<Upos> tags;
    std::size_t first = 0;
    for (std::size_t i = 0; i <= words.size(); ++i) {
        if (i < words.size() && (i == first || (!words[i].sentence_start && i - first < kMaxRun)))
            continue;
        run.clear();
        for (std::size_t k = first; k < i; ++k)
            run.push_back(c.text.substr(words[k].begin, words[k].bytes));
        // The scan keeps no punctuation, but the tagger learnt sentences that end in a mark: a
        // last word reads as a verb or a noun by it.
        run.push_back(".");
        tagger->tag(run, &tags);
        for (std::size_t k = 0; k + 1 < tags.size(); ++k)
            verb[first + k] = tags[k] == Upos::VERB || tags[k] == Upos::AUX;
        first = i;
    }
    // Judged by most of a phrase's occurrences: a tagger that misreads one sentence does not
    // drop a phrase the rest of the text uses as a name.
    std::vector<std::uint32_t> verb_final(c.phrases.size(), 0);
    for (const Occurrence& o : c.occurrences) {
        const std::size_t last = std::size_t{o.start} + c.phrases[o.phrase].terms.size() - 1;
        verb_final[o.phrase] += last < verb.size() && verb[last];
    }
    offered.assign(c.phrases.size(), 1);
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        const Phrase& phrase = c.phrases[p];
        if (phrase.terms.size() >= 2 && 2 * verb_final[p] > phrase.count) offered[p] = 0;
    }
    return offered;
}

}  // namespace kezo::keyphrase
