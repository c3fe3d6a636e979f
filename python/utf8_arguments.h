// Guards for string arguments that the core stores. pybind11 hands a `str` over as UTF-8 but also
// accepts `bytes` for a std::string parameter, unchecked; a malformed string stored that way
// would make every later call that returns it raise. Arguments that only look something up are
// not checked.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kezo/unicode.h"

namespace kezo::python {

// True when text is well-formed UTF-8 that Python can decode: no malformed or overlong
// sequences, nothing above U+10FFFF and no surrogates. Linear in the size of text.
inline bool is_valid_utf8(std::string_view text) noexcept {
    const char* data = text.data();
    const std::size_t size = text.size();
    for (std::size_t pos = 0; pos < size;) {
        if (static_cast<unsigned char>(data[pos]) < 0x80) {
            ++pos;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t length = unicode::decode_utf8(data, pos, size, &cp);
        if (length == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        pos += length;
    }
    return true;
}

// Raises ValueError naming the argument (and the item's index for a list) before the core is
// reached, so nothing of a call with a malformed argument is stored.
inline void require_utf8(std::string_view text, const char* argument) {
    if (!is_valid_utf8(text))
        throw pybind11::value_error(std::string(argument) + " is not valid UTF-8");
}

inline void require_utf8(const std::vector<std::string>& items, const char* argument) {
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (!is_valid_utf8(items[k]))
            throw pybind11::value_error(std::string(argument) + "[" + std::to_string(k) +
                                        "] is not valid UTF-8");
    }
}

// Every key of a table (a dict argument) must be valid UTF-8.
template <class Table>
inline void require_utf8_keys(const Table& table, const char* argument) {
    for (const auto& entry : table) {
        if (!is_valid_utf8(entry.first))
            throw pybind11::value_error(std::string(argument) +
                                        " has a key that is not valid UTF-8");
    }
}

}  // namespace kezo::python
