// Loading of the benchmark texts shipped under tests/data.
#pragma once

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

namespace kezo::bench {

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline std::string udhr(const char* code) {
    return read_file(std::string(KEZO_TEST_DATA_DIR) + "/udhr/" + code + ".txt");
}

// Repeats the concatenation of the given texts until the result holds `bytes` bytes.
inline std::string repeat_to(std::initializer_list<std::string> parts, std::size_t bytes) {
    std::string joined;
    for (const auto& p : parts) joined += p + "\n";
    std::string out;
    if (joined.empty()) return out;
    out.reserve(bytes + joined.size());
    while (out.size() < bytes) out += joined;
    out.resize(bytes);
    return out;
}

}  // namespace kezo::bench
