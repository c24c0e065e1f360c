#include "line_widget.h"

#include "platform/windows/accessible_interface.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>

namespace tavilon {

namespace {

// A rule reads as a separator with no name of its own, not as a nameless
// panel that borrows its frame's title.
class RuleAccessible : public QAccessibleWidget {
public:
    explicit RuleAccessible(QWidget* rule) : QAccessibleWidget(rule, QAccessible::Separator) {}
    QString text(QAccessible::Text) const override { return QString(); }
};

} // namespace

LineWidget::LineWidget(QWidget* container) : QWidget(container)
{
    installAccessibleInterface<LineWidget, RuleAccessible>();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (container) {
        setGeometry(container->rect());
        container->installEventFilter(this);
    }
}

void LineWidget::setFrom(QPoint from)
{
    from_ = from;
    update();
}

void LineWidget::setTo(QPoint to)
{
    to_ = to;
    update();
}

bool LineWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LineWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(from_, to_);
}

} // namespace tavilon
