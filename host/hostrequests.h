#pragma once

#include <QByteArray>

// The payloads of the messages a client sends the host, read into values.
// Each reader throws EConvertError (net/gamemessage.h) at the first number
// field that does not convert; the message is then not handled.

// CMD_logininfo: slot "+" version "+" name (the name is the rest).
struct LoginRequest
{
    int slot = 0;
    QByteArray version;
    QByteArray name;
};
LoginRequest readLoginRequest(const QByteArray &payload);

// CMD_chat and CMD_action: slot "+" chat text (the rest).
struct ChatRequest
{
    int slot = 0;
    QByteArray chatText;
};
ChatRequest readChatRequest(const QByteArray &payload);

// CMD_justwatch: seat "+" flag.
struct WatchRequest
{
    int seat = 0;
    QByteArray flag;
};
WatchRequest readWatchRequest(const QByteArray &payload);

// CMD_kickhim: slot "+" target "+"; CMD_botspeed: slot "+" ms "+".
struct SlotValueRequest
{
    int slot = 0;
    int value = 0;
};
SlotValueRequest readSlotValueRequest(const QByteArray &payload);

// CMD_playcard: seat "+" position "+".
struct PlayRequest
{
    int seat = 0;
    int position = 0;
};
PlayRequest readPlayRequest(const QByteArray &payload);

// CMD_startgame: name "+" mode "+".
struct StartRequest
{
    QByteArray name;
    QByteArray mode;
};
StartRequest readStartRequest(const QByteArray &payload);
