#pragma once

#include "stats/lzrw1block.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <stdexcept>

// The compressed file's layout: "WRZL", the uncompressed length (32-bit
// little-endian), then one chunk per 32768-byte piece, each a 16-bit
// little-endian block length and the block. A length that is a multiple of
// 32768 ends with a chunk for an empty piece, so the reader always stops at
// a short piece.
namespace lzrw1 {

// Every refusal of the coder raises this, with one of the texts below.
class ELzrw1Exception : public std::runtime_error
{
public:
    explicit ELzrw1Exception(const QString &message)
        : std::runtime_error(message.toStdString()), text(message)
    {}
    QString text;
};

namespace text {
inline constexpr char kNoBufferMemory[] =
    "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";
inline constexpr char kNoTableMemory[] = "LZRW1KH : no memory for HASH table";
inline constexpr char kNoSize[] = "Lzrw1 compression : Failed to obtain the size of : ";
inline constexpr char kCannotOpenInput[] = "Lzrw1 (de)compression : Failed to open input file : ";
inline constexpr char kCannotOpenOutput[] = "Lzrw1 (de)compression : Failed to open output file : ";
inline constexpr char kReadError[] = "Lzrw1 : Error reading from input file : ";
inline constexpr char kReadErrorSuffix[] = " (LZRW1/KH)";
inline constexpr char kWriteError[] = "Lzrw1 : Error writing to output file : ";
inline constexpr char kNoValidHeader[] = " : Lzrw1 decompression : this file has no valid header !";
inline constexpr char kSizeMismatch[] =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
} // namespace text

[[noreturn]] void fail(const QString &message);

inline constexpr int kHeadSize = 8;
// "WRZL" read as a little-endian number. Files of the slower coder begin
// with "!HZL"; this program never writes them and refuses them like any
// other unknown header.
inline constexpr std::uint32_t kFastHeader = 0x4C5A5257;
inline constexpr std::uint64_t kMaxLength = 0xFFFFFFFFu;

inline std::uint32_t readLE32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline void writeLE32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

// The container loops, shared by the memory and the file forms. A Source
// gives `const uint8_t *take(int n)`: the next n bytes, or it throws. A Sink
// gives `uint8_t *room(int n)`: space for n bytes, and `void commit(int n)`:
// the first n bytes of that space are output. Both return total bytes
// written.

template <class Source, class Sink>
std::uint64_t encodeContainer(Source &in, std::uint32_t length, Sink &out, BlockEncoder &encoder)
{
    std::uint8_t *head = out.room(kHeadSize);
    writeLE32(head, kFastHeader);
    writeLE32(head + 4, length);
    out.commit(kHeadSize);
    std::uint64_t written = kHeadSize;

    std::uint32_t left = length;
    for (;;) {
        const int n = left < std::uint32_t(kPieceSize) ? int(left) : kPieceSize;
        const std::uint8_t *piece = in.take(n);
        std::uint8_t *chunk = out.room(2 + blockCapacity(n));
        const int blockLength = encoder.encode(piece, n, chunk + 2);
        chunk[0] = std::uint8_t(blockLength);
        chunk[1] = std::uint8_t(blockLength >> 8);
        out.commit(2 + blockLength);
        written += 2 + std::uint64_t(blockLength);
        left -= std::uint32_t(n);
        if (n < kPieceSize)
            return written;
    }
}

template <class Source, class Sink>
std::uint64_t decodeContainer(Source &in, Sink &out, const QString &name)
{
    const std::uint32_t header = readLE32(in.take(4));
    if (header != kFastHeader)
        fail(name + QLatin1String(text::kNoValidHeader));
    const std::uint32_t length = readLE32(in.take(4));

    std::uint64_t written = 0;
    for (;;) {
        const std::uint8_t *size = in.take(2);
        const int blockLength = size[0] | (size[1] << 8);
        // No valid block is longer than a stored full piece, and a damaged
        // file must not make the output outgrow its stated length.
        if (blockLength > kMaxBlockSize)
            fail(QLatin1String(text::kSizeMismatch));
        const std::uint8_t *block = in.take(blockLength);
        const int yielded = decodeBlock(block, blockLength, out.room(kPieceSize + kDecodeSlack));
        if (yielded < 0 || written + std::uint64_t(yielded) > length)
            fail(QLatin1String(text::kSizeMismatch));
        out.commit(yielded);
        written += std::uint64_t(yielded);
        if (yielded != kPieceSize)
            break;
    }
    if (written != length)
        fail(QLatin1String(text::kSizeMismatch));
    return written;
}

// Whole containers in memory, for callers that keep the file themselves.
// `name` stands for the file in error texts.
QByteArray compress(QByteArrayView data);
QByteArray decompress(QByteArrayView container, const QString &name = QString());

} // namespace lzrw1
