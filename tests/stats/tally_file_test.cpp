#include "stats/lzrw1container.h"
#include "stats/tallyfile.h"
#include "tests/support/filelimits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include <sys/mman.h>
#include <sys/wait.h>
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

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random());
    return bytes;
}

TallyGrid sampleGrid()
{
    TallyGrid grid;
    grid.follow(QStringLiteral("Ann"));
    grid.follow(QStringLiteral("Computer 3"));
    grid.addgame(false, QStringLiteral("Computer 3"), {"Ann", "Computer 3"});
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
        {"random bytes", randomBytes(4096, 1),
         " : Lzrw1 decompression : this file has no valid header !"},
        {"random blocks after a valid header", "WRZL" + randomBytes(4096, 2),
         "Lzrw1 : Error reading from input file : "},
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

TEST(TallyFile, AnEnormousFileIsRefusedWithoutReadingIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyFile::kFileName);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WRZL");
        // Sparse: 64 MiB and a byte, without writing them.
        ASSERT_TRUE(file.resize(64 * 1024 * 1024 + 1));
    }
    TallyFile file(dir.path());
    const TallyFile::LoadResult result = file.load();
    EXPECT_EQ(result.outcome, TallyFile::Outcome::Failed);
    EXPECT_TRUE(result.error.startsWith(path + " : this file is too large to be a tally list !"))
        << result.error.toStdString();
    EXPECT_EQ(file.keptAs(), path + QStringLiteral(".damaged"));
    EXPECT_EQ(QFileInfo(file.keptAs()).size(), 64 * 1024 * 1024 + 1);
    EXPECT_FALSE(QFile::exists(path));
}

// A tally big enough that one save takes a noticeable time.
TallyGrid crowdedGrid(const QString &prefix)
{
    TallyGrid grid;
    for (int i = 0; i < 3000; ++i)
        grid.follow(prefix + QString::number(i));
    grid.addgame(false, prefix + QStringLiteral("7"), grid.followed());
    grid.clearSession();
    return grid;
}

TEST(TallyFile, AFullDiskKeepsThePreviousTally)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(TallyFile::kFileName);
    ASSERT_TRUE(TallyFile(dir.path()).save(sampleGrid()));
    const QByteArray before = readAll(path);

    // Small enough to go through a buffer in one piece: the short write only
    // happens when the file is flushed.
    TallyGrid larger = sampleGrid();
    for (int i = 0; i < 100; ++i)
        larger.follow(QStringLiteral("Opponent %1").arg(i));
    ASSERT_LT(lzrw1::compress(larger.text()).size(), 16 * 1024);

    QString error;
    bool saved = true;
    {
        FileSizeLimit room(before.size() + 64);
        ASSERT_TRUE(room.ok());
        saved = TallyFile(dir.path()).save(larger, &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(error.startsWith("Lzrw1 : Error writing to output file : " + path))
        << error.toStdString();
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(filesIn(dir.path()), QStringList({TallyFile::kFileName}));

    // With room again the same save goes through.
    ASSERT_TRUE(TallyFile(dir.path()).save(larger));
    EXPECT_EQ(lzrw1::decompress(readAll(path)), larger.text());
}

TEST(TallyFile, KilledWhileSavingLeavesTheOldTallyOrTheNew)
{
    QTemporaryDir dir;
    const TallyGrid first = crowdedGrid(QStringLiteral("Ann "));
    const TallyGrid second = crowdedGrid(QStringLiteral("Bob "));
    ASSERT_TRUE(TallyFile(dir.path()).save(first));

    // The saver counts its finished saves where the test can read them.
    void *shared = ::mmap(nullptr, sizeof(std::atomic<long>), PROT_READ | PROT_WRITE,
                          MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto *saves = new (shared) std::atomic<long>(0);

    std::mt19937 random(28);
    for (int round = 0; round < 28; ++round) {
        saves->store(0);
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            // The program at exit, over and over: one save after another.
            for (long n = 0;; ++n) {
                TallyFile(dir.path()).save(n % 2 ? second : first);
                saves->store(n + 1);
            }
        }
        // Let it finish a few saves, then kill it wherever it is.
        const long target = long(random() % 4) + 1;
        while (saves->load() < target)
            std::this_thread::yield();
        ASSERT_EQ(::kill(saver, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "round " << round;

        TallyFile file(dir.path());
        const TallyFile::LoadResult result = file.load();
        ASSERT_EQ(result.outcome, TallyFile::Outcome::Loaded)
            << "round " << round << ": " << result.error.toStdString();
        const QByteArray text = result.grid.text();
        EXPECT_TRUE(text == first.text() || text == second.text()) << "round " << round;
    }
    ::munmap(shared, sizeof(std::atomic<long>));
    EXPECT_EQ(filesIn(dir.path()), QStringList({TallyFile::kFileName}))
        << "a save cut short leaves nothing behind";
}

TEST(TallyFile, NamesWithLettersBeyondAsciiBothWays)
{
    const QStringList names = {QStringLiteral("Zoë"), QStringLiteral("Œdipe"),
                               QStringLiteral("€uro"), QStringLiteral("Šárka „Ž“")};
    TallyGrid grid;
    for (const QString &name : names)
        ASSERT_TRUE(grid.follow(name));

    // Written as UTF-8 and read back as the same names.
    QTemporaryDir dir;
    ASSERT_TRUE(TallyFile(dir.path()).save(grid));
    EXPECT_TRUE(lzrw1::decompress(readAll(dir.filePath(TallyFile::kFileName)))
                    .contains("\r\nZo\xC3\xAB\r\n\xC5\x92"
                              "dipe\r\n\xE2\x82\xACuro\r\n"));
    const TallyFile::LoadResult utf8 = TallyFile(dir.path()).load();
    ASSERT_EQ(utf8.outcome, TallyFile::Outcome::Loaded);
    EXPECT_EQ(utf8.grid.followed(), names);

    // The same tally from a Windows copy of the game, in Windows-1252: the
    // euro sign and Œ, Š, Ž and the low and high quotes are where Latin-1
    // has control characters.
    QByteArray windows = grid.text();
    const std::pair<const char *, const char *> recoded[] = {
        {"Zo\xC3\xAB", "Zo\xEB"},
        {"\xC5\x92"
         "dipe",
         "\x8C"
         "dipe"},
        {"\xE2\x82\xAC"
         "uro",
         "\x80"
         "uro"},
        {"\xC5\xA0\xC3\xA1rka \xE2\x80\x9E\xC5\xBD\xE2\x80\x9C", "\x8A\xE1rka \x84\x8E\x93"},
    };
    for (const auto &[utf8Name, windowsName] : recoded) {
        ASSERT_TRUE(windows.contains(utf8Name)) << windowsName;
        windows.replace(utf8Name, windowsName);
    }
    writeFile(dir.filePath(TallyFile::kFileName), lzrw1::compress(windows));
    const TallyFile::LoadResult old = TallyFile(dir.path()).load();
    ASSERT_EQ(old.outcome, TallyFile::Outcome::Loaded) << old.error.toStdString();
    EXPECT_EQ(old.grid.followed(), names);
}

} // namespace
