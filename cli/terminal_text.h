#pragma once

#include <string>
#include <string_view>

namespace tavilon {

// Text for a message on a terminal: whatever a file name or an argument
// holds, it cannot move the cursor, recolour or retitle the terminal, nor
// reorder what follows it. Control characters come out as C escapes ("\n",
// "\t", "\r", "\x1b"), bytes that are not UTF-8 as "\xHH" each, C1 controls,
// line and paragraph separators and bidirectional controls as "\uHHHH", and
// a backslash as "\\", so that every escape reads one way. Printable text,
// any language, passes unchanged.
std::string escapedForTerminal(std::string_view text);

} // namespace tavilon
