// Function words around a candidate phrase that hint at the kind of its first and last words.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "kezo/language.h"

namespace kezo::keyphrase {

// Function words that tell what kind of word stands next to a phrase. An opener (article,
// possessive, preposition) announces a noun phrase; an auxiliary after the phrase makes it a
// subject; a determiner after it means its last word was a verb ("algorithm computes the").
struct WordList {
    const std::string_view* words;
    std::size_t size;

    template <std::size_t N>
    constexpr WordList(const std::string_view (&list)[N]) : words(list), size(N) {}
    constexpr WordList() : words(nullptr), size(0) {}

    bool contains(std::string_view word) const {
        return std::find(words, words + size, word) != words + size;
    }
};

struct ContextWords {
    WordList openers, auxiliaries, determiners;
};

// The words of lang; empty lists for languages without them. Static storage, thread-safe.
const ContextWords& context_words(Language lang);

}  // namespace kezo::keyphrase
