// The words of running text as the treebanks the models learnt from write them: apostrophes
// rejoined to the words they belong to, English clitics split off.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "kezo/language.h"
#include "kezo/types.h"

namespace kezo::tagger {

struct WordSpan {
    std::uint32_t start = 0;  // byte offsets into the text
    std::uint32_t end = 0;
};

// The tokenizer cuts at every apostrophe ("don", "'", "t"); the treebanks write "do" "n't" and
// "it" "'s" in English, "l'" "homme" and "dell'" "arte" in French and Italian, and "zo'n",
// "O'Neill", "sa'ànnan" as one word elsewhere. tokens are the tokenizer's over text, case and
// punctuation kept. Linear in the tokens; no state.
std::vector<WordSpan> treebank_words(std::string_view text, const std::vector<Token>& tokens,
                                     Language lang);

}  // namespace kezo::tagger
