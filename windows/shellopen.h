#pragma once

#include <QString>

#include <chrono>
#include <functional>

// The desktop's "open" action for a file, with parameters for a program.
namespace shellopen {

// How the started program's window should come up.
enum class Show { Normal, NoActivate };

// How long a start is watched for an early end: a program that cannot run
// (Wine refusing a file, a desktop opener without a handler for it) ends
// within this time with an error code, one that runs is still going.
inline constexpr std::chrono::milliseconds kStartWatch{1500};

// Whether `file` is a program built for Windows: its name ends in ".exe" or
// ".com", or it begins as such a program does ("MZ").
bool isWindowsProgram(const QString &file);

// Whether a start succeeded: the program started and did not end with an
// error within the watch.
using Done = std::function<void(bool started)>;

// Starts `file`: a Windows program through Wine, with `parameters` (split
// like a shell command line); a program of this system directly, with them;
// and any other file through the desktop's opener, where parameters cannot
// follow. A Windows program on a desktop without Wine does not start: the
// desktop's opener would only say that it had handed the file on, drop the
// parameters and install nothing. Never waits: `done` hears the outcome
// later, from the event loop, once the program has ended or `watch` is over.
// The window state is only a wish: X11 desktops decide that for themselves.
void open(const QString &file, const QString &parameters, Show show, Done done,
          std::chrono::milliseconds watch = kStartWatch);

} // namespace shellopen
