#pragma once

#include "host/chatlimit.h"
#include "net/framer.h"

#include <QByteArray>

class TSock;

// One record of the host's slot table. Slots 1 to 4 are the seats (slot n
// sits at seat n), 5 to 9 the watchers. A seat's bags, hand and part in the
// round belong to the game (GameState::seats), which plays on when the
// seat's human leaves.
struct tplayer
{
    // The name the slot's player logged in with; empty until the login.
    QByteArray name;
    // A client connection is live in this slot.
    bool connected = false;
    // The connection; null while the slot is free. Owned by the listening
    // socket, released when the connection closes.
    TSock *sock = nullptr;
    // Seats only: the player just watches and the computer plays the seat.
    bool watching = false;
    // Seats only: the computer player's name, used when it wins the seat.
    QByteArray botname;

    // Which connection holds the slot, so that a message still waiting in
    // the queue is never taken for a later connection's.
    quint64 connection = 0;
    // Bytes of this connection's unfinished message.
    MessageFramer framer;
    // The connection is being closed for misbehaving: nothing more is sent
    // to it or taken from it.
    bool closing = false;
    // The host closes the connection itself (a kick, a limit broken, the
    // player's own CMD_leaving, the end of the game): its end is an
    // ordinary departure, never a seat kept.
    bool removed = false;
    // The connection said CMD_leaving. Noted when it arrives, not when it
    // is taken from the queue: a player who says it and closes at once may
    // have his close seen first, and his seat must not be kept then.
    bool saidLeaving = false;
    // The connection presented the slot's key (CMD_reclaim): its login takes
    // the seat back under the name it was kept for.
    bool returning = false;
    // The connection has answered CMD_sendlogininfo with its login; a
    // connection logs in once.
    bool loggedIn = false;
    // When the connection was accepted (the server's clock, ms): one that has
    // not logged in within the limit is closed, so nobody can hold a seat
    // without playing it.
    qint64 connectedAt = 0;
    // How fast the connection's chat and action lines may come.
    ChatLimit chatLimit;
};
