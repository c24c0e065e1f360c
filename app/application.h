#pragma once

class QApplication;

namespace tavilon {

class Forms;

// The look every window is designed for: an 8-point default face.
void applyApplicationLook(QApplication& app);

// Tells each window slot how to make its window.
void registerWindows(Forms& forms);

} // namespace tavilon
