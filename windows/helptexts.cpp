#include "windows/helptexts.h"

namespace helptexts {

namespace {

QString page(const QString &heading, const QStringList &paragraphs)
{
    return heading + QStringLiteral("\n\n") + paragraphs.join(QStringLiteral("\n\n"));
}

QString overview()
{
    return page(
        QStringLiteral("Overview"),
        {QStringLiteral("Zandor has long been played as a drinking game, so grab a beer, or a root "
                        "beer, sit back and enjoy it while you play!")});
}

QString connecting()
{
    return page(
        QStringLiteral("Connecting"),
        {QStringLiteral("Solo Games"),
         QStringLiteral("To play against the computer players, just press the Start Game button. "
                        "Solo games can be played offline: you do not need to be connected to the "
                        "Internet."),
         QStringLiteral("Multi-player Games"),
         QStringLiteral("To play against other people you need The Korvex Lobby, our free gaming "
                        "lobby, where players meet, chat and start games together. You can "
                        "download it from ") +
             kLobbyPage +
             QStringLiteral(" or straight from the window that opens when you start a solo game."),
         QStringLiteral("You can also play with others without the lobby. Choose Play with Others "
                        "in the File menu, type your name, and either host a game on this computer "
                        "or type the address of the computer that hosts the game, then press "
                        "Start. The game starts again in the part you chose. The address box "
                        "remembers the last games you joined, and if a game cannot be reached the "
                        "window opens again with its address, so you can correct it or host "
                        "instead."),
         QStringLiteral("On a home network you need no address: the window lists the games "
                        "hosted on this network under Games on this network (Alt+G), with their "
                        "seats and watchers. Choose one and press Start, or double-click it. When "
                        "you host, the chat tells you the addresses others on your network can "
                        "join you at."),
         QStringLiteral("If you host a game and nobody can join it, your modem, router or "
                        "firewall is most likely keeping the other players out. It must let "
                        "incoming connections through on TCP port 7772, and for the list of "
                        "games on this network UDP port 7772 as well. Our web page on network "
                        "settings explains how: ") +
             kNetworkPage,
         QStringLiteral("Friends on the Internet"),
         QStringLiteral("When you host a game for others, Zandor asks your router to forward TCP "
                        "port 7772 to this computer (with NAT-PMP or UPnP, which most home routers "
                        "understand), for an hour at a time, renewed while you host and given "
                        "back when you stop. Once the router agrees, the chat says \"Friends on "
                        "the internet can join you at\" and the address to give them; the Play "
                        "with Others window shows the same line, with a button that copies the "
                        "address. To leave your router alone, turn off Options > Open Port On "
                        "Router; turned off while you host, it gives the port back at once, and "
                        "friends who joined through it lose their connection."),
         QStringLiteral("The game also listens over IPv6. When this computer has an IPv6 address "
                        "that the internet can reach, the chat adds \"or, over IPv6, at\" and "
                        "that address, and the Play with Others window shows it with its own copy "
                        "button. No port needs forwarding for IPv6, but a router's firewall may "
                        "still have to let TCP port 7772 in. To join over IPv6, type the address "
                        "as it is given (2001:db8::7, or in brackets: [2001:db8::7]) or a name "
                        "that has it."),
         QStringLiteral("If the chat says that no router answered, your router does not take such "
                        "requests or has them turned off: forward port 7772 to this computer in "
                        "the router's own settings, as the network settings page explains. If "
                        "the router refused, the chat gives its reason; free the port in the "
                        "router's settings or forward it by hand. If the chat says that your "
                        "internet provider shares one address among many customers, no "
                        "forwarding helps: friends cannot reach you over IPv4. If the chat then "
                        "gives an IPv6 address, friends whose internet has IPv6 can join you "
                        "there; otherwise let one of them host instead."),
         QStringLiteral("Please note: the host of a game, usually the first player in the list, "
                        "keeps the game going for everybody. If the host is disconnected, all "
                        "game play ends."),
         QStringLiteral("When a Connection Drops"),
         QStringLiteral("If your connection to the host drops, your window stays open and the game "
                        "tries to take you back for five minutes, by itself. The host keeps your "
                        "seat, with your money and your cards, for two minutes (the host can "
                        "choose Off, 1, 2 or 5 minutes under Options > Keep a Dropped Player's "
                        "Seat); meanwhile the computer plays your turns and your name shows "
                        "\"(away)\". If your program closed, start it again the same way within "
                        "that time and you get your seat back. File > Stop Reconnecting gives up. "
                        "When the host ends the game you are told so, and you can join or host "
                        "another through Play with Others.")});
}

QString gamePlay()
{
    return page(
        QStringLiteral("Game Play"),
        {QStringLiteral("The object of the game is not to be the player who makes the value of "
                        "the pile go above 98."),
         QStringLiteral("Players take turns playing any one of their cards on the pile. Each card "
                        "changes the value of the pile:"),
         QStringLiteral("    Ace to Nine raise the value by their number (an Ace counts 1).\n"
                        "    A Ten lowers the value by ten.\n"
                        "    Jacks and Queens leave the value as it is.\n"
                        "    A King makes the value 98 straight away."),
         QStringLiteral("Whoever makes the pile go above 98 loses one money bag, and a new round "
                        "is dealt. A player with no money bags left is out of the game."),
         QStringLiteral("The game ends when only one player has money bags left.")});
}

QString scoring()
{
    return page(QStringLiteral("Scoring"),
                {QStringLiteral("Everyone starts the game with three money bags."),
                 QStringLiteral("Making the pile go over 98 costs you one money bag."),
                 QStringLiteral("The last player with money bags left wins the game.")});
}

QString history()
{
    return page(QStringLiteral("History"),
                {QStringLiteral("Version 1.0.3.2 - August 2006\n"
                                "    Fixed the deck sometimes being reshuffled too early.\n"
                                "    The version number is now shown in the About window."),
                 QStringLiteral("Version 1.0.3.1 - June 2006\n"
                                "    Quick Instructions added to the Help menu (ctrl-i).\n"
                                "    The host can now set the speed of the bots: Slow, Normal "
                                "or Fast."),
                 QStringLiteral("Version 1.0.3 - March 2006\n"
                                "    Changes to removing players: the host can remove a player "
                                "or a watcher at any time, and a bot takes over the seat.\n"
                                "    Card counter: the table shows how many cards have been "
                                "played in the round."),
                 QStringLiteral("Version 1.0.2 - December 2005\n"
                                "    Improved tally list: wins, losses and games for every "
                                "player you have played with."),
                 QStringLiteral("Version 1.0.1 - October 2005\n"
                                "    Ability to turn the bots off, so that only people play."),
                 QStringLiteral("Version 1.0.0 - August 2005\n"
                                "    First release.")});
}

QString license()
{
    return page(
        QStringLiteral("License Agreement "),
        {QStringLiteral("Please read this agreement before using Zandor. By installing or "
                        "playing Zandor you agree to its terms."),
         QStringLiteral("1. Zandor is free software from Korvex Software. You may play it, copy "
                        "it and give it to others free of charge, as long as you pass it on "
                        "whole and unchanged, with this agreement."),
         QStringLiteral("2. You may not sell Zandor, charge for it, or include it with a product "
                        "that is sold, without our written permission."),
         QStringLiteral("3. You may not change, take apart or pass off Zandor, its pictures or its "
                        "sounds as your own work."),
         QStringLiteral("4. Zandor is provided \"as is\", without any warranty. Korvex Software is "
                        "not liable for any loss or damage that comes from using it, including "
                        "lost data or time spent playing when you should have been working."),
         QStringLiteral("5. When you play over the Internet, your player name and your chat are "
                        "seen by the other players. Be kind to them."),
         QStringLiteral("Copyright \u00A9 2005-2006 Korvex Software. All rights reserved.")});
}

} // namespace

const std::array<HelpPage, 6> &pages()
{
    static const std::array<HelpPage, 6> all = {{
        {1, QStringLiteral("Overview"), QStringLiteral("Overview"), overview()},
        {2, QStringLiteral("Connecting"), QStringLiteral("Connecting"), connecting()},
        {3, QStringLiteral("Game Play"), QStringLiteral("Game Play"), gamePlay()},
        {4, QStringLiteral("Scoring"), QStringLiteral("Scoring"), scoring()},
        {5, QStringLiteral("Documentation"), QStringLiteral("History"), history()},
        {6, QStringLiteral("License"), QStringLiteral("License Agreement "), license()},
    }};
    return all;
}

const QStringList &quickInstructions()
{
    static const QStringList lines = {
        QString(),
        QStringLiteral("Quick Instructions"),
        QStringLiteral("You lose a money bag if you make the number go over 98."),
        QStringLiteral("A player wins by being the only player with money bags."),
        QStringLiteral("2-9 increase the number by their number. Ace increases by 1"),
        QStringLiteral("Tens decrease the number by 10."),
        QStringLiteral("Queens and Jacks keep the number the same."),
        QStringLiteral("Kings make the number equal to 98."),
        QString(),
    };
    return lines;
}

} // namespace helptexts
