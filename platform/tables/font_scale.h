#pragma once

#include <QObject>
#include <QRect>
#include <QSizeF>

class QFont;
class QPaintDevice;
class QWidget;

namespace tavilon {

// How much larger than the face the control tables were drawn for (8-point
// Liberation Sans at 96 dots per inch) the font in effect in a window is, per
// axis: the average width of the letters A-Z and a-z, and the line height,
// each against that face's and never below 1 (the width also at least as
// much as any text of the window grows). A desktop theme may replace
// the program's font at any time, also after the window is shown: the scale
// follows every change of the window's font and reports it once the change
// has reached every control.
class FontScale : public QObject {
    Q_OBJECT
public:
    // Follows `window`'s font; owned by the window.
    explicit FontScale(QWidget* window);

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
    QSizeF measure() const;
    void update();

    QWidget* window_;
    QSizeF factor_{1, 1};
    bool pending_ = false;
};

} // namespace tavilon
