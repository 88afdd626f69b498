// How long the pictures take to draw at other sizes than the designed one:
// each kind at 1.5, 2 and 3 times, and the set a table shows when it first
// opens (card back, digits, bags, fan, cloth, corners, logo, markers,
// start button) at 2 times, as a start-up with QT_SCALE_FACTOR=2 draws
// them. Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include "resources/artsizes.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>

namespace {

using artwork::Art;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const char *nameOf(Art art)
{
    static const char *const names[] = {
        "big card", "digit", "bags",          "turn marker", "eyes",         "out of money",
        "winner",   "start", "start pressed", "bots switch", "phrase",       "ornament",
        "logo",     "icon",  "card fan",      "cloth tile",  "download tile"};
    return names[int(art)];
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);

    // The fonts load on the first drawing with text; show that apart.
    auto start = Clock::now();
    artwork::drawn(Art::TurnMarker, 0, 2, 1);
    std::printf("first drawing (loads the fonts): %.2f ms\n", millisecondsSince(start));

    start = Clock::now();
    int shown = 0;
    const auto take = [&](Art art, int index) {
        shown += !artwork::pixmap(art, index, 2, 1).isNull();
    };
    take(Art::BigCard, 0);
    for (int d = 0; d <= 9; ++d)
        take(Art::Digit, d);
    for (int b = 0; b <= 3; ++b)
        take(Art::Bags, b);
    for (int c = 1; c <= 4; ++c)
        take(Art::Ornament, c);
    for (Art art : {Art::TurnMarker, Art::Eyes, Art::OutOfMoney, Art::Winner, Art::StartButton,
                    Art::Logo, Art::CardFan, Art::BackgroundTile})
        take(art, 0);
    std::printf("the %d pictures of a table opening at twice its size: %.2f ms\n", shown,
                millisecondsSince(start));

    std::printf("\nmean time to draw one picture of each kind, in ms:\n%-14s %8s %8s %8s\n", "",
                "1.5x", "2x", "3x");
    for (Art art : artwork::allArt()) {
        std::printf("%-14s", nameOf(art));
        for (qreal scale : {1.5, 2.0, 3.0}) {
            const int first = artwork::firstIndex(art);
            const int last = artwork::lastIndex(art);
            start = Clock::now();
            for (int i = first; i <= last; ++i)
                artwork::drawn(art, i, scale, 1);
            std::printf(" %8.2f", millisecondsSince(start) / (last - first + 1));
        }
        std::printf("\n");
    }
    return 0;
}
