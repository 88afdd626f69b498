#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The wording of the help window, the quick instructions and the about window.
namespace helptexts {

// The maker's web site, without "http://", as the about window shows it.
inline const QString kMakerSite = QStringLiteral("www.korvex.example");
inline const QString kLobbyPage = QStringLiteral("http://www.korvex.example/lobby/");
inline const QString kNetworkPage =
    QStringLiteral("http://www.korvex.example/support/network.html");
// Where the download window fetches the lobby installer.
inline const QString kLobbyInstallerUrl =
    QStringLiteral("http://www.korvex.example/lobby/kvlsetup.exe");

inline const QString kHelpCaption = QStringLiteral("Zandor - Help File");
inline const QString kAboutCaption = QStringLiteral("Zandor - About");
inline const QString kDone = QStringLiteral("Done");
inline const QString kAbout = QStringLiteral("About");

// One page of the help window: the button that shows it (whose tag is the
// page number), the heading its text starts with, and the text itself.
struct HelpPage
{
    int number;
    QString button;
    QString heading;
    QString text;
};

// The six pages, memo1 to memo6 in order.
const std::array<HelpPage, 6> &pages();

// The lines written into the chat by Help / Quick Instructions, empty ones
// included, in order.
const QStringList &quickInstructions();

// The about window's lines.
inline const QString kProgramName = QStringLiteral("Zandor");
inline const QString kProgrammedBy = QStringLiteral("Programmed by: Korvex Software");
inline const QString kRightsNotice =
    QStringLiteral("Copyright \u00A9 2005-2006 Korvex Software.\nAll rights reserved.");
inline const QString kVersionWord = QStringLiteral("Version");
// Shown after the version text, so that the label pair reads 1.0.3.2.
inline const QString kBuildSuffix = QStringLiteral(".2");

} // namespace helptexts
