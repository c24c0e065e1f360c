#include "word_index.h"

#include <algorithm>

namespace tavilon {

void WordIndex::clear()
{
    marks_.clear();
    stride_ = 1;
}

void WordIndex::offer(const Mark& mark, std::uint64_t block)
{
    if (block % stride_ != 0)
        return;
    marks_.push_back(mark);
    thinWhileFull();
}

void WordIndex::append(const WordIndex& later, std::uint64_t wordsBefore)
{
    for (const Mark& mark : later.marks_)
        marks_.push_back({mark.offset, mark.wordsBefore + wordsBefore});
    thinWhileFull();
}

void WordIndex::thinWhileFull()
{
    while (marks_.size() > maxMarks_) {
        // Full: keep every other mark and take half as many from now on.
        std::size_t kept = 0;
        for (std::size_t i = 0; i < marks_.size(); i += 2)
            marks_[kept++] = marks_[i];
        marks_.resize(kept);
        stride_ *= 2;
    }
}

const WordIndex::Mark* WordIndex::before(std::uint64_t target) const
{
    auto it = std::partition_point(marks_.begin(), marks_.end(),
                                   [&](const Mark& mark) { return mark.wordsBefore < target; });
    return it == marks_.begin() ? nullptr : &*(it - 1);
}

} // namespace tavilon
