#include "busy_feedback.h"
#include "progress_dialogs.h"

#include <QProgressDialog>
#include <QtTest>

using namespace tavilon;

class TestBusyFeedback : public QObject {
    Q_OBJECT

private slots:
    // A wait cursor at once; after a second a progress dialog, fed by work
    // on the window's thread, whose Cancel stops the work. (Work elsewhere:
    // see the background press.)
    void longWorkOffersCancel()
    {
        QWidget window;
        window.show();
        {
            BusyFeedback busy(&window, "Working");
            bool toldToStop = false;
            busy.setCancelHandler([&] { toldToStop = true; });
            const ProgressFn callback = busy.callback();
            const auto report = [&](std::uint64_t done) { return callback(done, 1000); };
            QVERIFY(report(10) && !visibleProgressDialog());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QTest::qWait(BusyFeedback::DialogDelayMs + 100);
            QVERIFY(report(250));
            QProgressDialog* dialog = visibleProgressDialog();
            QVERIFY(dialog && dialog->value() == 250 && QTest::qWaitForWindowExposed(dialog));
            QTest::keyClick(dialog, Qt::Key_Escape); // the dialog's Cancel
            QVERIFY(toldToStop && !report(300));
        }
        QVERIFY(!QApplication::overrideCursor() && !visibleProgressDialog());
    }
};

QTEST_MAIN(TestBusyFeedback)
#include "test_busy_feedback.moc"
