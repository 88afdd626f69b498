#include "client/session/clientdispatcher.h"
#include "tests/support/errorhandler.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QString listText(const ClientDispatcher::SeatValues &values)
{
    return QStringLiteral("[%1,%2,%3,%4]")
        .arg(values[0])
        .arg(values[1])
        .arg(values[2])
        .arg(values[3]);
}

// Writes every signal of the dispatcher as one line "handler(arguments)".
void recordSignals(ClientDispatcher &dispatcher, QStringList &log)
{
    using D = ClientDispatcher;
    auto add = [&log](const QString &line) { log.append(line); };
    QObject::connect(&dispatcher, &D::sendloginfo,
                     [=](int slot) { add(QStringLiteral("sendloginfo(%1)").arg(slot)); });
    QObject::connect(&dispatcher, &D::chatrecieved,
                     [=](const QString &text) { add("chatrecieved(" + text + ")"); });
    QObject::connect(&dispatcher, &D::newplayerinfo, [=](int slot, const QString &name) {
        add(QStringLiteral("newplayerinfo(%1,%2)").arg(slot).arg(name));
    });
    QObject::connect(&dispatcher, &D::havewrongversion,
                     [=](const QString &name) { add("havewrongversion(" + name + ")"); });
    QObject::connect(&dispatcher, &D::wrongversion, [=] { add("wrongversion()"); });
    QObject::connect(&dispatcher, &D::playerdisconnected, [=](int slot, const QString &name) {
        add(QStringLiteral("playerdisconnected(%1,%2)").arg(slot).arg(name));
    });
    QObject::connect(&dispatcher, &D::startthegame, [=](const QString &name, const QString &mode) {
        add("startthegame(" + name + "," + mode + ")");
    });
    QObject::connect(&dispatcher, &D::getnextplayer,
                     [=](int seat) { add(QStringLiteral("getnextplayer(%1)").arg(seat)); });
    QObject::connect(&dispatcher, &D::winner, [=](const QString &name, int seat) {
        add(QStringLiteral("winner(%1,%2)").arg(name).arg(seat));
    });
    QObject::connect(&dispatcher, &D::gamefull, [=] { add("gamefull()"); });
    QObject::connect(&dispatcher, &D::justwatching, [=](int seat, const QString &flag) {
        add(QStringLiteral("justwatching(%1,%2)").arg(seat).arg(flag));
    });
    QObject::connect(&dispatcher, &D::placecard, [=](int seat, const D::SeatValues &cards) {
        add(QStringLiteral("placecard(%1,%2)").arg(seat).arg(listText(cards)));
    });
    QObject::connect(&dispatcher, &D::playcard, [=](int seat, int card, int total) {
        add(QStringLiteral("playcard(%1,%2,%3)").arg(seat).arg(card).arg(total));
    });
    QObject::connect(&dispatcher, &D::startround, [=](int round, const D::SeatValues &money) {
        add(QStringLiteral("startround(%1,%2)").arg(round).arg(listText(money)));
    });
    QObject::connect(&dispatcher, &D::newcard, [=](int seat, int position, int card) {
        add(QStringLiteral("newcard(%1,%2,%3)").arg(seat).arg(position).arg(card));
    });
    QObject::connect(&dispatcher, &D::nocard, [=](int seat, int position) {
        add(QStringLiteral("nocard(%1,%2)").arg(seat).arg(position));
    });
    QObject::connect(&dispatcher, &D::roundover, [=](int seat, int money) {
        add(QStringLiteral("roundover(%1,%2)").arg(seat).arg(money));
    });
    QObject::connect(&dispatcher, &D::gamestats,
                     [=](int round, int total, int topcard, int turn, const D::SeatValues &money) {
                         add(QStringLiteral("gamestats(%1,%2,%3,%4,%5)")
                                 .arg(round)
                                 .arg(total)
                                 .arg(topcard)
                                 .arg(turn)
                                 .arg(listText(money)));
                     });
}

struct DispatchCase
{
    QByteArray message;
    QString expected; // empty: dropped without a word
};

class DispatchTable : public ::testing::TestWithParam<DispatchCase>
{
};

TEST_P(DispatchTable, MessageReachesItsHandlerAsValues)
{
    ClientDispatcher dispatcher;
    QStringList log;
    recordSignals(dispatcher, log);
    QStringList errors;
    {
        const ScopedErrorHandler catcher(
            [&](const QString &text) { errors.append("error(" + text + ")"); });
        dispatcher.dispatch(GetParam().message);
    }

    const QStringList seen = log + errors;
    if (GetParam().expected.isEmpty())
        EXPECT_TRUE(seen.isEmpty()) << seen.join(' ').toStdString();
    else
        EXPECT_EQ(seen, QStringList{GetParam().expected}) << seen.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    HostMessages, DispatchTable,
    ::testing::Values(
        DispatchCase{"CMD_sendlogininfo+3", "sendloginfo(3)"},
        DispatchCase{"CMD_chat+Ann chats: a+b|clRed",
                     "chatrecieved(\u2068Ann\u2069 chats: a+b|clRed)"},
        DispatchCase{"CMD_action+Ann waves|clBlue", "chatrecieved(Ann waves|clBlue)"},
        DispatchCase{"CMD_newplayerinfo+2+Ann+Bob", "newplayerinfo(2,Ann+Bob)"},
        DispatchCase{"CMD_existingplayers+5+Zo\xc3\xab",
                     QString::fromUtf8("newplayerinfo(5,Zo\xc3\xab)")},
        DispatchCase{"CMD_havewrongversion+Ann", "havewrongversion(Ann)"},
        DispatchCase{"CMD_wrongversion+", "wrongversion()"},
        DispatchCase{"CMD_playerdisconnected+6+Ann", "playerdisconnected(6,Ann)"},
        DispatchCase{"CMD_startgame+Ann+b+", "startthegame(Ann,b)"},
        // A name before another field ends at its first "+".
        DispatchCase{"CMD_startgame+Ann+Bob+h+", "startthegame(Ann,Bob)"},
        DispatchCase{"CMD_nextplayer+3+", "getnextplayer(3)"},
        DispatchCase{"CMD_winner+Zaze+2+", "winner(Zaze,2)"},
        DispatchCase{"CMD_full+", "gamefull()"},
        DispatchCase{"CMD_justwatching+2+1", "justwatching(2,1)"},
        DispatchCase{"CMD_placecard+1+1+5+2+0+3+52+4+13", "placecard(1,[5,0,52,13])"},
        DispatchCase{"CMD_playcard+2+14+57+", "playcard(2,14,57)"},
        DispatchCase{"CMD_startround+4+1+3+2+0+3+1+4+2", "startround(4,[3,0,1,2])"},
        DispatchCase{"CMD_newcard+1+3+0+", "newcard(1,3,0)"},
        DispatchCase{"CMD_nocard+1+2+", "nocard(1,2)"},
        DispatchCase{"CMD_roundover+3+0+", "roundover(3,0)"},
        DispatchCase{"CMD_gamestats+2+42+0+3+1+3+2+3+3+0+4+1", "gamestats(2,42,0,3,[3,3,0,1])"},
        // Dropped: no name, the form's first queue line, wrong letter case,
        // unknown names and what only the host handles.
        DispatchCase{"", ""}, DispatchCase{"receivedlist", ""}, DispatchCase{"+3", ""},
        DispatchCase{"cmd_full+", ""}, DispatchCase{"CMD_bogus+1", ""},
        DispatchCase{"CMD_logininfo+1+1.0.3+Ann", ""},
        // Values no game has are dropped without a word; long names are cut.
        DispatchCase{"CMD_nextplayer+9+", ""}, DispatchCase{"CMD_playcard+2+53+57+", ""},
        DispatchCase{"CMD_newcard+1+0+7+", ""}, DispatchCase{"CMD_sendlogininfo+10", ""},
        DispatchCase{"CMD_newplayerinfo+2+" + QByteArray(300, 'n'),
                     "newplayerinfo(2," + QString(64, 'n') + ")"},
        // A number that does not convert ends the message with an error box.
        DispatchCase{"CMD_nextplayer+x+", "error('x' is not a valid integer value)"},
        DispatchCase{"CMD_playcard+2+1a+5+", "error('1a' is not a valid integer value)"},
        DispatchCase{"CMD_sendlogininfo+", "error('' is not a valid integer value)"}));

} // namespace
