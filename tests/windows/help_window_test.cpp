#include "sidewindow_clicks.h"

#include "widgets/tselbutton.h"
#include "windows/thelp.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

TSelButton *buttonCaptioned(const Thelp &help, const QString &caption)
{
    for (TSelButton *button : help.findChildren<TSelButton *>())
        if (button->Caption() == caption)
            return button;
    return nullptr;
}

QTextEdit *pageInFront(const Thelp &help)
{
    return qobject_cast<QTextEdit *>(help.findChild<QStackedWidget *>()->currentWidget());
}

QString caption(const Thelp &help)
{
    return help.findChild<QLabel *>(QStringLiteral("label_caption"))->text();
}

struct PageCase
{
    const char *button;
    int page;
    const char *heading;
    const char *mentions; // something the page must tell the reader
};

class HelpPageTest : public ::testing::TestWithParam<PageCase>
{
};

TEST_P(HelpPageTest, ButtonBringsItsPageToTheFront)
{
    const PageCase &c = GetParam();
    Thelp help;
    TSelButton *button = buttonCaptioned(help, QLatin1String(c.button));
    ASSERT_NE(button, nullptr);
    clickCentre(*button);

    EXPECT_EQ(help.currentPage(), c.page);
    QTextEdit *memo = pageInFront(help);
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->objectName(), QStringLiteral("memo%1").arg(c.page));
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(caption(help), QLatin1String(c.button));
    const QString words = memo->toPlainText();
    EXPECT_TRUE(words.startsWith(QLatin1String(c.heading) + QStringLiteral("\n\n")))
        << words.left(40).toStdString();
    EXPECT_TRUE(words.contains(QLatin1String(c.mentions))) << c.mentions;
}

INSTANTIATE_TEST_SUITE_P(Pages, HelpPageTest,
                         ::testing::Values(PageCase{"Overview", 1, "Overview", "root beer"},
                                           PageCase{"Connecting", 2, "Connecting", "UDP port 7772"},
                                           PageCase{"Game Play", 3, "Game Play", "above 98"},
                                           PageCase{"Scoring", 4, "Scoring", "three money bags"},
                                           PageCase{"Documentation", 5, "History", "August 2005"},
                                           PageCase{"License", 6, "License Agreement ",
                                                    "warranty"}),
                         [](const auto &info) { return std::to_string(info.param.page); });

TEST(HelpWindow, OpensOnOverviewAndKeepsTheLastPageWhenShownAgain)
{
    Thelp help;
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Zandor - Help File"));
    EXPECT_EQ(help.size(), QSize(521, 422));
    EXPECT_EQ(help.currentPage(), 1);
    EXPECT_EQ(caption(help), QStringLiteral("Overview"));

    help.show();
    clickCentre(*buttonCaptioned(help, QStringLiteral("Scoring")));
    clickCentre(*buttonCaptioned(help, QStringLiteral("Done")));
    EXPECT_FALSE(help.isVisible());
    help.show();
    EXPECT_EQ(help.currentPage(), 4);
    EXPECT_EQ(caption(help), QStringLiteral("Scoring"));
}

TEST(HelpWindow, AboutButtonAsksForTheAboutWindow)
{
    Thelp help;
    int asked = 0;
    QObject::connect(&help, &Thelp::aboutRequested, [&] { ++asked; });
    clickCentre(*buttonCaptioned(help, QStringLiteral("About")));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(help.currentPage(), 1);
}

} // namespace
