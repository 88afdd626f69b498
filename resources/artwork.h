#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>

// The game's pictures and sounds. All are our own: drawn and synthesised by
// resources/maker at build time and embedded in the program, so nothing is
// drawn at start-up; each call decodes one small embedded file. These are
// the pictures at their designed sizes; resources/artsizes.h gives them for
// a bigger table or a high-density screen. Pictures
// come as QImage (no QGuiApplication needed); widgets turn them into
// pixmaps. Out-of-range numbers give a null image.
//
// Sounds: 16-bit mono PCM wave files, each ending in 250 ms of silence
// because QSoundEffect cuts off the end of what it plays. soundUrl() gives
// a qrc: address that QSoundEffect::setSource() takes directly. Sound names
// are those the table plays ("entered", "error", "lostmoney", "placecard",
// "startround", "turn", "winner"), in any letter case.
namespace artwork {

QImage bigCard(int n);       // 71 x 96; 0 the card back, 1 to 52 the faces
QImage digit(int d);         // 71 x 96; the pile total's digits 0 to 9
QImage bags(int count);      // 23 x 76; a stack of 0 to 3 money bags (0 is empty)
QImage turnMarker();         // 23 x 24; "GO"
QImage eyes();               // 23 x 15; the seat's player only watches
QImage outOfMoney();         // 66 x 57
QImage winner();             // 77 x 56; a heap of money bags
QImage startButton();        // 144 x 33; "START GAME"
QImage startButtonDown();    // 144 x 33; the same, pressed
QImage botSwitch(int on);    // 48 x 30; 0 reads OFF, 1 reads ON
QImage phraseButton(int n);  // 25 x 19; 1 to 9 read P1 to P9, 10 reads P0
QImage ornament(int corner); // 30 x 30; 1 top left, 2 top right, 3 bottom left, 4 bottom right
QImage logo();               // 146 x 20; the maker's name
QImage windowIcon();         // 64 x 64; for the windows' title bars and the desktop

// The seats' card fans: five frames of 101 x 102 side by side (505 x 102),
// no alpha. Pixels of cardFanKey() are meant to be painted in the table's
// colour; the cards' soft edges are already blended with feltColour(), so
// using that colour for the key makes the fan sit cleanly on the cloth.
QImage cardFan();
constexpr int cardFanFrameWidth = 101;
constexpr int cardFanFrames = 5;
QRgb cardFanKey(); // lime, 0x00FF00

QImage backgroundTile(); // 71 x 96; the table cloth, tiles without seams
QColor feltColour();     // the cloth's average colour
QImage downloadTile();   // 150 x 149; the download window's background, tiles too
QImage advert();         // 400 x 339; the download window's picture
QByteArray advertJpeg(); // the same picture as a JPEG file

QStringList soundNames();
QByteArray sound(const QString &name); // the wave file; empty for an unknown name
QUrl soundUrl(const QString &name);    // qrc:/art/<name>.wav; empty for an unknown name

} // namespace artwork
