// The windows together: each at most once, discarded on closing, and the
// program's end.

#include "main_window.h"
#include "output_box.h"
#include "window_fixture.h"

#include <QPushButton>

using namespace tavilon;

class TestApplication : public QObject {
    Q_OBJECT

    // Runs the event loop until the program would end, or gives up.
    static bool runsToTheEnd(const std::function<void()>& step)
    {
        QTimer::singleShot(0, step);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        return QApplication::exec() == 0;
    }

private slots:
    void eachWindowOpensOnce()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        for (const char* item : {"uj", "uj", "load", "load", "save"})
            window.findChild<QAction*>(item)->trigger();
        for (const char* name : {"Form1", "Form2", "frmDialog", "savefrm"}) {
            int count = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                count += w->objectName() == name && w->isVisible();
            QVERIFY2(count == 1, name);
        }
        window.findChild<QAction*>("f")->trigger(); // the "|" item does nothing
        QVERIFY(f.services.messages.isEmpty());
    }

    void exitClosesEveryWindowAndEndsTheProgram()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.findChild<QAction*>("uj")->trigger();
        window.findChild<QAction*>("save")->trigger();
        QVERIFY(runsToTheEnd([&] { window.findChild<QAction*>("exit")->trigger(); }));
        QVERIFY(!f.windows.mainWindow() && !f.windows.saveDialog() && !f.windows.aboutWindow());
    }

    // Closing the main window leaves About running; the main window opened
    // again starts from the window as first built.
    void closingTheMainWindowDiscardsItAlone()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText("words\r\n");
        window.selectButton()->setEnabled(true);
        window.findChild<QAction*>("uj")->trigger();
        bool aboutStillOpen = false;
        QVERIFY(runsToTheEnd([&] {
            window.close();
            QTimer::singleShot(300, [&] {
                aboutStillOpen = f.windows.aboutWindow() && !f.windows.mainWindow();
                f.windows.aboutWindow()->close();
            });
        }));
        QVERIFY(aboutStillOpen);
        MainWindow& again = f.main();
        QVERIFY(again.outputBox()->text().isEmpty());
        QVERIFY(!again.selectButton()->isEnabled());
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
