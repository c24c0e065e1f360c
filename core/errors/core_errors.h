#pragma once

#include "outcome.h"

#include <cstddef>
#include <string>

namespace tavilon {

// A file's name as messages show it: in double quotes.
std::string quotedPath(const std::string& path);

// Errors that several readers of a word list give in the same words.
CoreError notWordListError(const std::string& path);
CoreError cancelledError();
// The file is not the one that was counted (or no longer holds what the
// count saw): nothing is known about what it holds now.
CoreError listChangedError(const std::string& path);
CoreError outOfMemoryError();
// The picks would make more than `budget` bytes of text.
CoreError textBudgetError(std::size_t budget);

} // namespace tavilon
