#include "resources/maker/wavwriter.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

void put32(QByteArray &out, std::uint32_t v)
{
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}

void put16(QByteArray &out, std::uint16_t v)
{
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

} // namespace

namespace wavwriter {

QByteArray encode(const std::vector<float> &samples, int sampleRate, double silenceSeconds)
{
    const auto silent = static_cast<std::size_t>(std::lround(silenceSeconds * sampleRate));
    const auto frames = static_cast<std::uint32_t>(samples.size() + silent);
    const std::uint32_t dataBytes = frames * 2;

    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    put32(out, 16);                            // size of the format block
    put16(out, 1);                             // PCM
    put16(out, 1);                             // mono
    put32(out, std::uint32_t(sampleRate));     // frames per second
    put32(out, std::uint32_t(sampleRate) * 2); // bytes per second
    put16(out, 2);                             // bytes per frame
    put16(out, 16);                            // bits per sample
    out.append("data", 4);
    put32(out, dataBytes);
    for (float s : samples) {
        const float clipped = std::clamp(s, -1.0f, 1.0f);
        put16(out,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(clipped * 32767))));
    }
    out.append(QByteArray(int(silent * 2), '\0'));
    return out;
}

} // namespace wavwriter
