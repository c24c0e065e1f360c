#include "about_window.h"
#include "window_fixture.h"

#include <QLabel>

using namespace tavilon;

class TestAboutWindow : public QObject {
    Q_OBJECT
private slots:
    // The heading reads as one address, on one line: the name in large type
    // lies over its blanks. Resizing moves nothing.
    void headingReadsAsOneAddress()
    {
        WindowFixture f;
        AboutWindow& about = f.windows.showAboutWindow();
        auto* heading = about.findChild<QLabel*>("Label1");
        auto* name = about.findChild<QLabel*>("Label2");
        const QString caption = "www." + QString(39, ' ') + ".test";
        QCOMPARE(heading->text(), caption);
        QVERIFY(about.children().indexOf(name) > about.children().indexOf(heading));
        const QFontMetrics metrics = heading->fontMetrics();
        QVERIFY(name->x() >= heading->x() + metrics.horizontalAdvance("www."));
        QVERIFY(name->x() + name->fontMetrics().horizontalAdvance("Brenvask")
                <= heading->x() + metrics.horizontalAdvance(caption.left(caption.lastIndexOf('.'))));
        QVERIFY(metrics.horizontalAdvance(caption) <= heading->width());
        const QPoint place = name->pos();
        about.resize(600, 500);
        QTest::qWait(20);
        QCOMPARE(name->pos(), place);
    }
};

QTEST_MAIN(TestAboutWindow)
#include "test_about_window.moc"
