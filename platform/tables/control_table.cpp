#include "control_table.h"

#include "dir_list_box.h"
#include "drive_list_box.h"
#include "file_list_box.h"
#include "caption_button.h"
#include "line_control.h"
#include "output_box.h"
#include "twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <vector>

namespace tavilon {

namespace {

std::unique_ptr<QWidget> makeControl(const ControlSpec& row, QWidget* parent)
{
    const QString caption = row.caption ? QString::fromUtf8(row.caption) : QString();
    switch (row.kind) {
    case ControlKind::TextBox: {
        auto box = std::make_unique<QLineEdit>(parent);
        box->setText(caption);
        return box;
    }
    case ControlKind::OutputBox:
        return std::make_unique<OutputBox>(parent);
    case ControlKind::Button:
        return std::make_unique<CaptionButton>(caption, parent);
    case ControlKind::Label: {
        auto label = std::make_unique<QLabel>(caption, parent);
        label->setTextFormat(Qt::PlainText); // every blank kept, nothing read as markup
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true); // opaque, in the window's colour
        return label;
    }
    case ControlKind::Frame: {
        auto frame = std::make_unique<QGroupBox>(caption, parent);
        frame->setAutoFillBackground(true);
        return frame;
    }
    case ControlKind::Line:
        return std::make_unique<LineControl>(parent);
    case ControlKind::DriveList:
        return std::make_unique<DriveListBox>(parent);
    case ControlKind::DirList:
        return std::make_unique<DirListBox>(parent);
    case ControlKind::FileList:
        return std::make_unique<FileListBox>(parent);
    }
    return nullptr;
}

} // namespace

void ControlTable::build(QWidget* client, std::span<const ControlSpec> specs)
{
    // Containers first, so that their controls have a parent.
    std::vector<const ControlSpec*> order;
    for (const auto& row : specs)
        if (row.kind == ControlKind::Frame)
            order.push_back(&row);
    for (const auto& row : specs)
        if (row.kind != ControlKind::Frame)
            order.push_back(&row);

    for (const ControlSpec* row : order) {
        QWidget* parent = row->container ? byName_.value(QString::fromUtf8(row->container)) : client;
        Q_ASSERT(parent);
        // The parent owns the control from here on.
        QWidget* control = makeControl(*row, parent).release();
        control->setObjectName(QString::fromUtf8(row->name));
        if (row->kind == ControlKind::Line) {
            auto* line = static_cast<LineControl*>(control);
            line->setFrom(QPoint(px(row->left), px(row->top)));
            line->setTo(QPoint(px(row->width), px(row->height)));
        } else {
            control->setGeometry(pxRect(row->left, row->top, row->width, row->height));
        }
        control->setEnabled(row->enabled);
        if (row->tabIndex < 0 || row->kind == ControlKind::Label || row->kind == ControlKind::Frame)
            control->setFocusPolicy(Qt::NoFocus);
        byName_.insert(control->objectName(), control);
    }

    // Front to back: raising from the last row to the first leaves the first
    // row in front. Labels and lines are drawn behind every other control of
    // their container, so that a box overlapping a label stays on top; among
    // themselves they keep their order.
    for (auto it = specs.rbegin(); it != specs.rend(); ++it)
        byName_.value(QString::fromUtf8(it->name))->raise();
    for (const auto& row : specs) {
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Line)
            byName_.value(QString::fromUtf8(row.name))->lower();
    }

    std::vector<const ControlSpec*> tabbed;
    for (const auto& row : specs)
        if (row.tabIndex >= 0 && byName_.value(QString::fromUtf8(row.name))->focusPolicy() != Qt::NoFocus)
            tabbed.push_back(&row);
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(byName_.value(QString::fromUtf8(tabbed[i - 1]->name)),
                             byName_.value(QString::fromUtf8(tabbed[i]->name)));
}

void ControlTable::describe(std::span<const AccessibleSpec> specs) const
{
    for (const AccessibleSpec& row : specs) {
        QWidget* control = byName_.value(QString::fromUtf8(row.control));
        Q_ASSERT(control);
        if (row.name)
            control->setAccessibleName(QString::fromUtf8(row.name));
        if (row.description)
            control->setAccessibleDescription(QString::fromUtf8(row.description));
        if (row.label) {
            auto* label = qobject_cast<QLabel*>(byName_.value(QString::fromUtf8(row.label)));
            Q_ASSERT(label);
            label->setBuddy(control);
        }
    }
}

} // namespace tavilon
