#pragma once

#include <QObject>
#include <QRect>
#include <QSizeF>

#include <functional>

class QFont;
class QPaintDevice;
class QWidget;

namespace tavilon {

// The face the control tables were drawn for: 8-point Liberation Sans.
QFont referenceFont();

// The largest size of `font`'s family, from its own size down in half
// points (a font given in pixels: in pixels), for which `fits` holds; the
// smallest size tried when none does. A smaller size is taken to fit
// wherever a larger one does, so the size is found by halving the range: a
// desktop font of 10,000 points takes a few tries, not 20,000.
QFont largestFittingFont(const QFont& font, const std::function<bool(const QFont&)>& fits);

// How much larger than the face the control tables were drawn for
// (referenceFont() at 96 dots per inch) the font in effect in a window is, per
// axis: the average width of the letters A-Z and a-z, and the line height,
// each against that face's and never below 1 (the width also at least as
// much as any text of the window grows). A desktop theme may replace
// the program's font at any time, also after the window is shown: the scale
// follows every change of the window's font and reports it once the change
// has reached every control.
//
// The factor never makes the window larger than the available area of its
// screen: where the font in effect would, the window takes the largest size
// of that font's family whose factor fits, and the factor is held to what
// fits (below 1 where even the table's own size does not).
class FontScale : public QObject {
    Q_OBJECT
public:
    // Follows `window`'s font for a client area of `clientTwips`, with
    // `above` (a menu bar, or none) over it; owned by the window.
    FontScale(QWidget* window, QSize clientTwips, const QWidget* above = nullptr);

    QSizeF factor() const { return factor_; }
    // The factor of `font` as drawn on `device`.
    static QSizeF factorOf(const QFont& font, const QPaintDevice* device);

    // `twipRect` scaled by `factor`, in pixels (at factor 1, exactly as
    // the table says).
    static QRect pixels(const QRect& twipRect, QSizeF factor);
    // The client size, in pixels, that a window of `referenceTwips` gets
    // when the factor changes from `old` to the present one: a window at
    // its old reference size takes the new one, any other keeps its
    // proportion to it.
    QSize resized(QSize client, QSize referenceTwips, QSizeF old) const;

signals:
    void changed(QSizeF old);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How much larger than the reference face `font` draws the window's
    // texts, per axis; below 1 for a smaller font.
    QSizeF growth(const QFont& font) const;
    // The largest factor per axis at which the window fits its screen in `font`.
    QSizeF room(const QFont& font) const;
    // Gives the window the largest size of its font's family that fits.
    void fitFont();
    QSizeF measure();
    void update();

    QWidget* window_;
    QSize clientTwips_;
    const QWidget* above_;
    QSizeF factor_{1, 1};
    bool pending_ = false;
};

} // namespace tavilon
