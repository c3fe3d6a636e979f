// Token lists and keyword-list helpers for the extraction tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kezo/extract.h"

namespace kezo::testing {

using Strings = std::vector<std::string>;

// Word tokens of the given texts; "," and "." become punctuation tokens.
inline std::vector<Token> words(const Strings& texts) {
    std::vector<Token> tokens;
    for (const std::string& t : texts) {
        Token token;
        token.text = t;
        token.pos = static_cast<std::uint32_t>(tokens.size());
        token.is_word = t != "," && t != ".";
        tokens.push_back(token);
    }
    return tokens;
}

inline const Keyword* find(const std::vector<Keyword>& list, const std::string& text) {
    for (const Keyword& k : list)
        if (k.text == text) return &k;
    return nullptr;
}

inline Strings texts(const std::vector<Keyword>& list) {
    Strings out;
    for (const Keyword& k : list) out.push_back(k.text);
    return out;
}

// Every score finite and the list sorted by score, highest first.
inline void expect_ranked(const std::vector<Keyword>& list) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        EXPECT_TRUE(std::isfinite(list[k].score)) << list[k].text;
        EXPECT_GE(list[k ? k - 1 : 0].score, list[k].score) << list[k].text;
    }
}

}  // namespace kezo::testing
