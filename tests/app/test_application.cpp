// The windows together: each at most once, discarded on closing, and the
// program's end.

#include "main_window.h"
#include "output_box.h"
#include "window_fixture.h"

#include <QPushButton>

using namespace tavilon;

class TestApplication : public QObject {
    Q_OBJECT

private slots:
    // File > Exit closes every window (the program ends); the close box
    // closes the main window alone, which opens again as first built.
    void windowsOpenOnceAndCloseForGood()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.outputBox()->setText("words\r\n");
        for (const char* item : {"uj", "uj", "load", "load", "save", "f"}) // "|" does nothing
            window.findChild<QAction*>(item)->trigger();
        QCOMPARE(QApplication::topLevelWidgets().size(), 4 + 2); // and the menus' two
        bool aboutStayed = false;
        QTimer::singleShot(0, [&] {
            window.close();
            aboutStayed = f.windows.aboutWindow() && !f.windows.mainWindow();
            f.windows.showMainWindow().findChild<QAction*>("exit")->trigger();
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(aboutStayed && f.services.messages.isEmpty());
        QVERIFY(!f.windows.mainWindow() && !f.windows.openDialog() && !f.windows.saveDialog() && !f.windows.aboutWindow());
        QVERIFY(f.main().outputBox()->text().isEmpty());
    }
};

QTEST_MAIN(TestApplication)
#include "test_application.moc"
