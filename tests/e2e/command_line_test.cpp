#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct Answer
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The installed program as a person types it in a terminal, with no
// display at all: the answers come before any window would.
Answer run(const QStringList &arguments)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(ZANDOR_BINARY), arguments);
    if (!program.waitForFinished(30000))
        return {};
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromLocal8Bit(program.readAllStandardOutput()),
            QString::fromLocal8Bit(program.readAllStandardError())};
}

TEST(CommandLineAnswers, HelpVersionAndAnUnknownOptionOnTheTerminal)
{
    const Answer help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: zandor [NAME HOST [true]]\n"))
        << help.out.toStdString();
    for (const char *option : {"--host", "--play-with-others", "--help", "--version"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const Answer version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Zandor 1.0.3.2\n");

    const Answer unknown = run({QStringLiteral("--colour"), QStringLiteral("blue")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(unknown.err.section('\n', 0, 0), "zandor: unknown option --colour");
    EXPECT_TRUE(unknown.err.contains("Usage: zandor")) << unknown.err.toStdString();
}

} // namespace
