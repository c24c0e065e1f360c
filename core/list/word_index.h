#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavilon {

// Where words begin, noted while counting, so that a later pass over the
// same unchanged file can skip straight to the parts it needs. It keeps at
// most a fixed number of marks, spreading them out as the file grows.
class WordIndex {
public:
    struct Mark {
        std::uint64_t offset;      // a line start, in bytes of text
        std::uint64_t wordsBefore; // the words that end before it
    };

    explicit WordIndex(std::size_t maxMarks = 65536) : maxMarks_(maxMarks < 2 ? 2 : maxMarks) {}

    void clear();
    // Takes the memory for all the marks it may hold at once, so that
    // offering marks never allocates.
    void reserveAll() { marks_.reserve(maxMarks_ + 1); }
    // Offers the mark found in block `block` of the count.
    void offer(const Mark& mark, std::uint64_t block);
    // Adds the marks of a later part of the same text that was counted on
    // its own, after `wordsBefore` words.
    void append(const WordIndex& later, std::uint64_t wordsBefore);
    // The last mark before which fewer than `target` words end, or nothing.
    const Mark* before(std::uint64_t target) const;
    std::size_t size() const { return marks_.size(); }
    std::size_t maxMarks() const { return maxMarks_; }

private:
    void thinWhileFull();

    std::vector<Mark> marks_;
    std::size_t maxMarks_;
    std::uint64_t stride_ = 1;
};

} // namespace tavilon
