#pragma once

#include "core/errors/outcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavilon {

// What the text typed for the number of picks asks for.
struct PicksNumber {
    // What the box shows for the press: "1" where the text was "" or "0"
    // (exactly), else the text as it was.
    std::string shown;
    // How many picks: the value rounded down, none below 1 ("00", "0.5" and
    // "-3" ask for none), the largest number for a huge one; or, for text
    // that is not a number, the refusal a press gives.
    Outcome<std::uint64_t> picks;
};

// The one rule that turns the typed number of picks into a number.
PicksNumber picksNumber(std::string_view text);

} // namespace tavilon
