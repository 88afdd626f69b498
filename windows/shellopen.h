#pragma once

#include <QString>

// The desktop's "open" action for a file, with parameters for a program.
namespace shellopen {

// How the started program's window should come up.
enum class Show { Normal, NoActivate };

// Starts `file`: a program is run with `parameters` (split like a shell
// command line), a Windows program through Wine when Wine is there, and any
// other file is handed to the desktop's handler for it, where parameters
// cannot follow. Returns whether the start succeeded. The window state is
// only a wish: X11 desktops decide that for themselves.
bool open(const QString &file, const QString &parameters, Show show);

} // namespace shellopen
