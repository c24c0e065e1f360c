#include "main_window.h"
#include "main_window_controls.h"
#include "layout_engine.h"
#include "line_control.h"
#include "output_box.h"
#include "twips.h"
#include "window_fixture.h"

#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <random>

using namespace tavilon;

class TestLayoutWindow : public QObject {
    Q_OBJECT

    static void setClientSize(MainWindow& form, QSize client)
    {
        form.resize(client.width(), client.height() + form.menuBar()->height());
        QTRY_COMPARE(form.clientArea()->size(), client);
    }

    static void verifyStartingGeometry(MainWindow& form)
    {
        for (const ControlSpec& row : MainWindowControls) {
            QWidget* w = form.findChild<QWidget*>(row.name);
            if (auto* line = qobject_cast<LineControl*>(w)) {
                QCOMPARE(line->from(), QPoint(px(row.left), px(row.top)));
                QCOMPARE(line->to(), QPoint(px(row.width), px(row.height)));
            } else {
                QCOMPARE(w->geometry(), pxRect(row.left, row.top, row.width, row.height));
            }
        }
    }

private slots:
    void firstShowingRecordsTheStartingLayout()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto& engine = layout::processLayoutEngine();
        QCOMPARE(engine.formRecordCount(), 1);
        // Every control, the line, the controls in the frame and the menu items.
        for (const char* name : {"Text1", "Frame1", "Line1", "Command4", "Label1", "file", "load", "d", "f", "uj"})
            QVERIFY2(std::any_of(engine.controlRecords().begin(), engine.controlRecords().end(),
                                 [&](const layout::LayoutRecord& r) { return r.name == name; }),
                     name);
        verifyStartingGeometry(form);
        QVERIFY(form.isVisible());
    }

    void oneHundredFiftyPercent()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        setClientSize(form, QSize(827, 720));
        QCOMPARE(form.outputBox()->geometry(), QRect(12, 336, 805, 373));
        QCOMPARE(form.findChild<QWidget*>("Frame1")->geometry(), QRect(24, 24, 457, 301));
        QCOMPARE(form.selectButton()->geometry(), QRect(312, 240, 109, 49));
        auto* rule = form.findChild<LineControl*>("Line1");
        QCOMPARE(rule->from(), QPoint(12, 144));
        QCOMPARE(rule->to(), QPoint(444, 144));
        setClientSize(form, QSize(551, 480));
        verifyStartingGeometry(form);
    }

    void noDriftAfterManyResizes()
    {
        WindowFixture f;
        MainWindow& form = f.windows->mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        std::mt19937 rng(1);
        for (int i = 0; i < 40; ++i) {
            const QSize size(200 + int(rng() % 900), 150 + int(rng() % 700));
            form.resize(size.width(), size.height() + form.menuBar()->height());
            QCoreApplication::processEvents();
        }
        setClientSize(form, QSize(551, 480));
        verifyStartingGeometry(form);
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(TestLayoutWindow)
#include "test_layout_window.moc"
