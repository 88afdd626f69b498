#pragma once

#include <QByteArray>

#include <vector>

namespace wavwriter {

// A mono 16-bit PCM wave file of `samples` (each -1 to 1, clipped beyond),
// followed by `silenceSeconds` of silence: the sound player cuts off the
// last part of a sound, and the silence is what it cuts.
QByteArray encode(const std::vector<float> &samples, int sampleRate, double silenceSeconds);

} // namespace wavwriter
