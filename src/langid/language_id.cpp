// Language identification.
#include "kezo/language_id.h"

#include <string>

#include "kezo/text.h"

namespace kezo {

std::vector<LanguageGuess> identify_language(std::string_view text, std::size_t max_results) {
    std::vector<LanguageGuess> guesses;
    if (max_results == 0) return guesses;
    guesses.push_back({detect_language(std::string(text)), text.empty() ? 0.0 : 1.0});
    return guesses;
}

Language identify_best_language(std::string_view text) {
    return identify_language(text, 1).front().language;
}

}  // namespace kezo
