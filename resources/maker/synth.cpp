#include "resources/maker/synth.h"

#include "resources/maker/drawkit.h"
#include "resources/maker/wavwriter.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double twoPi = 2 * M_PI;
constexpr double rate = synth::sampleRate;

using Signal = std::vector<float>;

Signal silence(double seconds)
{
    return Signal(std::size_t(std::lround(seconds * rate)), 0.0f);
}

// Adds `voice(t)` for `duration` seconds from `start`, t counted from the
// voice's own beginning.
void mixIn(Signal &out, double start, double duration, const std::function<double(double)> &voice)
{
    const auto first = std::size_t(std::lround(start * rate));
    const auto count = std::size_t(std::lround(duration * rate));
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i)
        out[first + i] += float(voice(i / rate));
}

// Scales to a comfortable peak and fades the last few milliseconds, so the
// sound meets its silent tail without a click.
void finish(Signal &out, double peak = 0.72)
{
    float highest = 0;
    for (float s : out)
        highest = std::max(highest, std::abs(s));
    if (highest > 0)
        for (float &s : out)
            s *= float(peak / highest);
    const std::size_t fade = std::min(out.size(), std::size_t(0.03 * rate));
    for (std::size_t i = 0; i < fade; ++i)
        out[out.size() - 1 - i] *= float(i) / fade;
}

double attack(double t, double seconds)
{
    return t < seconds ? t / seconds : 1.0;
}

// A struck bell or chime: inharmonic partials dying away at their own pace.
double bell(double t, double frequency, double decay)
{
    struct Partial
    {
        double ratio, level, decay;
    };
    static const Partial partials[] = {
        {1.0, 1.0, 1.0}, {2.0, 0.45, 1.6}, {3.01, 0.22, 2.4}, {4.17, 0.12, 3.5}, {5.43, 0.06, 5}};
    double sum = 0;
    for (const Partial &p : partials)
        sum += p.level * std::sin(twoPi * frequency * p.ratio * t) * std::exp(-t * p.decay / decay);
    return sum * attack(t, 0.004);
}

// A brass-like note: harmonics that grow brighter as the note swells, with
// a little vibrato once it is held.
double brass(double t, double frequency, double length)
{
    const double swell = attack(t, 0.05);
    const double release = t > length - 0.08 ? std::max(0.0, (length - t) / 0.08) : 1.0;
    const double vibrato =
        t > 0.25 ? 0.004 * std::sin(twoPi * 5.5 * t) * std::min(1.0, (t - 0.25) * 3) : 0;
    double sum = 0;
    for (int n = 1; n <= 8; ++n) {
        const double level = std::pow(n, -1.1) * (n == 1 ? 1.0 : 0.4 + 0.6 * swell);
        sum += level * std::sin(twoPi * frequency * n * t * (1 + vibrato));
    }
    return sum * swell * release * (0.85 + 0.15 * std::exp(-t * 6));
}

class Filter
{
public:
    explicit Filter(double cutoff) : a(1 - std::exp(-twoPi * cutoff / rate)) {}
    double low(double x) { return y += a * (x - y); }
    double high(double x) { return x - low(x); }

private:
    double a;
    double y = 0;
};

Signal entered()
{
    Signal out = silence(0.79);
    mixIn(out, 0.0, 0.79, [](double t) { return bell(t, 659.25, 0.3); });
    mixIn(out, 0.17, 0.62, [](double t) { return bell(t, 880.0, 0.28); });
    finish(out);
    return out;
}

Signal error()
{
    Signal out = silence(0.25);
    const auto buzz = [](double t) {
        // A hollow square-ish tone of odd harmonics, dropping a little.
        const double f = 150 - 25 * t;
        double sum = 0;
        for (int n = 1; n <= 15; n += 2)
            sum += std::sin(twoPi * f * n * t) / n;
        const double gate = attack(t, 0.006) * std::min(1.0, (0.1 - t) / 0.015);
        return sum * std::max(0.0, gate);
    };
    mixIn(out, 0.0, 0.1, buzz);
    mixIn(out, 0.13, 0.1, buzz);
    finish(out, 0.6);
    return out;
}

Signal lostMoney()
{
    Signal out = silence(0.34);
    // A falling two-step tone, a small "wah-wah" of regret.
    mixIn(out, 0.0, 0.34, [](double t) {
        const double f = t < 0.14 ? 392.0 : 293.7 - 40 * (t - 0.14);
        const double phase =
            t < 0.14 ? f * t : 392.0 * 0.14 + 293.7 * (t - 0.14) - 20 * (t - 0.14) * (t - 0.14);
        double sum = 0;
        for (int n = 1; n <= 6; ++n)
            sum += std::sin(twoPi * n * phase) * std::pow(n, -1.3);
        const double envelope = t < 0.14 ? std::sqrt(std::sin(M_PI * t / 0.14))
                                         : attack(t - 0.14, 0.008) * std::exp(-(t - 0.14) * 7);
        return sum * envelope;
    });
    finish(out, 0.6);
    return out;
}

Signal placeCard()
{
    Signal out = silence(0.22);
    drawkit::Random random(4242);
    Filter body(2600);
    Filter air(500);
    mixIn(out, 0.0, 0.22, [&](double t) {
        const double noise = random.between(-1, 1);
        // A brief swish as the card flies, then the slap as it lands.
        const double swish = t < 0.04 ? 0.18 * (t / 0.04) : 0;
        const double slap = t >= 0.04 ? std::exp(-(t - 0.04) * 55) : 0;
        const double thump =
            t >= 0.04 ? 0.5 * std::sin(twoPi * 110 * (t - 0.04)) * std::exp(-(t - 0.04) * 40) : 0;
        return air.high(body.low(noise)) * (swish + slap) + thump;
    });
    finish(out, 0.7);
    return out;
}

Signal startRound()
{
    Signal out = silence(0.3);
    drawkit::Random random(777);
    // A riffle: clicks that come faster as the two halves of the deck meet.
    double at = 0.0;
    double gap = 0.03;
    while (at < 0.27) {
        const double level = random.between(0.55, 1.0);
        Filter tone(random.between(2500, 4500));
        Filter rumble(800);
        mixIn(out, at, 0.012, [&](double t) {
            return level * rumble.high(tone.low(random.between(-1, 1))) * std::exp(-t * 400);
        });
        at += gap;
        gap = std::max(0.012, gap * 0.9);
    }
    finish(out, 0.65);
    return out;
}

Signal turn()
{
    Signal out = silence(0.47);
    mixIn(out, 0.0, 0.47, [](double t) { return bell(t, 1046.5, 0.16); });
    mixIn(out, 0.1, 0.37, [](double t) { return bell(t, 1568.0, 0.2); });
    finish(out, 0.6);
    return out;
}

Signal winner()
{
    Signal out = silence(2.79);
    struct Note
    {
        double start, length, frequency, level;
    };
    // A rising call and a held chord.
    const Note notes[] = {
        {0.00, 0.16, 392.00, 1},   {0.17, 0.16, 523.25, 1},   {0.34, 0.16, 659.25, 1},
        {0.51, 0.40, 783.99, 1},   {0.93, 0.14, 659.25, 1},   {1.08, 1.71, 783.99, 0.55},
        {1.08, 1.71, 523.25, 0.4}, {1.08, 1.71, 659.25, 0.4}, {1.08, 1.71, 261.63, 0.35},
    };
    for (const Note &n : notes) {
        const double f = n.frequency;
        const double length = n.length;
        const double level = n.level;
        mixIn(out, n.start, length,
              [f, length, level](double t) { return level * brass(t, f, length); });
    }
    // A slow fade over the held chord.
    const auto from = std::size_t(1.6 * rate);
    for (std::size_t i = from; i < out.size(); ++i)
        out[i] *= float(std::pow(1.0 - double(i - from) / double(out.size() - from), 1.5));
    finish(out, 0.7);
    return out;
}

} // namespace

namespace synth {

std::vector<float> samples(const QString &name)
{
    const QString key = name.toLower();
    if (key == QLatin1String("entered"))
        return entered();
    if (key == QLatin1String("error"))
        return error();
    if (key == QLatin1String("lostmoney"))
        return lostMoney();
    if (key == QLatin1String("placecard"))
        return placeCard();
    if (key == QLatin1String("startround"))
        return startRound();
    if (key == QLatin1String("turn"))
        return turn();
    if (key == QLatin1String("winner"))
        return winner();
    return {};
}

QByteArray wave(const QString &name)
{
    const std::vector<float> body = samples(name);
    if (body.empty())
        return {};
    return wavwriter::encode(body, sampleRate, silentTail);
}

} // namespace synth
