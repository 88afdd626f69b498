#pragma once

#include <QObject>

class ChatPanel;
class TableState;

// View > Show Plays In Chat: while on, every card laid gets a quiet line of
// its own in the chat log, read from the table state's last play.
class PlayLines : public QObject
{
    Q_OBJECT
public:
    PlayLines(const TableState &state, ChatPanel &chat, QObject *parent = nullptr);

    void setEnabled(bool on) { enabled_ = on; }
    bool enabled() const { return enabled_; }

private:
    void cardPlayed();

    const TableState &state_;
    ChatPanel &chat_;
    bool enabled_ = false;
};
