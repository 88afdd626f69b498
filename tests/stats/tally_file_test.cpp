#include "stats/lzrw1container.h"
#include "stats/tallyfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TallyGrid sampleGrid()
{
    TallyGrid grid;
    grid.follow(QStringLiteral("Ann"));
    grid.follow(QStringLiteral("Computer 3"));
    grid.addgame(QStringLiteral("Computer 3"), {"Ann", "Computer 3"});
    grid.addtomineincrease(TallyGrid::kBagsReceived, 3);
    return grid;
}

TEST(TallyFile, NoFileLoadsNothingAndCreatesNothing)
{
    QTemporaryDir dir;
    TallyFile file(dir.path());
    EXPECT_EQ(file.path(), dir.filePath(QStringLiteral("Zandortally.tld")));
    const TallyFile::LoadResult result = file.load();
    EXPECT_EQ(result.outcome, TallyFile::Outcome::Missing);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST(TallyFile, SavesTheCompressedGridAndLoadsItBackWithSessionsAtZero)
{
    QTemporaryDir dir;
    const TallyGrid grid = sampleGrid();
    ASSERT_TRUE(TallyFile(dir.path()).save(grid));

    // The file is the grid's text in the container, nothing else.
    const QByteArray bytes = readAll(dir.filePath(TallyFile::kFileName));
    ASSERT_TRUE(bytes.startsWith("WRZL"));
    EXPECT_EQ(lzrw1::decompress(bytes), grid.text());
    EXPECT_EQ(filesIn(dir.path()), QStringList({TallyFile::kFileName}));

    const TallyFile::LoadResult result = TallyFile(dir.path()).load();
    ASSERT_EQ(result.outcome, TallyFile::Outcome::Loaded);
    TallyGrid expected = grid;
    expected.clearSession();
    EXPECT_EQ(result.grid.text(), expected.text());
    EXPECT_EQ(result.grid.cell(TallyGrid::kOpponentWins, 2), QStringLiteral("1"));
    EXPECT_EQ(result.grid.cell(TallyGrid::kOpponentWins + TallyGrid::kSessionOffset, 2),
              QStringLiteral("0"));
}

TEST(TallyFile, SaveReplacesTheFileInsteadOfWritingIntoIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyFile::kFileName);
    const QByteArray old = lzrw1::compress(TallyGrid().text());
    writeFile(path, old);
    // A second name for the same file: writing into the file would change
    // what it reads; putting a new file in its place does not.
    const QString otherName = dir.filePath(QStringLiteral("old-link"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(otherName).constData()),
              0);

    ASSERT_TRUE(TallyFile(dir.path()).save(sampleGrid()));
    EXPECT_EQ(readAll(otherName), old);
    EXPECT_EQ(lzrw1::decompress(readAll(path)), sampleGrid().text());
    EXPECT_EQ(filesIn(dir.path()), QStringList({TallyFile::kFileName, "old-link"}));
}

TEST(TallyFile, ADamagedFileIsKeptAsideAndNamedInTheError)
{
    const QByteArray good = lzrw1::compress(sampleGrid().text());
    QByteArray wrongLength = good;
    wrongLength[4] = char(wrongLength[4] + 1);
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"empty file", "", "Lzrw1 : Error reading from input file : "},
        {"no valid header", "!HZL" + good.mid(4),
         " : Lzrw1 decompression : this file has no valid header !"},
        {"wrong total length", wrongLength,
         "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"},
        {"cut short", good.left(good.size() - 5), "Lzrw1 : Error reading from input file : "},
        {"not a grid", lzrw1::compress("hello\r\n"),
         " : this file does not hold a readable tally list !"},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(TallyFile::kFileName);
        writeFile(path, c.bytes);

        TallyFile file(dir.path());
        const TallyFile::LoadResult result = file.load();
        EXPECT_EQ(result.outcome, TallyFile::Outcome::Failed) << c.what;
        EXPECT_TRUE(result.error.contains(c.message))
            << c.what << ": " << result.error.toStdString();
        const QString kept = path + QStringLiteral(".damaged");
        EXPECT_EQ(file.keptAs(), kept) << c.what;
        EXPECT_TRUE(result.error.contains(kept)) << c.what;
        EXPECT_EQ(readAll(kept), c.bytes) << c.what;
        EXPECT_FALSE(QFile::exists(path)) << c.what;

        // The next save starts a new file and leaves the damaged one be.
        ASSERT_TRUE(file.save(TallyGrid())) << c.what;
        EXPECT_EQ(lzrw1::decompress(readAll(path)), TallyGrid().text()) << c.what;
        EXPECT_EQ(readAll(kept), c.bytes) << c.what;
    }
}

TEST(TallyFile, AnOlderDamagedFileIsNeverReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyFile::kFileName);
    writeFile(path + QStringLiteral(".damaged"), "first");
    writeFile(path, "second");

    TallyFile file(dir.path());
    EXPECT_EQ(file.load().outcome, TallyFile::Outcome::Failed);
    EXPECT_EQ(file.keptAs(), path + QStringLiteral(".damaged.1"));
    EXPECT_EQ(readAll(path + QStringLiteral(".damaged")), QByteArray("first"));
    EXPECT_EQ(readAll(path + QStringLiteral(".damaged.1")), QByteArray("second"));
}

TEST(TallyFile, ADamagedFileThatReappearsIsMovedBeforeTheSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyFile::kFileName);
    writeFile(path, "broken");
    TallyFile file(dir.path());
    ASSERT_EQ(file.load().outcome, TallyFile::Outcome::Failed);
    // The file came back under its name before the program ended, say the
    // user restored it from a backup to look at it: it is still not ours to
    // overwrite.
    ASSERT_TRUE(QFile::copy(path + QStringLiteral(".damaged"), path));
    ASSERT_TRUE(file.save(TallyGrid()));
    EXPECT_EQ(readAll(path + QStringLiteral(".damaged")), QByteArray("broken"));
    EXPECT_EQ(lzrw1::decompress(readAll(path)), TallyGrid().text());
}

TEST(TallyFile, SaveIntoAMissingFolderFailsWithTheReason)
{
    QTemporaryDir dir;
    TallyFile file(dir.filePath(QStringLiteral("gone")));
    QString error;
    EXPECT_FALSE(file.save(TallyGrid(), &error));
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ")))
        << error.toStdString();
}

} // namespace
