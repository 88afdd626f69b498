#include "client/chat/colortext.h"

#include <QGuiApplication>

#include <array>

namespace colortext {
namespace {

struct NamedColor
{
    const char *name;
    ColorValue value;
};

// Order matters: writing picks the first name of a value.
constexpr std::array<NamedColor, 42> kNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
    {"clNone", 0x1FFFFFFF},
}};

std::optional<ColorValue> parseHex(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    ColorValue value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | ColorValue(digit);
    }
    return value;
}

// Decimal as an integer conversion reads it: an optional sign, then digits.
// Negative numbers are the signed form of the same 32 bits.
std::optional<ColorValue> parseDecimal(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value < -0x80000000LL || value > 0xFFFFFFFFLL)
        return std::nullopt;
    return ColorValue(quint64(value) & 0xFFFFFFFFu);
}

QColor paletteColor(int index, const QPalette &palette)
{
    using R = QPalette::ColorRole;
    const auto active = [&](R role) { return palette.color(QPalette::Active, role); };
    const auto inactive = [&](R role) { return palette.color(QPalette::Inactive, role); };
    const auto disabled = [&](R role) { return palette.color(QPalette::Disabled, role); };
    switch (index) {
    case 0x00:
        return active(R::Button); // scroll bar
    case 0x01:
        return active(R::Dark); // desktop background
    case 0x02:
        return active(R::Highlight); // active caption
    case 0x03:
        return inactive(R::Highlight); // inactive caption
    case 0x04:
        return active(R::Window); // menu
    case 0x05:
        return active(R::Base); // window
    case 0x06:
        return active(R::Shadow); // window frame
    case 0x07:
        return active(R::WindowText); // menu text
    case 0x08:
        return active(R::Text); // window text
    case 0x09:
        return active(R::HighlightedText); // caption text
    case 0x0A:
        return active(R::Button); // active border
    case 0x0B:
        return inactive(R::Button); // inactive border
    case 0x0C:
        return active(R::Mid); // application work space
    case 0x0D:
        return active(R::Highlight); // highlight
    case 0x0E:
        return active(R::HighlightedText); // highlight text
    case 0x0F:
        return active(R::Button); // button face
    case 0x10:
        return active(R::Dark); // button shadow
    case 0x11:
        return disabled(R::Text); // grey text
    case 0x12:
        return active(R::ButtonText); // button text
    case 0x13:
        return inactive(R::HighlightedText); // inactive caption text
    case 0x14:
        return active(R::Light); // button highlight
    case 0x15:
        return active(R::Shadow); // 3D dark shadow
    case 0x16:
        return active(R::Midlight); // 3D light
    case 0x17:
        return active(R::ToolTipText); // info text
    case 0x18:
        return active(R::ToolTipBase); // info background
    default:
        return active(R::Text);
    }
}

} // namespace

QString toText(ColorValue value)
{
    for (const NamedColor &named : kNames) {
        if (named.value == value)
            return QString::fromLatin1(named.name);
    }
    return QStringLiteral("$%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<ColorValue> fromText(QStringView text)
{
    for (const NamedColor &named : kNames) {
        if (text.compare(QLatin1StringView(named.name), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    if (text.startsWith(u'$'))
        return parseHex(text.mid(1));
    return parseDecimal(text);
}

QColor toQColor(ColorValue value, const QPalette &palette)
{
    if (value == kNone)
        return palette.color(QPalette::Active, QPalette::Text);
    if (value & kSystemFlag)
        return paletteColor(int(value & ~kSystemFlag), palette);
    // The top byte of a plain value only selects a palette mode on the old
    // desktop; the colour itself is the low three bytes.
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

QColor toQColor(ColorValue value)
{
    return toQColor(value, QGuiApplication::palette());
}

ColorValue fromQColor(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return ColorValue(rgb.red()) | ColorValue(rgb.green()) << 8 | ColorValue(rgb.blue()) << 16;
}

} // namespace colortext
