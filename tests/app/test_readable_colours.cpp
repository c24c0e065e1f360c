// Text stays readable whatever the desktop's theme.

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

#include <optional>
#include <utility>

using namespace tavilon;

namespace {

// A desktop theme: its window, base (boxes and lists) and button colours,
// with one text colour on all of them.
QPalette desktopPalette(const QColor& window, const QColor& base, const QColor& button, const QColor& text)
{
    QPalette palette(QApplication::palette());
    for (auto [role, colour] : {std::pair{QPalette::Window, window}, {QPalette::Base, base},
                                {QPalette::AlternateBase, base}, {QPalette::Button, button},
                                {QPalette::WindowText, text}, {QPalette::Text, text}, {QPalette::ButtonText, text},
                                {QPalette::ToolTipText, text}, {QPalette::BrightText, text}})
        palette.setColor(role, colour);
    return palette;
}

// The widget that paints a control's text: a scrolling box paints in its viewport.
QWidget* textPainter(QWidget* control)
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        return area->viewport();
    return control;
}

// The palette roles a control paints its text and the background behind
// that text with; nothing for a control without text.
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

    QPalette desktop_;

private slots:
    void initTestCase() { desktop_ = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(desktop_); }

    void textReadsOnEveryTheme_data()
    {
        QTest::addColumn<QPalette>("theme");
        QTest::addColumn<bool>("beforeTheWindows"); // a theme chosen before start, or changed while running
        const QPalette dark = desktopPalette(QColor(0x2b, 0x2b, 0x2b), QColor(0x1e, 0x1e, 0x1e),
                                             QColor(0x35, 0x35, 0x35), QColor(0xee, 0xee, 0xee));
        QTest::newRow("dark desktop") << dark << true;
        QTest::newRow("dark desktop chosen while running") << dark << false;
        QTest::newRow("white on black") << desktopPalette(Qt::black, Qt::black, Qt::black, Qt::white) << true;
    }
    void textReadsOnEveryTheme()
    {
        QFETCH(QPalette, theme);
        QFETCH(bool, beforeTheWindows);
        if (beforeTheWindows)
            QApplication::setPalette(theme);
        WindowFixture f;
        MainWindow& form = f.main();
        const QList<QWidget*> windows{&form, &f.windows.showOpenDialog(), &f.windows.showAboutWindow()};
        if (!beforeTheWindows)
            QApplication::setPalette(theme);
        form.outputBox()->setText(QStringLiteral("Mw\r\n"));
        for (QWidget* window : windows)
            QVERIFY(QTest::qWaitForWindowExposed(window));

        // The fixed backgrounds stay whatever the theme.
        QCOMPARE(form.clientArea()->palette().color(QPalette::Window), WindowColour);
        QCOMPARE(textPainter(form.outputBox())->palette().color(QPalette::Base), OutputColour);
        QCOMPARE(windows[1]->palette().color(QPalette::Window), WindowColour);

        int checked = 0;
        for (QWidget* window : windows) {
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const auto roles = textRoles(control);
                if (control->window() != window || !control->isVisible() || !control->isEnabled() || !roles)
                    continue;
                QWidget* painter = textPainter(control);
                const QPalette palette = painter->palette();
                const QColor text = palette.color(roles->first);
                const QColor background = palette.color(roles->second);
                const QString what = window->objectName() + " " + control->objectName();
                QVERIFY2(contrastRatio(text, background) >= 4.5, qPrintable(what));
                ++checked;

                // On a fixed background, the text as painted: the core of its
                // strokes reaches the contrast. Light text on the blue would not.
                if (background != WindowColour && background != OutputColour)
                    continue;
                const QImage image = painter->grab().toImage();
                QRect area = image.rect();
                if (qobject_cast<QGroupBox*>(control))
                    area.setHeight(control->fontMetrics().height() + 2); // the caption's band
                const double painted = strongestContrast(image, area, background);
                QVERIFY2(painted >= 4.5, qPrintable(what + " as painted"));
            }
        }
        QVERIFY(checked >= 15);
    }
};

QTEST_MAIN(TestReadableColours)
#include "test_readable_colours.moc"
