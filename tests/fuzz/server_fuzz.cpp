// Feeds arbitrary bytes to the host as connections coming and going and
// messages arriving from them, with the queue and the game's timers ticked
// in between, and checks after every step that nothing is out of place: the
// slot table, the receive queue, the pause timer and the game itself.
//
// The input is read as a list of steps; the first byte of each says what
// happens. Messages come raw (any bytes) or built from a command name and
// small numbers, so that the fuzzer reaches whole games quickly.

#include "host/gamecheck.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "net/messages.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    // Mostly small numbers around the valid ranges, sometimes anything.
    int number()
    {
        const uint8_t b = byte();
        if (b < 200)
            return int(b % 12) - 1;
        return int(int8_t(byte())) * 1000 + int(b);
    }
    QByteArray bytes(int count)
    {
        QByteArray out;
        while (count-- > 0 && !atEnd())
            out += char(m_data[m_pos++]);
        return out;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

QByteArray builtMessage(Input &in, const TServer &server)
{
    const int slot = in.number();
    const QByteArray text = in.bytes(in.byte() % 8);
    switch (in.byte() % 12) {
    case 10: {
        // The slot's real key often, so that players come back.
        const QByteArray key = server.seatKeys().key(slot);
        return msg::Reclaim{slot, in.byte() % 4 && !key.isEmpty() ? key : text}.build();
    }
    case 11:
        return msg::Leaving{slot}.build();
    case 0:
        return msg::Logininfo{slot, in.byte() % 2 ? QByteArray(kVersionText) : text, text}.build();
    case 1:
        return msg::Kickhim{slot, in.number()}.build();
    case 2:
        return msg::Botspeed{slot, in.number()}.build();
    case 3:
        return msg::ChatToHost{slot, text}.build();
    case 4:
        return msg::ActionToHost{slot, text}.build();
    case 5:
        return msg::StartgameToHost{text, in.byte() % 2 ? "h" : "b"}.build();
    case 6:
        return msg::Justwatch{slot, QByteArray::number(in.number())}.build();
    case 7:
    case 8:
        return msg::PlaycardToHost{slot, in.number()}.build();
    default:
        return text;
    }
}

[[noreturn]] void fail(const char *what, int value = 0)
{
    std::fprintf(stderr, "invariant broken: %s (%d)\n", what, value);
    std::abort();
}

void checkServer(const TServer &server)
{
    const QString fault = gameStateFault(server.gameState());
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "%s\n", fault.toLocal8Bit().constData());
        fail("game state");
    }
    const int slotcount = server.slotcount();
    if (slotcount < 0 || slotcount > kHighestSlot)
        fail("slotcount", slotcount);
    int live = 0;
    for (int slot = 1; slot <= 11; ++slot) {
        const tplayer &player = server.player(slot);
        if (player.connected && slot > slotcount)
            fail("connected slot above slotcount", slot);
        if (!player.connected && !player.name.isEmpty())
            fail("free slot with a name", slot);
        if (server.seatHeld(slot) && (player.loggedIn || slot == kHostSlot))
            fail("kept seat with a player in it", slot);
        if (server.seatHeld(slot) && !server.seatHoldTimerRunning())
            fail("kept seat that never ends", slot);
        if (player.watching && (slot > kSeatCount || !player.connected))
            fail("watching without a seated player", slot);
        live += player.connected ? 1 : 0;
    }
    if (server.numhumans() > kSeatCount || live > kHighestSlot)
        fail("too many connections", live);

    const ReceiveQueue &queue = server.receivedlist();
    for (const QueuedMessage &message : queue.messages()) {
        if (message.slot < 1 || message.slot > kHighestSlot)
            fail("queued message from no slot", message.slot);
        const tplayer &from = server.player(message.slot);
        if (!from.connected || from.connection != message.connection)
            fail("queued message from a closed connection", message.slot);
        const int waiting = queue.waiting(message.connection);
        if (waiting < 1 || waiting > TServer::kMaxWaitingMessages)
            fail("waiting count", waiting);
    }
    const bool pause = server.gameState().phase == GameState::Phase::Pause;
    if (pause != server.pauseRunning())
        fail("pause timer out of step with the game", pause);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    // Conversion errors are expected by the thousand; keep them quiet.
    setErrorHandler([](const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in(data, size);
    Random random;
    random.setSeed(uint32_t(size) * 2654435761u);
    TServer server(0, random);
    // Time moves only when the input says so: kept seats and the login
    // limit run out at its word.
    qint64 clock = 0;
    server.setClock([&clock] { return clock; });
    while (!in.atEnd()) {
        switch (in.byte() % 14) {
        case 12:
            clock += qint64(in.byte()) * 1000;
            server.seatholdTimer();
            server.logintimerTimer();
            break;
        case 13: {
            const uint8_t choice = in.byte();
            if (choice == 255)
                server.closeGame();
            else
                server.setSeatHoldSeconds(choice % 3 * 60);
            break;
        }
        case 0:
            server.attachConnection();
            break;
        case 1:
            server.detachConnection(in.number());
            break;
        case 2: {
            const int slot = in.number();
            server.receive(slot, in.bytes(in.byte()));
            break;
        }
        case 3:
        case 4:
        case 5:
            server.receive(in.number(), builtMessage(in, server));
            break;
        case 6:
            server.socktimerTimer();
            break;
        case 7:
            server.timer1Timer();
            break;
        case 8:
            server.computertimerTimer();
            break;
        case 9:
            while (!server.receivedlist().isEmpty()) {
                server.socktimerTimer();
                checkServer(server);
            }
            break;
        default: {
            // A whole pause, or a run of computer turns, as the timers would
            // give them: long rounds reach the refill of the deck.
            if (server.gameState().phase == GameState::Phase::Pause) {
                for (int second = 0; second < kPauseSeconds; ++second)
                    server.timer1Timer();
            } else {
                for (int turns = 1 + in.byte() % 64; turns > 0; --turns) {
                    server.computertimerTimer();
                    checkServer(server);
                }
            }
            break;
        }
        }
        checkServer(server);
    }
    return 0;
}
