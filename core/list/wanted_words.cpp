#include "wanted_words.h"

#include <algorithm>

namespace tavilon {

namespace {

constexpr std::uint64_t IndexMask = (std::uint64_t{1} << SortedTargets::IndexBits) - 1;
// How many targets ahead a pass asks for the memory a target writes.
constexpr std::size_t PrefetchAhead = 16;

} // namespace

SortedTargets::SortedTargets(const std::vector<std::uint64_t>& targets) : order_(sorted(targets)) {}

// A radix sort, since a press may hold a million targets.
SortedTargets::Table SortedTargets::sorted(const std::vector<std::uint64_t>& keys)
{
    Table items;
    items.reserve(keys.size());
    std::uint64_t maxItem = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        items.push_back((keys[i] << IndexBits) | i);
        maxItem = std::max(maxItem, items.back());
    }
    if (keys.size() < 256) {
        std::sort(items.begin(), items.end());
        return items;
    }
    Table scratchStore(keys.size());
    std::uint64_t* scratch = scratchStore.data();
    std::uint64_t* from = items.data();
    int passes = 0;
    constexpr int Bits = 12;
    constexpr std::size_t Buckets = std::size_t{1} << Bits;
    std::vector<std::size_t> counts(Buckets + 1);
    // Draws of the same word need no order among themselves: the draw bits
    // are left out of the sort.
    for (int shift = IndexBits; shift < 64 && (maxItem >> shift) != 0; shift += Bits) {
        std::fill(counts.begin(), counts.end(), 0);
        for (std::size_t i = 0; i < keys.size(); ++i)
            ++counts[((from[i] >> shift) & (Buckets - 1)) + 1];
        for (std::size_t b = 1; b <= Buckets; ++b)
            counts[b] += counts[b - 1];
        for (std::size_t i = 0; i < keys.size(); ++i)
            scratch[counts[(from[i] >> shift) & (Buckets - 1)]++] = from[i];
        std::swap(from, scratch);
        ++passes;
    }
    if (passes % 2 != 0)
        std::copy(from, from + keys.size(), items.data());
    return items;
}

void SortedTargets::found(std::uint64_t span, PickedWords& picked)
{
    const std::uint64_t word = nextWord();
    while (wantsMore() && nextWord() == word) {
        if (next_ + PrefetchAhead < order_.size())
            picked.prefetchSpan(static_cast<std::size_t>(order_[next_ + PrefetchAhead] & IndexMask));
        picked.setSpan(static_cast<std::size_t>(order_[next_++] & IndexMask), span);
    }
}

EveryWord::EveryWord(const std::vector<std::uint64_t>& targets, std::uint64_t highest)
    : targets_(targets), highest_(highest), spans_(static_cast<std::size_t>(highest))
{
}

void EveryWord::finish(PickedWords& picked) const
{
    for (std::size_t i = 0; i < targets_.size(); ++i)
        picked.setSpan(i, spans_[targets_[i] - 1]);
}

} // namespace tavilon
