// The keyphrase pipeline: where phrases may run, how words are cut, duplicates, stopwords,
// stems, corpus tables and hostile input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "keyphrase/addresses.h"
#include "keyphrase/candidates.h"
#include "keyphrase/character_references.h"
#include "keyphrase/stemmer.h"
#include "keyphrase/supplement.h"
#include "keyphrase/words.h"
#include "kezo/corpus_counting.h"
#include "kezo/keyphrase.h"
#include "kezo/phrase_frequency_table.h"
#include "kezo/stopwords.h"
#include "kezo/textrank_method.h"
#include "kezo/tfidf_corpus.h"
#include "kezo/tfidf_method.h"
#include "kezo/yake_method.h"
#include "test_data.h"

using namespace kezo;

namespace {

// Every candidate phrase of text, lower-cased.
std::set<std::string> phrases(const std::string& text, Language lang = Language::English,
                              bool keep_numbers = false) {
    KeyphraseConfig config;
    config.language = lang;
    config.top_k = 0;
    config.keep_near_duplicates = true;
    config.keep_numbers = keep_numbers;
    std::set<std::string> out;
    for (const Keyword& k : extract_keyphrases(text, config)) {
        std::string lower;
        for (char ch : k.text) lower.push_back(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
        out.insert(lower);
    }
    return out;
}

std::vector<Keyword> top(const std::string& text, KeyphraseConfig config = {}) {
    if (config.language == Language::Auto) config.language = Language::English;
    return extract_keyphrases(text, config);
}

}  // namespace

TEST(KeyphraseBoundaries, PhrasesNeverCrossABreak) {
    struct Case {
        const char* text;
        const char* absent;   // the phrase a break must prevent
        const char* present;  // a phrase on one side, proving the words were seen
    };
    const Case cases[] = {
        {"Study of motivation. Linear active filters", "motivation linear",
         "linear active filters"},
        {"neural networks, genetic algorithms", "networks genetic", "genetic algorithms"},
        {"neural networks; genetic algorithms", "networks genetic", "neural networks"},
        {"neural networks: genetic algorithms", "networks genetic", "neural networks"},
        {"neural networks (genetic algorithms)", "networks genetic", "genetic algorithms"},
        {"neural networks \"genetic algorithms\"", "networks genetic", "genetic algorithms"},
        {"neural networks \xe2\x80\x94 genetic algorithms", "networks genetic", "neural networks"},
        {"neural networks - genetic algorithms", "networks genetic", "neural networks"},
        {"Neural network pruning\nGradient methods", "pruning gradient", "gradient methods"},
        {"neural network pruning\n\ngradient methods", "pruning gradient", "gradient methods"},
        {"Title words here\n\tcontinued title\nBody text starts", "title body", "body text"},
        {"solar 2012 panels", "solar panels", "panels"},
        {"solar x panels", "solar panels", "solar"},
        {"solar \xce\xbb panels", "solar panels", "solar"},
    };
    for (const Case& c : cases) {
        const auto found = phrases(c.text);
        EXPECT_EQ(found.count(c.absent), 0u) << c.text;
        EXPECT_EQ(found.count(c.present), 1u) << c.text;
    }
    // A wrapped line is only a blank; kept numbers join phrases, single letters still break.
    EXPECT_EQ(phrases("deep neural\n\tnetworks").count("deep neural networks"), 1u);
    EXPECT_EQ(phrases("solar 2012 panels", Language::English, true).count("solar 2012 panels"), 1u);
    EXPECT_EQ(phrases("solar x panels", Language::English, true).count("solar x panels"), 0u);
    // A word of 64 letters is the longest kept, at the end of the text too; a longer one, with
    // whatever it is joined to, is dropped.
    const std::string longest(64, 'q'), longer(65, 'q');
    EXPECT_EQ(phrases("solar " + longest + " panels").count("solar " + longest + " panels"), 1u);
    EXPECT_EQ(phrases("solar " + longest).count("solar " + longest), 1u);
    EXPECT_EQ(phrases("solar " + longer + " panels"), (std::set<std::string>{"solar", "panels"}));
    EXPECT_EQ(phrases("solar " + longer + "-panels"), std::set<std::string>{"solar"});
}

TEST(KeyphraseWords, ElisionHyphensAndPossessives) {
    struct Case {
        Language lang;
        const char* text;
        std::vector<const char*> present, absent;
    };
    const Case cases[] = {
        {Language::French,
         "une fili\xc3\xa8re d'avenir",
         {"fili\xc3\xa8re d'avenir", "avenir"},
         {"d'avenir", "fili\xc3\xa8re avenir"}},
        {Language::French,
         "l\xe2\x80\x99\xc3\xa9nergie solaire",
         {"\xc3\xa9nergie solaire"},
         {"l\xe2\x80\x99\xc3\xa9nergie solaire"}},
        {Language::French,
         "lorsqu'arrivent les presqu'\xc3\xaeles",
         {"arrivent", "presqu'\xc3\xaeles"},
         {"lorsqu'arrivent"}},
        {Language::Italian, "dell'anno scolastico", {"anno scolastico"}, {"dell'anno"}},
        {Language::English,
         "state-of-the-art methods",
         {"state-of-the-art methods"},
         {"art methods"}},
        {Language::English,
         "Obama's administration",
         {"obama", "administration"},
         {"obama's", "obama administration"}},
        {Language::English, "don't panic", {"panic"}, {"don't panic"}},
        {Language::English, "pre\xc2\xadmier league", {"premier league"}, {}},
        // Character references stand for their characters: no word of their own, none split.
        {Language::English,
         "The film&rsquo;s director &amp; the caf&eacute; &quot;owner&quot; met AT&T",
         {"film", "director", "caf\xc3\xa9"},
         {"rsquo", "amp", "quot", "caf", "eacute", "film's director"}},
        // Web and mail addresses give no words.
        {Language::English,
         "Our product launch https://t.co/Xy7 went well: mail jane.smith@uni.edu or visit "
         "www.example.org.",
         {"product launch", "visit"},
         {"product launch https", "https", "co", "jane", "smith", "uni", "example", "org"}},
        // A layout label before its number is no word of the subject; the same word elsewhere is.
        {Language::English,
         "As Figure 3 and the big Section 4.1 show, the periodic table holds",
         {"periodic table"},
         {"figure", "section", "big section"}},
        // The document naming itself is no keyphrase of it.
        {Language::English,
         "This thesis studies graph colouring, as the present article does.",
         {"graph colouring"},
         {"thesis", "article", "thesis studies"}},
        // A handle or hashtag is a segment of its own; a '#' right after a word opens none. "RT"
        // before a handle marks a quoted post; elsewhere it is a word.
        {Language::English,
         "RT @united worst airline ever #fail C# programming language",
         {"united", "worst airline", "programming language"},
         {"rt", "united worst airline", "united worst"}},
        {Language::English, "RT simulators run in real time", {"rt simulators"}, {}},
        {Language::French,
         "l&#8217;&eacute;nergie solaire",
         {"\xc3\xa9nergie solaire"},
         {"8217", "eacute", "nergie solaire"}},
        // Kanji compounds of two characters or more, never a lone one or the particle between;
        // Hangul words stay whole.
        {Language::Japanese,
         "\xe4\xba\xba\xe6\xa8\xa9\xe3\x81\xae\xe5\xb0\x8a\xe9\x87\x8d",
         {"\xe4\xba\xba\xe6\xa8\xa9", "\xe5\xb0\x8a\xe9\x87\x8d"},
         {"\xe4\xba\xba", "\xe3\x81\xae", "\xe4\xba\xba\xe6\xa8\xa9\xe3\x81\xae"}},
        // Chinese: a particle or a stopword spelt by several characters ends a phrase, a
        // character the tables list but that mostly builds words (人) does not, and a one-off
        // slice of a longer run is no phrase.
        {Language::Chinese,
         "人工智能正在改变医疗行业。人工智能可以帮助医生诊断疾病，提高医疗服务的效率。",
         {"人工智能", "医疗", "效率"},
         {"正在", "改变医", "医疗行"}},
        {Language::Korean,
         "\xec\x9d\xb8\xea\xb6\x8c \xec\x84\xa0\xec\x96\xb8",
         {"\xec\x9d\xb8\xea\xb6\x8c \xec\x84\xa0\xec\x96\xb8"},
         {"\xea\xb6\x8c"}},
    };
    for (const Case& c : cases) {
        const auto found = phrases(c.text, c.lang);
        for (const char* p : c.present) EXPECT_EQ(found.count(p), 1u) << c.text << " / " << p;
        for (const char* p : c.absent) EXPECT_EQ(found.count(p), 0u) << c.text << " / " << p;
    }
}

TEST(KeyphraseWords, CharacterReferencesNeedAKnownNameOrCodePointAndASemicolon) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"&amp;", '&'}, {"&#8217;", 0x2019}, {"&#x4E2D;", 0x4E2D}, {"&Eacute;", 0xC9}, {"&amp", 0},
        {"&ampx;", 0},  {"&#0;", 0},         {"&#xD800;", 0},      {"&#x110000;", 0},  {"&#;", 0},
        {"&", 0},       {"&#123456789;", 0}};
    for (const auto& [text, expected] : cases) {
        const std::string_view t(text);
        std::uint32_t cp = 0;
        const std::size_t n = keyphrase::character_reference(t.data(), 0, t.size(), &cp);
        EXPECT_EQ(n, expected == 0 ? 0 : t.size()) << text;
        if (expected != 0) {
            EXPECT_EQ(cp, expected) << text;
        }
    }
}

TEST(KeyphraseWords, AddressesAndTagsEndWhereTheirSentenceGoesOn) {
    const std::string text =
        "Visit (www.example.org). Mail bob@x.com! See https://t.co/Xy7, not C#@home, @united "
        "or xwww.a.b. Cited in <A href=\"3.html#10\">[5]</A>, if a<b and c>d.<br/>";
    std::vector<std::string> found;
    for (const keyphrase::ByteRange& r : keyphrase::find_addresses_and_markup(text))
        found.push_back(text.substr(r.begin, r.end - r.begin));
    EXPECT_EQ(found, (std::vector<std::string>{"www.example.org", "bob@x.com", "https://t.co/Xy7",
                                               "<A href=\"3.html#10\">", "</A>", "<br/>"}));
}

TEST(KeyphraseSelection, NearDuplicatesAndStemGroups) {
    const std::string text =
        "The rendering engine draws pages. A rendering engine needs fonts. Rendering engine "
        "speed matters. Freedom of speech and freedoms of the press: freedom wins.";
    KeyphraseConfig config;
    config.top_k = 0;
    const auto list = top(text, config);
    // Nothing returned lies inside a phrase ranked above it.
    for (std::size_t i = 0; i < list.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_EQ((" " + list[j].text + " ").find(" " + list[i].text + " "), std::string::npos)
                << list[i].text << " inside " << list[j].text;
    // Inflected forms are one phrase, counted together and shown in the commonest spelling.
    const auto all = phrases(text);
    EXPECT_EQ(all.count("freedoms") + all.count("freedom"), 1u);
    config.keep_near_duplicates = true;
    bool freedom = false;
    for (const Keyword& k : top(text, config)) {
        if (k.text == "freedom" || k.text == "freedoms") {
            EXPECT_EQ(k.count, 3u);
            freedom = true;
        }
    }
    EXPECT_TRUE(freedom);
    EXPECT_EQ(all.count("rendering"), 1u);
    EXPECT_EQ(all.count("rendering engine"), 1u);
    EXPECT_GT(top(text, config).size(), list.size());

    // Words inside a phrase ranked above, across a connector or in another order, count too.
    const auto content = [](const std::string& phrase) {
        std::vector<std::string> words;
        for (std::size_t from = 0, to; from <= phrase.size(); from = to + 1) {
            to = std::min(phrase.find(' ', from), phrase.size());
            if (phrase.compare(from, to - from, "of") != 0)
                words.push_back(
                    keyphrase::stem_word(Language::English, phrase.substr(from, to - from)));
        }
        return words;
    };
    KeyphraseConfig filtered;
    filtered.top_k = 0;
    const auto games =
        top("Theory of games explains play. Games theory and theory games differ. "
            "The theory of games, game theory of play.",
            filtered);
    for (std::size_t i = 0; i < games.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const auto a = content(games[i].text), b = content(games[j].text);
            auto sa = a, sb = b;
            std::sort(sa.begin(), sa.end());
            std::sort(sb.begin(), sb.end());
            EXPECT_NE(sa, sb) << games[i].text << " / " << games[j].text;
            EXPECT_EQ(std::search(b.begin(), b.end(), a.begin(), a.end()), b.end())
                << games[i].text << " inside " << games[j].text;
        }
}

TEST(KeyphraseSelection, NearDuplicateThreshold) {
    const std::string text =
        "Cracked turbine blades fail. Turbine blades wear under heat. Turbine wear grows. "
        "Blade coatings help. Turbine coatings fail.";
    KeyphraseConfig config;
    config.top_k = 0;
    const auto texts = [&](double threshold) {
        config.near_duplicate_threshold = threshold;
        std::vector<std::string> out;
        for (const Keyword& k : top(text, config)) out.push_back(k.text);
        return out;
    };
    const auto defaults = texts(1.0);
    config.near_duplicate_threshold = 1.0;
    KeyphraseConfig kept = config;
    kept.keep_near_duplicates = true;
    std::vector<std::string> all;
    for (const Keyword& k : top(text, kept)) all.push_back(k.text);
    EXPECT_EQ(texts(2.0), all);
    EXPECT_EQ(texts(std::nan("")), all);
    // At one half, no phrase shares half its words in a row with one ranked above it.
    const auto half = texts(0.5);
    EXPECT_LT(half.size(), defaults.size());
    EXPECT_LT(defaults.size(), all.size());
    for (std::size_t i = 0; i < half.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const std::string& a = half[i];
            const auto words = std::count(a.begin(), a.end(), ' ') + 1;
            for (std::size_t from = 0, to; from < a.size(); from = to + 1) {
                to = std::min(a.find(' ', from), a.size());
                if (words > 2) continue;  // a one-word run is half of a two-word phrase
                EXPECT_EQ((" " + half[j] + " ").find(" " + a.substr(from, to - from) + " "),
                          std::string::npos)
                    << a << " / " << half[j];
            }
        }
}

TEST(KeyphraseSelection, ARecurringPhraseStandsForTheOneOffPhrasesAroundIt) {
    const std::string text =
        "Turbine blades wear under heat. Turbine blades crack under load, and cracked turbine "
        "blades fail.";
    const auto list = top(text);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].text, "turbine blades");
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_EQ(list[i].text.find("blades"), std::string::npos) << list[i].text;
    EXPECT_EQ(phrases(text).count("turbine blades wear"), 1u);  // kept on request
    // Whatever top_k, a shorter list is the start of the full one.
    KeyphraseConfig all;
    all.top_k = 0;
    const auto full = top(text, all);
    for (std::uint32_t k = 1; k <= full.size(); ++k) {
        KeyphraseConfig cut;
        cut.top_k = k;
        const auto list = top(text, cut);
        ASSERT_EQ(list.size(), k);
        EXPECT_EQ(list.back().text, full[k - 1].text);
    }
}

TEST(KeyphraseSelection, RecordsAreRankedFiniteAndConsistent) {
    const std::string text =
        "Solar panels convert sunlight into electricity. Cheap solar panels need regular "
        "maintenance, and old solar panels lose efficiency in hot weather.";
    for (std::uint32_t k : {0u, 1u, 3u}) {
        KeyphraseConfig config;
        config.top_k = k;
        const auto list = top(text, config);
        if (k > 0) {
            EXPECT_EQ(list.size(), k);
        }
        for (std::size_t i = 0; i < list.size(); ++i) {
            EXPECT_TRUE(std::isfinite(list[i].score) && list[i].score > 0 && list[i].score < 1);
            if (i > 0) {
                EXPECT_GE(list[i - 1].score, list[i].score);
            }
            EXPECT_GE(list[i].count, 1u);
        }
    }
    KeyphraseConfig all;
    all.top_k = 0;
    all.keep_near_duplicates = true;
    bool seen = false;
    for (const Keyword& k : top(text, all)) {
        if (k.text == "electricity") {
            EXPECT_EQ(k.first_position, 5u);  // counted in words of the text
        } else if (k.text == "solar panels") {
            EXPECT_EQ(k.count, 3u);
            EXPECT_EQ(k.first_position, 0u);
            seen = true;
        }
    }
    EXPECT_TRUE(seen);
    KeyphraseConfig three;
    three.max_words = 1;
    for (const Keyword& k : top(text, three)) EXPECT_EQ(k.text.find(' '), std::string::npos);
}

TEST(KeyphraseWindows, LongTextsKeepPhrasesAndIgnoreLineWrapping) {
    // The declaration is long enough to be scored window by window: its top 10 must still hold
    // phrases of several words, not only general single words, and be the same when its lines
    // are wrapped at 72 columns.
    const std::string text = kezo::testing::udhr("en");
    ASSERT_GT(text.size(), 10000u);
    std::string wrapped;
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t next_space = text.find_first_of(" \n", i + 1);
        if (text[i] == ' ' &&
            column + (next_space == std::string::npos ? text.size() : next_space) - i > 72) {
            wrapped.push_back('\n');
            column = 0;
            continue;
        }
        wrapped.push_back(text[i]);
        column = text[i] == '\n' ? 0 : column + 1;
    }
    ASSERT_NE(wrapped, text);
    const auto list = top(text);
    const auto list_wrapped = top(wrapped);
    ASSERT_EQ(list.size(), 10u);
    ASSERT_EQ(list_wrapped.size(), list.size());
    std::size_t phrases_of_words = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].text, list_wrapped[i].text);
        phrases_of_words += list[i].text.find(' ') != std::string::npos;
    }
    EXPECT_GE(phrases_of_words, 3u);
}

TEST(KeyphraseWindows, OccurrencesFoundAgainAreTheOnesKept) {
    // A long document keeps no occurrence list; walking its words again must give the list
    // building would have kept (connectors in French, ideographs in Chinese).
    for (const char* code : {"en", "fr", "zh"}) {
        const Language lang = code[0] == 'e'   ? Language::English
                              : code[0] == 'f' ? Language::French
                                               : Language::Chinese;
        const std::string text = kezo::testing::udhr(code);
        keyphrase::ScanOptions scan;
        scan.language = lang;
        keyphrase::CandidateOptions options;
        options.language = lang;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> lists[2];
        for (const bool keep : {true, false}) {
            options.keep_occurrences = keep;
            const keyphrase::Candidates c =
                keyphrase::build_candidates(text, keyphrase::scan_words(text, scan), options);
            EXPECT_EQ(c.occurrences.empty(), !keep);
            keyphrase::for_each_occurrence(c, [&](const keyphrase::Occurrence& o) {
                lists[keep].emplace_back(o.phrase, o.start);
            });
        }
        EXPECT_GT(lists[1].size(), 500u) << code;
        EXPECT_EQ(lists[0], lists[1]) << code;
    }
}

TEST(KeyphraseSpans, PointAtEachOccurrenceAsWritten) {
    // Case, a CRLF line break, a soft hyphen, an inflected variant, ideographs; "a b a" twice
    // overlapping in "a b a b a".
    const std::string text =
        "Solar panels work. Cheap SOLAR\r\npanels fail; solar pa\xc2\xadnel farms grow.\n"
        "\xe4\xba\xba\xe5\xb7\xa5\xe6\x99\xba\xe8\x83\xbd\xe3\x80\x82"
        "\xe4\xba\xba\xe5\xb7\xa5\xe6\x99\xba\xe8\x83\xbd\xe3\x80\x82 "
        "Rope knot rope knot rope. Rope knot rope knot rope.";
    KeyphraseConfig config;
    config.language = Language::English;
    config.top_k = 0;
    const auto spanned = extract_keyphrases_spanned(text, config);
    const auto plain = extract_keyphrases(text, config);
    ASSERT_EQ(spanned.size(), plain.size());
    std::map<std::string, std::vector<std::string>> written;
    for (std::size_t k = 0; k < plain.size(); ++k) {
        EXPECT_EQ(spanned[k].keyword.text, plain[k].text);
        EXPECT_EQ(spanned[k].keyword.score, plain[k].score);
        ASSERT_FALSE(spanned[k].spans.empty());
        for (std::size_t s = 0; s < spanned[k].spans.size(); ++s) {
            const ByteSpan& span = spanned[k].spans[s];
            EXPECT_TRUE(s == 0 || spanned[k].spans[s - 1].end <= span.begin);
            written[plain[k].text].push_back(text.substr(span.begin, span.end - span.begin));
        }
    }
    const std::vector<std::string> solar = {"Solar panels", "SOLAR\r\npanels",
                                            "solar pa\xc2\xadnel"};
    EXPECT_EQ(written["SOLAR panels"], solar);
    const std::string ideographs = "\xe4\xba\xba\xe5\xb7\xa5\xe6\x99\xba\xe8\x83\xbd";
    EXPECT_EQ(written[ideographs], std::vector<std::string>(2, ideographs));
    config.keep_near_duplicates = true;
    const auto all = extract_keyphrases_spanned(text, config);
    const auto rope = std::find_if(all.begin(), all.end(), [](const SpannedKeyword& k) {
        return k.keyword.text == "rope knot rope";
    });
    ASSERT_NE(rope, all.end());
    EXPECT_EQ(rope->keyword.count, 4u);
    EXPECT_EQ(rope->spans.size(), 2u);
}

// The stems a thread keeps are the stemmer's own, before and after the kept ones start over.
TEST(KeyphraseStems, KeptStemsMatchTheStemmer) {
    const auto stem = [](std::string_view w) { return keyphrase::stem_word(Language::English, w); };
    const std::string long_word(40, 'a');  // longer than any stem kept
    EXPECT_EQ(stem("connections"), "connect");
    EXPECT_EQ(stem("running"), "run");
    EXPECT_EQ(stem(long_word + "ing"), long_word);
    std::vector<std::string> words, first;
    for (int i = 0; i < 40000; ++i) {  // more distinct words than are kept
        std::string w = "x";
        for (int k = i; k > 0; k /= 26) w.push_back(static_cast<char>('a' + k % 26));
        words.push_back(w + "ations");
        first.push_back(stem(words.back()));
    }
    for (std::size_t i = 0; i < words.size(); ++i) ASSERT_EQ(stem(words[i]), first[i]) << words[i];
    EXPECT_EQ(stem("connections"), "connect");
    EXPECT_EQ(stem(long_word + "ing"), long_word);
}

TEST(KeyphraseStopwords, SupplementsTenantsAndCustomWords) {
    const std::pair<Language, const char*> required[] = {
        {Language::French, "\xc3\xa0"},       {Language::French, "\xc3\xa9t\xc3\xa9"},
        {Language::French, "\xc3\xaatre"},    {Language::French, "o\xc3\xb9"},
        {Language::Portuguese, "n\xc3\xa3o"}, {Language::Portuguese, "ao"},
        {Language::Portuguese, "\xc3\xa0"},   {Language::Portuguese, "pelo"},
        {Language::Spanish, "m\xc3\xa1s"},    {Language::Spanish, "tambi\xc3\xa9n"},
        {Language::English, "however"},
    };
    for (const auto& [lang, word] : required)
        EXPECT_TRUE(keyphrase::is_supplement_stopword(lang, word)) << word;
    EXPECT_FALSE(keyphrase::is_supplement_stopword(Language::English, "information"));
    EXPECT_FALSE(stopwords::is_stop(Language::French, "\xc3\xa9t\xc3\xa9"));  // tables unchanged

    // A capitalised supplement word inside a sentence is part of a name; at a line start it is
    // layout, not a name.
    EXPECT_EQ(phrases("They moved to New York last year").count("new york"), 1u);
    EXPECT_EQ(phrases("a new york").count("new york"), 0u);
    EXPECT_EQ(phrases("Whereas peace matters,\nWhereas justice matters,").count("whereas"), 0u);

    const std::string text = "Turbine blades wear. Turbine blades crack under load.";
    stopwords::load_tenant("kp-tenant", Language::English, {"Blades"});
    KeyphraseConfig tenant;
    tenant.tenant_id = "kp-tenant";
    stopwords::ScopedTenant outer("kp-outer");
    for (const Keyword& k : top(text, tenant)) EXPECT_EQ(k.text.find("blades"), std::string::npos);
    EXPECT_EQ(stopwords::kActiveTenant, "kp-outer");
    EXPECT_EQ(phrases(text).count("turbine blades"), 1u);
    stopwords::add(Language::English, "kpwidgetword");
    EXPECT_EQ(phrases("kpwidgetword design").count("kpwidgetword design"), 0u);
}

TEST(KeyphraseCorpus, DocumentFrequencyCountsEachDocumentOnce) {
    KeyphraseConfig config;
    config.language = Language::English;
    const auto table = keyphrase_document_frequency(
        {"Solar panels and solar panels.", "Solar panels again.", "Wind turbines."}, config);
    EXPECT_EQ(table.at(keyphrase_stem_key("solar panel", Language::English)), 2u);
    EXPECT_EQ(table.at(keyphrase_stem_key("Wind turbines", Language::English)), 1u);
    EXPECT_EQ(keyphrase_stem_key("Solar  Panels", Language::English), "solar panel");
    // A phrase found in every document of the corpus drops below one found in few.
    config.document_frequency = {{"solar panel", 1000}, {"wind turbin", 1}};
    config.total_documents = 1000;
    const auto list = extract_keyphrases("Solar panels. Wind turbines.", config);
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0].text, "wind turbines");
    // Counted on several threads, the table is the same; the lookup table finds every key.
    std::vector<std::string> texts;  // the articles of the declaration in two languages
    for (const char* code : {"en", "fr"}) {
        const std::string text = kezo::testing::udhr(code);
        for (std::size_t at = 0, next; at < text.size(); at = next + 2) {
            next = std::min(text.find("\n\n", at), text.size());
            texts.push_back(text.substr(at, next - at));
        }
    }
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    config = KeyphraseConfig();
    const auto serial = keyphrase_document_frequency(texts, config);
    CorpusCountOptions threads;
    threads.threads = 3;
    EXPECT_EQ(count_document_frequency(views, config, threads), serial);
    // Made from the map, or counted straight into one (on one thread or three), the lookup
    // table finds every key with its count and nothing else.
    for (unsigned t : {0u, 1u, 3u}) {
        threads.threads = t;
        const PhraseFrequencyTable lookup = t == 0
                                                ? PhraseFrequencyTable(serial)
                                                : count_phrase_frequencies(views, config, threads);
        EXPECT_EQ(lookup.size(), serial.size()) << t;
        for (const auto& [key, count] : serial) EXPECT_EQ(lookup.find(key), count) << key;
        EXPECT_EQ(lookup.find("solar panel wind"), 0u);
    }
}

TEST(KeyphraseCorpus, OnePassTfidfMatchesCountingThenExtracting) {
    std::vector<std::string> texts;  // paragraphs of the declaration in two languages
    for (const char* code : {"en", "fr"}) {
        const std::string text = kezo::testing::udhr(code);
        for (std::size_t at = 0, next; at < text.size(); at = next + 2) {
            next = std::min(text.find("\n\n", at), text.size());
            texts.push_back(text.substr(at, next - at));
        }
    }
    texts.push_back("");
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    KeyphraseConfig counting;  // language identified per text
    counting.max_words = 3;
    counting.extra_stopwords = {"rights"};
    CorpusCountOptions options;
    options.noun_phrases = false;
    const auto table = count_document_frequency(views, counting, options);
    TfidfMethodConfig config;
    config.top_k = 0;
    config.extra_stopwords = counting.extra_stopwords;
    TfidfMethodConfig weighed = config;
    weighed.document_frequency = std::make_shared<const PhraseFrequencyTable>(table);
    weighed.total_documents = static_cast<std::uint32_t>(texts.size());
    // Kept candidates, none kept (built again), and some kept; on one thread and on three.
    for (const std::size_t kept : {std::size_t{1} << 30, std::size_t{0}, std::size_t{40000}}) {
        for (const unsigned threads : {1u, 3u}) {
            const TfidfCorpusResult one_pass =
                tfidf_corpus_keyphrases(views, config, threads, kept);
            ASSERT_EQ(one_pass.total_documents, texts.size());
            ASSERT_EQ(one_pass.document_frequency->size(), table.size());
            for (const auto& [key, count] : table)
                ASSERT_EQ(one_pass.document_frequency->find(key), count) << key;
            for (std::size_t i = 0; i < texts.size(); ++i) {
                const auto expected = tfidf_keyphrases(texts[i], weighed);
                const auto& got = one_pass.keyphrases[i];
                ASSERT_EQ(got.size(), expected.size()) << i;
                for (std::size_t k = 0; k < got.size(); ++k) {
                    EXPECT_EQ(got[k].keyword.text, expected[k].keyword.text);
                    EXPECT_EQ(got[k].keyword.score, expected[k].keyword.score);
                    EXPECT_EQ(got[k].keyword.count, expected[k].keyword.count);
                    EXPECT_EQ(got[k].spans.size(), expected[k].spans.size());
                }
            }
        }
    }
    // Flat, into one buffer kept from text to text: the same keyphrases.
    TfidfCorpusPass pass(views, config, 1);
    FlatKeyphrases flat;
    for (std::size_t i; (i = pass.take()) != TfidfCorpusPass::kNone;) {
        pass.extract(i, flat);
        const auto expected = tfidf_keyphrases(texts[i], weighed);
        ASSERT_EQ(flat.size(), expected.size()) << i;
        for (std::size_t k = 0; k < flat.size(); ++k) {
            EXPECT_EQ(flat.text(k), expected[k].keyword.text);
            EXPECT_EQ(flat[k].spans_size, expected[k].spans.size());
        }
    }
}

// What a thread keeps from one text to the next (spellings, tables, flat buffers) shows in no
// result: each text, after others of every length on the same thread, gives what it gives on a
// thread of its own.
TEST(KeyphraseSelection, NoResultDependsOnTheTextsBefore) {
    std::vector<std::string> texts = {kezo::testing::udhr("en"), "Solar panels. SOLAR panels!", "",
                                      "Wind farms and solar panels, solar Panels, wind farms."};
    KeyphraseConfig keyphrase;
    keyphrase.language = Language::English;
    keyphrase.top_k = 0;
    TextRankMethodConfig textrank;
    textrank.language = Language::English;
    TfidfMethodConfig tfidf;
    tfidf.language = Language::English;
    YakeConfig yake;
    yake.language = Language::English;
    yake.window = 3;
    const auto key = [](const std::vector<SpannedKeyword>& list) {
        std::vector<std::tuple<std::string, double, std::size_t, std::uint64_t>> out;
        for (const SpannedKeyword& k : list)
            out.emplace_back(k.keyword.text, k.keyword.score, k.spans.size(),
                             k.spans.empty() ? 0 : k.spans.back().end);
        return out;
    };
    const auto all = [&](const std::string& text) {
        return std::make_tuple(key(extract_keyphrases_spanned(text, keyphrase)),
                               key(textrank_keyphrases(text, textrank)),
                               key(tfidf_keyphrases(text, tfidf)),
                               key(extract_yake_keyphrases(text, yake)));
    };
    std::vector<decltype(all(texts[0]))> alone;
    for (const std::string& text : texts) std::thread([&] { alone.push_back(all(text)); }).join();
    FlatKeyphrases flat;
    for (int round = 0; round < 2; ++round)
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(all(texts[i]), alone[i]) << i;
            extract_keyphrases_spanned(texts[i], keyphrase, flat);
            EXPECT_EQ(flat.size(), std::get<0>(alone[i]).size());
            for (std::size_t k = 0; k < flat.size(); ++k)
                EXPECT_EQ(flat.text(k), std::get<0>(std::get<0>(alone[i])[k]));
        }
}

TEST(KeyphraseRobustness, HostileInputGivesSaneOutput) {
    KeyphraseConfig config;
    for (Language lang : {Language::Auto, Language::English, Language::French, Language::Chinese,
                          static_cast<Language>(99)}) {
        config.language = lang;
        EXPECT_TRUE(extract_keyphrases("", config).empty());
        EXPECT_TRUE(extract_keyphrases("!!! ... ,,, ??? \xe3\x80\x82 -- ''", config).empty());
        std::mt19937 random(static_cast<unsigned>(lang));
        std::string bytes(4096, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        extract_keyphrases(bytes, config);
        extract_keyphrases("d'\xe2\x80\x99'-'x \xcc\x81\xcc\x81 a-'b \xe2\x80\x99s's", config);
    }
    // Phrases repeating a term ("ederlet 九 ederlet") once made the near-duplicate filter count
    // a replaced phrase twice.
    const std::pair<const char*, Language> repeats[] = {
        {"ederlet九大ederlet九八ederlet九", Language::French},
        {"panelwerk九panelwerk\npanelwerk\npanelwerk\npanelwerk", Language::Chinese}};
    for (const auto& [text, lang] : repeats) {
        config.language = lang;
        for (std::uint32_t words : {3u, 8u}) {
            config.max_words = words;
            EXPECT_FALSE(extract_keyphrases(text, config).empty()) << text;
        }
    }
    config.max_words = 4;
    config.language = Language::English;
    // A word of a few letters stretched past 4,095 bytes by invisible characters is dropped
    // like an overlong one, not given a cut-short span.
    std::string stretched = "pa";
    for (int k = 0; k < 2100; ++k) stretched += "\xc2\xad";
    stretched += "nel";
    config.top_k = 0;
    for (const SpannedKeyword& k :
         extract_keyphrases_spanned("Solar " + stretched + " farms. Solar farms.", config)) {
        EXPECT_EQ(k.keyword.text.find("panel"), std::string::npos);
        for (const ByteSpan& span : k.spans) EXPECT_LT(span.end - span.begin, 100u);
    }
    config.top_k = 10;
    EXPECT_TRUE(extract_keyphrases(std::string(10 << 20, 'x'), config).empty());
    std::string page;
    while (page.size() < (10u << 20)) page += "Gas turbines burn fuel. Steam turbines spin.\n";
    const auto list = extract_keyphrases(page, config);
    ASSERT_FALSE(list.empty());
    EXPECT_GE(list[0].count, page.size() / 50);
}

TEST(KeyphraseConcurrency, ThreadsKeepTheirOwnTenantsStopwordsAndStemmers) {
    const std::string text = "Turbine blades wear. Turbine blades crack under load.";
    stopwords::load_tenant("kp-conc-a", Language::English, {"blades"});
    stopwords::load_tenant("kp-conc-b", Language::French, {"turbine"});
    // Threads 0 and 1 ban a word through a tenant, 2 and 3 through the call's own stopwords
    // (written in capitals: they compare lower-cased); each must still see the other word.
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            KeyphraseConfig config;
            config.language = t % 2 ? Language::English : Language::French;
            const char* banned = t % 2 ? "blades" : "turbine";
            const char* kept = t % 2 ? "turbine" : "blades";
            if (t < 2)
                config.tenant_id = t % 2 ? "kp-conc-a" : "kp-conc-b";
            else
                config.extra_stopwords = {t % 2 ? "BLADES" : "Turbine"};
            for (int i = 0; i < 200; ++i) {
                bool seen = false;
                for (const Keyword& k : extract_keyphrases(text, config)) {
                    failures[t] += k.text.find(banned) != std::string::npos;
                    seen = seen || k.text.find(kept) != std::string::npos;
                }
                failures[t] += !seen;
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

// Each thread keeps what the built-in lists say of the forms it has scanned: a later scan in
// another language, or under a tenant, marks the words as a thread's first scan would.
TEST(KeyphraseWords, StopMarksDoNotCarryOverBetweenScans) {
    const std::string text = "Le chat de la gare and the station of the city, une gare.";
    const auto marks = [&](Language lang) {
        keyphrase::ScanOptions options;
        options.language = lang;
        const keyphrase::Words words = keyphrase::scan_words(text, options);
        std::vector<std::pair<std::string, bool>> out;
        for (const keyphrase::Word& w : words.words) out.emplace_back(words.lower(w), w.stop);
        return out;
    };
    std::vector<std::pair<std::string, bool>> french, english;
    std::thread([&] { french = marks(Language::French); }).join();
    std::thread([&] { english = marks(Language::English); }).join();
    ASSERT_NE(french, english);
    std::thread([&] {
        EXPECT_EQ(marks(Language::English), english);
        EXPECT_EQ(marks(Language::French), french);
        EXPECT_EQ(marks(Language::English), english);
        stopwords::load_tenant("words-cache", Language::English, {"station"});
        {
            const stopwords::ScopedTenant tenant("words-cache");
            for (const auto& [form, stop] : marks(Language::English))
                EXPECT_EQ(stop, form == "station" ||
                                    std::find(english.begin(), english.end(),
                                              std::make_pair(form, true)) != english.end())
                    << form;
        }
        stopwords::clear_tenant("words-cache", Language::English);
        EXPECT_EQ(marks(Language::English), english);
    }).join();
}

// A stem kept beside a form is the form's stem in the language asked for, and is only looked up
// for the latest scan of the thread that made it: words of an older scan, or read on another
// thread, are stemmed as they come.
TEST(KeyphraseWords, KeptStemsAreThoseOfTheScanningThreadsLatestScan) {
    const auto stems_of = [](const keyphrase::Words& words, Language lang, bool* all_kept) {
        std::vector<std::string> out;
        keyphrase::TextStems stems(lang, words);
        for (std::uint32_t f = 0; f < words.forms.size(); ++f) {
            *all_kept = *all_kept && keyphrase::kept_form(words, f).found;
            out.emplace_back(stems.of(f, words.forms[f]));
            EXPECT_EQ(out.back(), keyphrase::stem_word(lang, words.forms[f])) << words.forms[f];
        }
        return out;
    };
    const keyphrase::ScanOptions options;
    const keyphrase::Words older = keyphrase::scan_words("stations of running trains", options);
    const keyphrase::Words latest = keyphrase::scan_words("trains running to stations", options);
    bool kept = true;
    const auto english = stems_of(latest, Language::English, &kept);
    EXPECT_TRUE(kept);
    EXPECT_NE(stems_of(latest, Language::German, &kept), english);  // a language of its own
    EXPECT_EQ(stems_of(latest, Language::English, &kept), english);
    kept = true;
    stems_of(older, Language::English, &kept);
    EXPECT_FALSE(kept);
    std::thread([&] {
        bool elsewhere = true;
        EXPECT_EQ(stems_of(latest, Language::English, &elsewhere), english);
        EXPECT_FALSE(elsewhere);
    }).join();
}
