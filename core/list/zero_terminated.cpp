#include "zero_terminated.h"

#include "blanks.h"
#include "read_buffer.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string_view>

namespace tavilon {

namespace {

constexpr std::size_t ChunkSize = std::size_t{1} << 16;

// Reads the source from its start, word by word. `want(n)` says whether
// word n (should the text being read make one) is to be kept whole: its
// bytes then go to `picked` in parts as they are read. `word(n)` is told of
// each word's end, and stores or drops the parts of a word wanted. Stops
// early when `word` returns false.
template <class Want, class Word>
Outcome<void> forEachWord(TextSource& source, PickedWords* picked, Want want, Word word)
{
    if (auto rewound = source.rewind(); !rewound)
        return rewound.error();
    ReadBuffer chunk(ChunkSize);
    bool nonBlank = false; // the word being read holds more than blanks
    std::uint64_t words = 0;
    bool wanted = want(1);
    const auto end = [&] {
        bool go = true;
        if (nonBlank) {
            ++words;
            go = word(words);
            wanted = want(words + 1);
        } else if (wanted) {
            picked->dropParts();
        }
        nonBlank = false;
        return go;
    };
    for (;;) {
        auto got = source.read(chunk.data(), chunk.size());
        if (!got)
            return got.error();
        if (got.value() == 0)
            break;
        std::string_view rest(chunk.data(), got.value());
        while (!rest.empty()) {
            const std::size_t nul = rest.find('\0');
            const std::string_view part = rest.substr(0, nul);
            if (!nonBlank)
                nonBlank = std::any_of(part.begin(), part.end(), [](char c) { return !isBlank(c); });
            if (wanted)
                picked->addPart(part);
            if (nul == std::string_view::npos)
                break;
            rest.remove_prefix(nul + 1);
            if (!end())
                return {};
        }
    }
    end();
    return {};
}

} // namespace

Outcome<std::uint64_t> countZeroTerminated(TextSource& source)
{
    std::uint64_t count = 0;
    auto read = forEachWord(
        source, nullptr, [](std::uint64_t) { return false; },
        [&](std::uint64_t n) {
            count = n;
            return true;
        });
    if (!read)
        return read.error();
    return count;
}

Outcome<PickedWords> collectZeroTerminated(TextSource& source, const std::vector<std::uint64_t>& targets,
                                           std::size_t textBudget)
{
    std::vector<std::size_t> order(targets.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return targets[a] < targets[b]; });
    PickedWords picked;
    picked.resize(targets.size());
    std::size_t next = 0; // the first of `order` not yet found
    const auto wantedAt = [&](std::uint64_t n) { return next < order.size() && targets[order[next]] == n; };
    bool overBudget = false;
    auto read = forEachWord(source, &picked, wantedAt, [&](std::uint64_t n) {
        if (!wantedAt(n))
            return true;
        overBudget = picked.storedSize() + trimBlanks(picked.parts()).size() > textBudget; // told before it is kept
        if (overBudget)
            return false;
        // Names come out as they went in.
        const std::uint64_t span = picked.storeParts(WordBytes::AsRead);
        for (; wantedAt(n); ++next)
            picked.setSpan(order[next], span);
        return next < order.size();
    });
    if (!read)
        return read.error();
    if (overBudget)
        return textBudgetError(textBudget);
    if (next < order.size())
        return listChangedError(source.path());
    return picked;
}

} // namespace tavilon
