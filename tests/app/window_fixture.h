#pragma once

#include "application.h"
#include "fake_services.h"
#include "window_registry.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QMimeData>

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

// Writes a test file; a test that cannot is no test.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Drags `data` over `target` and drops it there, as a user's mouse does.
inline void dropOnto(QWidget* target, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

} // namespace tavilon
