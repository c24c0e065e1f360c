#pragma once

#include <QString>

namespace tavilon {

// Names as a person sorts them: case does not count first, and runs of
// digits compare by their value ("item2" before "item10").
bool naturalLess(const QString& a, const QString& b);

} // namespace tavilon
