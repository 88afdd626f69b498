#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

#include <functional>
#include <vector>

// The game's pictures drawn for the size they are shown at.
//
// The table can be shown larger than its designed size (`scale`), on a
// screen whose device pixels are smaller than its logical ones (`ratio`, the
// device pixel ratio). A picture of w x h in the designed layout is then
// drawn afresh by the art maker's own code (resources/maker) as
// round(w * scale * ratio) x round(h * scale * ratio) device pixels and
// carries `ratio` as its devicePixelRatio, so that Qt shows it as
// w * scale x h * scale logical pixels, one picture pixel to one screen
// pixel: nothing is ever an enlargement of a smaller picture.
//
// At scale 1 and ratio 1 the picture is the embedded file of
// resources/artwork.h, which the same code drew at build time. Start-up at
// the designed size therefore decodes a few small PNG files as it always
// did instead of drawing, and looks exactly as it always has.
namespace artwork {

enum class Art {
    BigCard,         // 71 x 96; 0 the card back, 1 to 52 the faces
    Digit,           // 71 x 96; 0 to 9
    Bags,            // 23 x 76; 0 to 3 bags
    TurnMarker,      // 23 x 24
    Eyes,            // 23 x 15
    OutOfMoney,      // 66 x 57
    Winner,          // 77 x 56
    StartButton,     // 144 x 33
    StartButtonDown, // 144 x 33
    BotSwitch,       // 48 x 30; 0 OFF, 1 ON
    PhraseButton,    // 25 x 19; 1 to 10
    Ornament,        // 30 x 30; corners 1 to 4
    Logo,            // 146 x 20
    WindowIcon,      // 64 x 64
    CardFan,         // 505 x 102: five frames of 101 x 102 side by side
    BackgroundTile,  // 71 x 96, the table cloth
    DownloadTile,    // 150 x 149
};

// Every kind of picture, in the order above.
const std::vector<Art> &allArt();

// The numbers a kind takes: from firstIndex to lastIndex. A single picture
// takes 0.
int firstIndex(Art art);
int lastIndex(Art art);

// The picture's size in the designed layout, in logical pixels.
QSize designedSize(Art art);

// The size in device pixels of the picture drawn for scale x ratio. The
// card fan's frames each get the same whole number of pixels, so its strip
// is five times one frame.
QSize pixelSize(Art art, qreal scale, qreal ratio);

// Drawn now by the art maker's code, with `ratio` as its devicePixelRatio;
// not cached. Null for an index out of range or a scale or ratio that is
// not above 0.
QImage drawn(Art art, int index, qreal scale, qreal ratio);

// The picture for that scale and ratio: at 1 and 1 the embedded one,
// otherwise drawn once for its pixel size and ratio and kept in a cache of
// a few megabytes, so a bigger table draws each picture once.
QImage picture(Art art, int index, qreal scale = 1.0, qreal ratio = 1.0);

// A maker for widgets that draw their picture for the screen they are
// shown on (TLbBackground, TAnimated): the picture at `scale` for the ratio
// asked.
std::function<QImage(qreal ratio)> makerFor(Art art, int index = 0, qreal scale = 1.0);

// The same as a pixmap, kept in the application's pixmap cache. Needs a
// QGuiApplication.
QPixmap pixmap(Art art, int index, qreal scale = 1.0, qreal ratio = 1.0);

} // namespace artwork
