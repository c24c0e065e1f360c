#pragma once

#include "core/errors/outcome.h"

#include <QString>

namespace tavilon {

// The sentence a window shows for a core error, in the user's language: the
// core's English wording translated, with the error's file names and
// numbers put in, and the system's reason worded in that language too (a
// reason without a translation stays the system's English). Untranslated,
// it is the core's own sentence.
QString errorText(const CoreError& error);

} // namespace tavilon
