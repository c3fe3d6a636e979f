// Replays a fuzz target over files, for builds without libFuzzer: CTest runs every target over
// slices of the test data, so the targets' checks against their references also run in each
// test build, sanitizer builds included. A failed check aborts, which fails the test.
// Usage: replay_fuzz_X PATH...   (files, or directories read recursively)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> files_under(const char* root) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(root)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
        files.emplace_back(root);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every file whole, then windows of several lengths at a fixed stride: some start inside a
// multi-byte character, and their last bytes (which the targets read as options) vary.
std::size_t replay(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t inputs = 1;
    LLVMFuzzerTestOneInput(data, bytes.size());
    constexpr std::size_t kStride = 211;
    for (std::size_t length : {1, 16, 64, 256, 1024, 4096}) {
        for (std::size_t offset = 0; offset + length <= bytes.size(); offset += kStride) {
            LLVMFuzzerTestOneInput(data + offset, length);
            ++inputs;
        }
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
    std::size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& path : files_under(argv[i])) {
            std::ifstream in(path, std::ios::binary);
            inputs += replay(std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
    std::printf("%zu inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
