#pragma once

#include <QObject>

#include <csignal>
#include <vector>

class QSocketNotifier;

// Logging out or shutting the machine down with the game open sends SIGTERM
// or SIGHUP; Ctrl+C in a terminal sends SIGINT. Their default action ends the
// process on the spot, before the tally is written. While an object of this
// class lives, those signals instead arrive as `received` on the event loop,
// where the program can end its loop the normal way and save on the way out.
//
// The handler itself only writes the signal's number into a socket pair (all
// a signal handler may safely do); a socket notifier reads it on the event
// loop. One object at a time.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    // Puts back the handlers that were there before.
    ~ShutdownSignals() override;

    // False when the socket pair could not be made; the signals then keep
    // their default action.
    bool active() const { return notifier_ != nullptr; }

    static const std::vector<int> &handledSignals();

signals:
    void received(int signalNumber);

private:
    void readSignals();

    QSocketNotifier *notifier_ = nullptr;
    std::vector<struct sigaction> previous_;
};
