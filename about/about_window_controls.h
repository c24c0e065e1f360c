#pragma once

#include "platform/tables/control_row.h"

namespace tavilon::about_window_controls {

// The maker's web address; the heading shows it with the name in large type
// over a run of blanks.
inline constexpr const char* MakerAddress = "www.brenvask.test"; // a reserved test domain
inline constexpr int HeadingBlanks = 39;

inline constexpr const char* MakerParagraph = QT_TRANSLATE_NOOP(
    "Controls",
    "     Brenvask makes small, dependable tools for everyday work with words and text. "
    "Tavilon draws random words from any plain word list you give it. For news, further "
    "tools and help, please visit the web pages of Brenvask at www.brenvask.test.");

// The About window's controls, front to back, in twips. The heading's
// text is made from the address at run time.
inline constexpr ControlRow Paragraph{"Label3", 480, 1200, 3495, 1575, 2, MakerParagraph};
inline constexpr ControlRow Rule{"Line1", 240, 840, 3840, 840, -1};
inline constexpr ControlRow Name{"Label2", 1320, 150, 1695, 855, 1, "Brenvask"};
inline constexpr ControlRow Heading{"Label1", 840, 360, 2415, 375, 0};

inline constexpr int ClientWidth = 4425;  // twips
inline constexpr int ClientHeight = 3090; // twips

} // namespace tavilon::about_window_controls
