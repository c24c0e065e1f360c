// Text stays readable whatever the desktop's theme: at least 4.5:1 against
// its background, in the palette and as painted on the fixed colours.

#include "contrast.h"
#include "main_window.h"
#include "output_box.h"
#include "window_fixture.h"
#include "window_look.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace tavilon;

namespace {

// A theme with one text colour on its window, box and button colours.
QPalette theme(const QColor& window, const QColor& base, const QColor& button, const QColor& text)
{
    QPalette palette;
    for (auto [role, colour] : {std::pair{QPalette::Window, window}, {QPalette::Base, base}, {QPalette::Button, button},
                                {QPalette::WindowText, text}, {QPalette::Text, text}, {QPalette::ButtonText, text}})
        palette.setColor(role, colour);
    return palette;
}

// The roles a control paints its text and the background behind it with.
std::optional<std::pair<QPalette::ColorRole, QPalette::ColorRole>> textRoles(QWidget* w)
{
    if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w))
        return std::pair{QPalette::WindowText, QPalette::Window};
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w))
        return std::pair{QPalette::ButtonText, QPalette::Button};
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w))
        return std::pair{QPalette::Text, QPalette::Base};
    return std::nullopt;
}

} // namespace

class TestReadableColours : public QObject {
    Q_OBJECT

private slots:
    void textReadsOnEveryTheme_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("beforeTheWindows"); // chosen before start, or while running
        const QPalette dark = theme(QColor(0x2b, 0x2b, 0x2b), QColor(0x1e, 0x1e, 0x1e), QColor(0x35, 0x35, 0x35), QColor(0xee, 0xee, 0xee));
        QTest::newRow("dark desktop") << dark << true;
        QTest::newRow("dark desktop chosen while running") << dark << false;
        QTest::newRow("white on black") << theme(Qt::black, Qt::black, Qt::black, Qt::white) << true;
    }
    void textReadsOnEveryTheme()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, beforeTheWindows);
        const QPalette desktop = QApplication::palette();
        if (beforeTheWindows)
            QApplication::setPalette(palette);
        WindowFixture f;
        MainWindow& main = f.main();
        const QList<QWidget*> windows{&main, &f.windows.showOpenDialog(), &f.windows.showAboutWindow()};
        QApplication::setPalette(palette);
        main.outputBox()->setText(QStringLiteral("Mw\r\n"));
        int checked = 0;
        for (QWidget* window : windows) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const auto roles = textRoles(control);
                if (control->window() != window || !control->isVisible() || !control->isEnabled() || !roles)
                    continue;
                auto* area = qobject_cast<QAbstractScrollArea*>(control);
                QWidget* painter = area ? area->viewport() : control;
                const QColor text = painter->palette().color(roles->first);
                const QColor background = painter->palette().color(roles->second);
                const QString what = window->objectName() + " " + control->objectName();
                QVERIFY2(contrastRatio(text, background) >= 4.5, qPrintable(what));
                ++checked;
                if (background != WindowColour && background != OutputColour)
                    continue;
                QRect band = painter->rect(); // a frame's caption only
                if (qobject_cast<QGroupBox*>(control))
                    band.setHeight(control->fontMetrics().height() + 2);
                QVERIFY2(strongestContrast(painter->grab().toImage(), band, background) >= 4.5, qPrintable(what));
            }
        }
        QVERIFY(checked >= 15);
        QCOMPARE(main.clientArea()->palette().color(QPalette::Window), WindowColour);
        QApplication::setPalette(desktop);
    }
};

QTEST_MAIN(TestReadableColours)
#include "test_readable_colours.moc"
