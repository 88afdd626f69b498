#include "client/mainmenu.h"

#include "net/gamerules.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *addMenu(QMenuBar *bar, const QString &caption, const char *name)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *addItem(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction *addCheckItem(QMenu *menu, const QString &caption, const char *name, bool checked)
{
    QAction *action = addItem(menu, caption, name);
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}

} // namespace

MainMenu::MainMenu(QMenuBar *bar) : QObject(bar)
{
    setObjectName(QStringLiteral("mainmenu"));
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = addMenu(bar, QStringLiteral("&File"), "File1");
    StartGame1 = addItem(file, QStringLiteral("Start Game"), "StartGame1");
    StartGame1->setEnabled(false);
    PlayWithOthers1 = addItem(file, QStringLiteral("&Play with Others..."), "PlayWithOthers1");
    StopReconnecting1 = addItem(file, QStringLiteral("Stop Reconnecting"), "StopReconnecting1");
    StopReconnecting1->setEnabled(false);
    Exit1 = addItem(file, QStringLiteral("Exit"), "Exit1");
    Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *options = addMenu(bar, QStringLiteral("&Options"), "Options1");
    PlaySounds1 = addCheckItem(options, QStringLiteral("Play Sounds"), "PlaySounds1", true);
    BotSpeed1 = options->addMenu(QStringLiteral("Bot Speed"));
    BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    auto *speeds = new QActionGroup(BotSpeed1);
    Slow1 = addCheckItem(BotSpeed1, QLatin1String(kSlowBots.name), "Slow1", false);
    Normal1 = addCheckItem(BotSpeed1, QLatin1String(kNormalBots.name), "Normal1", true);
    Fast1 = addCheckItem(BotSpeed1, QLatin1String(kFastBots.name), "Fast1", false);
    // Each speed item's tag is the computer players' delay in ms.
    Slow1->setData(kSlowBots.ms);
    Normal1->setData(kNormalBots.ms);
    Fast1->setData(kFastBots.ms);
    for (QAction *speed : botSpeeds())
        speeds->addAction(speed);
    AutoSort1 = addCheckItem(options, QStringLiteral("Auto Sort"), "AutoSort1", true);
    options->addSeparator();
    TextColor1 = addItem(options, QStringLiteral("Text Color"), "TextColor1");
    ActionColor1 = addItem(options, QStringLiteral("Action Color"), "ActionColor1");
    TextSize1 = options->addMenu(QStringLiteral("Text Size"));
    TextSize1->setObjectName(QStringLiteral("TextSize1"));
    auto *sizes = new QActionGroup(TextSize1);
    for (std::size_t i = 0; i < kTextSizes.size(); ++i) {
        const int points = kTextSizes[i];
        const QByteArray name = "N" + QByteArray::number(points);
        textSizes[i] =
            addCheckItem(TextSize1, QString::number(points), name.constData(), points == 8);
        textSizes[i]->setData(points);
        sizes->addAction(textSizes[i]);
    }
    ScrollChatOff2 =
        addCheckItem(options, QStringLiteral("Scroll Chat Off"), "ScrollChatOff2", false);
    ScrollChatOff2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ClearMainChat1 = addItem(options, QStringLiteral("Clear Main Chat"), "ClearMainChat1");
    options->addSeparator();
    JustWatch1 = addCheckItem(options, QStringLiteral("Just Watch"), "JustWatch1", false);
    // Only the host's copy applies a limit; the items are enabled there.
    TurnTimeLimit1 = options->addMenu(QStringLiteral("Turn Time Limit"));
    TurnTimeLimit1->setObjectName(QStringLiteral("TurnTimeLimit1"));
    auto *limits = new QActionGroup(TurnTimeLimit1);
    const std::array<std::pair<const char *, int>, 3> choices = {
        {{"TurnLimitOff1", 0}, {"TurnLimit30s1", 30}, {"TurnLimit60s1", 60}}};
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const auto [name, seconds] = choices[i];
        const QString caption =
            seconds == 0 ? QStringLiteral("Off") : QStringLiteral("%1 Seconds").arg(seconds);
        turnLimits[i] = addCheckItem(TurnTimeLimit1, caption, name, seconds == 0);
        turnLimits[i]->setData(seconds);
        limits->addAction(turnLimits[i]);
    }
    TurnTimeLimit1->setEnabled(false);
    // How long the host keeps the seat of a player whose connection dropped
    // (the items' data, in seconds); host only as well.
    KeepDroppedSeat1 = options->addMenu(QStringLiteral("Keep a Dropped Player's Seat"));
    KeepDroppedSeat1->setObjectName(QStringLiteral("KeepDroppedSeat1"));
    auto *holds = new QActionGroup(KeepDroppedSeat1);
    const std::array<std::pair<const char *, int>, 4> holdChoices = {
        {{"KeepSeatOff1", 0}, {"KeepSeat1m1", 60}, {"KeepSeat2m1", 120}, {"KeepSeat5m1", 300}}};
    for (std::size_t i = 0; i < holdChoices.size(); ++i) {
        const auto [name, seconds] = holdChoices[i];
        const int minutes = seconds / 60;
        const QString caption = seconds == 0   ? QStringLiteral("Off")
                                : minutes == 1 ? QStringLiteral("1 Minute")
                                               : QStringLiteral("%1 Minutes").arg(minutes);
        seatHolds[i] = addCheckItem(KeepDroppedSeat1, caption, name, seconds == 120);
        seatHolds[i]->setData(seconds);
        holds->addAction(seatHolds[i]);
    }
    KeepDroppedSeat1->setEnabled(false);
    OpenPortOnRouter1 =
        addCheckItem(options, QStringLiteral("Open Port On Router"), "OpenPortOnRouter1", true);
    OpenPortOnRouter1->setEnabled(false);

    // The tally, the side windows and the help are enabled once their
    // windows are wired to them.
    QMenu *view = addMenu(bar, QStringLiteral("&View"), "View1");
    ViewTally1 = addItem(view, QStringLiteral("View Tally"), "ViewTally1");
    ViewTally1->setEnabled(false);
    SpyList1 = addItem(view, QStringLiteral("Spy List"), "SpyList1");
    PrhaseList1 = addItem(view, QStringLiteral("Phrase List"), "PrhaseList1");
    ShowPlaysInChat1 =
        addCheckItem(view, QStringLiteral("Show Plays In Chat"), "ShowPlaysInChat1", false);
    FitTableToWindow1 =
        addCheckItem(view, QStringLiteral("&Fit Table To Window"), "FitTableToWindow1", true);

    QMenu *help = addMenu(bar, QStringLiteral("&Help"), "Help1");
    Help2 = addItem(help, QStringLiteral("Content"), "Help2");
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    Help2->setEnabled(false);
    QuickInstructions1 = addItem(help, QStringLiteral("Quick Instructions"), "QuickInstructions1");
    QuickInstructions1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QuickInstructions1->setEnabled(false);
    help->addSeparator();
    About1 = addItem(help, QStringLiteral("About"), "About1");
    About1->setEnabled(false);
}
