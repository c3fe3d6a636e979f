// Candidate phrase features.
#include "phrase_features.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "context_words.h"

namespace kezo::keyphrase {

const char* const kFeatureNames[kFeatureCount] = {
    "bias",
    "length",
    "one_word",
    "three_words",
    "four_words",
    "one_word_by_l",
    "three_words_by_l",
    "four_words_by_l",
    "connector",
    "word_chars",
    "word_chars_by_l",
    "log_count",
    "log_count_by_l",
    "once",
    "one_word_by_log_count",
    "log_first",
    "log_first_by_l",
    "first_share",
    "in_title",
    "in_title_by_l",
    "maximal",
    "maximal_by_l",
    "recurring_unit",
    "capitalised",
    "capitalised_by_l",
    "one_word_by_capitalised",
    "all_caps",
    "after_opener",
    "before_auxiliary",
    "before_determiner",
    "last_ing",
    "last_ed",
    "first_ed",
    "adverb",
};

namespace {

bool ends_with(std::string_view word, std::string_view suffix) {
    return word.size() > suffix.size() + 2 &&
           word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::size_t code_points(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char b : text) count += (b & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

bool is_adverb(Language lang, std::string_view word) {
    switch (lang) {
        case Language::Auto:
        case Language::English:
            return ends_with(word, "ly");
        case Language::French:
            return ends_with(word, "ment");
        case Language::Portuguese:
        case Language::Spanish:
        case Language::Italian:
            return ends_with(word, "mente");
        default:
            return false;
    }
}

}  // namespace

void for_each_phrase_features(const Candidates& c, Language lang,
                              const std::function<void(std::size_t, const FeatureRow&)>& use) {
    const std::vector<Word>& words = c.words.words;
    const auto lower = [&](std::size_t i) { return c.words.lower(i); };
    const std::size_t n = words.size();
    const auto content = [&](std::size_t i) {
        const std::uint32_t t = c.term_of(i);
        // A name's article ("The" of "The Wall Street Journal") cuts no phrase it stands by.
        return t != kNoTerm && !c.terms[t].connector && c.words.in_phrases(i) &&
               !c.words.is_name_article(i);
    };

    // Per phrase: occurrences that are maximal runs, and the neighbours seen.
    struct Counts {
        double maximal = 0, opener = 0, auxiliary = 0, determiner = 0;
    };
    std::vector<Counts> counts(c.phrases.size());
    const ContextWords& context = context_words(lang);
    // Which lists each form is on, looked up once per form asked about: the same few function
    // words stand beside most occurrences. Bit 0 unknown yet, then opener, auxiliary, determiner.
    constexpr std::uint8_t kUnknown = 1, kOpener = 2, kAuxiliary = 4, kDeterminer = 8;
    std::vector<std::uint8_t> listed(c.words.forms.size(), kUnknown);
    const auto lists_of = [&](std::size_t i) {
        std::uint8_t& known = listed[words[i].form];
        if (known == kUnknown) {
            const std::string_view form = lower(i);
            known =
                static_cast<std::uint8_t>((context.openers.contains(form) ? kOpener : 0) |
                                          (context.auxiliaries.contains(form) ? kAuxiliary : 0) |
                                          (context.determiners.contains(form) ? kDeterminer : 0));
        }
        return known;
    };
    for_each_occurrence(c, [&](const Occurrence& o) {
        const std::size_t start = o.start;
        const std::size_t end = start + c.phrases[o.phrase].size;
        const std::uint32_t segment = words[start].segment;
        const bool left_inside = start > 0 && words[start - 1].segment == segment;
        const bool right_inside = end < n && words[end].segment == segment;
        Counts& k = counts[o.phrase];
        if ((!left_inside || !content(start - 1)) && (!right_inside || !content(end)))
            k.maximal += 1;
        if (left_inside && (lists_of(start - 1) & kOpener) != 0) k.opener += 1;
        if (right_inside) {
            const std::uint8_t after = lists_of(end);
            if ((after & kAuxiliary) != 0) k.auxiliary += 1;
            if ((after & kDeterminer) != 0) k.determiner += 1;
        }
    });

    // The commonest phrase that extends each phrase by one word at either end.
    std::vector<double> extension(c.phrases.size(), 0.0);
    std::vector<std::uint32_t> terms;
    for (const Phrase& q : c.phrases) {
        const std::size_t size = q.size;
        if (size < 2) continue;
        const PhraseTerms run = c.phrase_terms(q);
        terms.assign(run.begin(), run.end());
        for (const std::size_t from : {std::size_t{0}, std::size_t{1}}) {
            const std::uint32_t found = c.find_phrase(terms.data() + from, size - 1);
            if (found != kNoTerm) extension[found] = std::max<double>(extension[found], q.count);
        }
    }

    const double content_words = std::max<double>(c.content_words, 1.0);
    const double length = std::log(std::clamp(content_words, 10.0, 5000.0));
    const bool english = lang == Language::English || lang == Language::Auto;
    FeatureRow f;
    for (std::size_t p = 0; p < c.phrases.size(); ++p) {
        const Phrase& phrase = c.phrases[p];
        f.fill(0.0);
        const double count = phrase.count;
        const double size = phrase.content_words();
        bool capitalised = false, all_caps = false, adverb = false;
        double chars = 0.0;
        for (std::size_t k = 0; k < phrase.size; ++k) {
            const Word& w = words[phrase.first_word + k];
            if (c.terms[c.term_of(phrase.first_word + k)].connector) continue;
            chars += static_cast<double>(code_points(c.words.lower(w)));
            capitalised = capitalised || (w.capitalised && w.shows_case);
            all_caps = all_caps || w.all_caps;
            adverb = adverb || is_adverb(lang, c.words.lower(w));
        }
        const std::string_view first = lower(phrase.first_word);
        const std::string_view last = lower(phrase.first_word + phrase.size - 1);
        const double log_count = std::log(count);
        const double log_first = std::log(1.0 + phrase.first_content);
        const double word_chars = std::log(std::max(chars / size, 1.0));
        const double in_title = words[phrase.first_word].first_sentence ? 1.0 : 0.0;
        const double maximal = counts[p].maximal / count;

        f[kBias] = 1.0;
        f[kLength] = length;
        f[kOneWord] = size == 1 ? 1.0 : 0.0;
        f[kThreeWords] = size == 3 ? 1.0 : 0.0;
        f[kFourWords] = size >= 4 ? 1.0 : 0.0;
        f[kOneWordByL] = f[kOneWord] * length;
        f[kThreeWordsByL] = f[kThreeWords] * length;
        f[kFourWordsByL] = f[kFourWords] * length;
        f[kConnector] = phrase.size > phrase.content_words() ? 1.0 : 0.0;
        f[kWordChars] = word_chars;
        f[kWordCharsByL] = word_chars * length;
        f[kLogCount] = log_count;
        f[kLogCountByL] = log_count * length;
        f[kOnce] = count == 1 ? 1.0 : 0.0;
        f[kOneWordByLogCount] = f[kOneWord] * log_count;
        f[kLogFirst] = log_first;
        f[kLogFirstByL] = log_first * length;
        f[kFirstShare] = phrase.first_content / content_words;
        f[kInTitle] = in_title;
        f[kInTitleByL] = in_title * length;
        f[kMaximal] = maximal;
        f[kMaximalByL] = maximal * length;
        f[kRecurringUnit] = std::log(count / std::max(extension[p], 1.0));
        f[kCapitalised] = capitalised ? 1.0 : 0.0;
        f[kCapitalisedByL] = f[kCapitalised] * length;
        f[kOneWordByCapitalised] = f[kOneWord] * f[kCapitalised];
        f[kAllCaps] = all_caps ? 1.0 : 0.0;
        f[kAfterOpener] = counts[p].opener / count;
        f[kBeforeAuxiliary] = counts[p].auxiliary / count;
        f[kBeforeDeterminer] = counts[p].determiner / count;
        f[kLastIng] = english && ends_with(last, "ing") ? 1.0 : 0.0;
        f[kLastEd] = english && ends_with(last, "ed") ? 1.0 : 0.0;
        f[kFirstEd] = english && ends_with(first, "ed") ? 1.0 : 0.0;
        f[kAdverb] = adverb ? 1.0 : 0.0;
        use(p, f);
    }
}

std::vector<FeatureRow> phrase_features(const Candidates& c, Language lang) {
    std::vector<FeatureRow> rows(c.phrases.size());
    for_each_phrase_features(c, lang, [&](std::size_t p, const FeatureRow& f) { rows[p] = f; });
    return rows;
}

}  // namespace kezo::keyphrase
