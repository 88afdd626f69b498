#include "client/session/singleinstance.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
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

// Restores DISPLAY when it goes.
class DisplayVariable
{
public:
    DisplayVariable() : saved_(qgetenv("DISPLAY")), had_(qEnvironmentVariableIsSet("DISPLAY")) {}
    ~DisplayVariable()
    {
        if (had_)
            qputenv("DISPLAY", saved_);
        else
            qunsetenv("DISPLAY");
    }
    QString keyFor(const QByteArray &display)
    {
        qputenv("DISPLAY", display);
        return SingleInstance::desktopKey();
    }

private:
    QByteArray saved_;
    bool had_;
};

// The names listening in the abstract namespace of local sockets, as every
// program of this user can see them.
QStringList abstractSocketNames()
{
    QFile table(QStringLiteral("/proc/net/unix"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 8 && fields.last().startsWith('@'))
            names << QString::fromLocal8Bit(fields.last().mid(1));
    }
    return names;
}

// One copy per user and display: a copy on another display is a first copy
// of its own, a later one on the same display is not. The mark the first
// copy leaves is the game's "vrokex" with the user and the display.
TEST(SingleInstanceTest, OneCopyPerDisplay)
{
    DisplayVariable display;
    // Displays no real desktop of this machine uses, so a running game is
    // not disturbed.
    const QString on57 = display.keyFor(":157." + QUuid::createUuid().toByteArray(QUuid::Id128));
    const QString on58 = display.keyFor(":158." + QUuid::createUuid().toByteArray(QUuid::Id128));
    SingleInstance first(on57);
    ASSERT_EQ(first.claim(), SingleInstance::Role::First);
    SingleInstance elsewhere(on58);
    EXPECT_EQ(elsewhere.claim(), SingleInstance::Role::First);
    SingleInstance second(on57);
    EXPECT_EQ(second.claim(), SingleInstance::Role::Second);

    const QStringList listening = abstractSocketNames();
    if (listening.isEmpty())
        GTEST_SKIP() << "no /proc/net/unix to read the marks from";
    // What other programs see listening: the mark, the user, the display.
    const QString mark = QStringLiteral("vrokex-%1-:157.").arg(getuid());
    EXPECT_TRUE(listening.contains(on57) && on57.startsWith(mark))
        << listening.join(u' ').toStdString();
    EXPECT_TRUE(listening.contains(on58));
}

} // namespace
