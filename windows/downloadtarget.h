#pragma once

#include <QString>

// Where the lobby installer is saved.
namespace downloadtarget {

// The file name at the end of a download address: the last part of its path,
// without query or fragment. Empty when the address names no file ("/",
// "." or "..").
QString fileNameFromUrl(const QString &url);

// The program's own folder when a file can be made there, otherwise
// userFolder (made if missing), as for a copy installed for the whole system.
QString chooseFolder(const QString &programFolder, const QString &userFolder);

// chooseFolder() for this program: its executable's folder, else the user's
// data folder for it.
QString defaultFolder();

// The lobby program where its installer puts it, which on this desktop is
// inside drive C of Wine.
inline const QString kLobbyWindowsPath =
    QStringLiteral("C:\\Program Files\\Korvex\\KorvexLobby.exe");
QString installedLobbyProgram();

} // namespace downloadtarget
