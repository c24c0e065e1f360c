#include "line_control.h"
#include "main_window.h"
#include "output_box.h"
#include "proportional_layout.h"
#include "window_fixture.h"

#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>

#include <random>

using namespace tavilon;

class TestProportionalLayout : public QObject {
    Q_OBJECT

    static void setClientSize(MainWindow& window, QSize client)
    {
        window.resize(client.width(), client.height() + window.menuBar()->height());
        QTRY_COMPARE(window.clientArea()->size(), client);
    }
    // Every control's place, the rule's two ends included.
    static QList<QRect> places(MainWindow& window)
    {
        QList<QRect> list;
        for (QWidget* w : window.clientArea()->findChildren<QWidget*>()) {
            list << w->geometry();
            if (auto* rule = qobject_cast<LineControl*>(w))
                list << QRect(rule->from(), rule->to());
        }
        return list;
    }

private slots:
    // Computed in twips: in pixels, 99 percent of 8055 twips would be 531 px,
    // not 532; at 150 percent the frame would be 457 px wide either way.
    void controlsScaleWithTheClientArea_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("output");
        QTest::addColumn<QRect>("select");
        QTest::addColumn<QLine>("rule");
        QTest::newRow("150 percent") << QSize(827, 720) << QRect(12, 336, 805, 373) << QRect(312, 240, 109, 49)
                                     << QLine(12, 144, 444, 144);
        QTest::newRow("a pixel narrower: 99 percent") << QSize(550, 480) << QRect(8, 224, 532, 249)
                                                      << QRect(206, 160, 72, 33) << QLine(8, 96, 293, 96);
        QTest::newRow("reference size") << QSize(551, 480) << QRect(8, 224, 537, 249) << QRect(208, 160, 73, 33)
                                        << QLine(8, 96, 296, 96);
    }
    void controlsScaleWithTheClientArea()
    {
        QFETCH(QSize, client);
        WindowFixture f;
        MainWindow& window = f.main();
        setClientSize(window, client);
        QFETCH(QRect, output);
        QFETCH(QRect, select);
        QFETCH(QLine, rule);
        QCOMPARE(window.outputBox()->geometry(), output);
        QCOMPARE(window.selectButton()->geometry(), select);
        auto* line = window.findChild<LineControl*>("Line1");
        QCOMPARE(QLine(line->from(), line->to()), rule);
    }

    // Every pass starts from the reference: nothing drifts.
    void manyResizesLeaveNoDrift()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        const QList<QRect> start = places(window);
        std::mt19937 random(1);
        for (int i = 0; i < 30; ++i)
            setClientSize(window, QSize(100 + int(random() % 900), 100 + int(random() % 700)));
        setClientSize(window, QSize(551, 480));
        QCOMPARE(places(window), start);
    }

    // Only a minimised window keeps its controls; one far down a tall or
    // stacked desktop is laid out as anywhere.
    void minimisedWindowsKeepTheirControls()
    {
        WindowFixture f;
        MainWindow& window = f.main();
        window.move(0, 2100);
        setClientSize(window, QSize(827, 720));
        QCOMPARE(window.outputBox()->geometry(), QRect(12, 336, 805, 373));
        window.setWindowState(Qt::WindowMinimized);
        window.clientArea()->layout()->setGeometry(QRect(0, 0, 100, 100));
        QCOMPARE(window.outputBox()->geometry(), QRect(12, 336, 805, 373));
    }

    void arithmeticGuards()
    {
        QCOMPARE(ProportionalLayout::scale(8055, 150), std::optional<std::int32_t>(12082)); // truncated
        QCOMPARE(ProportionalLayout::scale(-505, 150), std::optional<std::int32_t>(-757));  // toward zero
        QCOMPARE(ProportionalLayout::scale(2'000'000'000, 150), std::nullopt);
        QCOMPARE(ProportionalLayout::percent(827, 8265), std::optional<std::int32_t>(150));
        QCOMPARE(ProportionalLayout::percent(100, 0), std::nullopt);
        QCOMPARE(ProportionalLayout::percent(2'000'000, 8265), std::nullopt);
    }
};

QTEST_MAIN(TestProportionalLayout)
#include "test_proportional_layout.moc"
