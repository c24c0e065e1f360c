#include "qt_layout_form.h"

#include "twips.h"

namespace tavilon::layout {

QtLayoutForm::QtLayoutForm(QWidget* window, QWidget* clientArea, std::vector<QObject*> controls)
    : window_(window), client_(clientArea)
{
    for (QObject* control : controls)
        controls_.push_back(std::make_unique<QtLayoutControl>(control));
}

std::string QtLayoutForm::name() const
{
    return window_->objectName().toStdString();
}

double QtLayoutForm::top() const { return twips(window_->geometry().y()); }
double QtLayoutForm::left() const { return twips(window_->geometry().x()); }
double QtLayoutForm::height() const { return twips(window_->frameGeometry().height()); }
double QtLayoutForm::width() const { return twips(window_->frameGeometry().width()); }
double QtLayoutForm::scaleHeight() const { return twips(client_->height()); }
double QtLayoutForm::scaleWidth() const { return twips(client_->width()); }

bool QtLayoutForm::minimised() const
{
    return window_->windowState().testFlag(Qt::WindowMinimized);
}

// On first show the client area is laid out while the window does not yet
// count as visible; a pass then must not show or hide anything.
bool QtLayoutForm::visible() const
{
    return window_->isVisible();
}

void QtLayoutForm::setVisible(bool visible)
{
    if (window_->isVisible() != visible)
        window_->setVisible(visible);
}

void QtLayoutForm::setHeight(double height)
{
    window_->resize(window_->width(), pxRounded(static_cast<long long>(height)));
}

void QtLayoutForm::setWidth(double width)
{
    window_->resize(pxRounded(static_cast<long long>(width)), window_->height());
}

std::vector<LayoutControl*> QtLayoutForm::controls()
{
    std::vector<LayoutControl*> list;
    for (const auto& control : controls_)
        list.push_back(control.get());
    return list;
}

} // namespace tavilon::layout
