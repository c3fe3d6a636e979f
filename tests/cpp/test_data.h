// Texts of the Universal Declaration of Human Rights kept in tests/data/udhr.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace kezo::testing {

// The declaration in the language of the file's code ("en", "gaa", ...); empty when missing.
inline std::string udhr(const std::string& code) {
    std::ifstream in(std::string(KEZO_TEST_DATA_DIR) + "/udhr/" + code + ".txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace kezo::testing
