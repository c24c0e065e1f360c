#include "about_window.h"

#include "about_window_controls.h"
#include "platform/tables/control_builder.h"
#include "platform/tables/font_scale.h"
#include "platform/tables/scaled_places.h"
#include "platform/tables/twips.h"
#include "platform/widgets/line_widget.h"
#include "platform/windows/window_accessibility.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QShortcut>

#include <algorithm>

namespace tavilon {

QString AboutWindow::headingText(const QString& address, int blanks)
{
    const qsizetype firstDot = address.indexOf(QLatin1Char('.'));
    const qsizetype lastDot = address.lastIndexOf(QLatin1Char('.'));
    return address.left(firstDot + 1) + QString(blanks, QLatin1Char(' ')) + address.mid(lastDot);
}

void AboutWindow::fitHeading(QLabel* heading, QLabel* name)
{
    // The heading's box is sized for a narrow face. With a wider face, narrow
    // the heading just enough to keep it on one line (a narrowed face is not
    // always narrower in proportion, and the line breaks where the label's
    // own layout says: narrow on until it fits), and centre the name over
    // the run of blanks, so that the two still read as one address.
    const QString text = heading->text();
    const auto wraps = [heading, &text](const QFont& font) {
        const QFontMetrics metrics(font);
        const QRect box = heading->contentsRect();
        return metrics.boundingRect(box, Qt::TextWordWrap, text).height() > metrics.boundingRect(box, 0, text).height();
    };
    QFont narrower = heading->font();
    for (int stretch = 100; wraps(narrower) && stretch > 50;) {
        const int width = QFontMetrics(narrower).horizontalAdvance(text);
        stretch = std::max(50, std::min(stretch - 1, stretch * heading->width() / width));
        narrower.setStretch(stretch);
    }
    heading->setFont(narrower);
    const qsizetype firstDot = text.indexOf(QLatin1Char('.'));
    const qsizetype lastDot = text.lastIndexOf(QLatin1Char('.'));
    const QFontMetrics metrics = heading->fontMetrics();
    const int blanksStart = metrics.horizontalAdvance(text.left(firstDot + 1));
    const int blanksWidth = metrics.horizontalAdvance(text.left(lastDot)) - blanksStart;
    // A face whose large letters are wide against its blanks takes a smaller
    // name, with a blank's width left free on either side; its box holds it whole.
    QFont nameFont = name->font();
    const auto widthOf = [name](const QFont& font) { return QFontMetrics(font).horizontalAdvance(name->text()); };
    while (widthOf(nameFont) + 2 * metrics.horizontalAdvance(QLatin1Char(' ')) > blanksWidth
           && nameFont.pointSizeF() > heading->font().pointSizeF())
        nameFont.setPointSizeF(nameFont.pointSizeF() - 0.5);
    name->setFont(nameFont);
    const int nameWidth = widthOf(nameFont);
    name->resize(std::max(name->width(), nameWidth + 1), name->height());
    name->move(heading->x() + blanksStart + (blanksWidth - nameWidth) / 2, name->y());
    // The name's box reaches past the blanks: let the heading show through it.
    name->setAutoFillBackground(false);
}

AboutWindow::AboutWindow()
{
    using namespace about_window_controls;
    setAccessibleWindowRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Brenvask"));
    // A tool window: a narrow title bar with the close box only and no
    // taskbar entry; it still counts for the end of the program.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, true);
    resize(px(ClientWidth), px(ClientHeight));
    // The window has no control to take Enter: Escape closes it.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::close);

    ControlBuilder build;
    auto* paragraph = build.add<QLabel>(this, Paragraph);
    build.add<LineWidget>(this, Rule);
    auto* name = build.add<QLabel>(this, Name);
    auto* heading = build.add<QLabel>(this, Heading);
    build.finish();
    heading->setText(headingText(QString::fromLatin1(MakerAddress), HeadingBlanks));
    // Read aloud, the heading is the whole address rather than its two parts
    // around a run of blanks.
    heading->setAccessibleName(QString::fromLatin1(MakerAddress));

    QFont large(QStringLiteral("MS Sans Serif"));
    large.setStyleHint(QFont::SansSerif); // a replacement face where it is missing
    large.setPointSize(18);
    large.setWeight(QFont::Normal);
    name->setFont(large);
    // A larger font scales the window and its places; the name grows with
    // it, keeping its size against the heading's, and the heading is then
    // fitted again in the new font.
    auto* places = new ScaledPlaces(this, build.controls(), QSize(ClientWidth, ClientHeight),
                                    ScaledPlaces::WindowSize::Growing); // owned by the window
    const auto fitToFont = [this, heading, name, paragraph] {
        // Against the 8-point face on this screen, so that dots per inch,
        // which points already follow, do not count twice.
        const qreal grown = QFontMetricsF(font(), this).height()
            / QFontMetricsF(referenceFont(), this).height();
        QFont scaledLarge = name->font();
        scaledLarge.setPointSizeF(18 * std::max<qreal>(1, grown));
        name->setFont(scaledLarge);
        heading->setFont(QFont());
        fitHeading(heading, name);
        // A face with taller lines or a longer translation may need more
        // lines than the paragraph's box holds: it grows down, and the
        // window with it.
        // Some faces ink a line's first letter (a W) a pixel left of its
        // start: they get that pixel inside the box.
        const int margin = height() - paragraph->geometry().bottom();
        paragraph->setContentsMargins(grown > 1 ? 1 : 0, 0, 0, 0);
        paragraph->resize(paragraph->width(), std::max(paragraph->height(), paragraph->heightForWidth(paragraph->width())));
        resize(width(), std::max(height(), paragraph->geometry().bottom() + margin));
    };
    connect(places, &ScaledPlaces::placed, this, fitToFont);
    fitToFont();
}

} // namespace tavilon
