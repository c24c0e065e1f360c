#include "selection.h"

#include "output_box_rules.h"
#include "core/errors/core_errors.h"
#include "core/list/picked_words.h"
#include "core/list/word_list.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

namespace tavilon {

namespace {

struct Plan {
    std::uint64_t passes = 0;
    double count = 0;
};

Outcome<Plan> plan(std::uint64_t picks, std::uint64_t count)
{
    if (auto checked = checkDraws(picks, count); !checked)
        return checked.error();
    Plan p;
    p.passes = picks;
    p.count = static_cast<double>(count);
    return p;
}

} // namespace

Outcome<void> checkDraws(std::uint64_t picks, std::uint64_t count)
{
    if (picks > MaxPicksPerPress)
        return sentenceError(ErrorCode::TooManyPicks,
                             TAVILON_SENTENCE("CoreError", "At most %1 words can be picked at a time; ask for fewer."),
                             {std::to_string(MaxPicksPerPress)});
    if (picks == 0)
        return {};
    if (count == 0)
        return sentenceError(ErrorCode::NoWords,
                             TAVILON_SENTENCE("CoreError", "The word list has no words to pick from. "
                                                           "Load a list that holds at least one word."),
                             {});
    if (count > MaxWordNumber)
        return sentenceError(ErrorCode::InvalidCount,
                             TAVILON_SENTENCE("CoreError", "The word count \"%1\" is not a count of words. "
                                                           "Load the list again."),
                             {std::to_string(count)});
    return {};
}

namespace {

// The plan's word numbers, drawn from `draws`.
std::vector<std::uint64_t> drawTargets(const Plan& p, RandomSource& draws)
{
    std::vector<std::uint64_t> targets;
    targets.reserve(p.passes);
    for (std::uint64_t i = 0; i < p.passes; ++i)
        targets.push_back(targetFor(p.count, draws.next()));
    return targets;
}

// The words at `targets`, read from the list in one pass; the list must
// still be the file it was when opened.
Outcome<PickedWords> collectChecked(TextSource& list, const std::vector<std::uint64_t>& targets,
                                    const ProgressFn& progress, const WordIndex* index, std::size_t textBudget,
                                    ListFormat format = ListFormat::Lines)
{
    auto picked = format == ListFormat::ZeroTerminated ? collectZeroTerminated(list, targets, textBudget)
                                                       : collectWords(list, targets, progress, index, textBudget);
    if (!picked && picked.error().code == ErrorCode::Cancelled)
        return picked;
    // Written since it was opened (a NUL in a part skipped, words moved):
    // the picks, or the error met, may not belong to the list that was
    // counted.
    auto now = list.currentIdentity();
    if (!now)
        return now.error();
    if (now.value() != list.identity())
        return listChangedError(list.path());
    return picked;
}

Outcome<PickedWords> drawAndCollect(TextSource& list, const Plan& p, RandomSource& draws, const ProgressFn& progress,
                                    const WordIndex* index, std::size_t textBudget)
{
    return collectChecked(list, drawTargets(p, draws), progress, index, textBudget);
}

std::string joinedPicks(const PickedWords& picked, std::string_view lineEnd)
{
    std::string text;
    text.resize(picked.totalSize() + lineEnd.size() * picked.size());
    char* out = text.data();
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const std::string_view word = picked.word(i);
        std::memcpy(out, word.data(), word.size());
        out += word.size();
        std::memcpy(out, lineEnd.data(), lineEnd.size());
        out += lineEnd.size();
    }
    return text;
}

Outcome<PressResult> pressUnguarded(const PressInput& input, RandomSource& random, const ProgressFn& progress,
                                    const WordIndex* index, std::size_t textBudget)
{
    auto planned = plan(input.picks, input.count);
    if (!planned)
        return planned.error();
    const Plan& p = planned.value();
    if (auto room = checkOutputRoom(input.outputLines, p.passes); !room)
        return room.error();
    PressResult result;
    if (p.passes == 0)
        return result;

    auto opened = TextSource::open(input.path);
    if (!opened)
        return opened.error();
    TextSource& list = opened.value();
    if (input.countedFile && *input.countedFile != list.identity())
        return listChangedError(input.path);

    RandomSource draws = random;
    auto collected = drawAndCollect(list, p, draws, progress, index, textBudget);
    if (!collected)
        return collected.error();
    const PickedWords& picked = collected.value();
    constexpr std::string_view LineEnd = "\n";
    if (picked.totalSize() + LineEnd.size() * picked.size() > textBudget)
        return textBudgetError(textBudget);
    if (auto fits = checkWordsFitBox(picked); !fits)
        return fits.error();
    result.words = joinedPicks(picked, LineEnd);
    result.picks = p.passes;
    random = draws;
    return result;
}

} // namespace

Outcome<PressResult> press(const PressInput& input, RandomSource& random, const ProgressFn& progress,
                           const WordIndex* index, std::size_t textBudget)
{
    try {
        return pressUnguarded(input, random, progress, index, textBudget);
    } catch (const std::bad_alloc&) {
        return outOfMemoryError();
    }
}

namespace {

// How many picks ahead their words are asked for.
constexpr std::size_t PrefetchAhead = 16;

// The picks of a press, without the output box's limits, each passed to
// `pass`, which returns false when it could not pass it on; `flush` runs once
// after the last.
template <class Pass, class Flush>
Outcome<std::uint64_t> pickEach(TextSource& list, const std::vector<std::uint64_t>& targets, const WordIndex* index,
                                ListFormat format, Pass pass, Flush flush)
{
    try {
        if (targets.empty())
            return std::uint64_t{0};
        // The words of one pass stay within PickPassBudget, or are one word:
        // where the words drawn are too long together, the draws go out in
        // smaller groups, in their order, each group read in a pass of its
        // own.
        std::size_t groupSize = targets.size();
        for (std::size_t begin = 0; begin < targets.size();) {
            const std::size_t end = std::min(targets.size(), begin + groupSize);
            const bool whole = begin == 0 && end == targets.size();
            const std::vector<std::uint64_t> group = whole ? std::vector<std::uint64_t>()
                                                           : std::vector<std::uint64_t>(targets.begin() + begin,
                                                                                        targets.begin() + end);
            const auto& asked = whole ? targets : group;
            const bool oneWord = std::all_of(asked.begin(), asked.end(),
                                             [&](std::uint64_t target) { return target == asked.front(); });
            auto collected = collectChecked(list, asked, {}, index, oneWord ? SIZE_MAX : PickPassBudget, format);
            if (!collected && collected.error().code == ErrorCode::TooMuchText && asked.size() > 1) {
                groupSize = (asked.size() + 1) / 2;
                continue;
            }
            if (!collected)
                return collected.error();
            const PickedWords& picked = collected.value();
            for (std::size_t i = 0; i < picked.size(); ++i) {
                if (i + PrefetchAhead < picked.size())
                    picked.prefetchWord(i + PrefetchAhead);
                if (!pass(picked.word(i)))
                    return sentenceError(ErrorCode::WriteFailed,
                                         TAVILON_SENTENCE("CoreError", "The picked words could not be written."), {});
            }
            begin = end;
        }
        if (!flush())
            return sentenceError(ErrorCode::WriteFailed,
                                         TAVILON_SENTENCE("CoreError", "The picked words could not be written."), {});
        return std::uint64_t{targets.size()};
    } catch (const std::bad_alloc&) {
        return outOfMemoryError();
    }
}

} // namespace

Outcome<std::uint64_t> pickText(TextSource& list, std::uint64_t count, std::uint64_t picks, RandomSource& random,
                                const WordIndex* index, std::string_view lineEnd, const TextSink& sink)
{
    try {
        auto planned = plan(picks, count);
        if (!planned)
            return planned.error();
        RandomSource draws = random;
        auto picked = pickTargets(list, drawTargets(planned.value(), draws), index, lineEnd, sink);
        if (picked)
            random = draws;
        return picked;
    } catch (const std::bad_alloc&) {
        return outOfMemoryError();
    }
}

Outcome<std::uint64_t> pickTargets(TextSource& list, const std::vector<std::uint64_t>& targets,
                                   const WordIndex* index, std::string_view lineEnd, const TextSink& sink,
                                   ListFormat format)
{
    constexpr std::size_t RunSize = 64u << 10;
    std::string run(RunSize, '\0');
    std::size_t used = 0;
    const auto flush = [&] {
        if (used == 0)
            return true;
        const bool passed = sink(std::string_view(run.data(), used));
        used = 0;
        return passed;
    };
    return pickEach(
        list, targets, index, format,
        [&](std::string_view word) {
            const std::size_t size = word.size() + lineEnd.size();
            // The run goes out before it would overflow; a word longer than
            // a run goes out by itself, as it is held, then its line end.
            if (used + size > run.size()) {
                if (!flush())
                    return false;
                if (size > run.size())
                    return sink(word) && sink(lineEnd);
            }
            std::memcpy(run.data() + used, word.data(), word.size());
            std::memcpy(run.data() + used + word.size(), lineEnd.data(), lineEnd.size());
            used += size;
            return true;
        },
        flush);
}

Outcome<PressResult> pressOnePickAtATime(const PressInput& input, RandomSource& random)
{
    auto planned = plan(input.picks, input.count);
    if (!planned)
        return planned.error();
    const Plan& p = planned.value();
    PressResult result;
    RandomSource draws = random;
    for (std::uint64_t pass = 1; pass <= p.passes; ++pass) {
        const std::uint64_t target = targetFor(p.count, draws.next());
        auto word = fetchWord(input.path, target);
        if (!word)
            return word.error();
        result.words += word.value();
        result.words += '\n';
    }
    result.picks = p.passes;
    random = draws;
    return result;
}

} // namespace tavilon
