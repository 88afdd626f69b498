#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The seven game sounds, synthesised: a bell for someone entering, a buzz
// for a refused card, a falling tone for a lost bag, a card slap, a riffle
// for a new round, a chime for the user's turn and a fanfare for the winner.
namespace synth {

constexpr int sampleRate = 44100;
constexpr double silentTail = 0.25; // seconds of silence after each sound

// The sound itself, without its silent tail; empty for an unknown name.
std::vector<float> samples(const QString &name);

// The wave file: 16-bit mono PCM with the silent tail.
QByteArray wave(const QString &name);

} // namespace synth
