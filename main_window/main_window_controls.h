#pragma once

#include "control_table.h"

#include <array>

namespace tavilon {

// The main window's controls, front to back within each container.
// Geometry in twips; the line's four values are X1, Y1, X2, Y2.
inline constexpr std::array<ControlSpec, 12> MainWindowControls = {{
    {"Text1", ControlKind::OutputBox, nullptr, 120, 3360, 8055, 3735, 0, nullptr},
    {"Frame1", ControlKind::Frame, nullptr, 240, 240, 4575, 3015, 1, "Text File"},
    {"Command2", ControlKind::Button, "Frame1", 240, 2400, 1095, 495, 10, "Clear"},
    {"Text3", ControlKind::TextBox, "Frame1", 960, 360, 3375, 375, 9, nullptr},
    {"Text2", ControlKind::TextBox, "Frame1", 1440, 840, 615, 375, 8, nullptr, false},
    {"Command1", ControlKind::Button, "Frame1", 1680, 2400, 1095, 495, 7, "Copy to Clipboard"},
    {"Text4", ControlKind::TextBox, "Frame1", 1440, 1800, 615, 375, 6, nullptr},
    {"Command4", ControlKind::Button, "Frame1", 3120, 2400, 1095, 495, 4, "Select", false},
    {"Label3", ControlKind::Label, "Frame1", 120, 1800, 1215, 375, 5, "# Of Random Words:"},
    {"Line1", ControlKind::Line, "Frame1", 120, 1440, 4440, 1440, -1, nullptr},
    {"Label2", ControlKind::Label, "Frame1", 120, 480, 1215, 375, 3, "File Name:"},
    {"Label1", ControlKind::Label, "Frame1", 120, 960, 2055, 375, 2, "Number Of Lines:"},
}};

// What a screen reader says of the controls: the boxes are named after
// the labels beside them (the frame's caption would otherwise name all three).
inline constexpr std::array<AccessibleSpec, 7> MainWindowAccessibleText = {{
    {"Text1", "Picked words", "The words picked so far, one per line; Clear empties it"},
    {"Text3", "File Name", "Path of the word list the words are picked from", "Label2"},
    {"Text2", "Number Of Lines", "How many words the loaded word list holds", "Label1"},
    {"Text4", "Number of random words", "How many words Select adds; empty or 0 adds one", "Label3"},
    {"Command4", nullptr, "Adds random words from the word list to the picked words"},
    {"Command1", nullptr, "Copies the picked words to the clipboard"},
    {"Command2", nullptr, "Empties the picked words"},
}};

inline constexpr int MainWindowClientWidth = 8265;  // twips
inline constexpr int MainWindowClientHeight = 7200; // twips

} // namespace tavilon
