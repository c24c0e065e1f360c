#include "busy_feedback.h"

#include <QApplication>
#include <QProgressDialog>
#include <QWidget>
#include <QtTest>

using namespace tavilon;

class TestBusyFeedback : public QObject {
    Q_OBJECT

    static QProgressDialog* progressDialog()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible())
                return dialog;
        return nullptr;
    }

private slots:
    void shortWorkShowsOnlyTheWaitCursor()
    {
        QWidget window;
        window.show();
        {
            BusyFeedback busy(&window, "Working");
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(busy.callback()(10, 100));
            QVERIFY(!progressDialog());
        }
        QVERIFY(!QApplication::overrideCursor());
    }

    void longWorkOffersCancel()
    {
        QWidget window;
        window.show();
        BusyFeedback busy(&window, "Working");
        const ProgressFn report = busy.callback();
        QTest::qWait(BusyFeedback::DialogDelayMs + 100);
        QVERIFY(report(50, 100));
        QProgressDialog* dialog = progressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->value(), 500);
        dialog->cancel();
        QTest::qWait(60);
        QVERIFY(!report(60, 100)); // the work is asked to stop
        QVERIFY(busy.cancelled());
    }

    void workElsewhereIsShownFromTheEventLoop()
    {
        QWidget window;
        window.show();
        BusyFeedback busy(&window, "Working");
        QVERIFY(busy.update(10, 100));
        QVERIFY(!progressDialog()); // not in the first second
        QTest::qWait(BusyFeedback::DialogDelayMs + 100);
        QVERIFY(busy.update(250, 1000));
        QProgressDialog* dialog = progressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->value(), 250);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        dialog->cancel();
        QVERIFY(!busy.update(300, 1000)); // Cancel is seen at the next update
        QVERIFY(busy.cancelled());
    }
};

QTEST_MAIN(TestBusyFeedback)
#include "test_busy_feedback.moc"
