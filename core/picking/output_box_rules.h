#pragma once

#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavilon {

class PickedWords;

// The length of UTF-8 text in UTF-16 code units, as the output box counts.
std::size_t utf16Length(std::string_view utf8);

// The first character in the text that starts a new paragraph in the
// output box, though it is no line end: U+2029, U+FDD0 or U+FDD1.
std::optional<char32_t> paragraphBreakIn(std::string_view utf8);

// Refuses a press whose picks would take the box past MaxOutputLines.
Outcome<void> checkOutputRoom(std::uint64_t linesInBox, std::uint64_t picks);
// Refuses picks the box cannot show each on its own line.
Outcome<void> checkWordsFitBox(const PickedWords& picked);

} // namespace tavilon
