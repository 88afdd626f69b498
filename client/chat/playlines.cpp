#include "client/chat/playlines.h"

#include "client/chat/chatpanel.h"
#include "client/model/tablestate.h"
#include "client/table/lastplays.h"

#include <QColor>

PlayLines::PlayLines(const TableState &state, ChatPanel &chat, QObject *parent)
    : QObject(parent), state_(state), chat_(chat)
{
    connect(&state, &TableState::cardPlayed, this, &PlayLines::cardPlayed);
}

void PlayLines::cardPlayed()
{
    if (!enabled_ || state_.plays().isEmpty())
        return;
    const TablePlay &play = state_.plays().constLast();
    chat_.addlinetochat(LastPlays::lineFor(play.name, play.before, play.card), QColor(Qt::gray));
}
