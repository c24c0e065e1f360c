#pragma once

#include "outcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavilon {

// A file's name as messages show it: in double quotes.
std::string quotedPath(const std::string& path);

// `pattern` with each %1 to %9 replaced by the argument of that number, in
// one pass (an argument's own "%1" stays as it is).
std::string fillSentence(std::string_view pattern, const std::vector<std::string>& args);

// Marks a number with the noun it counts ("%n line(s)") for the
// translators, who give each of their language's plural forms.
#define TAVILON_COUNTED(context, text) text

// `pattern`'s %n filled with `number`, in English: "(s)" goes for one and
// becomes "s" for any other number ("1 line", "0 lines", "2 lines").
std::string countedText(std::string_view pattern, std::uint64_t number);

// The system's reason for the errno value `err` ("No such file or
// directory"), in English whatever the process's locale: the C locale's text.
std::string systemReason(int err);

// What a file that is not a regular file is, by its st_mode, as messages
// name it: "a folder", "a pipe", "a device", "a socket" or "a special file".
std::string kindOf(unsigned mode);

// An error whose sentence is `pattern` filled with `args`. With a
// `systemError`, the last of `args` is systemReason(systemError).
CoreError sentenceError(ErrorCode code, const char* pattern, std::vector<std::string> args, std::string subject = {},
                        std::string reason = {}, int systemError = 0);

// Errors that several readers of a word list give in the same words.
CoreError notWordListError(const std::string& path);
CoreError cancelledError();
// Opening `path` failed with the errno value `err`.
CoreError openFailedError(const std::string& path, int err);
// Reading `path` failed part-way with the errno value `err`.
CoreError readFailedError(const std::string& path, int err);
// The file is not the one that was counted (or no longer holds what the
// count saw): nothing is known about what it holds now.
CoreError listChangedError(const std::string& path);
CoreError outOfMemoryError();
// The picks would make more than `budget` bytes of text.
CoreError textBudgetError(std::size_t budget);

} // namespace tavilon
