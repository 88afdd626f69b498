#include "host/hostrequests.h"

#include "net/gamemessage.h"

LoginRequest readLoginRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    LoginRequest request;
    request.slot = fields.number();
    request.version = fields.text();
    request.name = fields.rest();
    return request;
}

ChatRequest readChatRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    ChatRequest request;
    request.slot = fields.number();
    request.chatText = fields.rest();
    return request;
}

WatchRequest readWatchRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    WatchRequest request;
    request.seat = fields.number();
    request.flag = fields.text();
    return request;
}

SlotValueRequest readSlotValueRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    SlotValueRequest request;
    request.slot = fields.number();
    request.value = fields.number();
    return request;
}

PlayRequest readPlayRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    PlayRequest request;
    request.seat = fields.number();
    request.position = fields.number();
    return request;
}

StartRequest readStartRequest(const QByteArray &payload)
{
    FieldReader fields(payload);
    StartRequest request;
    request.name = fields.text();
    request.mode = fields.text();
    return request;
}
