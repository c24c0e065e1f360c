#pragma once

#include "platform/tables/control_row.h"

#include <QSize>

namespace tavilon::main_window_controls {

// The main window's controls, front to back within each container, in
// twips; their texts are translated where the controls are built. Every control but the output box lies in the frame.
inline constexpr ControlRow Output{"Text1", 120, 3360, 8055, 3735, 0};
inline constexpr ControlRow Frame{"Frame1", 240, 240, 4575, 3015, 1, QT_TRANSLATE_NOOP("Controls", "Text File")};
inline constexpr ControlRow Clear{"Command2", 240, 2400, 1095, 495, 10, QT_TRANSLATE_NOOP("Controls", "Clear")};
inline constexpr ControlRow Path{"Text3", 960, 360, 3375, 375, 9};
inline constexpr ControlRow Count{"Text2", 1440, 840, 615, 375, 8, nullptr};
inline constexpr ControlRow Copy{"Command1", 1680, 2400, 1095, 495, 7, QT_TRANSLATE_NOOP("Controls", "Copy to Clipboard")};
inline constexpr ControlRow Picks{"Text4", 1440, 1800, 615, 375, 6};
inline constexpr ControlRow Select{"Command4", 3120, 2400, 1095, 495, 4, QT_TRANSLATE_NOOP("Controls", "Select"), false};
inline constexpr ControlRow PicksLabel{"Label3", 120, 1800, 1215, 375, 5, QT_TRANSLATE_NOOP("Controls", "# Of Random Words:")};
inline constexpr ControlRow Rule{"Line1", 120, 1440, 4440, 1440, -1};
inline constexpr ControlRow PathLabel{"Label2", 120, 480, 1215, 375, 3, QT_TRANSLATE_NOOP("Controls", "File Name:")};
inline constexpr ControlRow CountLabel{"Label1", 120, 960, 2055, 375, 2, QT_TRANSLATE_NOOP("Controls", "Number Of Lines:")};

// The client area (the window without its menu bar) at which every control
// stands at the place above.
inline constexpr QSize ClientSize(8265, 7200);

} // namespace tavilon::main_window_controls
