#pragma once

#include <QString>

struct GameState;

// What is wrong with a game state, or an empty text when nothing is: totals,
// bags and turn in range, positions within the deck, and every card at most
// once among the draw pile, the discards, the top card and the hands dealt in
// the current round. Tests and the fuzzer check every step with it.
QString gameStateFault(const GameState &state);
