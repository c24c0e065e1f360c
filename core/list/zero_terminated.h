#pragma once

#include "picked_words.h"
#include "text_source.h"
#include "core/errors/outcome.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavilon {

// A list whose words end at NUL (U+0000 in a UTF-16 list) rather than at a
// line end, for names and texts that may hold any other character: CR and
// LF stay inside words, spaces and tabs around a word are trimmed, empty
// words are skipped, and a byte-order mark is skipped. The last word needs
// no NUL after it. Read with a plain loop, from the source's start.

// How the words of a list end: at line ends, or at NUL as below.
enum class ListFormat { Lines, ZeroTerminated };

// The number of words.
Outcome<std::uint64_t> countZeroTerminated(TextSource& source);

// The words at `targets` (each 1-based, any order, repeats allowed), read in
// one pass: word i belongs to targets[i], each distinct word kept once,
// byte for byte as the list holds it (a UTF-16 list's as UTF-8), taking at
// most `textBudget` bytes. A target beyond the words the list holds means
// the list is not what was counted.
Outcome<PickedWords> collectZeroTerminated(TextSource& source, const std::vector<std::uint64_t>& targets,
                                           std::size_t textBudget = SIZE_MAX);

} // namespace tavilon
