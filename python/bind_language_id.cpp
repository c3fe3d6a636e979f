// identify_language: ranked language guesses with confidences, or none when no supported
// language fits; identify_best_language: the closest supported language in any case.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <string>
#include <tuple>
#include <vector>

#include "bindings.h"
#include "gil_release.h"
#include "kezo/language_id.h"

namespace py = pybind11;

namespace kezo::python {
namespace {

// Identification takes about 2 ns per byte: below this size holding the interpreter lock costs
// less than releasing and taking it back; above it other Python threads run meanwhile.
constexpr std::size_t kReleaseLockFromBytes = 1 << 16;

}  // namespace

void bind_language_id(py::module_& m) {
    m.def(
        "identify_language",
        [](const std::string& text, std::size_t max_results) {
            std::vector<LanguageGuess> guesses;
            if (text.size() < kReleaseLockFromBytes) {
                guesses = identify_language(text, max_results);
            } else {
                guesses = without_gil([&] { return identify_language(text, max_results); });
            }
            std::vector<std::tuple<Language, double>> result;
            for (const LanguageGuess& guess : guesses)
                result.emplace_back(guess.language, guess.confidence);
            return result;
        },
        py::arg("text"), py::arg("max_results") = 3,
        R"doc(Identify the language of a text, Latin-script languages included.

Parameters:
    text: the text, any length; undecodable characters are skipped.
    max_results: how many guesses to return at most (0 gives an empty list).

Returns:
    A list of (Language, confidence) pairs, most likely first; empty when the
    text is in none of the supported languages or has no letters (undetermined).
    A confidence is the estimated probability that the language is right,
    calibrated on held-out text; the confidences sum to at most 1, and languages
    below 0.01 are left out. Language.Auto is never returned.)doc");
    m.def(
        "identify_best_language",
        [](const std::string& text) {
            if (text.size() < kReleaseLockFromBytes) return identify_best_language(text);
            return without_gil([&] { return identify_best_language(text); });
        },
        py::arg("text"),
        R"doc(The supported language closest to a text, even an undetermined one.

Parameters:
    text: the text, any length; undecodable characters are skipped.

Returns:
    The best guess of identify_language; for an undetermined text the supported
    language that fits it best, and Language.English for a text without letters
    of a supported script. Never Language.Auto.)doc");
}

}  // namespace kezo::python
