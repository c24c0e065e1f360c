#pragma once

#include "app/application.h"
#include "platform/services/desktop_services.h"
#include "platform/widgets/file_list.h"
#include "tests/support/temp_files.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QtTest>

namespace tavilon {

// Records what a user would be shown instead of showing it; a message is
// dismissed at once, and what follows it runs.
struct FakeServices : DesktopServices {
    void showMessage(QWidget*, Icon, const QString& text, std::function<void()> then) override
    {
        messages.append(text);
        if (then)
            then();
    }
    bool setClipboardText(const QString& text) override
    {
        clipboard = text;
        return clipboardWorks;
    }
    QList<DriveInfo> drives() override { return fakeDrives.isEmpty() ? DesktopServices::drives() : fakeDrives; }
    QString lastMessage() const { return messages.value(messages.size() - 1); }
    QStringList messages;
    QString clipboard = QStringLiteral("(untouched)");
    bool clipboardWorks = true;
    QList<DriveInfo> fakeDrives;
};

// The program's windows with recorded messages, as at its start.
struct WindowFixture {
    WindowFixture() { applyApplicationLook(*qApp); }
    ~WindowFixture()
    {
        windows.closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    MainWindow& main()
    {
        MainWindow& window = windows.showMainWindow();
        static_cast<void>(QTest::qWaitForWindowExposed(&window)); // a later check fails if it was not
        return window;
    }
    // The window of that object name, shown over the main window.
    QWidget* show(const QString& window)
    {
        QWidget* shown = &main();
        if (window == "frmDialog")
            return &windows.showOpenDialog();
        if (window == "savefrm")
            return &windows.showSaveDialog();
        return window == "Form2" ? &windows.showAboutWindow() : shown;
    }
    // The main window with `path`'s list counted, as the open dialog counts it.
    MainWindow& mainWithList(const QString& path)
    {
        MainWindow& window = main();
        countInto(window, services, path);
        return window;
    }
    // Counts `path` for `window` and waits for the count to end.
    static void countInto(MainWindow& window, DesktopServices& services, const QString& path)
    {
        auto* count = new WordListCount(&window, services, path, QFile::encodeName(path));
        QObject::connect(count, &WordListCount::counted, &window, &MainWindow::showCountedList);
        waitForCounts();
    }
    static void waitForCounts()
    {
        static_cast<void>(QTest::qWaitFor([] { return !WordListCount::anyRunning(); }, 30'000));
    }

    FakeServices services;
    Application windows{services};
};

// Drops `data` on `target`, as a user's mouse does.
inline void dropOnto(QWidget* target, const QMimeData& data)
{
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

// Chooses the entry `name` of a file list with the arrow keys.
inline void chooseFile(FileList* list, const QString& name)
{
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->fileName() != name; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->fileName(), name);
}

} // namespace tavilon
