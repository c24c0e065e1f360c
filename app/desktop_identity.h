#pragma once

class QApplication;
class QIcon;

namespace tavilon {

// The name the desktop knows the program by: the desktop entry's id, which
// is also the icon's name in the icon theme.
inline constexpr const char* DesktopId = "test.brenvask.Tavilon";

// The program's icon: the installed theme icon where the desktop has it,
// otherwise the copy built into the program, so a window never goes without.
QIcon applicationIcon();

// Names the program to the desktop (name, version, maker, desktop entry)
// and gives every window the program's icon.
void applyDesktopIdentity(QApplication& app);

} // namespace tavilon
