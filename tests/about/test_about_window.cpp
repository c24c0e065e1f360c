#include "main_window.h"
#include "about_window.h"
#include "about_window_controls.h"
#include "line_control.h"
#include "twips.h"
#include "window_fixture.h"

#include <QLabel>
#include <QtTest>

using namespace tavilon;

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    // A tool window without a taskbar entry that the user can resize and
    // close, and whose closing does not keep the program running.
    void toolWindowFrame()
    {
        WindowFixture f;
        AboutWindow& about = f.windows->aboutWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(about.testAttribute(Qt::WA_QuitOnClose));
        QVERIFY(about.minimumSize() != about.maximumSize());
    }

    void headingReadsAsOneAddress()
    {
        QCOMPARE(AboutWindow::headingCaption("www.brenvask.example", 3), QStringLiteral("www.   .example"));
        const QString caption = AboutWindow::headingCaption(QString::fromLatin1(MakerAddress), 39);
        QCOMPARE(caption, "www." + QString(39, ' ') + ".test");

        WindowFixture f;
        AboutWindow& about = f.windows->aboutWindow().show();
        auto* label1 = about.findChild<QLabel*>("Label1");
        auto* label2 = about.findChild<QLabel*>("Label2");
        QCOMPARE(label1->text(), caption);
        QVERIFY(label2->font().pointSize() > label1->font().pointSize());
        // The name lies in front of the heading's blanks.
        const QObjectList order = about.children();
        QVERIFY(order.indexOf(label2) > order.indexOf(label1));
        const int blanksStart = label1->x() + label1->fontMetrics().horizontalAdvance("www.");
        const int blanksEnd = label1->x() + label1->fontMetrics().horizontalAdvance("www." + QString(39, ' '));
        const int nameEnd = label2->x() + label2->fontMetrics().horizontalAdvance("Brenvask");
        QVERIFY(label2->x() >= blanksStart);
        QVERIFY(nameEnd <= blanksEnd);
        // The whole heading stays on one line of its label.
        QVERIFY(label1->fontMetrics().horizontalAdvance(caption) <= label1->width());
    }

    void resizingMovesNothing()
    {
        WindowFixture f;
        AboutWindow& about = f.windows->aboutWindow().show();
        QList<QRect> before;
        for (const ControlSpec& row : AboutWindowControls)
            before << about.findChild<QWidget*>(row.name)->geometry();
        about.resize(600, 500);
        QTest::qWait(20);
        about.resize(100, 80);
        QTest::qWait(20);
        int i = 0;
        for (const ControlSpec& row : AboutWindowControls) {
            QWidget* w = about.findChild<QWidget*>(row.name);
            if (auto* line = qobject_cast<LineControl*>(w)) {
                QCOMPARE(line->from(), QPoint(px(row.left), px(row.top)));
                QCOMPARE(line->to(), QPoint(px(row.width), px(row.height)));
            } else {
                QCOMPARE(w->geometry(), before[i]);
            }
            ++i;
        }
    }

    void reopenedWithTheSameContent()
    {
        WindowFixture f;
        AboutWindow& about = f.windows->aboutWindow().show();
        const QString text = about.findChild<QLabel*>("Label3")->text();
        about.close();
        WindowFixture::flushDeletes();
        QVERIFY(!f.windows->aboutWindow().isLoaded());
        AboutWindow& again = f.windows->aboutWindow().show();
        QCOMPARE(again.findChild<QLabel*>("Label3")->text(), text);
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
