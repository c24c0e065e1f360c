#pragma once

#include "outcome.h"

#include <string>

namespace tavilon {

// Errors that several readers of a word list give in the same words.
CoreError notWordListError(const std::string& path);
CoreError cancelledError();
// The file is not the one that was counted (or no longer holds what the
// count saw): nothing is known about what it holds now.
CoreError listChangedError(const std::string& path);
CoreError outOfMemoryError();

} // namespace tavilon
