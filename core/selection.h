#pragma once

#include "outcome.h"
#include "progress.h"
#include "random_source.h"
#include "word_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavilon {

// The most picks one press of "Select" may ask for.
constexpr std::uint64_t MaxPicksPerPress = 1'000'000;

struct PressInput {
    std::string picksText; // the number of picks, as typed
    std::string countText; // the field count, as shown
    std::string path;      // the word list
};

struct PressResult {
    std::string picksText;  // "1" where it was "" or "0", else as it was
    std::string appendText; // each pick followed by "\r\n"
    std::uint64_t picks = 0;
};

// "" and "0" (exactly) become "1"; anything else stays as it is.
std::string effectivePicksText(std::string_view picksText);

// How many picks a numeric text asks for: its value rounded down, none
// below 1. Empty when the text is not a number.
std::optional<std::uint64_t> passCount(std::string_view picksText);

// The field number one draw lands on: floor(count * r + 1).
std::uint64_t targetFor(double count, float r);

// One press of "Select": draws every pick's field number first, then reads
// the list once. On any error nothing is picked and the random source is
// left as it was, so a failed or stopped press changes nothing. Each pick is
// followed by `lineEnd`: CR LF in the output box. An index from counting
// the same unchanged file lets the press skip what lies between its picks.
Outcome<PressResult> press(const PressInput& input, RandomSource& random, const ProgressFn& progress = {},
                           std::string_view lineEnd = "\r\n", const FieldIndex* index = nullptr);

// The same press done as designed originally: the list read from its top for
// every pick. Slow; kept as the reference the one-pass press must match.
Outcome<PressResult> pressOnePickAtATime(const PressInput& input, RandomSource& random);

} // namespace tavilon
