#pragma once

#include <QColor>

namespace tavilon {

// The colours every window of the program shares.
inline const QColor WindowColour(89, 117, 191);  // the background of windows and dialogs
inline const QColor OutputColour(192, 189, 255); // the output box's background

} // namespace tavilon
