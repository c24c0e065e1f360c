#include "desktop_identity.h"
#include "tavilon_version.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QTest>
#include <QWidget>

class TestDesktopIdentity : public QObject {
    Q_OBJECT

private slots:
    void namesTheProgram();
    void everyWindowShowsTheIcon();
    void bundledIconHasEverySize_data();
    void bundledIconHasEverySize();
};

void TestDesktopIdentity::namesTheProgram()
{
    tavilon::applyDesktopIdentity(*qApp);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Tavilon"));
    QCOMPARE(QApplication::organizationName(), QStringLiteral("Brenvask"));
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral(TAVILON_VERSION));
    QVERIFY(!QApplication::applicationVersion().isEmpty());
    // The desktop entry's file name without ".desktop" is what the desktop matches windows by.
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("test.brenvask.Tavilon"));
}

void TestDesktopIdentity::everyWindowShowsTheIcon()
{
    tavilon::applyDesktopIdentity(*qApp);
    QWidget window; // made afterwards, as every window of the program is
    const QIcon icon = window.windowIcon();
    QVERIFY(!icon.isNull());
    const QImage image = icon.pixmap(QSize(48, 48)).toImage();
    QCOMPARE(image.size(), QSize(48, 48));
    // Not a blank square: the tile's colour shows in the middle of its left edge.
    const QColor edge = image.pixelColor(6, 24);
    QVERIFY2(edge.alpha() == 255 && edge.green() > edge.red(),
             qPrintable(QStringLiteral("unexpected pixel %1").arg(edge.name(QColor::HexArgb))));
}

void TestDesktopIdentity::bundledIconHasEverySize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d", size) << size;
}

void TestDesktopIdentity::bundledIconHasEverySize()
{
    QFETCH(int, size);
    // Each size is drawn for itself rather than scaled from another one.
    const QImage image(QStringLiteral(":/tavilon/icons/%1.png").arg(size));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(tavilon::applicationIcon().availableSizes().contains(QSize(size, size)));
}

QTEST_MAIN(TestDesktopIdentity)
#include "test_desktop_identity.moc"
