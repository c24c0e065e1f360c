#include "font_scale.h"

#include "twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tavilon {

namespace {

// The average letter width and the line height of `font` on `device`.
QSizeF metricsOf(const QFont& font, const QPaintDevice* device)
{
    const QFontMetricsF metrics(font, device);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return QSizeF(metrics.horizontalAdvance(letters) / static_cast<qreal>(letters.size()), metrics.height());
}

// The face the tables were drawn for, on an image of 96 dots per inch
// whatever the screen's. It is measured by the same font engine that draws
// the windows, once: fixed numbers would differ from the engine's own by its
// hinting, and an unchanged window would then move by a pixel. Where the
// face is missing, the font engine's stand-in for it is measured.
struct Reference {
    QImage image{1, 1, QImage::Format_RGB32};
    QFont face = referenceFont();
    QSizeF metrics;
    Reference()
    {
        const int dotsPerMeter = qRound(96 / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        metrics = metricsOf(face, &image);
    }
};

const Reference& reference()
{
    static const Reference reference;
    return reference;
}

QString textOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(control))
        return frame->title();
    return QString();
}

int scaled(int twipValue, double factor)
{
    return px(static_cast<int>(std::lround(twipValue * factor)));
}

} // namespace

QFont referenceFont() { return QFont(QStringLiteral("Liberation Sans"), 8); }

QFont largestFittingFont(const QFont& font, const std::function<bool(const QFont&)>& fits)
{
    if (fits(font))
        return font;
    // Size k steps below the font's own: half points, or pixels. The last
    // step is the first size at or below 1 point (or 1 pixel).
    const bool inPoints = font.pointSizeF() > 0;
    const qreal size = inPoints ? font.pointSizeF() : font.pixelSize();
    const qreal step = inPoints ? 0.5 : 1;
    const auto smaller = [&](int k) {
        QFont f = font;
        if (inPoints)
            f.setPointSizeF(size - k * step);
        else
            f.setPixelSize(static_cast<int>(size) - k);
        return f;
    };
    if (size <= 1)
        return font;
    int low = 1; // the answer lies in [low, high]
    int high = static_cast<int>(std::ceil((size - 1) / step));
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (fits(smaller(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    return smaller(low);
}

FontScale::FontScale(QWidget* window, QSize clientTwips, const QWidget* above)
    : QObject(window), window_(window), clientTwips_(clientTwips), above_(above)
{
    factor_ = measure();
    window->installEventFilter(this);
}

QSizeF FontScale::factorOf(const QFont& font, const QPaintDevice* device)
{
    const QSizeF metrics = metricsOf(font, device);
    return QSizeF(std::max(1.0, metrics.width() / reference().metrics.width()),
                  std::max(1.0, metrics.height() / reference().metrics.height()));
}

QSizeF FontScale::growth(const QFont& font) const
{
    const QSizeF metrics = metricsOf(font, window_);
    QSizeF growth(metrics.width() / reference().metrics.width(), metrics.height() / reference().metrics.height());
    // A face may widen some texts more than its letters on average: the
    // width grows at least as much as any of the window's texts does, so
    // that each keeps the room it had in the reference face.
    const QFontMetricsF now(font, window_);
    const QFontMetricsF then(reference().face, &reference().image);
    for (const QWidget* control : window_->findChildren<QWidget*>()) {
        const QString text = textOf(control);
        if (const qreal width = then.horizontalAdvance(text); width > 0)
            growth.setWidth(std::max(growth.width(), now.horizontalAdvance(text) / width));
    }
    return growth;
}

QSizeF FontScale::room(const QFont& font) const
{
    const QScreen* screen = window_->screen();
    if (!screen)
        return QSizeF(1e6, 1e6);
    // Before the window manager has framed the window its frame is not
    // known: a title bar and borders as wide as most desktops draw them.
    QMargins frame(4, 36, 4, 4);
    if (const QWindow* handle = window_->windowHandle(); handle && !handle->frameMargins().isNull())
        frame = handle->frameMargins();
    // The bar above the client area keeps its margins around a line of `font`.
    const int above = above_ ? above_->sizeHint().height() - above_->fontMetrics().height() + QFontMetrics(font).height() : 0;
    const QSize area = screen->availableGeometry().size().shrunkBy(frame) - QSize(1, 1 + above);
    const QSize client = pixels(QRect(QPoint(), clientTwips_), QSizeF(1, 1)).size();
    return QSizeF(area.width() / static_cast<qreal>(client.width()), area.height() / static_cast<qreal>(client.height()));
}

void FontScale::fitFont()
{
    // The font the window has from the desktop (or the program), or the
    // largest smaller size of it that fits.
    const QFont desktop = QApplication::font(window_);
    const QFont font = largestFittingFont(desktop, [this](const QFont& f) {
        const QSizeF growth = this->growth(f);
        const QSizeF room = this->room(f);
        return growth.width() <= room.width() && growth.height() <= room.height();
    });
    if (font == desktop && window_->testAttribute(Qt::WA_SetFont))
        window_->setFont(QFont()); // the desktop's font fits again
    else if (font != desktop && font != window_->font())
        window_->setFont(font);
}

QSizeF FontScale::measure()
{
    fitFont();
    const QSizeF room = this->room(window_->font());
    const QSizeF growth = this->growth(window_->font());
    return QSizeF(std::min(std::max(1.0, growth.width()), room.width()),
                  std::min(std::max(1.0, growth.height()), room.height()));
}

QRect FontScale::pixels(const QRect& twipRect, QSizeF factor)
{
    return QRect(scaled(twipRect.left(), factor.width()), scaled(twipRect.top(), factor.height()),
                 scaled(twipRect.width(), factor.width()), scaled(twipRect.height(), factor.height()));
}

QSize FontScale::resized(QSize client, QSize referenceTwips, QSizeF old) const
{
    const QRect reference(QPoint(), referenceTwips);
    if (client == pixels(reference, old).size())
        return pixels(reference, factor_).size();
    const QSize proportional(static_cast<int>(std::lround(client.width() * factor_.width() / old.width())),
                             static_cast<int>(std::lround(client.height() * factor_.height() / old.height())));
    return proportional.boundedTo(pixels(reference, room(window_->font())).size());
}

bool FontScale::eventFilter(QObject* watched, QEvent* event)
{
    // The window hears of a new font before some of its controls do: the
    // scale is taken once every control has it.
    if (watched == window_ && event->type() == QEvent::FontChange && !pending_) {
        pending_ = true;
        QMetaObject::invokeMethod(this, &FontScale::update, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void FontScale::update()
{
    pending_ = false;
    const QSizeF old = factor_;
    factor_ = measure();
    if (factor_ != old)
        emit changed(old);
}

} // namespace tavilon
