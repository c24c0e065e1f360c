#pragma once

#include "control_table.h"

#include <array>

namespace tavilon {

// The controls shared by the open and save dialogs; only the label's
// caption differs.
inline constexpr std::array<ControlSpec, 7> browseDialogControls(const char* labelCaption)
{
    return {{
        {"lblDialog", ControlKind::Label, nullptr, 240, 240, 1455, 255, 4, labelCaption},
        {"txtFilename", ControlKind::TextBox, nullptr, 1080, 180, 3615, 375, 0, nullptr},
        {"dirDialog", ControlKind::DirList, nullptr, 240, 720, 2055, 2115, 1, nullptr},
        {"filDialog", ControlKind::FileList, nullptr, 2400, 720, 2295, 2175, 3, nullptr},
        {"drvDialog", ControlKind::DriveList, nullptr, 240, 3000, 2055, 315, 2, nullptr},
        {"cmdOK", ControlKind::Button, nullptr, 2400, 3000, 975, 375, 5, "Ok"},
        {"cmdCancel", ControlKind::Button, nullptr, 3480, 3000, 1215, 375, 6, "Cancel"},
    }};
}

// What a screen reader says of the dialogs' controls. The name box is named
// after the label beside it, which differs between the two dialogs.
inline constexpr std::array<AccessibleSpec, 4> browseDialogAccessibleText(const char* nameBoxName,
                                                                          const char* nameBoxDescription)
{
    return {{
        {"txtFilename", nameBoxName, nameBoxDescription, "lblDialog"},
        {"dirDialog", "Folders", "The folders from the root down to the folder shown, then its subfolders; "
                                 "Enter or a double click opens a folder"},
        {"filDialog", "Files", "The files of the folder shown"},
        {"drvDialog", "Drive", "The drive whose folders are shown"},
    }};
}

inline constexpr int BrowseDialogClientWidth = 4800;   // twips
inline constexpr int OpenDialogClientHeight = 3465;    // twips
inline constexpr int SaveDialogClientHeight = 3495;    // twips

} // namespace tavilon
