#pragma once

#include "application.h"
#include "fake_services.h"
#include "forms.h"

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
        forms = std::make_unique<Forms>(services);
        registerWindows(*forms);
    }
    ~WindowFixture()
    {
        forms->form1().unload();
        forms->openDialog().unload();
        forms->saveDialog().unload();
        forms->form2().unload();
        flushDeletes();
    }

    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    FakeServices services;
    std::unique_ptr<Forms> forms;
};

} // namespace tavilon
