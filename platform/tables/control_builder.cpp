#include "control_builder.h"

#include "twips.h"
#include "platform/widgets/line_widget.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace tavilon {

namespace {

QString textOf(const ControlRow& row)
{
    return row.text ? translatedControlText(row.text) : QString();
}

bool drawnBehind(const QWidget* control)
{
    return qobject_cast<const QLabel*>(control) || qobject_cast<const LineWidget*>(control);
}

} // namespace

QString translatedControlText(const char* text)
{
    return QCoreApplication::translate("Controls", text);
}

void ControlBuilder::setUp(QWidget* control, const ControlRow& row)
{
    control->setGeometry(pxRect(row.left, row.top, row.width, row.height));
}

void ControlBuilder::setUp(QLineEdit* box, const ControlRow& row)
{
    setUp(static_cast<QWidget*>(box), row);
    box->setText(textOf(row));
}

void ControlBuilder::setUp(QPushButton* button, const ControlRow& row)
{
    setUp(static_cast<QWidget*>(button), row);
    button->setText(textOf(row));
}

void ControlBuilder::setUp(QLabel* label, const ControlRow& row)
{
    setUp(static_cast<QWidget*>(label), row);
    label->setText(textOf(row));
    label->setTextFormat(Qt::PlainText); // every blank kept, nothing read as markup
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAutoFillBackground(true); // opaque, in the window's colour
    label->setFocusPolicy(Qt::NoFocus);
}

void ControlBuilder::setUp(QGroupBox* frame, const ControlRow& row)
{
    setUp(static_cast<QWidget*>(frame), row);
    frame->setTitle(textOf(row));
    frame->setAutoFillBackground(true);
    frame->setFocusPolicy(Qt::NoFocus);
}

void ControlBuilder::setUp(LineWidget* line, const ControlRow& row)
{
    line->setFrom(QPoint(px(row.left), px(row.top)));
    line->setTo(QPoint(px(row.width), px(row.height)));
}

void ControlBuilder::finish()
{
    // Raising from the last control to the first leaves the first in front;
    // lowering labels and lines then puts them behind, in their own order.
    for (auto it = built_.rbegin(); it != built_.rend(); ++it)
        it->first->raise();
    for (const auto& [control, row] : built_)
        if (drawnBehind(control))
            control->lower();

    std::vector<std::pair<QWidget*, const ControlRow*>> tabbed;
    std::copy_if(built_.begin(), built_.end(), std::back_inserter(tabbed),
                 [](const auto& built) { return built.first->focusPolicy() != Qt::NoFocus; });
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const auto& a, const auto& b) { return a.second->tabIndex < b.second->tabIndex; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(tabbed[i - 1].first, tabbed[i].first);
}

void describeControl(QWidget* control, const char* name, const char* description, QLabel* label)
{
    if (name)
        control->setAccessibleName(translatedControlText(name));
    if (description)
        control->setAccessibleDescription(translatedControlText(description));
    if (label)
        label->setBuddy(control);
}

} // namespace tavilon
