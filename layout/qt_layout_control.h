#pragma once

#include "layout_target.h"

#include <QPointer>

class QObject;

namespace tavilon::layout {

// A widget, a line or a menu item seen by the layout engine, its geometry
// in twips. A menu item has no geometry and cannot be moved.
class QtLayoutControl : public LayoutControl {
public:
    explicit QtLayoutControl(QObject* object);

    std::string name() const override;
    std::optional<double> index() const override;
    std::optional<double> read(Member member) const override;
    bool write(Member member, double value) override;
    bool writeIntegralHeight(bool value) override;
    bool move(std::span<const std::int32_t> values) override;
    bool isLine() const override;

private:
    QPointer<QObject> object_;
};

} // namespace tavilon::layout
