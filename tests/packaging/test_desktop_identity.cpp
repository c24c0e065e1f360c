// The program names itself as its desktop entry does, and every window shows its built-in icon.
#include "app/desktop_identity.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QTest>
#include <QWidget>

class TestDesktopIdentity : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsTheIconUnderTheEntrysName()
    {
        tavilon::applyDesktopIdentity(*qApp);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("test.brenvask.Tavilon"));
        QWidget window; // made afterwards, as every window of the program is
        for (const int size : {48, 256}) {
            const QImage image = window.windowIcon().pixmap(QSize(size, size)).toImage();
            // Not a blank square: the tile's green shows in the middle of its left edge.
            const QColor edge = image.pixelColor(size / 8, size / 2);
            QCOMPARE(edge.alpha(), 255);
            QVERIFY2(edge.green() > edge.red(), qPrintable(edge.name(QColor::HexArgb)));
        }
    }
};

QTEST_MAIN(TestDesktopIdentity)
#include "test_desktop_identity.moc"
