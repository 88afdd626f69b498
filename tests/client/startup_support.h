#pragma once

#include "tests/client/programwindow.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <QTemporaryDir>

#include <memory>

class QWidget;
class Tchat;

// A stand-in game host on a loopback port picked at run time: it accepts one
// client and lets a test write messages to it and read what it sends back,
// so the main window can be driven through any message sequence.
class ScriptedHost
{
public:
    ScriptedHost();

    quint16 port() const { return server_.serverPort(); }
    // Waits for the client to connect.
    bool waitForClient();
    // Waits for the client to connect once more, after its connection
    // ended; what the old one sent is forgotten.
    bool waitForClientAgain();
    // Writes one game message with its terminator.
    void send(const QByteArray &message);
    // Writes bytes exactly as given.
    void sendRaw(const QByteArray &bytes);
    // Closes the client's connection from the host's side.
    void closeClient();
    // Every complete message the client has sent so far.
    QByteArrayList received();
    // Waits until the client has sent `message`.
    bool waitForMessage(const QByteArray &message);
    // Whether the client's connection is still open.
    bool clientConnected() const;

private:
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray bytes_;
};

// A listener whose queue of waiting connections is full lets a new attempt
// hang without an answer, as a host behind a firewall that drops it would.
class SilentHost
{
public:
    SilentHost();
    ~SilentHost();
    quint16 port() const { return port_; }

private:
    int fd_ = -1;
    quint16 port_ = 0;
    QTcpSocket filler_;
};

// The lines of the chat log under `window`, as the user reads them (the
// invisible marks around names left out).
QStringList chatLines(const QWidget *window);
// Whether the chat log under `window` holds `line` as one whole line.
bool chatHasLine(const QWidget *window, const QString &line);

// A main window that joins a ScriptedHost as "Ann", with its settings in a
// folder of its own (a temporary one unless given), shown at once.
struct JoinedWindow
{
    explicit JoinedWindow(const QString &settingsFolder = QString());
    ~JoinedWindow();

    // Plays the host's side of Ann's login in `slot`: the slot, her answer,
    // and the newcomer message that tells her she is connected.
    bool login(int slot);

    QTemporaryDir settings;
    QTcpServer lobby;
    ScriptedHost host;
    ProgramWindow chat;
};
