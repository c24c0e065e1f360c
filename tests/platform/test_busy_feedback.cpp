#include "busy_feedback.h"
#include "progress_dialogs.h"

#include <QApplication>
#include <QProgressDialog>
#include <QWidget>
#include <QtTest>

using namespace tavilon;

class TestBusyFeedback : public QObject {
    Q_OBJECT

private slots:
    // A wait cursor at once; after a second a progress dialog, with the
    // progress of work reported through the callback or from elsewhere,
    // whose Cancel asks the work to stop.
    void longWorkOffersCancel_data()
    {
        QTest::addColumn<bool>("byCallback");
        QTest::newRow("callback") << true;
        QTest::newRow("update from the event loop") << false;
    }
    void longWorkOffersCancel()
    {
        QFETCH(bool, byCallback);
        QWidget window;
        window.show();
        {
            BusyFeedback busy(&window, "Working");
            bool toldToStop = false;
            busy.setCancelHandler([&] { toldToStop = true; });
            const ProgressFn callback = busy.callback();
            const auto report = [&](std::uint64_t done, std::uint64_t total) {
                return byCallback ? callback(done, total) : busy.update(done, total);
            };
            QVERIFY(report(10, 100));
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(!visibleProgressDialog()); // not in the first second
            QTest::qWait(BusyFeedback::DialogDelayMs + 100);
            QVERIFY(report(250, 1000));
            QProgressDialog* dialog = visibleProgressDialog();
            QVERIFY(dialog);
            QCOMPARE(dialog->value(), 250);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QTest::keyClick(dialog, Qt::Key_Escape); // the dialog's Cancel
            QVERIFY(toldToStop);
            QVERIFY(!report(300, 1000));
        }
        QVERIFY(!QApplication::overrideCursor() && !visibleProgressDialog());
    }
};

QTEST_MAIN(TestBusyFeedback)
#include "test_busy_feedback.moc"
