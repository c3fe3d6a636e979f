// The term sequences of a document's phrases, packed in blocks that never move.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kezo::keyphrase {

// A read-only view of a run of term ids, used like a const vector. It points into the
// TermRunPool that made it and lives as long as that pool (blocks never move, so moving the
// pool keeps every view valid).
class TermRun {
  public:
    TermRun() = default;
    TermRun(const std::uint32_t* data, std::uint32_t size) : data_(data), size_(size) {}

    const std::uint32_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const std::uint32_t* begin() const { return data_; }
    const std::uint32_t* end() const { return data_ + size_; }
    std::uint32_t operator[](std::size_t k) const { return data_[k]; }
    std::uint32_t front() const { return data_[0]; }
    std::uint32_t back() const { return data_[size_ - 1]; }

  private:
    const std::uint32_t* data_ = nullptr;
    std::uint32_t size_ = 0;
};

// Storage of term runs: 4 bytes a term and no allocation per run, where a vector per phrase
// costs 24 bytes and a heap block of 32. Blocks double from 64 terms to 65,536, so a short
// document allocates little. Move-only; not thread-safe for concurrent adds.
class TermRunPool {
  public:
    TermRun add(const std::uint32_t* terms, std::size_t n) {
        if (free_ < n) {
            const std::size_t size = std::max(n, next_block_);
            blocks_.push_back(std::make_unique<std::uint32_t[]>(size));
            at_ = blocks_.back().get();
            free_ = size;
            next_block_ = std::min<std::size_t>(next_block_ * 2, kLargestBlock);
        }
        std::copy(terms, terms + n, at_);
        const TermRun run(at_, static_cast<std::uint32_t>(n));
        at_ += n;
        free_ -= n;
        return run;
    }

  private:
    static constexpr std::size_t kLargestBlock = std::size_t{1} << 16;
    std::vector<std::unique_ptr<std::uint32_t[]>> blocks_;
    std::uint32_t* at_ = nullptr;
    std::size_t free_ = 0;
    std::size_t next_block_ = 64;
};

}  // namespace kezo::keyphrase
