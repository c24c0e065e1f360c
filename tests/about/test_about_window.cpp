#include "form1.h"
#include "form2.h"
#include "form2_design.h"
#include "line_control.h"
#include "twips.h"
#include "window_fixture.h"

#include <QLabel>
#include <QtTest>

using namespace tavilon;

class TestForm2 : public QObject {
    Q_OBJECT
private slots:
    void windowAsDesigned()
    {
        WindowFixture f;
        Form2& about = f.forms->form2().show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("Brenvask"));
        const Qt::WindowFlags flags = about.windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool); // no taskbar entry
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(about.testAttribute(Qt::WA_QuitOnClose));
        QCOMPARE(about.size(), QSize(295, 206));
        QVERIFY(about.minimumSize() != about.maximumSize()); // resizable
    }

    void headingReadsAsOneAddress()
    {
        QCOMPARE(Form2::headingCaption("www.brenvask.example", 3), QStringLiteral("www.   .example"));
        const QString caption = Form2::headingCaption(QString::fromLatin1(MakerAddress), 39);
        QCOMPARE(caption, "www." + QString(39, ' ') + ".test");
        QCOMPARE(QString::fromUtf8(MakerParagraph).size(), 242);
        QVERIFY(QString::fromUtf8(MakerParagraph).startsWith("     Brenvask"));
        QVERIFY(QString::fromUtf8(MakerParagraph).contains(MakerAddress));

        WindowFixture f;
        Form2& about = f.forms->form2().show();
        auto* label1 = about.findChild<QLabel*>("Label1");
        auto* label2 = about.findChild<QLabel*>("Label2");
        QCOMPARE(label1->text(), caption);
        QCOMPARE(label2->text(), QStringLiteral("Brenvask"));
        QCOMPARE(label2->font().pointSize(), 18);
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
        Form2& about = f.forms->form2().show();
        QList<QRect> before;
        for (const ControlSpec& row : Form2Design)
            before << about.findChild<QWidget*>(row.name)->geometry();
        about.resize(600, 500);
        QTest::qWait(20);
        about.resize(100, 80);
        QTest::qWait(20);
        int i = 0;
        for (const ControlSpec& row : Form2Design) {
            QWidget* w = about.findChild<QWidget*>(row.name);
            if (auto* line = qobject_cast<LineControl*>(w)) {
                QCOMPARE(line->from(), QPoint(px(row.left), px(row.top)));
                QCOMPARE(line->to(), QPoint(px(row.width), px(row.height)));
            } else {
                QCOMPARE(w->geometry(), before[i]);
                const QRect design = pxRect(row.left, row.top, row.width, row.height);
                QCOMPARE(w->size(), design.size());
                if (QString(row.name) != "Label2") // placed over the heading's blanks
                    QCOMPARE(w->pos(), design.topLeft());
            }
            ++i;
        }
    }

    void reopenedWithTheSameContent()
    {
        WindowFixture f;
        Form2& about = f.forms->form2().show();
        const QString text = about.findChild<QLabel*>("Label3")->text();
        about.close();
        WindowFixture::flushDeletes();
        QVERIFY(!f.forms->form2().isLoaded());
        Form2& again = f.forms->form2().show();
        QCOMPARE(again.findChild<QLabel*>("Label3")->text(), text);
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
