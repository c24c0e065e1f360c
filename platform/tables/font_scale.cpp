#include "font_scale.h"

#include "twips.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
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
    QFont face{QStringLiteral("Liberation Sans"), 8};
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

FontScale::FontScale(QWidget* window) : QObject(window), window_(window)
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

QSizeF FontScale::measure() const
{
    QSizeF factor = factorOf(window_->font(), window_);
    // A face may widen some texts more than its letters on average: the
    // width grows at least as much as any of the window's texts does, so
    // that each keeps the room it had in the reference face.
    const QFontMetricsF now(window_->font(), window_);
    const QFontMetricsF then(reference().face, &reference().image);
    for (const QWidget* control : window_->findChildren<QWidget*>()) {
        const QString text = textOf(control);
        if (const qreal width = then.horizontalAdvance(text); width > 0)
            factor.setWidth(std::max(factor.width(), now.horizontalAdvance(text) / width));
    }
    return factor;
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
    return QSize(static_cast<int>(std::lround(client.width() * factor_.width() / old.width())),
                 static_cast<int>(std::lround(client.height() * factor_.height() / old.height())));
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
