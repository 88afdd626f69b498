#include "net/framer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Read
{
    QByteArray bytes;
    QByteArrayList messages; // what this read completes
    qsizetype pendingAfter;
};

struct FramingCase
{
    const char *name;
    std::vector<Read> reads;
};

class Framing : public ::testing::TestWithParam<FramingCase>
{
};

TEST_P(Framing, QueuesEachMessageOnceWhenItsTerminatorArrives)
{
    MessageFramer framer;
    int step = 0;
    for (const Read &read : GetParam().reads) {
        QByteArrayList got;
        framer.feed(read.bytes, [&got](QByteArrayView m) { got.append(m.toByteArray()); });
        EXPECT_EQ(got, read.messages) << "read " << step;
        EXPECT_EQ(framer.pendingBytes(), read.pendingAfter) << "read " << step;
        ++step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Framing,
    ::testing::Values(
        FramingCase{"OneMessage", {{"CMD_full+\xFF", {"CMD_full+"}, 0}}},
        FramingCase{"SplitOverTwoReads",
                    {{"CMD_nextplayer+", {}, 15}, {"2+\xFF", {"CMD_nextplayer+2+"}, 0}}},
        FramingCase{"TerminatorAloneInSecondRead", {{"ab", {}, 2}, {"\xFF", {"ab"}, 0}}},
        FramingCase{"TwoInOneRead",
                    {{"A+1\xFF"
                      "B+2\xFF",
                      {"A+1", "B+2"},
                      0}}},
        FramingCase{"TwoTerminatorsGiveAnEmptyMessage", {{"A\xFF\xFF", {"A", ""}, 0}}},
        FramingCase{"LeadingTerminator",
                    {{"\xFF"
                      "A\xFF",
                      {"", "A"},
                      0}}},
        FramingCase{"CarryOverKeptAcrossReads",
                    {{"A\xFFpar", {"A"}, 3},
                     {"ti", {}, 5},
                     {"al\xFFnext", {"partial"}, 4},
                     {"\xFF\xFF", {"next", ""}, 0}}},
        FramingCase{"CarryOverCompletedThenMore", {{"x", {}, 1}, {"y\xFFz\xFFw", {"xy", "z"}, 1}}},
        FramingCase{"EmptyReadChangesNothing", {{"", {}, 0}, {"ab", {}, 2}, {"", {}, 2}}},
        FramingCase{"NonTerminatorHighBytesStayInside",
                    {{"\xFE\x80\xC3\xBC\xFF", {"\xFE\x80\xC3\xBC"}, 0}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MessageFramer, ClearDropsTheCarryOver)
{
    MessageFramer framer;
    EXPECT_TRUE(framer.feed("stale").isEmpty());
    framer.clear();
    EXPECT_EQ(framer.pendingBytes(), 0);
    EXPECT_EQ(framer.feed("fresh\xFF"), QByteArrayList{"fresh"});
}

TEST(MessageFramer, LongUnterminatedMessageIsCountedAsItGrows)
{
    MessageFramer framer;
    const QByteArray chunk(32 * 1024, 'a');
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(framer.feed(chunk).isEmpty());
        EXPECT_EQ(framer.pendingBytes(), i * chunk.size());
    }
    EXPECT_GT(framer.pendingBytes(), kMaxUnterminatedBytes);
    const QByteArrayList done = framer.feed("\xFF");
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.first(), chunk.repeated(3));
}

// A 1 MiB burst of 100,000 short messages, cut into reads of several sizes
// (32 KiB as the socket hands them over, odd sizes that split messages and
// terminators anywhere, and all at once): every message comes out once, in
// order.
TEST(MessageFramer, BurstOfHundredThousandMessages)
{
    constexpr int kCount = 100000;
    QByteArray burst;
    burst.reserve(1024 * 1024);
    for (int i = 0; i < kCount; ++i) {
        // 10 or 11 bytes with the terminator: about 1 MiB in all.
        burst += "CMD_" + QByteArray::number(i).rightJustified(5, '0');
        if (i % 2)
            burst += '+';
        burst += kMessageTerminator;
    }
    ASSERT_GE(burst.size(), 1024 * 1024);

    for (const qsizetype readSize : {qsizetype(32 * 1024), qsizetype(7), burst.size()}) {
        MessageFramer framer;
        int count = 0;
        bool inOrder = true;
        for (qsizetype at = 0; at < burst.size(); at += readSize) {
            framer.feed(QByteArrayView(burst).sliced(at, std::min(readSize, burst.size() - at)),
                        [&](QByteArrayView m) {
                            QByteArray expected =
                                "CMD_" + QByteArray::number(count).rightJustified(5, '0');
                            if (count % 2)
                                expected += '+';
                            inOrder = inOrder && m == expected;
                            ++count;
                        });
        }
        EXPECT_EQ(count, kCount) << "reads of " << readSize;
        EXPECT_TRUE(inOrder) << "reads of " << readSize;
        EXPECT_EQ(framer.pendingBytes(), 0) << "reads of " << readSize;
    }
}

} // namespace
