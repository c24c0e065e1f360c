#pragma once

#include <QPoint>
#include <QWidget>

namespace tavilon {

// A line drawn between two points of its container, in pixels. It covers the
// container, draws nothing else and lets every mouse event through.
class LineWidget : public QWidget {
    Q_OBJECT
public:
    explicit LineWidget(QWidget* container);

    QPoint from() const { return from_; }
    QPoint to() const { return to_; }
    void setFrom(QPoint from);
    void setTo(QPoint to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_;
    QPoint to_;
};

} // namespace tavilon
