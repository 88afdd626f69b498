#include "client/session/connectionlife.h"

#include "client/model/clientsession.h"
#include "client/model/tablestate.h"
#include "client/session/clientconnection.h"
#include "client/session/clientdispatcher.h"
#include "client/session/seatreturn.h"
#include "net/messages.h"
#include "net/peertext.h"
#include "net/tsock.h"

ConnectionLife::ConnectionLife(ClientSession &session, ClientConnection &connection,
                               SeatReturn &seatReturn, TableState &state, quint16 gamePort,
                               QObject *parent)
    : QObject(parent), session_(session), connection_(connection), seatReturn_(seatReturn),
      state_(state), gamePort_(gamePort)
{
    ClientDispatcher &dispatcher = connection_.dispatcher();
    connect(&dispatcher, &ClientDispatcher::sendloginfo, this, &ConnectionLife::loginOffered);
    connect(&dispatcher, &ClientDispatcher::goodbye, this,
            [this](ClientDispatcher::Goodbye why, const QString &hostName) {
                goodbye(int(why), hostName);
            });
    connect(&dispatcher, &ClientDispatcher::seatkey, this, [this](const QByteArray &key) {
        if (!session_.host && session_.loggedIn)
            seatReturn_.keyReceived(session_.ownSlot, key);
    });
    connect(&seatReturn_, &SeatReturn::attempt, this, &ConnectionLife::tryToComeBack);
    connect(&seatReturn_, &SeatReturn::keyUnanswered, this, [this](int slot) {
        if (!session_.loggedIn)
            login(slot);
    });
    connect(&seatReturn_, &SeatReturn::gaveUp, this, [this] {
        emit notice(kGaveUp);
        emit gameLost();
    });
}

void ConnectionLife::loginOffered(int slot)
{
    // The host gives a connection its slot once. A second one, or a slot
    // outside 1 to 9, would turn the table round again under the user.
    if (session_.loggedIn || slot < 1 || slot > kHighestSlot)
        return;
    // A player who holds a key for this host shows it before his login: the
    // host answers with the slot to log in with, his old seat if it waits.
    if (!session_.host) {
        const SeatReturn::Key key = seatReturn_.keyToPresent(slot);
        if (!key.key.isEmpty()) {
            connection_.sendToHost(msg::Reclaim{key.slot, key.key}.build());
            return;
        }
    }
    login(slot);
}

void ConnectionLife::login(int slot)
{
    seatReturn_.loggedIn();
    // Coming back, the table is the host's to tell anew, as to anybody who
    // arrives late.
    if (seatReturn_.comingBack())
        state_.rejoin();
    session_.ownSlot = slot;
    session_.loggedIn = true;
    connection_.sendToHost(
        msg::Logininfo{slot, kVersionText, session_.playerName.toUtf8()}.build());
    emit loggingIn(slot);
}

bool ConnectionLife::backInSeat(int slot)
{
    if (!seatReturn_.comingBack())
        return false;
    seatReturn_.arrived();
    if (slot != slotBeforeDrop_)
        return false;
    emit notice(kBackInSeat);
    return true;
}

void ConnectionLife::goodbye(int why, const QString &hostName)
{
    goodbye_ = why;
    seatReturn_.forget();
    emit notice((why == int(ClientDispatcher::Goodbye::Removed) ? kRemoved : kHostClosed)
                    .arg(peertext::isolated(hostName)));
}

void ConnectionLife::ended()
{
    // The host said why it closes: no drop, nothing to go back to.
    if (goodbye_ >= 0) {
        if (goodbye_ == int(ClientDispatcher::Goodbye::Closed))
            emit gameLost();
        return;
    }
    if (seatReturn_.trying()) {
        seatReturn_.attemptFailed();
        return;
    }
    // A player who was in the game comes back by himself, unless the host
    // was no game host at all; the host's own copy has nowhere to go back.
    if (session_.loggedIn && !session_.host && !connection_.hostMisbehaved()) {
        emit notice(kLostTrying);
        slotBeforeDrop_ = session_.ownSlot;
        seatReturn_.start();
        return;
    }
    if (!connection_.lost())
        emit notice(kConnectionEnded);
}

void ConnectionLife::tryToComeBack()
{
    session_.loggedIn = false;
    goodbye_ = -1;
    try {
        connection_.open(session_.hostAddress, gamePort_);
    } catch (const ESockException &) {
        // The name does not resolve now (no network yet): later.
        seatReturn_.attemptFailed();
    }
}

bool ConnectionLife::attemptUnreachable()
{
    if (!seatReturn_.trying())
        return false;
    seatReturn_.attemptFailed();
    return true;
}

void ConnectionLife::stopTrying()
{
    if (!seatReturn_.trying())
        return;
    seatReturn_.stop();
    emit notice(kStoppedTrying);
    emit gameLost();
}

void ConnectionLife::leave()
{
    if (session_.host)
        return;
    if (session_.loggedIn && connection_.isOpen())
        connection_.sendToHost(msg::Leaving{session_.ownSlot}.build());
    seatReturn_.forget();
}
