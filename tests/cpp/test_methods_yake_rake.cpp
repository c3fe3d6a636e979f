#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kezo/rake_method.h"
#include "kezo/yake_method.h"
#include "methods/stamped_table.h"

using namespace kezo;

namespace {

const std::string kText =
    "Compatibility of systems of linear constraints over the set of natural numbers. "
    "Criteria of compatibility of a system of linear Diophantine equations, strict "
    "inequations, and nonstrict inequations are considered. Upper bounds for components of "
    "a minimal set of solutions and algorithms of construction of minimal generating sets of "
    "solutions for all types of systems are given.";

template <typename List>
void expect_well_formed(const std::string& text, const List& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& k = list[i];
        EXPECT_GT(k.keyword.score, 0.0);
        EXPECT_LE(k.keyword.score, 1.0);
        if (i) {
            EXPECT_LE(k.keyword.score, list[i - 1].keyword.score);
        }
        ASSERT_FALSE(k.spans.empty());
        for (const ByteSpan& s : k.spans) {
            ASSERT_LE(s.end, text.size());
            std::string slice = text.substr(s.begin, s.end - s.begin);
            for (char& ch : slice) ch = static_cast<char>(std::tolower(ch));
            EXPECT_EQ(slice, k.keyword.text);
        }
    }
}

}  // namespace

TEST(MethodsYakeRake, ScoresSortedInUnitRangeAndSpansSliceTheText) {
    YakeConfig yake;
    yake.language = Language::English;
    RakeConfig rake;
    rake.language = Language::English;
    const auto y = extract_yake_keyphrases(kText, yake);
    const auto r = extract_rake_keyphrases(kText, rake);
    ASSERT_EQ(y.size(), 10u);
    ASSERT_FALSE(r.empty());
    expect_well_formed(kText, y);
    expect_well_formed(kText, r);
    EXPECT_DOUBLE_EQ(r.front().keyword.score, 1.0);
}

TEST(MethodsYakeRake, PhrasesAreWrittenAsTheTextJoinsTheirWords) {
    // A possessive, an elided article and ideographs join their neighbours without a blank, so
    // every occurrence reads as the phrase.
    const std::pair<Language, std::string> texts[] = {
        {Language::English, "The film's director met the film's producer. The film's director."},
        {Language::French, "Une fili\xc3\xa8re d'avenir. La fili\xc3\xa8re d'avenir attire."},
        {Language::Chinese,
         "\xe4\xba\xba\xe5\xb7\xa5\xe6\x99\xba\xe8\x83\xbd\xe6\x94\xb9\xe5\x8f\x98"
         "\xe5\x8c\xbb\xe7\x96\x97\xe3\x80\x82\xe4\xba\xba\xe5\xb7\xa5\xe6\x99\xba"
         "\xe8\x83\xbd\xe3\x80\x82"}};
    for (const auto& [lang, text] : texts) {
        YakeConfig yake;
        yake.language = lang;
        RakeConfig rake;
        rake.language = lang;
        expect_well_formed(text, extract_yake_keyphrases(text, yake));
        expect_well_formed(text, extract_rake_keyphrases(text, rake));
    }
}

TEST(MethodsYakeRake, RakePhrasesAreStopwordBoundedRuns) {
    RakeConfig config;
    config.language = Language::English;
    config.top_k = 0;
    config.max_words = 0;
    const auto list = extract_rake_keyphrases(kText, config);
    bool found = false;
    for (const auto& k : list) {
        EXPECT_EQ(k.keyword.text.find(" of "), std::string::npos) << k.keyword.text;
        found = found || k.keyword.text == "linear diophantine equations";
    }
    EXPECT_TRUE(found);
    // Per-call stopwords end phrases too, whatever their case.
    config.extra_stopwords = {"Generating"};
    for (const auto& k : extract_rake_keyphrases(kText, config))
        EXPECT_EQ(k.keyword.text.find("generating"), std::string::npos);
    // Adjoining keywords join runs over interior stopwords when the sequence recurs.
    const std::string text = "The axis of evil. Critics of the axis of evil, again.";
    const auto has = [&](const RakeConfig& c, const std::string& phrase) {
        for (const auto& k : extract_rake_keyphrases(text, c))
            if (k.keyword.text == phrase) return k.spans.size() == 2;
        return false;
    };
    EXPECT_FALSE(has(config, "axis of evil"));
    config.adjoining = true;
    EXPECT_TRUE(has(config, "axis of evil"));
}

TEST(MethodsYakeRake, RakeIntoKeptBuffersHoldsEachCallAlone) {
    // A long text, overlapping adjoining runs, no keyphrase: each call clears what the last left.
    RakeConfig config;
    config.language = Language::English;
    config.top_k = 0;
    config.adjoining = true;
    FlatKeyphrases flat;
    for (const std::string& text :
         {kText, std::string("The axis of evil. Critics of the axis of evil, again."),
          std::string("the of and")}) {
        extract_rake_keyphrases(text, config, flat);
        const auto records = extract_rake_keyphrases(text, config);
        ASSERT_EQ(flat.size(), records.size());
        for (std::size_t k = 0; k < flat.size(); ++k) {
            EXPECT_EQ(flat.text(k), records[k].keyword.text);
            EXPECT_EQ(flat[k].score, records[k].keyword.score);
            EXPECT_EQ(flat[k].count, records[k].keyword.count);
            ASSERT_EQ(flat[k].spans_size, records[k].spans.size());
            for (std::size_t s = 0; s < flat[k].spans_size; ++s) {
                EXPECT_EQ(flat.spans(k)[s].begin, records[k].spans[s].begin);
                EXPECT_EQ(flat.spans(k)[s].end, records[k].spans[s].end);
            }
        }
    }
    EXPECT_TRUE(flat.empty());
}

TEST(MethodsYakeRake, StampedTableGrowsPastItsRoomAndForgetsOnReset) {
    methods::StampedTable table;
    for (int call = 0; call < 2; ++call) {
        table.reset(4);  // far fewer than are added
        for (std::uint64_t k = 1; k <= 5000; ++k) EXPECT_EQ(table.find_or_add(k * 977, 0)++, 0u);
        for (std::uint64_t k = 1; k <= 5000; ++k) ASSERT_EQ(table.find(k * 977, 9), 1u) << k;
        EXPECT_EQ(table.find(3, 9), 9u);
    }
}

TEST(MethodsYakeRake, YakeLeavesOutNearRepeats) {
    const std::string text =
        "Neural network training. The neural networks train well. Neural network models and "
        "neural networks differ.";
    YakeConfig config;
    config.language = Language::English;
    config.top_k = 0;
    const auto count = [&](const YakeConfig& c) {
        int n = 0;
        for (const auto& k : extract_yake_keyphrases(text, c))
            n += k.keyword.text == "neural network" || k.keyword.text == "neural networks";
        return n;
    };
    EXPECT_EQ(count(config), 1);
    config.dedup_threshold = 1.0;
    EXPECT_EQ(count(config), 2);
}

TEST(MethodsYakeRake, EmptyAndOddInputNeverThrow) {
    YakeConfig yake;
    RakeConfig rake;
    rake.max_words = 0;
    for (const std::string& text :
         {std::string(), std::string("the of and"), std::string("\xff\xfe x 42 !!"),
          std::string(3000, 'a'), std::string("word"), std::string("a b. c d; e")}) {
        EXPECT_NO_THROW(extract_yake_keyphrases(text, yake));
        EXPECT_NO_THROW(extract_rake_keyphrases(text, rake));
    }
    EXPECT_TRUE(extract_yake_keyphrases("the of and", yake).empty());
}

TEST(MethodsYakeRake, RakeTopKIsThePrefixOfTheWholeRanking) {
    // Equal scores among the short phrases, and more phrases than the short top_k picks by
    // insertion; ties rank in order of first occurrence.
    std::string text = kText + " Alpha beta. Gamma delta. Alpha beta, epsilon.";
    for (char a = 'b'; a <= 'y'; ++a)
        for (char b = 'b'; b <= 'e'; ++b) text += std::string(" zq") + a + b + "x of more.";
    RakeConfig config;
    config.language = Language::English;
    config.top_k = 0;
    const auto all = extract_rake_keyphrases(text, config);
    ASSERT_GT(all.size(), 80u);
    for (const std::uint32_t top_k : {1u, 3u, 10u, 64u, 65u, 80u}) {
        config.top_k = top_k;
        const auto top = extract_rake_keyphrases(text, config);
        ASSERT_EQ(top.size(), top_k);
        for (std::size_t i = 0; i < top.size(); ++i) {
            EXPECT_EQ(top[i].keyword.text, all[i].keyword.text) << top_k << " " << i;
            EXPECT_EQ(top[i].keyword.score, all[i].keyword.score);
            EXPECT_EQ(top[i].spans.size(), all[i].spans.size());
        }
    }
}
