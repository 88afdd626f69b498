#include "stats/lzrw1block.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lzrw1 {
namespace {

constexpr std::uint16_t kEmpty = 0xFFFF;
constexpr int kMaxDistance = 4095;
constexpr int kMinCopy = 3;
constexpr int kMaxCopy = 18;
constexpr int kMinRun = 16;
constexpr int kMaxRun = 4095;
constexpr int kItemsPerGroup = 16;

inline std::uint64_t load64(const std::uint8_t *p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store64(std::uint8_t *p, std::uint64_t v)
{
    std::memcpy(p, &v, sizeof v);
}

inline unsigned hashOf(const std::uint8_t *p)
{
    const std::uint32_t key = ((((std::uint32_t(p[0]) << 4) ^ p[1]) << 4) ^ p[2]);
    return ((key * 40543u) >> 4) & 0xFFF;
}

// Length of the common prefix of a and b, at most `limit` bytes. `a` lies
// before `b`, so reading as far as b + limit stays inside the piece.
inline int matchLength(const std::uint8_t *a, const std::uint8_t *b, int limit)
{
    int length = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (length + 8 <= limit) {
            const std::uint64_t diff = load64(a + length) ^ load64(b + length);
            if (diff != 0)
                return length + std::countr_zero(diff) / 8;
            length += 8;
        }
    }
    while (length < limit && a[length] == b[length])
        ++length;
    return length;
}

inline int runLength(const std::uint8_t *p, int limit)
{
    const std::uint8_t value = p[0];
    int length = 1;
    while (length < limit && p[length] == value)
        ++length;
    return length;
}

} // namespace

int BlockEncoder::encode(const std::uint8_t *piece, int length, std::uint8_t *block)
{
    m_lastSeen.fill(kEmpty);

    block[0] = kCodedFlag;
    std::uint8_t *controlAt = block + 1;
    std::uint8_t *out = block + 3;
    // Once the output passes the piece's own length, coding has lost.
    const std::uint8_t *const outLimit = block + length;
    std::uint32_t control = 0;
    int items = 0;
    int pos = 0;

    while (pos < length && out <= outLimit) {
        if (items == kItemsPerGroup) {
            controlAt[0] = std::uint8_t(control >> 8);
            controlAt[1] = std::uint8_t(control);
            controlAt = out;
            out += 2;
            control = 0;
            items = 0;
        }
        const std::uint8_t *here = piece + pos;
        const int left = length - pos;
        ++items;
        control <<= 1;

        // Checking the neighbour first keeps ordinary text off the run loop.
        if (left >= kMinRun && here[1] == here[0]) {
            const int run = runLength(here, std::min(left, kMaxRun));
            if (run >= kMinRun) {
                const int field = run - kMinRun;
                out[0] = 0;
                out[1] = std::uint8_t(field >> 8);
                out[2] = std::uint8_t(field);
                out[3] = here[0];
                out += 4;
                pos += run;
                control |= 1;
                continue;
            }
        }

        // With fewer than three bytes left no copy can be found; skipping the
        // probe there avoids hashing bytes beyond the piece.
        if (left >= kMinCopy) {
            std::uint16_t &slot = m_lastSeen[hashOf(here)];
            const int candidate = slot;
            slot = std::uint16_t(pos);
            if (candidate != kEmpty && pos - candidate <= kMaxDistance) {
                const int copy = matchLength(piece + candidate, here, std::min(left, kMaxCopy));
                if (copy >= kMinCopy) {
                    const int item = ((pos - candidate) << 4) | (copy - kMinCopy);
                    out[0] = std::uint8_t(item >> 8);
                    out[1] = std::uint8_t(item);
                    out += 2;
                    pos += copy;
                    control |= 1;
                    continue;
                }
            }
        }

        *out++ = *here;
        ++pos;
    }

    // A shift by 16 of an empty group is well defined in 32 bits.
    control <<= (kItemsPerGroup - items);
    controlAt[0] = std::uint8_t(control >> 8);
    controlAt[1] = std::uint8_t(control);

    if (out <= outLimit)
        return int(out - block);

    block[0] = kStoredFlag;
    std::memcpy(block + 1, piece, std::size_t(length));
    return length + 1;
}

int decodeBlock(const std::uint8_t *block, int length, std::uint8_t *out)
{
    if (length < 2)
        return 0;
    if (block[0] == kStoredFlag) {
        const int stored = length - 1;
        if (stored > kPieceSize)
            return -1;
        std::memcpy(out, block + 1, std::size_t(stored));
        return stored;
    }
    // Two bytes hold no item, and the first control word would be cut off.
    if (length < 3)
        return 0;

    const std::uint8_t *in = block + 3;
    const std::uint8_t *const inEnd = block + length;
    std::uint8_t *op = out;
    std::uint8_t *const outEnd = out + kPieceSize;
    std::uint32_t control = (std::uint32_t(block[1]) << 8) | block[2];
    int bits = kItemsPerGroup;

    while (in < inEnd) {
        if (bits == 0) {
            if (inEnd - in < 2)
                return -1;
            control = (std::uint32_t(in[0]) << 8) | in[1];
            in += 2;
            bits = kItemsPerGroup;
        }
        const bool literal = (control & 0x8000) == 0;
        control <<= 1;
        --bits;

        if (literal) {
            if (in >= inEnd || op >= outEnd)
                return -1;
            *op++ = *in++;
            continue;
        }
        if (inEnd - in < 2)
            return -1;
        const int distance = (int(in[0]) << 4) | (in[1] >> 4);
        if (distance != 0) {
            const int copy = (in[1] & 0x0F) + kMinCopy;
            in += 2;
            if (distance > op - out || copy > outEnd - op)
                return -1;
            const std::uint8_t *from = op - distance;
            if (distance >= 8) {
                // Each word reads only bytes already written; the slack
                // takes what goes past the copy's end.
                store64(op, load64(from));
                store64(op + 8, load64(from + 8));
                store64(op + 16, load64(from + 16));
            } else {
                // Overlapping: a short distance repeats a pattern.
                for (int i = 0; i < copy; ++i)
                    op[i] = from[i];
            }
            op += copy;
        } else {
            if (inEnd - in < 4)
                return -1;
            const int run = ((int(in[1]) << 8) | in[2]) + kMinRun;
            if (run > outEnd - op)
                return -1;
            std::memset(op, in[3], std::size_t(run));
            op += run;
            in += 4;
        }
    }
    return int(op - out);
}

} // namespace lzrw1
