#pragma once

#include <QString>
#include <QStringList>

// Names of the picture and sound files. The art maker writes them at build
// time and the program reads them back from its embedded resources, so both
// sides take the names from here. resources/CMakeLists.txt lists the same
// files for the resource compiler.
namespace artfiles {

inline QString numbered(const char *stem, int n, int width = 1)
{
    return QStringLiteral("%1%2.png").arg(QLatin1String(stem)).arg(n, width, 10, QLatin1Char('0'));
}

inline QString bigCard(int n)
{
    return numbered("card", n, 2);
}
inline QString digit(int d)
{
    return numbered("digit", d);
}
inline QString bags(int b)
{
    return numbered("bags", b);
}
inline QString botSwitch(int on)
{
    return numbered("switch", on);
}
inline QString ornament(int corner)
{
    return numbered("ornament", corner);
}
inline QString phraseButton(int n)
{
    return numbered("phrase", n, 2);
}
inline QString sound(const QString &name)
{
    return name.toLower() + QStringLiteral(".wav");
}

inline const QString turnMarker = QStringLiteral("turn.png");
inline const QString eyes = QStringLiteral("eyes.png");
inline const QString outOfMoney = QStringLiteral("outofmoney.png");
inline const QString winner = QStringLiteral("winner.png");
inline const QString startButton = QStringLiteral("start.png");
inline const QString startButtonDown = QStringLiteral("startdown.png");
inline const QString cardFan = QStringLiteral("cardfan.png");
inline const QString logo = QStringLiteral("logo.png");
inline const QString windowIcon = QStringLiteral("icon.png");
inline const QString backgroundTile = QStringLiteral("tile.png");
inline const QString downloadTile = QStringLiteral("downloadtile.png");
inline const QString advert = QStringLiteral("advert.jpg");

// The seven game sounds, by the names the table plays them under.
inline const QStringList soundNames = {
    QStringLiteral("entered"),   QStringLiteral("error"),      QStringLiteral("lostmoney"),
    QStringLiteral("placecard"), QStringLiteral("startround"), QStringLiteral("turn"),
    QStringLiteral("winner"),
};

} // namespace artfiles
