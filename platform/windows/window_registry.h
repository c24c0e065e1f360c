#pragma once

#include "window_slot.h"

namespace tavilon {

class DesktopServices;
class MainWindow;
class AboutWindow;
class OpenDialog;
class SaveDialog;

// The four windows of the program, each at most once, and the desktop
// services they use. Code in one window reaches another through here.
class WindowRegistry {
public:
    explicit WindowRegistry(DesktopServices& services) : services_(services) {}
    WindowRegistry(const WindowRegistry&) = delete;
    WindowRegistry& operator=(const WindowRegistry&) = delete;

    WindowSlot<MainWindow>& mainWindow() { return mainWindow_; }
    WindowSlot<OpenDialog>& openDialog() { return openDialog_; }
    WindowSlot<SaveDialog>& saveDialog() { return saveDialog_; }
    WindowSlot<AboutWindow>& aboutWindow() { return aboutWindow_; }
    DesktopServices& services() { return services_; }

private:
    DesktopServices& services_;
    WindowSlot<MainWindow> mainWindow_;
    WindowSlot<OpenDialog> openDialog_;
    WindowSlot<SaveDialog> saveDialog_;
    WindowSlot<AboutWindow> aboutWindow_;
};

} // namespace tavilon
