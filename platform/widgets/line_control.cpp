#include "line_control.h"

#include <QEvent>
#include <QPainter>

namespace tavilon {

LineControl::LineControl(QWidget* container) : QWidget(container)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    if (container) {
        setGeometry(container->rect());
        container->installEventFilter(this);
    }
}

void LineControl::setFrom(QPoint from)
{
    from_ = from;
    update();
}

void LineControl::setTo(QPoint to)
{
    to_ = to;
    update();
}

bool LineControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(from_, to_);
}

} // namespace tavilon
