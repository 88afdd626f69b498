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
