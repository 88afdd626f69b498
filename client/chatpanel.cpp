#include "client/chatpanel.h"

#include "client/clientsession.h"

ChatPanel::ChatPanel(const ClientSession *session, Sender send, QWidget *parent)
    : QWidget(parent), session_(session), send_(std::move(send))
{
}

ChatPanel::~ChatPanel() = default;

void ChatPanel::addlinetochat(const QString &line, const QColor &colour)
{
    Q_UNUSED(line);
    Q_UNUSED(colour);
}

void ChatPanel::chatrecieved(const QString &payload)
{
    Q_UNUSED(payload);
}
