#include "layout/proportional_layout.h"
#include "main_window/main_window.h"
#include "platform/widgets/line_widget.h"
#include "platform/widgets/output_box.h"
#include "tests/app/window_fixture.h"

#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

using namespace tavilon;

static void setClientSize(MainWindow& window, QSize client)
{
    window.resize(client.width(), client.height() + window.menuBar()->height());
    QTRY_COMPARE(window.clientArea()->size(), client);
}

// The output box, the Select button in the frame, and the rule's ends.
static QList<QRect> places(MainWindow& window)
{
    auto* rule = window.findChild<LineWidget*>();
    return {window.outputBox()->geometry(), window.selectButton()->geometry(),
            QRect(rule->from(), rule->to())};
}

class TestProportionalLayout : public QObject {
    Q_OBJECT
private slots:
    // Places are truncated twips: rounded, or in pixels, the output box would be a pixel off.
    void controlsScaleWithTheClientArea_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QList<QRect>>("places");
        QTest::newRow("150 percent") << QSize(827, 720)
            << QList<QRect> {{12, 336, 805, 373}, {312, 240, 109, 49}, {12, 144, 433, 1}};
        QTest::newRow("a pixel narrower: 99 percent") << QSize(550, 480)
            << QList<QRect> {{8, 224, 532, 249}, {206, 160, 72, 33}, {8, 96, 286, 1}};
    }
    void controlsScaleWithTheClientArea()
    {
        QFETCH(QSize, client);
        WindowFixture f;
        MainWindow& window = f.main();
        const QList<QRect> start = places(window);
        setClientSize(window, client);
        QTEST(places(window), "places");
        // Every pass starts from the reference: nothing drifts.
        for (const QSize size : {QSize(100, 100), QSize(997, 799), QSize(313, 571)})
            setClientSize(window, size);
        setClientSize(window, QSize(551, 480));
        QCOMPARE(places(window), start);
    }

    // Each axis scales alone, and a minimum width stops at the container's edge.
    void placesFollowEachAxis_data()
    {
        QTest::addColumn<QSizeF>("referenceScale");
        QTest::addColumn<QSize>("client"); // pixels, for a reference of 400 x 300
        QTest::addColumn<int>("minimumWidth");
        QTest::addColumn<QRect>("place"); // of a control at 300, 20, 50 x 30 px
        QTest::newRow("taller reference") << QSizeF(1, 1.5) << QSize(400, 450) << 0
                                          << QRect(300, 30, 50, 45);
        QTest::newRow("widened to the edge") << QSizeF(1, 1) << QSize(400, 300) << 1000
                                             << QRect(300, 20, 100, 30);
    }
    void placesFollowEachAxis()
    {
        QFETCH(QSizeF, referenceScale);
        QFETCH(QSize, client);
        QFETCH(int, minimumWidth);
        QWidget area;
        area.resize(client);
        auto* layout = new ProportionalLayout(&area, QSize(400 * 15, 300 * 15)); // twips
        auto* control = new QWidget(&area);
        layout->addWidget(control, QRect(300 * 15, 20 * 15, 50 * 15, 30 * 15));
        layout->setReferenceScale(referenceScale.width(), referenceScale.height());
        layout->setMinimumWidth(control, minimumWidth);
        layout->setGeometry(QRect(QPoint(), client));
        QTEST(control->geometry(), "place");
    }

    // Only a minimised window keeps its controls, not one far down the desktop.
    void minimisedWindowsKeepTheirControls()
    {
        WindowFixture f;
        f.main().move(0, 2100);
        setClientSize(f.main(), QSize(827, 720));
        QCOMPARE(f.main().outputBox()->geometry(), QRect(12, 336, 805, 373));
        f.main().setWindowState(Qt::WindowMinimized);
        f.main().clientArea()->layout()->setGeometry(QRect(0, 0, 100, 100));
        QCOMPARE(f.main().outputBox()->geometry(), QRect(12, 336, 805, 373));
    }
};

QTEST_MAIN(TestProportionalLayout)
#include "test_proportional_layout.moc"
