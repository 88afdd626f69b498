#include "client/session/commandline.h"

#include "client/session/accountname.h"
#include "windows/tplaywithothers.h"

namespace {
const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kHostMode = QStringLiteral("true");
const QString kJoinMode = QStringLiteral("false");
} // namespace

CommandLine CommandLine::forChoice(const PlayChoice &choice)
{
    if (choice.host)
        return {Start::Host, choice.name, kLoopback};
    return {Start::Join, choice.name, choice.address};
}

CommandLine CommandLine::read(const QStringList &arguments, const QString &nameForHost)
{
    if (arguments.isEmpty())
        return {};
    if (arguments == QStringList{kHostOption})
        return {Start::Host, nameForHost.isEmpty() ? accountName() : nameForHost, kLoopback};
    if (arguments == QStringList{kPlayWithOthersOption})
        return {Start::PlayWithOthers, {}, {}};
    CommandLine line{Start::Loading, arguments.at(0), arguments.value(1)};
    if (arguments.size() >= 3)
        line.start = arguments.at(2) == kHostMode ? Start::Host : Start::Join;
    return line;
}

QStringList CommandLine::arguments() const
{
    switch (start) {
    case Start::Solo:
    case Start::PlayWithOthers:
        return {};
    case Start::Loading:
        return address.isEmpty() ? QStringList{name} : QStringList{name, address};
    case Start::Host:
        return {name, address, kHostMode};
    case Start::Join:
        return {name, address, kJoinMode};
    }
    return {};
}

QStringList CommandLine::forNewCopy() const
{
    return QStringList{kGameArgumentsFollow} + arguments();
}

CommandLine::Split CommandLine::split(int argc, const char *const *argv)
{
    const QByteArray mark = kGameArgumentsFollow.toLocal8Bit();
    for (int at = 1; at < argc; ++at) {
        if (mark != argv[at])
            continue;
        QStringList game;
        for (int each = at + 1; each < argc; ++each)
            game.append(QString::fromLocal8Bit(argv[each]));
        return {at, game};
    }
    return {argc, std::nullopt};
}

CommandLine::Question CommandLine::question(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return Question::None;
    const QString &first = arguments.first();
    if (first == kHelpOption)
        return Question::Help;
    if (first == kVersionOption)
        return Question::Version;
    if (first.startsWith(kGameArgumentsFollow) && first != kGameArgumentsFollow &&
        first != kHostOption && first != kPlayWithOthersOption)
        return Question::UnknownOption;
    return Question::None;
}

QStringList CommandLine::typed(int argc, const char *const *argv)
{
    if (split(argc, argv).gameArguments)
        return {};
    QStringList arguments;
    for (int at = 1; at < argc; ++at)
        arguments.append(QString::fromLocal8Bit(argv[at]));
    return arguments;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: zandor [NAME HOST [true]]\n"
        "       zandor --host | --play-with-others | --help | --version\n"
        "\n"
        "Zandor is a card game for four: every card changes the pile's total, and whoever\n"
        "takes it over 98 loses a bag of money. Without arguments it starts a solo game\n"
        "against the computer.\n"
        "\n"
        "  NAME HOST true       host a game for others as NAME (HOST is this computer)\n"
        "  NAME HOST            join the game hosted at HOST as NAME\n"
        "  --host               host a game under the name last used\n"
        "  --play-with-others   open the Play with Others window to host or join\n"
        "  --help               print this help and exit\n"
        "  --version            print the version and exit\n"
        "\n"
        "Games are played over TCP port 7772. See zandor(6) for the files and ports.\n");
}
