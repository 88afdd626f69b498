#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The block coder behind the tally file: one piece of at most 32768 bytes
// becomes one block, coded with literals, copies of 3 to 18 bytes from the
// last 4095 bytes and runs of 16 to 4095 equal bytes, or stored unchanged
// when coding does not make it smaller. Every block stands alone.
namespace lzrw1 {

inline constexpr int kPieceSize = 32768;

// First byte of a block.
inline constexpr std::uint8_t kStoredFlag = 0x80;
inline constexpr std::uint8_t kCodedFlag = 0x40;

// A valid block is never longer than a stored full piece.
inline constexpr int kMaxBlockSize = kPieceSize + 1;

// The coder notices that a block did not shrink only after the item that
// grew it past the piece's length, so it may write a few bytes beyond.
inline constexpr int blockCapacity(int pieceLength)
{
    return pieceLength + 8;
}

// decodeBlock copies in whole words and may scribble this far past the
// bytes it reports.
inline constexpr int kDecodeSlack = 32;

class BlockEncoder
{
public:
    // Codes `length` bytes (at most kPieceSize) of `piece` into `block`,
    // which must hold blockCapacity(length) bytes. Returns the block's length.
    int encode(const std::uint8_t *piece, int length, std::uint8_t *block);

private:
    // Last position seen for each hash value of three bytes.
    std::array<std::uint16_t, 4096> m_lastSeen;
};

// Decodes one block of `length` bytes into `out`, which must hold
// kPieceSize + kDecodeSlack bytes. Returns the number of bytes it yields, or
// -1 when the block is damaged (an item cut off at the block's end, a copy
// reaching before the piece's start, or more than kPieceSize bytes).
int decodeBlock(const std::uint8_t *block, int length, std::uint8_t *out);

} // namespace lzrw1
