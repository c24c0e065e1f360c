#pragma once

#include "application.h"
#include "fake_services.h"
#include "window_registry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include <memory>

namespace tavilon {

// A fresh set of windows with recorded messages, as at the start of the program.
struct WindowFixture {
    WindowFixture()
    {
        static bool styled = false;
        if (!styled) {
            applyApplicationLook(*qApp);
            styled = true;
        }
        windows = std::make_unique<WindowRegistry>(services);
        registerWindows(*windows);
    }
    ~WindowFixture()
    {
        windows->mainWindow().unload();
        windows->openDialog().unload();
        windows->saveDialog().unload();
        windows->aboutWindow().unload();
        flushDeletes();
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    FakeServices services;
    std::unique_ptr<WindowRegistry> windows;
};

} // namespace tavilon
