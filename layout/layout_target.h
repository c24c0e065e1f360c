#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tavilon::layout {

// The members the layout engine reaches by name. A read gives a value or
// nothing (the control has no such member); a write or a Move reports
// whether it took. The engine holds no window code: windows are adapted to
// these two interfaces.
enum class Member { Left, Top, Width, Height, X1, Y1, X2, Y2 };

class LayoutControl {
public:
    virtual ~LayoutControl() = default;
    virtual std::string name() const = 0;
    // The index within a control array; nothing for a control outside one.
    virtual std::optional<double> index() const = 0;
    virtual std::optional<double> read(Member member) const = 0;
    virtual bool write(Member member, double value) = 0;
    virtual bool writeIntegralHeight(bool value) = 0;
    // Move with 4, 3 or 2 values: left, top[, width[, height]].
    virtual bool move(std::span<const std::int32_t> values) = 0;
    virtual bool isLine() const = 0;
};

class LayoutForm {
public:
    virtual ~LayoutForm() = default;
    virtual std::string name() const = 0;
    virtual double top() const = 0;
    virtual double left() const = 0;
    virtual double height() const = 0;
    virtual double width() const = 0;
    virtual double scaleHeight() const = 0;
    virtual double scaleWidth() const = 0;
    // Nothing when the form has no such member.
    virtual std::optional<bool> mdiChild() const = 0;
    // A minimised window keeps its controls where they are.
    virtual bool minimised() const = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setHeight(double height) = 0;
    virtual void setWidth(double width) = 0;
    // Every control once, menu items, lines and controls in containers
    // included, in one stable order.
    virtual std::vector<LayoutControl*> controls() = 0;
};

} // namespace tavilon::layout
