#pragma once

#include <QString>

class CardImage;
class QWidget;
class TServer;
class Tchat;

// Plays the user's part of a game in a real main window, the way a person
// would: when the table says it is his turn, he clicks one of his cards.
class UserAtTable
{
public:
    explicit UserAtTable(Tchat &window);

    // Clicks a card when it is the user's turn and his hand shows one that
    // may be played. Returns whether it clicked.
    bool play();
    int cardsClicked() const { return clicked_; }
    int handsSorted() const { return sorted_; }

private:
    Tchat &window_;
    int clicked_ = 0;
    int sorted_ = 0;
};

// A press and release of `button` in the middle of `widget`, delivered as
// the window system delivers them.
void clickWidget(QWidget &widget, int button);

// Runs the host's pause between rounds a second at a time, at once instead
// of waiting seven real seconds each round.
void hurryPause(TServer &server);

// The winner banner, when it is shown; empty otherwise.
QString winnerBanner(const Tchat &window);

// Writes a settings file with the Fast bot speed into `folder`, returned
// for the window to keep its settings and tally in, so tests never touch
// the real ones.
QString fastSettingsFolder(const QString &folder);
