#pragma once

#include "outcome.h"

#include <QString>

namespace tavilon {

// The sentence a window shows for a core error, in the user's language: the
// core's English wording translated, with the error's file names, numbers
// and system reasons put in. Untranslated, it is the core's own sentence.
QString errorText(const CoreError& error);

} // namespace tavilon
