#include "stats/lzrw1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <random>
#include <vector>

using namespace lzrw1;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray head(std::uint32_t length)
{
    QByteArray out("WRZL");
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char(length >> shift));
    return out;
}

QByteArray chunk(const QByteArray &block)
{
    return bytes({int(block.size() & 0xFF), int(block.size() >> 8)}) + block;
}

QByteArray containerOf(std::uint32_t length, std::initializer_list<QByteArray> blocks)
{
    QByteArray out = head(length);
    for (const QByteArray &block : blocks)
        out += chunk(block);
    return out;
}

struct Chunk
{
    int length;
    std::uint8_t flag;
};

// Walks the chunks of a well-formed container.
std::vector<Chunk> chunksOf(const QByteArray &container)
{
    std::vector<Chunk> chunks;
    const auto *p = reinterpret_cast<const std::uint8_t *>(container.constData());
    qsizetype pos = kHeadSize;
    while (pos + 2 <= container.size()) {
        const int length = p[pos] | (p[pos + 1] << 8);
        chunks.push_back({length, length > 0 ? p[pos + 2] : std::uint8_t(0)});
        pos += 2 + length;
    }
    EXPECT_EQ(pos, container.size()) << "chunks do not end with the container";
    return chunks;
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ELzrw1Exception &e) {
        return e.text;
    }
    return QStringLiteral("<no error>");
}

enum class Kind { Random, Text, Runs, Zeros };

QByteArray generate(Kind kind, int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray out;
    out.reserve(size);
    static const char *const words[] = {"the ",  "pile ", "bust ",  "King ",  "ninety-eight ",
                                        "seat ", "bag ",  "money ", "round ", "card ",
                                        "and ",  "of ",   "takes ", "Ann\n",  "wins. "};
    while (out.size() < size) {
        switch (kind) {
        case Kind::Random:
            out.append(char(rng()));
            break;
        case Kind::Text:
            out.append(words[rng() % std::size(words)]);
            break;
        case Kind::Runs:
            out.append(QByteArray(int(rng() % 5000) + 1, char(rng() % 4)));
            out.append(char(rng()));
            break;
        case Kind::Zeros:
            out.append('\0');
            break;
        }
    }
    out.truncate(size);
    return out;
}

} // namespace

TEST(Lzrw1Container, CodesKnownInputsToExactBytes)
{
    const QByteArray sixteenLetters("abcdefghijklmnop");
    const struct
    {
        const char *what;
        QByteArray input;
        QByteArray expected;
    } cases[] = {
        // Nothing to code: the head, then the chunk of the empty last piece.
        {"empty input", "", head(0) + bytes({0x01, 0x00, 0x80})},
        // Under three bytes the control word alone outgrows the piece.
        {"short piece", "ab", head(2) + bytes({0x03, 0x00, 0x80, 'a', 'b'})},
        // Eight different bytes: 3 + 6 literals pass 8, so the piece is stored.
        {"piece that does not shrink", "abcdefgh",
         head(8) + bytes({0x09, 0x00, 0x80}) + "abcdefgh"},
        // 20 x 'q': one run item, count field 20 - 16 = 4; control bit 1 -> 0x8000.
        {"run of 20", QByteArray(20, 'q'),
         head(20) + bytes({0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'q'})},
        // 16 x 'q' is the shortest run, even at the piece's end: field 0.
        {"run of 16", QByteArray(16, 'q'),
         head(16) + bytes({0x07, 0x00, 0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 'q'})},
        // 15 x 'q' is no run. Position 0: literal 'q' (hash of "qqq" is new).
        // Position 1: the table gives 0, distance 1, 14 bytes left, so a copy
        // of 14 overlapping its own output: (1 << 4) | (14 - 3) = 0x001B.
        // Control bits 0 1 -> 0x4000.
        {"run of 15", QByteArray(15, 'q'),
         head(15) + bytes({0x06, 0x00, 0x40, 0x40, 0x00, 'q', 0x00, 0x1B})},
        // "abc" x 8 then 20 x 'x', 44 bytes. Hashes: abc 2749, bca 896, cab 20,
        // all different.
        //   0-2: literals a b c; the table gets abc->0, bca->1, cab->2.
        //   3: abc -> 0, distance 3; bytes 0.. and 3.. agree for 18 (limit):
        //      copy 0x0030 | 15 = 0x003F, next position 21.
        //   21: abc -> 3, distance 18; "abc" then 'a' vs 'x': length 3:
        //      copy (18 << 4) | 0 = 0x0120, next position 24.
        //   24: 20 x 'x': run item 00 00 04 'x', done at 44.
        // Control bits 0 0 0 1 1 1, shifted up by 10: 0x1C00. Block of 14.
        {"hand-worked mix", QByteArray("abcabcabcabcabcabcabcabc") + QByteArray(20, 'x'),
         head(44) + bytes({0x0E, 0x00, 0x40, 0x1C, 0x00, 'a', 'b', 'c', 0x00, 0x3F, 0x01, 0x20,
                           0x00, 0x00, 0x04, 'x'})},
        // 17 different letters then 4095 x 'z' (4112 = 0x1010 bytes). The
        // first group is 16 literals (control 0x0000); the second holds the
        // literal 'q' and the longest run, field 4095 - 16 = 0x0FEF: control
        // 0 1 -> 0x4000. Block 1 + 2 + 16 + 2 + 1 + 4 = 26.
        {"two groups and the longest run", sixteenLetters + "q" + QByteArray(4095, 'z'),
         head(4112) + bytes({0x1A, 0x00, 0x40, 0x00, 0x00}) + sixteenLetters +
             bytes({0x40, 0x00, 'q', 0x00, 0x0F, 0xEF, 'z'})},
        // "acq" and "vje" give the keys ((b0 << 4 ^ b1) << 4) ^ b2 = 0x6741
        // and 0x70C5; times 40543 that is 1071673119 and 1170435867, and
        // (>> 4) & 0xFFF gives 1777 for both. So "vje" takes the table entry
        // of "acq", and the second "acq" only finds "vje" there: nine
        // literals, then the run of 20 '-'. Control: bit 1 as tenth item ->
        // 1 << 6 = 0x0040.
        {"hash collision hides a match", QByteArray("acqvjeacq") + QByteArray(20, '-'),
         head(29) + bytes({0x10, 0x00, 0x40, 0x00, 0x40}) + "acqvjeacq" +
             bytes({0x00, 0x00, 0x04, '-'})},
        // "abcde" twice: five literals, then "abc" finds 0 and the copy runs
        // to the end, 5 bytes: (5 << 4) | 2 = 0x0052. Control 0 0 0 0 0 1 ->
        // 0x0400. The block is 10 bytes, as long as the piece, and stays coded.
        {"block as long as its piece", "abcdeabcde",
         head(10) + bytes({0x0A, 0x00, 0x40, 0x04, 0x00, 'a', 'b', 'c', 'd', 'e', 0x00, 0x52})},
        // "XYZ", 4092 x '-' (a run, which leaves the table alone), "XYZ": the
        // second "XYZ" lies 4095 back, the farthest a copy reaches:
        // (4095 << 4) | 0 = 0xFFF0. Run field 4092 - 16 = 0x0FEC. Control
        // 0 0 0 1 1 -> 0x1800.
        {"copy from the farthest distance", "XYZ" + QByteArray(4092, '-') + "XYZ",
         head(4098) + bytes({0x0C, 0x00, 0x40, 0x18, 0x00, 'X', 'Y', 'Z', 0x00, 0x0F, 0xEC, '-',
                             0xFF, 0xF0})},
        // One more '-' puts it 4096 back: out of reach, three literals.
        // Control 0 0 0 1 0 0 0 -> 0x1000.
        {"one byte too far for a copy", "XYZ" + QByteArray(4093, '-') + "XYZ",
         head(4099) + bytes({0x0D, 0x00, 0x40, 0x10, 0x00, 'X', 'Y', 'Z', 0x00, 0x0F, 0xED, '-',
                             'X', 'Y', 'Z'})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray container = compress(c.input);
        EXPECT_EQ(container.toHex(' '), c.expected.toHex(' '));
        EXPECT_EQ(decompress(container), c.input);
    }
}

TEST(Lzrw1Container, CutsIntoPiecesAndEndsWithAShortPiece)
{
    const struct
    {
        int size;
        int chunks;
    } cases[] = {{0, 1}, {1, 1}, {32767, 1}, {32768, 2}, {32769, 2}, {65536, 3}, {70000, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        const QByteArray input = generate(Kind::Text, c.size, 7);
        const QByteArray container = compress(input);
        const std::vector<Chunk> chunks = chunksOf(container);
        ASSERT_EQ(int(chunks.size()), c.chunks);
        if (c.size % kPieceSize == 0) {
            EXPECT_EQ(container.right(3), bytes({0x01, 0x00, 0x80}));
        }
        EXPECT_EQ(decompress(container), input);
    }
}

TEST(Lzrw1Container, RoundTripsRandomAndRepetitiveData)
{
    const int sizes[] = {1,    2,     3,     4,     16,    17,     4095,
                         4096, 32767, 32768, 32769, 65537, 262144, 400000};
    const Kind kinds[] = {Kind::Random, Kind::Text, Kind::Runs, Kind::Zeros};
    unsigned seed = 1;
    for (Kind kind : kinds) {
        for (int size : sizes) {
            SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " size " << size);
            const QByteArray input = generate(kind, size, seed++);
            const QByteArray container = compress(input);
            const std::vector<Chunk> chunks = chunksOf(container);
            ASSERT_EQ(int(chunks.size()), size / kPieceSize + 1);
            // No piece ever costs more than storing it, and a stored one is
            // the piece itself behind its flag.
            for (std::size_t i = 0; i < chunks.size(); ++i) {
                const int piece = std::min(kPieceSize, size - int(i) * kPieceSize);
                EXPECT_LE(chunks[i].length, piece + 1);
                if (chunks[i].flag == kStoredFlag) {
                    EXPECT_EQ(chunks[i].length, piece + 1);
                }
            }
            if (kind == Kind::Random && size > 2) {
                EXPECT_EQ(chunks.front().flag, kStoredFlag);
            }
            if (kind != Kind::Random && size >= 4096) {
                EXPECT_EQ(chunks.front().flag, kCodedFlag);
                EXPECT_LT(container.size(), size / 2);
            }
            ASSERT_EQ(decompress(container), input);
        }
    }
}

TEST(Lzrw1Container, DecodesHandMadeItems)
{
    const struct
    {
        const char *what;
        QByteArray container;
        QByteArray expected;
    } cases[] = {
        {"copy of 18 at distance 1 repeats the byte", //
         containerOf(19, {bytes({0x40, 0x40, 0x00, 'q', 0x00, 0x1F})}), QByteArray(19, 'q')},
        {"copy of 6 at distance 2 repeats a pair",
         containerOf(8, {bytes({0x40, 0x20, 0x00, 'a', 'b', 0x00, 0x23})}), "abababab"},
        {"copy of 18 at distance 10 runs into its own output",
         containerOf(28, {bytes({0x40, 0x00, 0x20}) + "abcdefghij" + bytes({0x00, 0xAF})}),
         "abcdefghijabcdefghijabcdefgh"},
        {"shortest run", containerOf(16, {bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x00, 'z'})}),
         QByteArray(16, 'z')},
        {"blocks under two bytes yield nothing", containerOf(0, {QByteArray()}), ""},
        {"stored, then the empty piece",
         containerOf(32768, {bytes({0x80}) + QByteArray(32768, 's'), bytes({0x80})}),
         QByteArray(32768, 's')},
        {"whatever follows the last piece is not read",
         containerOf(2, {bytes({0x80, 'o', 'k'})}) + "trailing", "ok"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decompress(c.container), c.expected);
    }
}

TEST(Lzrw1Container, RefusesDamagedContainersWithTheirMessage)
{
    const QString name = QStringLiteral("/games/Zandortally.tld");
    const QString badHeader = name + " : Lzrw1 decompression : this file has no valid header !";
    // A cut-off item must not pass for the end of the block, nor be read
    // past it: each damaged block below states a length it could only reach
    // by one of the two.
    const QString mismatch =
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
    const QString readError = "Lzrw1 : Error reading from input file : " + name;
    QByteArray nineLongRuns = bytes({0x40, 0xFF, 0x80});
    for (int i = 0; i < 9; ++i)
        nineLongRuns += bytes({0x00, 0x0F, 0xFF, 'z'});
    const QByteArray fullPiece = bytes({0x80}) + QByteArray(32768, 's');

    const struct
    {
        const char *what;
        QByteArray container;
        QString message;
    } cases[] = {
        {"unknown header", "XXXX" + containerOf(0, {bytes({0x80})}).mid(4), badHeader},
        {"header of the other coder", "!HZL" + containerOf(0, {bytes({0x80})}).mid(4), badHeader},
        {"header cut short", "WRZ", readError},
        {"length cut short", "WRZL\x01", readError},
        {"no chunk", head(0), readError},
        {"block cut short", head(3) + bytes({0x04, 0x00, 0x80, 'a'}), readError},
        {"full piece without the empty piece after it", containerOf(32768, {fullPiece}), readError},
        {"fewer bytes than stated", containerOf(5, {bytes({0x80, 'a', 'b', 'c', 'd'})}), mismatch},
        {"more bytes than stated", containerOf(3, {bytes({0x80, 'a', 'b', 'c', 'd'})}), mismatch},
        {"copy from before the piece", containerOf(4, {bytes({0x40, 0x40, 0x00, 'q', 0x00, 0x20})}),
         mismatch},
        {"copy item cut off", containerOf(1, {bytes({0x40, 0x40, 0x00, 'q', 0x00})}), mismatch},
        {"run item cut off", containerOf(20, {bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x04})}),
         mismatch},
        {"literal missing after its control word",
         containerOf(16, {bytes({0x40, 0x00, 0x00}) + QByteArray(16, 'l') + bytes({0x00, 0x00})}),
         mismatch},
        {"next control word cut off",
         containerOf(16, {bytes({0x40, 0x00, 0x00}) + QByteArray(16, 'l') + bytes({0x00})}),
         mismatch},
        {"runs beyond one piece", containerOf(40000, {nineLongRuns}), mismatch},
        {"block longer than a stored piece", containerOf(32769, {fullPiece + "s", bytes({0x80})}),
         mismatch},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf([&] { decompress(c.container, name); }), c.message);
    }
}

TEST(Lzrw1Container, EveryTruncationFailsWithTheReadError)
{
    const QByteArray container = compress(generate(Kind::Text, kPieceSize + 100, 11));
    ASSERT_EQ(chunksOf(container).size(), 2u);
    const QString readError = QStringLiteral("Lzrw1 : Error reading from input file : cut");
    for (qsizetype length = 0; length < container.size(); ++length) {
        ASSERT_EQ(errorOf([&] { decompress(QByteArrayView(container).first(length), "cut"); }),
                  readError)
            << "cut at " << length;
    }
}

// Damaged bytes anywhere must end in the coder's own error or in output of
// the stated length, never in a crash or a read or write out of bounds (the
// sanitizer build watches the latter).
TEST(Lzrw1Container, CorruptedBytesNeverEscapeTheError)
{
    const QByteArray input = generate(Kind::Text, 30000, 5) + generate(Kind::Runs, 6000, 6);
    const QByteArray container = compress(input);
    std::mt19937 rng(99);
    int refused = 0;
    for (qsizetype pos = 0; pos < container.size(); pos += 1 + qsizetype(rng() % 11)) {
        for (int damage : {0x01, 0x80, 0xFF}) {
            QByteArray damaged = container;
            damaged[pos] = char(damaged[pos] ^ damage);
            try {
                const QByteArray out = decompress(damaged);
                EXPECT_EQ(out.size(), qsizetype(readLE32(reinterpret_cast<const std::uint8_t *>(
                                          damaged.constData() + 4))));
            } catch (const ELzrw1Exception &) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
}

class Tlzrw1Files : public testing::Test
{
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    static void write(const QString &file, const QByteArray &content)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }

    static QByteArray read(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
};

TEST_F(Tlzrw1Files, CompressAndDecompressThroughFiles)
{
    for (int size : {0, 32768, 150000}) {
        SCOPED_TRACE(size);
        const QByteArray input = generate(Kind::Text, size, 3);
        write(path("tally.txt"), input);

        Tlzrw1 doit;
        doit.setCompressMode(Tlzrw1::TCompressMode::Fast);
        doit.setInputFile(path("tally.txt"));
        doit.setOutputFile(path("tally.tld"));
        const qint64 packed = doit.Compress();
        const QByteArray container = read(path("tally.tld"));
        EXPECT_EQ(packed, container.size());
        // The file form and the memory form are the same bytes.
        EXPECT_EQ(container, compress(input));

        doit.setInputFile(path("tally.tld"));
        doit.setOutputFile(path("back.txt"));
        EXPECT_EQ(doit.Decompress(), size);
        EXPECT_EQ(read(path("back.txt")), input);
    }
}

TEST_F(Tlzrw1Files, FailuresGiveTheirMessageAndLeaveNoOutput)
{
    write(path("plain.txt"), "some tally text");
    write(path("badhead.tld"), "XXXX" + containerOf(3, {bytes({0x80, 'a', 'b', 'c'})}).mid(4));
    write(path("cut.tld"), compress(generate(Kind::Text, 5000, 4)).left(100));
    const QString missingDir = path("nowhere/out.tld");

    const struct
    {
        const char *what;
        bool compressing;
        QString input;
        QString output;
        QString message;
    } cases[] = {
        {"no input to compress", true, path("absent.txt"), path("out1"),
         "Lzrw1 compression : Failed to obtain the size of : " + path("absent.txt")},
        {"no input to decompress", false, path("absent.tld"), path("out2"),
         "Lzrw1 (de)compression : Failed to open input file : " + path("absent.tld")},
        {"output folder missing", true, path("plain.txt"), missingDir,
         "Lzrw1 (de)compression : Failed to open output file : " + missingDir},
        {"bad header", false, path("badhead.tld"), path("out3"),
         path("badhead.tld") + " : Lzrw1 decompression : this file has no valid header !"},
        {"cut file", false, path("cut.tld"), path("out4"),
         "Lzrw1 : Error reading from input file : " + path("cut.tld")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Tlzrw1 doit;
        doit.setInputFile(c.input);
        doit.setOutputFile(c.output);
        EXPECT_EQ(errorOf([&] { c.compressing ? doit.Compress() : doit.Decompress(); }), c.message);
        EXPECT_FALSE(QFile::exists(c.output));
    }
    // Nothing half-written is left lying about either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST_F(Tlzrw1Files, FailedDecompressKeepsTheFileItWouldHaveReplaced)
{
    write(path("kept.txt"), "last good tally");
    write(path("damaged.tld"), containerOf(9, {bytes({0x80, 'a', 'b'})}));
    Tlzrw1 doit;
    doit.setInputFile(path("damaged.tld"));
    doit.setOutputFile(path("kept.txt"));
    EXPECT_EQ(errorOf([&] { doit.Decompress(); }),
              "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
    EXPECT_EQ(read(path("kept.txt")), "last good tally");
}
