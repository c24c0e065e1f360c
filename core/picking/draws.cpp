#include "draws.h"

#include "selection.h"
#include "core/errors/core_errors.h"
#include "core/list/large_allocator.h"

#include <algorithm>
#include <bit>
#include <new>
#include <utility>

namespace tavilon {

namespace {

// The most different numbers the program's sequence lands on: one for each
// of its 2^24 states.
constexpr std::uint64_t SequenceReach = std::uint64_t{1} << 24;

// Word numbers drawn so far, from 1 to a highest one known at the start.
// Numbers that fit in no more memory than a table for the draws would take
// go in one bit each: a whole list of a million words takes 128 KiB, which
// stays in the processor's cache through the 14 million draws the program's
// sequence needs to land on every word (45 ms, against 76 ms with the
// table). Other numbers go in an open-addressed table of at least twice as
// many slots as it will hold (0 marks a free slot). Either way memory grows
// with the picks, not with the list.
class NumberSet {
public:
    NumberSet(std::uint64_t expected, std::uint64_t highest)
    {
        const std::size_t slots = std::bit_ceil(std::max<std::size_t>(static_cast<std::size_t>(expected) * 2, 16));
        if (highest / 64 < slots) {
            bits_.assign(static_cast<std::size_t>(highest / 64 + 1), 0);
        } else {
            slots_.assign(slots, 0);
            shift_ = 64 - std::countr_zero(slots);
        }
    }

    // Adds `n` (1 to the highest); false when it was there already.
    bool insert(std::uint64_t n)
    {
        if (bits_.empty())
            return insertInTable(n);
        std::uint64_t& word = bits_[static_cast<std::size_t>(n / 64)];
        const std::uint64_t bit = std::uint64_t{1} << (n % 64);
        const bool added = (word & bit) == 0;
        word |= bit;
        return added;
    }

private:
    bool insertInTable(std::uint64_t n)
    {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = static_cast<std::size_t>((n * 0x9E3779B97F4A7C15u) >> shift_);; i = (i + 1) & mask) {
            if (slots_[i] == n)
                return false;
            if (slots_[i] == 0) {
                slots_[i] = n;
                return true;
            }
        }
    }

    std::vector<std::uint64_t> bits_;
    std::vector<std::uint64_t> slots_;
    int shift_ = 0;
};

CoreError tooFewWords(std::uint64_t count, std::uint64_t picks, const std::string& why)
{
    const std::string holds = "holds " + countedText("%n word(s)", count) + ": " + why + " than the ";
    return {ErrorCode::TooFewWords, "The word list " + holds + countedText("%n different word(s)", picks) + " asked for.",
            {}, holds + countedText("%n different one(s)", picks) + " asked for"};
}

// A word number from 1 to `count`: from one step of the program's sequence,
// or, each equally likely, from the bytes of a file.
Outcome<std::uint64_t> drawOne(std::uint64_t count, RandomSource& random)
{
    return targetFor(static_cast<double>(count), random.next());
}

Outcome<std::uint64_t> drawOne(std::uint64_t count, RandomBytes& random)
{
    auto drawn = random.below(count);
    if (!drawn)
        return drawn.error();
    return drawn.value() + 1;
}

// The picks `fill` adds to a vector made ready for them, after what every
// draw checks first and, without repeats (`distinct`), that the list holds
// as many different words. Running out of memory is an error too.
template <class Fill>
Outcome<std::vector<std::uint64_t>> drawChecked(std::uint64_t count, std::uint64_t picks, bool distinct, Fill fill)
{
    try {
        if (auto checked = checkDraws(picks, count); !checked)
            return checked.error();
        if (distinct && picks > count)
            return tooFewWords(count, picks, "fewer");
        std::vector<std::uint64_t> targets;
        targets.reserve(picks);
        // Written through once and, without repeats, shuffled all over: on
        // huge pages a million picks from /dev/urandom took 150 ms against
        // 158 ms (fewer page faults, and the shuffle's swaps find their page).
        askForHugePages(targets.data(), targets.capacity() * sizeof(std::uint64_t));
        if (auto filled = fill(targets); !filled)
            return filled.error();
        return targets;
    } catch (const std::bad_alloc&) {
        return outOfMemoryError();
    }
}

template <class Source>
Outcome<std::vector<std::uint64_t>> repeatedDraws(std::uint64_t count, std::uint64_t picks, Source& random)
{
    return drawChecked(count, picks, false, [&](std::vector<std::uint64_t>& targets) -> Outcome<bool> {
        while (targets.size() < picks) {
            auto drawn = drawOne(count, random);
            if (!drawn)
                return drawn.error();
            targets.push_back(drawn.value());
        }
        return true;
    });
}

// The different numbers from 1 to `count` that the program's sequence lands
// on, up to `picks` of them, in the order first drawn; `draws` ends after the
// step of the last. One period of the sequence visits every state once, so
// it lands on every number it can reach. The steps go in batches, made
// before they are checked: the checks of a batch, and each number's write
// (made whether it is new or not), then overlap in the processor instead of
// waiting for each step or each guess of whether a number is new (a whole
// list of a million words: 45 ms, against 53 ms one step at a time).
void drawFirstDistinct(std::uint64_t count, std::uint64_t picks, RandomSource& draws,
                       std::vector<std::uint64_t>& targets)
{
    if (picks == 0)
        return;
    NumberSet drawn(picks, count);
    const auto words = static_cast<double>(count);
    targets.resize(static_cast<std::size_t>(picks));
    std::size_t taken = 0;
    constexpr std::size_t Batch = 512; // 2^24 steps make whole batches
    std::uint64_t batch[Batch];
    for (std::uint64_t step = 0; step < SequenceReach; step += Batch) {
        const RandomSource batchStart = draws;
        for (std::size_t i = 0; i < Batch; ++i)
            batch[i] = targetFor(words, draws.next());
        for (std::size_t i = 0; i < Batch; ++i) {
            targets[taken] = batch[i];
            taken += drawn.insert(batch[i]) ? 1 : 0;
            if (taken == picks) { // the source stops at this step
                draws = batchStart;
                for (std::size_t k = 0; k <= i; ++k)
                    draws.next();
                return;
            }
        }
    }
    targets.resize(taken);
}

} // namespace

Outcome<std::vector<std::uint64_t>> drawWithRepeats(std::uint64_t count, std::uint64_t picks, RandomSource& random)
{
    return repeatedDraws(count, picks, random);
}

Outcome<std::vector<std::uint64_t>> drawWithRepeats(std::uint64_t count, std::uint64_t picks, RandomBytes& random)
{
    return repeatedDraws(count, picks, random);
}

Outcome<std::vector<std::uint64_t>> drawDistinct(std::uint64_t count, std::uint64_t picks, RandomSource& random)
{
    return drawChecked(count, picks, true, [&](std::vector<std::uint64_t>& targets) -> Outcome<bool> {
        if (picks > SequenceReach)
            return tooFewWords(count, picks, "the program's sequence reaches only 16777216 of them, fewer");
        RandomSource draws = random;
        drawFirstDistinct(count, picks, draws, targets);
        if (targets.size() < picks)
            return tooFewWords(count, picks, "the program's sequence reaches only " + std::to_string(targets.size())
                                                 + " of them, fewer");
        random = draws;
        return true;
    });
}

Outcome<std::vector<std::uint64_t>> drawDistinct(std::uint64_t count, std::uint64_t picks, RandomBytes& random)
{
    return drawChecked(count, picks, true, [&](std::vector<std::uint64_t>& targets) -> Outcome<bool> {
        {
            // Floyd: for each j of the last `picks` numbers, a number up to
            // j, or j itself where that one is taken already.
            NumberSet taken(picks, count);
            for (std::uint64_t j = count - picks + 1; j <= count; ++j) {
                auto drawn = drawOne(j, random);
                if (!drawn)
                    return drawn.error();
                const std::uint64_t target = taken.insert(drawn.value()) ? drawn.value() : j;
                if (target == j)
                    taken.insert(j);
                targets.push_back(target);
            }
        }
        // The order: a Fisher-Yates shuffle. Its swaps land all over a table
        // larger than the processor's cache, so the places of a batch are
        // drawn and asked for first, then swapped in the same order (a
        // million picks from a file of bytes: 66 ms, against 135 ms with
        // each swap waiting for its memory).
        constexpr std::size_t Batch = 64;
        std::size_t places[Batch];
        for (std::size_t i = targets.size(); i > 1;) {
            const std::size_t n = std::min(Batch, i - 1);
            for (std::size_t k = 0; k < n; ++k) {
                auto drawn = random.below(i - k);
                if (!drawn)
                    return drawn.error();
                places[k] = static_cast<std::size_t>(drawn.value());
                __builtin_prefetch(&targets[places[k]], 1);
            }
            for (std::size_t k = 0; k < n; ++k)
                std::swap(targets[i - 1 - k], targets[places[k]]);
            i -= n;
        }
        return true;
    });
}

} // namespace tavilon
