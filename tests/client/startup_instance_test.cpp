#include "client/singleinstance.h"
#include "client/tchat.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QUuid>

namespace {

QString uniqueKey()
{
    return "zandor-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

TEST(SingleInstanceTest, SecondCopyWakesTheFirstAndGoes)
{
    const QString key = uniqueKey();
    SingleInstance first(key);
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);

    SingleInstance second(key);
    EXPECT_EQ(second.claim(), SingleInstance::Role::Second);
    EXPECT_TRUE(waitUntil([&] { return raised == 1; }));

    // Another desktop has its own first copy.
    SingleInstance elsewhere(uniqueKey());
    EXPECT_EQ(elsewhere.claim(), SingleInstance::Role::First);
}

TEST(SingleInstanceTest, EndedCopyLeavesTheNameFree)
{
    const QString key = uniqueKey();
    {
        SingleInstance first(key);
        ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    }
    SingleInstance next(key);
    EXPECT_EQ(next.claim(), SingleInstance::Role::First);
}

TEST(SingleInstanceTest, KeyNamesUserAndDisplay)
{
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", ":57");
    const QString key = SingleInstance::desktopKey();
    qputenv("DISPLAY", ":58");
    const QString other = SingleInstance::desktopKey();
    qputenv("DISPLAY", saved);
    EXPECT_TRUE(key.contains(QString::number(getuid())));
    EXPECT_TRUE(key.endsWith(":57"));
    EXPECT_NE(key, other);
}

TEST(BringToFrontTest, MinimisedWindowIsRestored)
{
    Tchat window({"Ann"}, TchatPorts{0, 0});
    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    window.bringToFront();
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

} // namespace
