#pragma once

#include "layout_target.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavilon::layout {

// A reference snapshot of a form or of one control, taken once.
struct LayoutRecord {
    std::string Name;
    std::int32_t Index = 0;
    std::string FormName;
    std::int32_t Top = 0;
    std::int32_t Left = 0;
    std::int32_t Height = 0;
    std::int32_t Width = 0;
    std::int32_t ScaleHeight = 0;
    std::int32_t ScaleWidth = 0;
};

// Proportional layout: records every control of a form the first time the
// form is laid out, and on every resize places each control again from its
// record, scaled by whole-number percentages of the client area. Because
// each pass starts from the record, truncation never accumulates.
class LayoutEngine {
public:
    static constexpr std::int32_t ParkOffset = 75000;

    // The registry.
    std::int32_t FindForm(const LayoutForm& form) const;
    std::int32_t RegisterForm(LayoutForm& form);
    std::int32_t FindControl(const LayoutControl& control, const std::string& formName) const;
    std::int32_t RegisterControl(LayoutControl& control, const std::string& formName);
    static std::int32_t UnparkX(std::int32_t v);

    // The resize pass.
    void ResizeForm(LayoutForm& form);
    std::optional<std::int32_t> WidthPercent(LayoutForm& form);
    std::optional<std::int32_t> HeightPercent(LayoutForm& form);
    void ResizeControl(LayoutControl& control, LayoutForm& form);

    const std::vector<LayoutRecord>& FormRecords() const { return FormRecords_; }
    const std::vector<LayoutRecord>& ControlRecords() const { return ControlRecords_; }
    std::int32_t FormRecordCount() const { return FormRecordCount_; }
    std::int32_t ControlRecordCount() const { return ControlRecordCount_; }
    bool ResizeBusy() const { return ResizeBusy_; }

    // Nearest whole number, ties to even; nothing outside the 32-bit range.
    static std::optional<std::int32_t> toInt32(double value);
    // v * p / 100, truncated toward zero; nothing outside the 32-bit range.
    static std::optional<std::int32_t> scale(std::int32_t v, std::int32_t p);

private:
    std::optional<std::int32_t> percent(LayoutForm& form, bool width);
    void placeControls(LayoutForm& form);
    void fitMdiChild(LayoutForm& form);

    std::vector<LayoutRecord> FormRecords_;
    std::int32_t FormRecordCount_ = 0;
    std::vector<LayoutRecord> ControlRecords_;
    std::int32_t ControlRecordCount_ = 0;
    bool ResizeBusy_ = false;
};

// The process-wide engine that the main window's resizes go through.
LayoutEngine& processLayoutEngine();

} // namespace tavilon::layout
