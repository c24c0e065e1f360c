#pragma once

#include "app/application.h"
#include "platform/services/desktop_services.h"
#include "platform/widgets/file_list.h"
#include "tests/support/temp_files.h"

#include <QAccessible>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QtTest>

#include <functional>

namespace tavilon {

// Records each message instead of showing it, and runs what follows it at once.
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
    QList<DriveInfo> drives() override
    {
        return fakeDrives.isEmpty() ? DesktopServices::drives() : fakeDrives;
    }
    QString lastMessage() const { return messages.value(messages.size() - 1); }

    QStringList messages;
    QString clipboard = "(untouched)";
    bool clipboardWorks = true;
    QList<DriveInfo> fakeDrives; // when empty, the machine's own
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
        static_cast<void>(QTest::qWaitForWindowExposed(&window)); // a later check fails if not
        return window;
    }
    // The window of that object name, shown over the main window.
    QWidget* show(const QString& name)
    {
        QWidget* shown = &main();
        if (name == "frmDialog")
            shown = &windows.showOpenDialog();
        if (name == "savefrm")
            shown = &windows.showSaveDialog();
        if (name == "Form2")
            shown = &windows.showAboutWindow();
        return shown;
    }
    // The main window with `path`'s list counted, as the open dialog counts it.
    MainWindow& mainWithList(const QString& path)
    {
        MainWindow& window = main();
        auto* count = new WordListCount(&window, services, path, QFile::encodeName(path));
        QObject::connect(count, &WordListCount::counted, &window, &MainWindow::showCountedList);
        waitForCounts();
        return window;
    }
    static void waitForCounts()
    {
        static_cast<void>(QTest::qWaitFor([] { return !WordListCount::anyRunning(); }, 30'000));
    }
    // Runs the event loop, `ending` first; the exit status, or 99 after two minutes.
    static int runToTheEnd(const std::function<void()>& ending)
    {
        QObject timers;
        QTimer::singleShot(0, &timers, ending);
        QTimer::singleShot(120'000, &timers, [] { QCoreApplication::exit(99); });
        return QApplication::exec();
    }

    FakeServices services;
    Application windows{services};
};

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

inline QAccessibleInterface* face(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// Drops `urls` on `target`, as a file manager's drag does.
inline void dropUrls(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
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
