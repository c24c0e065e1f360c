#pragma once

#include "layout_target.h"
#include "qt_layout_control.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace tavilon::layout {

// A top-level window seen by the layout engine. Its client area (the
// window without its menu bar) gives ScaleWidth and ScaleHeight, in twips.
class QtLayoutForm : public LayoutForm {
public:
    QtLayoutForm(QWidget* window, QWidget* clientArea, std::vector<QObject*> controls);

    std::string name() const override;
    double top() const override;
    double left() const override;
    double height() const override;
    double width() const override;
    double scaleHeight() const override;
    double scaleWidth() const override;
    std::optional<bool> mdiChild() const override { return false; }
    bool minimised() const override;
    bool visible() const override;
    void setVisible(bool visible) override;
    void setHeight(double height) override;
    void setWidth(double width) override;
    std::vector<LayoutControl*> controls() override;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> client_;
    std::vector<std::unique_ptr<QtLayoutControl>> controls_;
};

} // namespace tavilon::layout
