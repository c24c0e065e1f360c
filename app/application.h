#pragma once

class QApplication;

namespace tavilon {

class WindowRegistry;

// The look every window is laid out for: an 8-point default face.
void applyApplicationLook(QApplication& app);

// Tells each window slot how to make its window.
void registerWindows(WindowRegistry& windows);

} // namespace tavilon
