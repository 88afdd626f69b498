#include "sidewindow_clicks.h"

#include "widgets/tselbutton.h"
#include "windows/tabout.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

QString labelText(const Tabout &about, const char *name)
{
    const auto *label = about.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

TEST(AboutWindow, ShowsNameAndVersionReadingOneZeroThreeTwo)
{
    Tabout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Zandor - About"));
    EXPECT_EQ(about.size(), QSize(304, 174));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(labelText(about, "label_name"), QStringLiteral("Zandor"));
    EXPECT_EQ(labelText(about, "version"), QStringLiteral("1.0.3"));
    EXPECT_EQ(labelText(about, "version") + labelText(about, "version2"),
              QStringLiteral("1.0.3.2"));

    // The two halves sit side by side on one line, "Version" before them.
    about.show();
    const auto *word = about.findChild<QLabel *>(QStringLiteral("label_versionword"));
    const auto *version = about.findChild<QLabel *>(QStringLiteral("version"));
    const auto *build = about.findChild<QLabel *>(QStringLiteral("version2"));
    EXPECT_EQ(word->text(), QStringLiteral("Version"));
    EXPECT_LT(word->geometry().right(), version->x());
    EXPECT_EQ(version->geometry().right() + 1, build->x());
    EXPECT_EQ(version->y(), build->y());
}

TEST(AboutWindow, WebAddressOpensTheMakersSiteAndDoneCloses)
{
    Tabout about;
    QList<QUrl> opened;
    about.setLinkOpener([&](const QUrl &url) { opened << url; });
    about.show();

    auto *link = about.findChild<QLabel *>(QStringLiteral("Label7"));
    ASSERT_NE(link, nullptr);
    clickCentre(*link);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("http://www.korvex.example")));
    EXPECT_EQ(link->text(), QStringLiteral("www.korvex.example"));

    clickCentre(*about.findChild<TSelButton *>(QStringLiteral("button_done")));
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(opened.size(), 1);
}

} // namespace
