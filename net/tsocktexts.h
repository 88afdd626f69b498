#pragma once

#include <QLatin1StringView>

// Every text the line socket reports or raises. The application compares
// against these (the game acts on "Socket Closed").
namespace TSockText {

// Information reports. A value follows the ones that end in a space.
inline constexpr QLatin1StringView LookupOfHost{"Lookup Of Host "};
inline constexpr QLatin1StringView LookupOfPort{"Lookup Of Port "};
inline constexpr QLatin1StringView HostNameNoEffect{
    "Setting HostName While Connected Has No Effect"};
inline constexpr QLatin1StringView PortNameNoEffect{
    "Setting PortName While Connected Has No Effect"};
inline constexpr QLatin1StringView BlockingConnected{"Blocking Socket Connected"};
inline constexpr QLatin1StringView NonBlockingConnected{"Non-Blocking Socket Connected"};
inline constexpr QLatin1StringView DatagramConnected{"Datagram Socket Connected"};
inline constexpr QLatin1StringView SocketClosed{"Socket Closed"};
inline constexpr QLatin1StringView BlockingCantConnect{"Blocking Socket Can't Connect"};
inline constexpr QLatin1StringView DisconnectedOnReceive{"Socket Disconnected On Receive"};
inline constexpr QLatin1StringView ListeningStarted{"Listening Started"};
inline constexpr QLatin1StringView ListeningAlreadyRunning{"Listening Already Running"};
inline constexpr QLatin1StringView ListeningStopped{"Listening Stopped"};
inline constexpr QLatin1StringView NonBlockingIncoming{"Non-Blocking Incoming Data"};
inline constexpr QLatin1StringView BlockingIncoming{"Blocking Incoming Data"};
inline constexpr QLatin1StringView NonBlockingOutgoing{"Non-Blocking Outgoing Data"};
inline constexpr QLatin1StringView BlockingOutgoing{"Blocking Outgoing Data"};
inline constexpr QLatin1StringView BlockingAccept{"Blocking Accept"};
inline constexpr QLatin1StringView CreatedNewTSock{"Created New TSock Structure"};
inline constexpr QLatin1StringView CouldNotAccept{"Could Not Accept Connection"};
// "Error #" + code + " (" + name + ")"
inline constexpr QLatin1StringView ErrorNumber{"Error #"};
inline constexpr QLatin1StringView ErrorOnSend{"Socket Error On Send"};
inline constexpr QLatin1StringView ErrorOnReceive{"Socket Error On Receive"};

// Refusals (ESockException texts).
inline constexpr QLatin1StringView ListenInUse{"Listen - Socket Already In Use"};
inline constexpr QLatin1StringView ListenOnDatagram{"Listen - Cannot Listen On A Datagram Socket"};
inline constexpr QLatin1StringView ListenBindError{"Listen - Error Binding Socket"};
inline constexpr QLatin1StringView ListenStartError{"Listen - Error Starting Listen"};
inline constexpr QLatin1StringView TypeWhileListening{
    "SocketType - Can't Assign Socket Type While Listening"};
inline constexpr QLatin1StringView TypeWhileConnected{
    "SocketType - Can't Assign Socket Type While Connected"};
inline constexpr QLatin1StringView SendNotConnected{"Send - Socket Not Connected"};
inline constexpr QLatin1StringView SendOnListener{"Send - Cannot Send On A Listener Socket"};
inline constexpr QLatin1StringView SendError{"Send - Socket Error"};
inline constexpr QLatin1StringView ReceiveNotConnected{"Receive - Socket Not Connected"};
inline constexpr QLatin1StringView ReceiveOnListener{
    "Receive - Cannot Receive On A Listener Socket"};
// Followed by the error's symbolic name.
inline constexpr QLatin1StringView ReceiveError{"Receive - Socket Error "};
inline constexpr QLatin1StringView SendDatagramNotConnected{"SendDatagram - Socket Not Connected"};
inline constexpr QLatin1StringView SendDatagramOnStream{
    "SendDatagram - Datagram Send Not Supported On Stream Sockets"};
inline constexpr QLatin1StringView ReceiveDatagramNotConnected{
    "ReceiveDatagram - Socket Not Connected"};
inline constexpr QLatin1StringView ReceiveDatagramOnStream{
    "ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets"};
inline constexpr QLatin1StringView AcceptNotListening{"Accept - Socket Not In Listening Mode"};
inline constexpr QLatin1StringView HostNotFound{"Host Lookup - Could Not Find Host Entry"};
inline constexpr QLatin1StringView ServiceNotFound{"Port Lookup - Could Not Find Service Entry"};
// Replaces whatever an OnInfo handler threw.
inline constexpr QLatin1StringView ErrorHere{"Error here"};

} // namespace TSockText
