#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

struct ClientSession;

// The right-hand chat column of the main window: the log, the input box and
// the phrase buttons. It draws what it is told and sends what the user types.
class ChatPanel : public QWidget
{
    Q_OBJECT
public:
    using Sender = std::function<void(const QByteArray &message)>;

    explicit ChatPanel(const ClientSession *session, Sender send, QWidget *parent = nullptr);
    ~ChatPanel() override;

    // Appends one line to the log: the part up to the first ":" in bold, the
    // rest regular, all in `colour`.
    void addlinetochat(const QString &line, const QColor &colour);

    // Handles the payload of a CMD_chat message: "<words>|<colour text>".
    void chatrecieved(const QString &payload);

private:
    const ClientSession *session_;
    Sender send_;
};
