#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct PlayChoice;

// The game's command line, built and read here and nowhere else.
//
// The lobby starts the game with three arguments: the player's name, the
// host's address and "true" to host (anything else joins). Without
// arguments the game is a solo game; with one or two it only says that a
// game is loading. The desktop entry's actions are options of their own:
// "--host" hosts under the remembered name, "--play-with-others" opens the
// Play with Others window with no game behind it.
//
// Qt takes any argument that begins with "-" as one of its options
// ("-platform", "-reverse", ...), wherever it stands, and a player may type
// such a name; so a copy the game starts for itself gets its arguments after
// a "--" mark, and what follows the mark never reaches Qt.
struct CommandLine
{
    enum class Start { Solo, Loading, Host, Join, PlayWithOthers };

    static inline const QString kGameArgumentsFollow = QStringLiteral("--");
    static inline const QString kHostOption = QStringLiteral("--host");
    static inline const QString kPlayWithOthersOption = QStringLiteral("--play-with-others");
    static inline const QString kHelpOption = QStringLiteral("--help");
    static inline const QString kVersionOption = QStringLiteral("--version");

    Start start = Start::Solo;
    QString name;
    QString address; // the host's; 127.0.0.1 for a copy that hosts

    static CommandLine forChoice(const PlayChoice &choice);
    // Reads the game's own arguments. "--host" takes `nameForHost` (the
    // remembered name), or the account's name when that is empty.
    static CommandLine read(const QStringList &arguments, const QString &nameForHost = {});

    // The arguments as the lobby gives them: none for a solo game or the
    // Play with Others window.
    QStringList arguments() const;
    // The command line of a new copy started this way: the mark and the
    // arguments.
    QStringList forNewCopy() const;

    // argv split before QApplication reads it: Qt is given the arguments
    // before the mark (its own options, from whoever started us), the game
    // those after it. Without the mark Qt reads the whole line as it always
    // has and the game takes what Qt leaves.
    struct Split
    {
        int qtArgc = 0; // argv's first arguments Qt may read, the program's name included
        std::optional<QStringList> gameArguments; // when they followed the mark
    };
    static Split split(int argc, const char *const *argv);

    // What a first argument asks of the program itself rather than of the
    // game: its usage, its version, or an option it does not know (one that
    // begins with "--"; a single "-" is Qt's). Only the first argument is
    // looked at, so the lobby's three arguments keep their meaning.
    enum class Question { None, Help, Version, UnknownOption };
    static Question question(const QStringList &arguments);
    // The arguments a person typed, as main() reads them before Qt: none
    // after a "--" mark, which only a copy the game starts for itself uses.
    static QStringList typed(int argc, const char *const *argv);
    // What --help prints.
    static QString usage();

    bool operator==(const CommandLine &) const = default;
};
