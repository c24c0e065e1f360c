#include "draws.h"

#include "selection.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <bit>
#include <new>
#include <utility>

namespace tavilon {

namespace {

// The most different numbers the program's sequence lands on: one for each
// of its 2^24 states.
constexpr std::uint64_t SequenceReach = std::uint64_t{1} << 24;

// Word numbers drawn so far, in an open-addressed table of at least twice
// as many slots as it will hold (0 marks a free slot): memory grows with the
// picks, not with the list.
class NumberSet {
public:
    explicit NumberSet(std::uint64_t expected)
        : slots_(std::bit_ceil(std::max<std::size_t>(static_cast<std::size_t>(expected) * 2, 16))),
          shift_(64 - std::countr_zero(slots_.size()))
    {
    }

    // Adds `n` (at least 1); false when it was there already.
    bool insert(std::uint64_t n)
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

private:
    std::vector<std::uint64_t> slots_;
    int shift_;
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
        NumberSet drawn(picks);
        RandomSource draws = random;
        // One period of the sequence visits every state once, so it lands on
        // every number it can reach.
        for (std::uint64_t step = 0; targets.size() < picks && step < SequenceReach; ++step) {
            const std::uint64_t target = drawOne(count, draws).value();
            if (drawn.insert(target))
                targets.push_back(target);
        }
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
            NumberSet taken(picks);
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
        for (std::size_t i = targets.size(); i > 1; --i) { // the order: a Fisher-Yates shuffle
            auto drawn = random.below(i);
            if (!drawn)
                return drawn.error();
            std::swap(targets[i - 1], targets[static_cast<std::size_t>(drawn.value())]);
        }
        return true;
    });
}

} // namespace tavilon
