#pragma once

#include <QObject>

#include <array>

class QAction;
class QMenu;
class QMenuBar;

// The main window's menu bar, MainMenu1: every item with its caption,
// object name, check mark and shortcut as the game has them. Whoever
// handles an item gets it from here as a typed pointer; nothing looks an
// item up by its name.
class MainMenu : public QObject
{
    Q_OBJECT
public:
    // The chat text sizes of the Text Size items, in points.
    static constexpr std::array<int, 4> kTextSizes = {8, 10, 12, 14};

    explicit MainMenu(QMenuBar *bar);

    // File
    QAction *StartGame1 = nullptr;
    QAction *PlayWithOthers1 = nullptr;
    // Ends the attempts to get back into a game after a drop; enabled
    // while they run.
    QAction *StopReconnecting1 = nullptr;
    QAction *Exit1 = nullptr; // Ctrl+Q
    // Options
    QAction *PlaySounds1 = nullptr;
    QMenu *BotSpeed1 = nullptr;
    QAction *Slow1 = nullptr;
    QAction *Normal1 = nullptr;
    QAction *Fast1 = nullptr;
    QAction *AutoSort1 = nullptr;
    QAction *TextColor1 = nullptr;
    QAction *ActionColor1 = nullptr;
    QMenu *TextSize1 = nullptr;
    std::array<QAction *, 4> textSizes{}; // N8, N10, N12, N14
    QAction *ScrollChatOff2 = nullptr;
    QAction *ClearMainChat1 = nullptr;
    QAction *JustWatch1 = nullptr;
    // How long a human may hold the turn before the computer plays for him,
    // in seconds (the items' data); 0 is no limit.
    QMenu *TurnTimeLimit1 = nullptr;
    std::array<QAction *, 3> turnLimits{}; // Off, 30 Seconds, 60 Seconds
    // How long the host keeps a dropped player's seat, in seconds (the
    // items' data); 0 is not at all.
    QMenu *KeepDroppedSeat1 = nullptr;
    std::array<QAction *, 4> seatHolds{}; // Off, 1, 2 (the default) and 5 Minutes
    // The host asks the router to forward the game port; on by default.
    QAction *OpenPortOnRouter1 = nullptr;
    // View
    QAction *ViewTally1 = nullptr;
    QAction *SpyList1 = nullptr;
    QAction *PrhaseList1 = nullptr;
    // Each card laid is written to the chat log too; off until the user
    // turns it on.
    QAction *ShowPlaysInChat1 = nullptr;
    // A larger window shows the table larger; on until the user turns it
    // off to keep the designed size.
    QAction *FitTableToWindow1 = nullptr;
    // Help
    QAction *Help2 = nullptr;
    QAction *QuickInstructions1 = nullptr;
    QAction *About1 = nullptr;

    // The three Bot Speed items with their speeds.
    std::array<QAction *, 3> botSpeeds() const { return {Slow1, Normal1, Fast1}; }
};
