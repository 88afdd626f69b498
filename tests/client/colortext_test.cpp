#include "client/chat/colortext.h"

#include <QPalette>
#include <gtest/gtest.h>

using colortext::ColorValue;

namespace {

struct Named
{
    const char *name;
    ColorValue value;
};

const Named kNameTable[] = {
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
};

TEST(ColorText, EveryNameBothWaysAndInAnyCase)
{
    for (const Named &named : kNameTable) {
        const QString name = QString::fromLatin1(named.name);
        SCOPED_TRACE(named.name);
        EXPECT_EQ(colortext::toText(named.value), name);
        EXPECT_EQ(colortext::fromText(name), named.value);
        EXPECT_EQ(colortext::fromText(name.toLower()), named.value);
        EXPECT_EQ(colortext::fromText(name.toUpper()), named.value);
    }
}

TEST(ColorText, ValuesWithoutANameAreWrittenAsEightHexDigits)
{
    const std::pair<ColorValue, const char *> cases[] = {
        {0x000001, "$00000001"},   {0xABCDEF, "$00ABCDEF"},   {0x0080FF40, "$0080FF40"},
        {0x80000019, "$80000019"}, {0xFFFFFFFF, "$FFFFFFFF"},
    };
    for (const auto &[value, text] : cases) {
        EXPECT_EQ(colortext::toText(value), QString::fromLatin1(text));
        EXPECT_EQ(colortext::fromText(QString::fromLatin1(text)), value) << text;
    }
}

TEST(ColorText, ReadsDecimalAndDollarHexNumbers)
{
    const std::pair<const char *, ColorValue> cases[] = {
        {"0", 0},
        {"255", 0xFF},
        {"16711680", 0xFF0000},
        {"+12", 12},
        {"-2147483640", 0x80000008}, // the signed form of a system colour
        {"4294967295", 0xFFFFFFFF},
        {"$ff", 0xFF},
        {"$00ff00", 0x00FF00},
        {"$8000000D", 0x8000000D},
        {"$aBcDeF", 0xABCDEF},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(colortext::fromText(QString::fromLatin1(text)), value) << text;
}

TEST(ColorText, GarbageIsNoColour)
{
    const char *cases[] = {
        "",           "$",           "$G0",  "12a", " 12", "12 ", "clBlackish", "cl",  "$123456789",
        "4294967296", "-2147483649", "0x10", "--1", "-",   "$-1", "clRed|x",    "red",
    };
    for (const char *text : cases)
        EXPECT_FALSE(colortext::fromText(QString::fromLatin1(text)).has_value()) << text;
}

TEST(ColorText, PlainValuesAreBlueGreenRed)
{
    EXPECT_EQ(colortext::toQColor(0x0000FF, QPalette()), QColor(255, 0, 0));
    EXPECT_EQ(colortext::toQColor(0xFF0000, QPalette()), QColor(0, 0, 255));
    EXPECT_EQ(colortext::toQColor(0x00FF8040, QPalette()), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(colortext::fromQColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
    EXPECT_EQ(colortext::fromQColor(QColor(0x12, 0x34, 0x56, 0x10)), 0x563412u);
}

TEST(ColorText, SystemColoursComeFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 1, 1));
    palette.setColor(QPalette::Text, QColor(2, 2, 2));
    palette.setColor(QPalette::Highlight, QColor(3, 3, 3));
    palette.setColor(QPalette::Button, QColor(4, 4, 4));
    palette.setColor(QPalette::ToolTipBase, QColor(5, 5, 5));
    palette.setColor(QPalette::ButtonText, QColor(6, 6, 6));
    const std::pair<const char *, QColor> cases[] = {
        {"clWindow", QColor(1, 1, 1)},    {"clWindowText", QColor(2, 2, 2)},
        {"clHighlight", QColor(3, 3, 3)}, {"clBtnFace", QColor(4, 4, 4)},
        {"clInfoBk", QColor(5, 5, 5)},    {"clBtnText", QColor(6, 6, 6)},
        {"clNone", QColor(2, 2, 2)},      {"$80000040", QColor(2, 2, 2)},
    };
    for (const auto &[text, expected] : cases) {
        const auto value = colortext::fromText(QString::fromLatin1(text));
        ASSERT_TRUE(value.has_value()) << text;
        EXPECT_EQ(colortext::toQColor(*value, palette), expected) << text;
    }
}

} // namespace
