#pragma once

#include "platform/tables/control_row.h"

namespace tavilon::browse_dialog_controls {

// The controls of the open and save dialogs, front to back, in twips; only
// the label's text differs between the two.
inline constexpr ControlRow Label{"lblDialog", 240, 240, 1455, 255, 4};
inline constexpr ControlRow Name{"txtFilename", 1080, 180, 3615, 375, 0};
inline constexpr ControlRow Folders{"dirDialog", 240, 720, 2055, 2115, 1};
inline constexpr ControlRow Files{"filDialog", 2400, 720, 2295, 2175, 3};
inline constexpr ControlRow Drives{"drvDialog", 240, 3000, 2055, 315, 2};
inline constexpr ControlRow Ok{"cmdOK", 2400, 3000, 975, 375, 5, QT_TRANSLATE_NOOP("Controls", "Ok")};
inline constexpr ControlRow Cancel{"cmdCancel", 3480, 3000, 1215, 375, 6, QT_TRANSLATE_NOOP("Controls", "Cancel")};

inline constexpr int ClientWidth = 4800;       // twips
inline constexpr int OpenClientHeight = 3465;  // twips
inline constexpr int SaveClientHeight = 3495;  // twips

} // namespace tavilon::browse_dialog_controls
