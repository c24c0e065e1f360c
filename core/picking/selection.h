#pragma once

#include "random_source.h"
#include "core/errors/file_identity.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"
#include "core/list/text_source.h"
#include "core/list/word_index.h"
#include "core/list/zero_terminated.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavilon {

// The most picks one press of "Select" may ask for.
constexpr std::uint64_t MaxPicksPerPress = 1'000'000;
// The most lines the output box holds; a press that would pass it is refused.
constexpr std::uint64_t MaxOutputLines = 1'000'000;
// The longest word the output box takes, in UTF-16 code units as it counts.
constexpr std::size_t MaxWordLength = 10'000;
// The most text one press may build (a million ordinary picks need a few MiB).
constexpr std::size_t PressTextBudget = std::size_t{256} << 20;
// The most distinct word text the picks handed over one by one hold at once;
// longer words than that are read in further passes over the list.
constexpr std::size_t PickPassBudget = std::size_t{64} << 20;

// One press of Select, in numbers.
struct PressInput {
    std::uint64_t picks = 1; // how many words to pick (see picksNumber)
    std::uint64_t count = 0; // the words the list holds, as counted; 0 for none
    std::string path;        // the word list
    // The file as it stood when it was counted; when given, a press that
    // finds another file at the path, or this one changed, is refused.
    std::optional<FileIdentity> countedFile {};
    std::uint64_t outputLines = 0; // the lines the output box holds already
};

struct PressResult {
    std::string words; // each pick followed by '\n', the output box's own line end
    std::uint64_t picks = 0;
};

// What every draw checks first: at most MaxPicksPerPress picks and, when
// any are asked for, a list with words and a count that can be looked up.
Outcome<void> checkDraws(std::uint64_t picks, std::uint64_t count);

// The word number one draw lands on: floor(count * r + 1). Inline, as the
// draws without repeats make millions of them; the value is at least 1, so
// dropping its fraction rounds it down.
inline std::uint64_t targetFor(double count, float r)
{
    return static_cast<std::uint64_t>(count * static_cast<double>(r) + 1.0);
}

// One press of "Select" with the output box's rules: at most
// MaxPicksPerPress picks, no more than MaxOutputLines lines in
// the box afterwards, every word at most MaxWordLength long and free of the
// characters that break the box's lines, and at most `textBudget` bytes of
// text. It draws every pick's word number first, then reads the list once.
// The draws come from a copy of `random`, which takes the copy's state only
// when the whole press succeeds: on any error (memory running out included)
// nothing is picked and the source is left as it was. An index from counting
// the same unchanged file lets the press skip what lies between its picks.
Outcome<PressResult> press(const PressInput& input, RandomSource& random, const ProgressFn& progress = {},
                           const WordIndex* index = nullptr, std::size_t textBudget = PressTextBudget);

// Takes a run of picked text: whole words, each followed by its line end;
// a word longer than a run comes by itself, then its line end.
using TextSink = std::function<bool(std::string_view text)>;

// The picks of a press from an opened list, handed over as text in runs of
// about 64 KiB in the order drawn, each word followed by `lineEnd`, and
// without the output box's limits: any word is passed on exactly. Returns
// the number of picks. Memory grows with the number of picks, not with the
// words' length: the words held at once stay within PickPassBudget (or one
// word, if longer, held once), with further passes over the list where the
// words drawn are longer together. The list must still be the file the
// count read; a change since it was opened is refused before the words of
// that pass are passed on.
Outcome<std::uint64_t> pickText(TextSource& list, std::uint64_t count, std::uint64_t picks, RandomSource& random,
                                const WordIndex* index, std::string_view lineEnd, const TextSink& sink);

// The words at `targets` (word numbers from 1 to the list's count, in
// the order drawn) handed over as pickText hands over its picks, from a list
// whose words end as `format` says (the index is for lines only).
Outcome<std::uint64_t> pickTargets(TextSource& list, const std::vector<std::uint64_t>& targets,
                                   const WordIndex* index, std::string_view lineEnd, const TextSink& sink,
                                   ListFormat format = ListFormat::Lines);

// The same picks read the plain way: the list read from its top for every
// pick. Slow, and without the output box's limits; kept as the reference the
// one-pass press must match.
Outcome<PressResult> pressOnePickAtATime(const PressInput& input, RandomSource& random);

} // namespace tavilon
