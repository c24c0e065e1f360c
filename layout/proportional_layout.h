#pragma once

#include <QLayout>
#include <QLine>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace tavilon {

class LineWidget;

// Lays out a window's client area by proportion: every item keeps its
// reference place, in twips, scaled by two whole-number percentages, the
// client area's width and height against the reference client size. Each
// pass starts again from the reference, so truncation never accumulates.
// The percentages and the scaling are computed in twips (15 to a pixel):
// done in pixels, the same pass would put many edges a pixel off.
//
// The layout owns its items. A widget may lie anywhere in the client area,
// also inside a frame: its place is relative to its own container, it stays
// in that container, and it is scaled by the client area's percentages.
class ProportionalLayout : public QLayout {
    Q_OBJECT
public:
    // `referenceClient` is the client size, in twips, at which every item
    // stands at its reference place.
    ProportionalLayout(QWidget* clientArea, QSize referenceClient);
    ~ProportionalLayout() override;

    // An item added without a reference takes the place it has now as its
    // reference place.
    using QLayout::addWidget;
    void addWidget(QWidget* control, const QRect& reference);
    void addLine(LineWidget* line, const QLine& reference);

    // Keeps `control` at least `pixels` wide (never past its container's
    // right edge), for a box whose text would otherwise be cut.
    void setMinimumWidth(QWidget* control, int pixels);

    // Grows or shrinks the reference, client size included, by a factor per
    // axis (as for a larger font), and lays the items out again.
    void setReferenceScale(double x, double y);

    // The whole-number percentage of `current` pixels against `reference`
    // twips; nothing for a zero reference or outside the 32-bit range.
    static std::optional<std::int32_t> percent(int current, std::int32_t reference);
    // v * p / 100, truncated toward zero; nothing outside the 32-bit range.
    static std::optional<std::int32_t> scale(std::int32_t v, std::int32_t p);

    void setGeometry(const QRect& rect) override;
    QSize sizeHint() const override;
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;

private:
    struct Placed {
        std::unique_ptr<QLayoutItem> item;
        std::variant<QRect, QLine> reference; // a place, or a line's two ends
        int minimumWidth = 0;                 // pixels
    };
    void add(QWidget* widget, std::variant<QRect, QLine> reference);
    std::int32_t referenceValue(int twips, double factor) const;
    void place(const Placed& placed, std::int32_t w, std::int32_t h) const;

    QSize referenceClient_;
    double scaleX_ = 1;
    double scaleY_ = 1;
    std::vector<Placed> placed_;
};

} // namespace tavilon
