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
    void shortWorkShowsOnlyTheWaitCursor()
    {
        QWidget window;
        window.show();
        {
            BusyFeedback busy(&window, "Working");
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(busy.callback()(10, 100));
            QVERIFY(!visibleProgressDialog());
        }
        QVERIFY(!QApplication::overrideCursor());
    }

    // After a second the dialog shows, with the progress of work reported
    // through the callback or from elsewhere; its Cancel asks the work to stop.
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
        BusyFeedback busy(&window, "Working");
        const ProgressFn callback = busy.callback();
        const auto report = [&](std::uint64_t done, std::uint64_t total) {
            return byCallback ? callback(done, total) : busy.update(done, total);
        };
        QVERIFY(report(10, 100));
        QVERIFY(!visibleProgressDialog()); // not in the first second
        QTest::qWait(BusyFeedback::DialogDelayMs + 100);
        QVERIFY(report(250, 1000));
        QProgressDialog* dialog = visibleProgressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->value(), 250);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        dialog->cancel();
        if (byCallback)
            QTest::qWait(60); // work elsewhere hears of it through the event loop
        QVERIFY(!report(300, 1000)); // Cancel is seen at the next report
        QVERIFY(busy.cancelled());
    }
};

QTEST_MAIN(TestBusyFeedback)
#include "test_busy_feedback.moc"
