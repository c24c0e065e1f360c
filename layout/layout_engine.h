#pragma once

#include "layout_target.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavilon::layout {

// A reference snapshot of a form or of one control, taken once.
struct LayoutRecord {
    std::string name;
    std::int32_t index = 0;
    std::string formName;
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t scaleHeight = 0;
    std::int32_t scaleWidth = 0;
};

// Proportional layout: records every control of a form the first time the
// form is laid out, and on every resize places each control again from its
// record, scaled by whole-number percentages of the client area. Because
// each pass starts from the record, truncation never accumulates.
class LayoutEngine {
public:
    static constexpr std::int32_t ParkOffset = 75000;

    // The registry.
    std::int32_t findForm(const LayoutForm& form) const;
    std::int32_t registerForm(LayoutForm& form);
    std::int32_t findControl(const LayoutControl& control, const std::string& formName) const;
    std::int32_t registerControl(LayoutControl& control, const std::string& formName);
    static std::int32_t unparkX(std::int32_t v);

    // The resize pass.
    void resizeForm(LayoutForm& form);
    std::optional<std::int32_t> widthPercent(LayoutForm& form);
    std::optional<std::int32_t> heightPercent(LayoutForm& form);
    void resizeControl(LayoutControl& control, LayoutForm& form);

    const std::vector<LayoutRecord>& formRecords() const { return formRecords_; }
    const std::vector<LayoutRecord>& controlRecords() const { return controlRecords_; }
    std::int32_t formRecordCount() const { return formRecordCount_; }
    std::int32_t controlRecordCount() const { return controlRecordCount_; }
    bool resizeBusy() const { return resizeBusy_; }

    // Nearest whole number, ties to even; nothing outside the 32-bit range.
    static std::optional<std::int32_t> toInt32(double value);
    // v * p / 100, truncated toward zero; nothing outside the 32-bit range.
    static std::optional<std::int32_t> scale(std::int32_t v, std::int32_t p);

private:
    std::optional<std::int32_t> percent(LayoutForm& form, bool width);
    void placeControls(LayoutForm& form);
    void fitMdiChild(LayoutForm& form);

    std::vector<LayoutRecord> formRecords_;
    std::int32_t formRecordCount_ = 0;
    std::vector<LayoutRecord> controlRecords_;
    std::int32_t controlRecordCount_ = 0;
    bool resizeBusy_ = false;
};

// The process-wide engine that the main window's resizes go through.
LayoutEngine& processLayoutEngine();

} // namespace tavilon::layout
