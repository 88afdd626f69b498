#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringView>

#include <optional>

// Colours travel in chat messages and sit in the settings file as "colour
// text": a name such as "clBlue", or a number. Numbers are 32-bit values in
// the 0x00BBGGRR order; 0x80000000 plus an index names one of the desktop's
// own colours, which we take from the application's palette.
namespace colortext {

using ColorValue = quint32;

inline constexpr ColorValue kBlack = 0x000000;
inline constexpr ColorValue kRed = 0x0000FF;
inline constexpr ColorValue kBlue = 0xFF0000;
inline constexpr ColorValue kNone = 0x1FFFFFFF;
inline constexpr ColorValue kSystemFlag = 0x80000000;

// The name when the value has one, else "$" and eight upper-case hex digits.
QString toText(ColorValue value);

// A name (any letter case), a decimal number, or "$" and hex digits.
// Anything else gives no value.
std::optional<ColorValue> fromText(QStringView text);

// What the value looks like on this desktop. System colours map onto the
// palette's roles; "clNone" gives the palette's text colour.
QColor toQColor(ColorValue value, const QPalette &palette);
QColor toQColor(ColorValue value);

// A plain colour as a value; alpha is dropped.
ColorValue fromQColor(const QColor &colour);

} // namespace colortext
