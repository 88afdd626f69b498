// Framing speed: a 1 MiB burst of 100,000 game messages cut at the
// terminator, fed in 32 KiB reads (as the socket hands them over) and as one
// read, beside a bare memchr scan over the same bytes. The framer should stay
// within a small factor of the bare scan; a framer that copies its carry-over
// once per message would be hundreds of times slower.

#include "net/framer.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kMessages = 100000;
constexpr qsizetype kReadSize = 32 * 1024;
constexpr int kRuns = 30;

QByteArray makeBurst()
{
    QByteArray burst;
    for (int i = 0; i < kMessages; ++i) {
        burst += "CMD_" + QByteArray::number(i % 100000).rightJustified(5, '0');
        if (i % 2)
            burst += '+';
        burst += kMessageTerminator;
    }
    return burst;
}

// Best of several runs, in microseconds.
double bestMicros(const std::function<qsizetype()> &run, qsizetype expected)
{
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const qsizetype result = run();
        const auto stop = std::chrono::steady_clock::now();
        if (result != expected) {
            std::fprintf(stderr, "wrong result: %lld instead of %lld\n", (long long)result,
                         (long long)expected);
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double, std::micro>(stop - start).count());
    }
    return best;
}

qsizetype plainScan(const QByteArray &bytes)
{
    qsizetype count = 0;
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    while (const void *hit = std::memchr(p, kMessageTerminator, end - p)) {
        ++count;
        p = static_cast<const char *>(hit) + 1;
    }
    return count;
}

qsizetype frameInReads(const QByteArray &bytes, qsizetype readSize)
{
    MessageFramer framer;
    qsizetype count = 0;
    for (qsizetype at = 0; at < bytes.size(); at += readSize) {
        const qsizetype n = std::min(readSize, bytes.size() - at);
        framer.feed(QByteArrayView(bytes).sliced(at, n), [&count](QByteArrayView) { ++count; });
    }
    return count;
}

// As a receive queue uses it: every message copied into a list.
qsizetype frameIntoList(const QByteArray &bytes, qsizetype readSize)
{
    MessageFramer framer;
    QByteArrayList queue;
    for (qsizetype at = 0; at < bytes.size(); at += readSize) {
        const qsizetype n = std::min(readSize, bytes.size() - at);
        queue += framer.feed(QByteArrayView(bytes).sliced(at, n));
    }
    return queue.size();
}

} // namespace

int main()
{
    const QByteArray burst = makeBurst();
    std::printf("burst: %lld bytes, %d messages, best of %d runs\n", (long long)burst.size(),
                kMessages, kRuns);

    const double scan = bestMicros([&] { return plainScan(burst); }, kMessages);
    std::printf("%-34s %9.1f us\n", "plain memchr scan", scan);

    struct Row
    {
        const char *name;
        std::function<qsizetype()> run;
    };
    const std::vector<Row> rows = {
        {"framer, 32 KiB reads", [&] { return frameInReads(burst, kReadSize); }},
        {"framer, one read", [&] { return frameInReads(burst, burst.size()); }},
        {"framer into a list, 32 KiB reads", [&] { return frameIntoList(burst, kReadSize); }},
    };
    for (const Row &row : rows) {
        const double t = bestMicros(row.run, kMessages);
        std::printf("%-34s %9.1f us   ratio to plain scan %.2f\n", row.name, t, t / scan);
    }
    return 0;
}
