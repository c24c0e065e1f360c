#pragma once

#include "large_allocator.h"
#include "picked_words.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavilon {

// The two ways a pass finds the words of its targets (1-based word numbers
// in the order drawn). Each tells the pass the next word number it wants,
// takes the place of that word once stored, and fills in the places of
// the draws at the end.

// The targets sorted into file order: each word found goes to every draw
// of it at once.
class SortedTargets {
public:
    explicit SortedTargets(const std::vector<std::uint64_t>& targets);

    bool wantsMore() const { return next_ < order_.size(); }
    std::uint64_t nextWord() const { return order_[next_] >> IndexBits; }
    // The word wanted next is stored at `span`.
    void found(std::uint64_t span, PickedWords& picked);
    void stop() { next_ = order_.size(); }
    void finish(PickedWords&) const {}

    // A target packed in one 64-bit number: its word number above, its
    // position among the draws in the low IndexBits bits, so that sorting
    // the packed numbers sorts by word number.
    static constexpr int IndexBits = std::bit_width(MaxTargetsPerPass - 1);

private:
    using Table = std::vector<std::uint64_t, LargeAllocator<std::uint64_t>>;
    static Table sorted(const std::vector<std::uint64_t>& targets);

    Table order_;
    std::size_t next_ = 0;
};

// Every word up to the highest target, each stored once as it passes, and
// each draw looked up afterwards: no sort, and no word stored twice.
class EveryWord {
public:
    // `highest` is the highest of the targets.
    EveryWord(const std::vector<std::uint64_t>& targets, std::uint64_t highest);

    bool wantsMore() const { return nextWord_ <= highest_; }
    std::uint64_t nextWord() const { return nextWord_; }
    void found(std::uint64_t span, PickedWords&) { spans_[nextWord_++ - 1] = span; }
    void stop() { nextWord_ = highest_ + 1; }
    void finish(PickedWords& picked) const;

private:
    const std::vector<std::uint64_t>& targets_;
    std::uint64_t highest_;
    std::uint64_t nextWord_ = 1;
    std::vector<std::uint64_t, LargeAllocator<std::uint64_t>> spans_; // word n's at n - 1
};

} // namespace tavilon
