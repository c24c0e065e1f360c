#include "layout_engine.h"

#include <cmath>
#include <limits>

namespace tavilon::layout {

namespace {

constexpr double RightMargin = 200;
constexpr std::int32_t BottomMargin = 500;

// Clears the busy flag on every way out of a pass.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyScope() { flag_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& flag_;
};

} // namespace

std::optional<std::int32_t> LayoutEngine::toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode rounds ties to even
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> LayoutEngine::scale(std::int32_t v, std::int32_t p)
{
    const std::int64_t product = std::int64_t{v} * p;
    if (product < std::numeric_limits<std::int32_t>::min() || product > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(product / 100); // C++ division truncates toward zero
}

std::int32_t LayoutEngine::unparkX(std::int32_t v)
{
    return v >= 0 ? v : v + ParkOffset;
}

std::int32_t LayoutEngine::findForm(const LayoutForm& form) const
{
    const std::string name = form.name();
    for (std::int32_t i = 0; i < formRecordCount_; ++i) {
        if (formRecords_[static_cast<std::size_t>(i)].name == name)
            return i;
    }
    return -1;
}

std::int32_t LayoutEngine::registerForm(LayoutForm& form)
{
    if (formRecordCount_ == std::numeric_limits<std::int32_t>::max())
        return -1;
    formRecords_.resize(static_cast<std::size_t>(formRecordCount_) + 1);
    LayoutRecord& record = formRecords_.back();
    record.name = form.name();
    record.top = toInt32(form.top()).value_or(0);
    record.left = toInt32(form.left()).value_or(0);
    record.height = toInt32(form.height()).value_or(0);
    record.width = toInt32(form.width()).value_or(0);
    record.scaleHeight = toInt32(form.scaleHeight()).value_or(0);
    record.scaleWidth = toInt32(form.scaleWidth()).value_or(0);
    const std::int32_t index = formRecordCount_++;
    for (LayoutControl* control : form.controls()) {
        if (findControl(*control, record.name) == -1)
            registerControl(*control, formRecords_[static_cast<std::size_t>(index)].name);
    }
    return index;
}

std::int32_t LayoutEngine::findControl(const LayoutControl& control, const std::string& formName) const
{
    for (std::int32_t i = 0; i < controlRecordCount_; ++i) {
        const LayoutRecord& record = controlRecords_[static_cast<std::size_t>(i)];
        if (record.formName != formName)
            continue;
        if (control.name() != record.name)
            continue;
        const std::optional<double> index = control.index();
        if (!index)
            return i; // not a member of a control array: the name decides
        const auto asInt = toInt32(*index);
        if (asInt && *asInt == record.index)
            return i;
    }
    return -1;
}

std::int32_t LayoutEngine::registerControl(LayoutControl& control, const std::string& formName)
{
    if (controlRecordCount_ == std::numeric_limits<std::int32_t>::max())
        return -1;
    controlRecords_.resize(static_cast<std::size_t>(controlRecordCount_) + 1);
    LayoutRecord& record = controlRecords_.back();
    // Each member access is a step of its own: a failing one leaves its field
    // at 0 and the next step runs.
    const auto read = [&](Member member) -> std::optional<std::int32_t> {
        const auto value = control.read(member);
        return value ? toInt32(*value) : std::nullopt;
    };
    record.name = control.name();
    if (const auto index = control.index())
        record.index = toInt32(*index).value_or(0);
    record.formName = formName;
    if (control.isLine()) {
        if (const auto v = read(Member::Y1))
            record.top = *v;
        if (const auto v = read(Member::X1))
            record.left = unparkX(*v);
        if (const auto v = read(Member::Y2))
            record.height = *v;
        if (const auto v = read(Member::X2))
            record.width = unparkX(*v);
    } else {
        if (const auto v = read(Member::Top))
            record.top = *v;
        if (const auto v = read(Member::Left))
            record.left = unparkX(*v);
        if (const auto v = read(Member::Height))
            record.height = *v;
        if (const auto v = read(Member::Width))
            record.width = *v;
    }
    control.writeIntegralHeight(false);
    return controlRecordCount_++;
}

std::optional<std::int32_t> LayoutEngine::percent(LayoutForm& form, bool width)
{
    std::int32_t index = findForm(form);
    if (index == -1)
        index = registerForm(form);
    if (index < 0)
        return std::nullopt;
    const LayoutRecord& record = formRecords_[static_cast<std::size_t>(index)];
    const auto current = toInt32((width ? form.scaleWidth() : form.scaleHeight()) * 100);
    const std::int32_t reference = width ? record.scaleWidth : record.scaleHeight;
    if (!current || reference == 0)
        return std::nullopt;
    return *current / reference;
}

std::optional<std::int32_t> LayoutEngine::widthPercent(LayoutForm& form)
{
    return percent(form, true);
}

std::optional<std::int32_t> LayoutEngine::heightPercent(LayoutForm& form)
{
    return percent(form, false);
}

void LayoutEngine::resizeControl(LayoutControl& control, LayoutForm& form)
{
    // Every step is guarded: a failing one is skipped and the next runs.
    const std::int32_t h = heightPercent(form).value_or(0);
    const std::int32_t w = widthPercent(form).value_or(0);
    const std::int32_t i = findControl(control, form.name());
    if (i < 0)
        return; // a control made after registration has no reference: leave it alone
    const LayoutRecord r = controlRecords_[static_cast<std::size_t>(i)];

    const auto isParked = [&](Member member) {
        const auto value = control.read(member);
        return value && *value < 0;
    };
    const auto parked = [&](std::optional<std::int32_t> value, Member member) -> std::optional<std::int32_t> {
        if (value && isParked(member)) {
            const std::int64_t moved = std::int64_t{*value} - ParkOffset;
            if (moved < std::numeric_limits<std::int32_t>::min())
                return std::nullopt;
            return static_cast<std::int32_t>(moved);
        }
        return value;
    };

    if (control.isLine()) {
        if (const auto x1 = parked(scale(r.left, w), Member::X1))
            control.write(Member::X1, *x1);
        if (const auto y1 = scale(r.top, h))
            control.write(Member::Y1, *y1);
        if (const auto x2 = parked(scale(r.width, w), Member::X2))
            control.write(Member::X2, *x2);
        if (const auto y2 = scale(r.height, h))
            control.write(Member::Y2, *y2);
        return;
    }

    std::int32_t newLeft = 0;
    if (const auto left = scale(r.left, w)) {
        newLeft = *left;
        if (const auto moved = parked(left, Member::Left))
            newLeft = *moved;
    }
    const std::int32_t newTop = scale(r.top, h).value_or(0);
    const std::int32_t newWidth = scale(r.width, w).value_or(0);
    const std::int32_t newHeight = scale(r.height, h).value_or(0);

    const std::int32_t four[] = {newLeft, newTop, newWidth, newHeight};
    control.move(std::span<const std::int32_t>(four, 4));
    control.move(std::span<const std::int32_t>(four, 3));
    control.move(std::span<const std::int32_t>(four, 2));
}

void LayoutEngine::placeControls(LayoutForm& form)
{
    for (LayoutControl* control : form.controls())
        resizeControl(*control, form);
}

void LayoutEngine::fitMdiChild(LayoutForm& form)
{
    double right = 0;
    std::int32_t bottom = 0;
    const auto takeRight = [&](std::optional<double> candidate) {
        if (candidate && *candidate > right)
            right = *candidate;
    };
    const auto takeBottom = [&](std::optional<double> candidate) {
        if (!candidate)
            return;
        if (const auto v = toInt32(*candidate); v && *v > bottom)
            bottom = *v;
    };
    for (LayoutControl* control : form.controls()) {
        const auto left = control->read(Member::Left);
        const auto width = control->read(Member::Width);
        if (left && width)
            takeRight(*left + *width + RightMargin);
        if (const auto x1 = control->read(Member::X1))
            takeRight(*x1 + RightMargin);
        if (const auto x2 = control->read(Member::X2))
            takeRight(*x2 + RightMargin);
        const auto top = control->read(Member::Top);
        const auto height = control->read(Member::Height);
        if (top && height)
            takeBottom(*top + *height + BottomMargin);
        if (const auto y1 = control->read(Member::Y1))
            takeBottom(*y1 + BottomMargin);
        if (const auto y2 = control->read(Member::Y2))
            takeBottom(*y2 + BottomMargin);
    }
    form.setHeight(bottom);
    form.setWidth(right);
}

void LayoutEngine::resizeForm(LayoutForm& form)
{
    if (resizeBusy_)
        return; // a resize caused by a running pass is dropped
    BusyScope busy(resizeBusy_);
    const bool firstPass = findForm(form) == -1;
    // A minimised window reports a client area that has nothing to do with
    // the one the user will see again; it is neither recorded nor laid out.
    // Its position says nothing: a tall or stacked desktop puts ordinary
    // windows far down.
    if (form.minimised())
        return;
    const bool wasVisible = form.visible();
    const bool mdiChild = form.mdiChild().value_or(false);
    double oldHeight = 0;
    double oldWidth = 0;
    if (mdiChild && firstPass) {
        oldHeight = form.height();
        oldWidth = form.width();
        fitMdiChild(form);
    }
    placeControls(form);
    if (!mdiChild) {
        if (form.visible() != wasVisible)
            form.setVisible(wasVisible);
    } else if (firstPass) {
        form.setHeight(oldHeight);
        form.setWidth(oldWidth);
        placeControls(form);
    }
}

LayoutEngine& processLayoutEngine()
{
    static LayoutEngine engine;
    return engine;
}

} // namespace tavilon::layout
