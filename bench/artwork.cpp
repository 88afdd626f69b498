// How long the artwork takes to load: every picture and sound the game
// shows or plays, decoded from the embedded files, as a start-up that
// loaded them all at once would. The goal is a few milliseconds in all.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include "resources/artwork.h"

#include <QGuiApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

int loadEverything(bool asPixmaps)
{
    int pictures = 0;
    const auto take = [&](const QImage &image) {
        if (asPixmaps)
            benchmark::DoNotOptimize(QPixmap::fromImage(image));
        pictures += !image.isNull();
    };
    for (int n = 0; n <= 52; ++n)
        take(artwork::bigCard(n));
    for (int d = 0; d <= 9; ++d)
        take(artwork::digit(d));
    for (int b = 0; b <= 3; ++b)
        take(artwork::bags(b));
    for (int n = 1; n <= 10; ++n)
        take(artwork::phraseButton(n));
    for (int c = 1; c <= 4; ++c)
        take(artwork::ornament(c));
    for (const QImage &image :
         {artwork::turnMarker(), artwork::eyes(), artwork::outOfMoney(), artwork::winner(),
          artwork::startButton(), artwork::startButtonDown(), artwork::botSwitch(0),
          artwork::botSwitch(1), artwork::logo(), artwork::windowIcon(), artwork::cardFan(),
          artwork::backgroundTile(), artwork::downloadTile(), artwork::advert()})
        take(image);
    for (const QString &name : artwork::soundNames())
        benchmark::DoNotOptimize(artwork::sound(name));
    return pictures;
}

void BM_LoadAllArtwork(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loadEverything(false));
}
BENCHMARK(BM_LoadAllArtwork)->Unit(benchmark::kMillisecond);

void BM_LoadAllArtworkAsPixmaps(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(loadEverything(true));
}
BENCHMARK(BM_LoadAllArtworkAsPixmaps)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // The first load also pays for the image plugins' start; show it apart.
    const auto start = std::chrono::steady_clock::now();
    const int pictures = loadEverything(true);
    const double first =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("first load of all %d pictures and %d sounds: %.2f ms (goal: a few tens of ms at "
                "most)\n",
                pictures, int(artwork::soundNames().size()), first);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
