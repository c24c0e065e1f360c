#pragma once

#include "control_table.h"

#include <array>

namespace tavilon {

// The maker's web address; the heading shows it with the name in large type
// over a run of blanks.
inline constexpr const char* MakerAddress = "www.brenvask.test"; // a reserved test domain
inline constexpr int HeadingBlanks = 39;

inline constexpr const char* MakerParagraph =
    "     Brenvask makes small, dependable tools for everyday work with words and text. "
    "Tavilon draws random words from any plain word list you give it. For news, further "
    "tools and help, please visit the web pages of Brenvask at www.brenvask.test.";

// The About window's controls, front to back. Label1's caption is made from
// the address at run time.
inline constexpr std::array<ControlSpec, 4> AboutWindowControls = {{
    {"Label3", ControlKind::Label, nullptr, 480, 1200, 3495, 1575, 2, MakerParagraph},
    {"Line1", ControlKind::Line, nullptr, 240, 840, 3840, 840, -1, nullptr},
    {"Label2", ControlKind::Label, nullptr, 1320, 150, 1695, 855, 1, "Brenvask"},
    {"Label1", ControlKind::Label, nullptr, 840, 360, 2415, 375, 0, nullptr},
}};

inline constexpr int AboutWindowClientWidth = 4425;  // twips
inline constexpr int AboutWindowClientHeight = 3090; // twips

} // namespace tavilon
