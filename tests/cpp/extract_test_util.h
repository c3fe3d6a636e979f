// Token lists for the extraction tests.
#pragma once

#include <string>
#include <vector>

#include "kezo/types.h"

namespace kezo::testing {

// Word tokens of the given texts; "," and "." become punctuation tokens.
inline std::vector<Token> words(const std::vector<std::string>& texts) {
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

inline std::vector<std::string> texts(const std::vector<Keyword>& list) {
    std::vector<std::string> out;
    for (const Keyword& k : list) out.push_back(k.text);
    return out;
}

}  // namespace kezo::testing
