#pragma once

#include "net/gamerules.h"

class Random;

// The computer player's choice of card for a hand and a pile total. Returns
// the hand position 1 to 4 to play, or 0 when the hand holds no card.
//
// 1. The first Ace-to-Nine that keeps the total at 98 or less; a King met on
//    the way is played with chance 4 in 10 (a Random(10) draw of 0 to 3).
// 2. Otherwise the first Ten, Jack, Queen or King, which cannot bust.
// 3. Otherwise every card busts: a random position, Random(4) + 1.
//
// Empty positions are never chosen: playing one would be refused and the
// seat would hold the turn with nobody left to play it.
int cplayChoice(const Hand &hand, int total, Random &random);
