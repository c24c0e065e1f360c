#include "picked_words.h"

#include "blanks.h"
#include "text_decode.h"
#include "word_collector.h"
#include "core/errors/core_errors.h"

#include <algorithm>

namespace tavilon {

namespace {

// How a pass finds its words: by targets sorted into file order, or, when
// the targets are many for the words they reach, by keeping every word up
// to the highest target and looking each draw up afterwards. Keeping every
// word costs about as much per word as sorting costs per target plus
// taking the words drawn, once the targets number at least half the words
// they reach (a million picks from a 1M-word list: 77 ms of processor time
// against 111 ms sorted).
bool everyWordIsFaster(std::size_t targets, std::uint64_t highest)
{
    return highest <= 2 * static_cast<std::uint64_t>(targets);
}

} // namespace

std::uint64_t PickedWords::packBigSpan(std::size_t begin, std::size_t size)
{
    bigSpans_.push_back({begin, size});
    return ((bigSpans_.size() - 1) << SizeBits) | BigSize;
}

void PickedWords::resize(std::size_t targets)
{
    spans_.assign(targets, 0);
    arena_.reserve(std::min<std::size_t>(targets * 16, std::size_t{64} << 20));
}

std::uint64_t PickedWords::store(std::string_view bytes)
{
    if (isValidUtf8(bytes))
        arena_.append(bytes);
    else
        arena_.append(windows1252ToUtf8(bytes));
    return storedFrom(stored_);
}

std::uint64_t PickedWords::storeParts(WordBytes bytes)
{
    const std::string_view word = trimBlanks(parts());
    if (bytes == WordBytes::Utf8 && !isValidUtf8(word)) {
        const std::string read(word); // rare: Windows-1252 text grows as it is converted
        dropParts();
        return store(read);
    }
    arena_.truncate(static_cast<std::size_t>(word.data() + word.size() - arena_.data()));
    arena_.erase(stored_, static_cast<std::size_t>(word.data() - parts().data()));
    return storedFrom(stored_);
}

std::string_view PickedWords::bigWord(std::size_t which) const
{
    const auto& big = bigSpans_[which];
    return {arena_.data() + big.first, big.second};
}

std::size_t PickedWords::totalSize() const
{
    std::size_t total = 0;
    for (std::size_t i = 0; i < spans_.size(); ++i)
        total += word(i).size();
    return total;
}

Outcome<PickedWords> collectWords(TextSource& source, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress, const WordIndex* index, std::size_t textBudget)
{
    if (targets.size() > MaxTargetsPerPass)
        return sentenceError(ErrorCode::TooManyPicks, TAVILON_SENTENCE("CoreError", "Too many words asked for at once."),
                             {});
    if (targets.empty()) {
        PickedWords none;
        return none;
    }
    const auto [lowest, highest] = std::minmax_element(targets.begin(), targets.end());
    if (*lowest == 0 || *highest > MaxWordNumber) {
        const auto wrong = std::find_if(targets.begin(), targets.end(),
                                        [](std::uint64_t t) { return t == 0 || t > MaxWordNumber; });
        return sentenceError(ErrorCode::InvalidCount,
                             TAVILON_SENTENCE("CoreError", "Word number %1 cannot be looked up."),
                             {std::to_string(*wrong)});
    }
    if (!everyWordIsFaster(targets.size(), *highest))
        return collectPass(source, SortedTargets(targets), targets.size(), progress, index, textBudget);
    auto picked = collectPass(source, EveryWord(targets, *highest), targets.size(), progress, index, textBudget);
    // Keeping every word may pass the budget where the words drawn alone
    // would not: those are tried on their own then.
    if (!picked && picked.error().code == ErrorCode::TooMuchText)
        return collectPass(source, SortedTargets(targets), targets.size(), progress, index, textBudget);
    return picked;
}

Outcome<PickedWords> collectWords(const std::string& path, const std::vector<std::uint64_t>& targets,
                                  const ProgressFn& progress, const WordIndex* index)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    return collectWords(opened.value(), targets, progress, index);
}

} // namespace tavilon
