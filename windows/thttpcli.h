#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class QIODevice;
class QSocketNotifier;

// Fetches one document by an HTTP GET on the user-interface thread. libcurl
// does the protocol; its sockets and timeouts are watched by the Qt event
// loop, so the windows and the game keep running while a transfer goes on.
//
// Get() only starts the transfer. Its end is reported by OnRequestDone, always
// from the event loop and never from inside Get() or Abort(), so whoever
// reacts to Abort() has finished before the end arrives.
class THttpCli : public QObject
{
    Q_OBJECT
public:
    // How a transfer ended. HttpError covers a final status of 400 and above,
    // a server that cannot be found or reached (reported as 404) and a stop
    // by Abort(); StreamError means the receiving stream refused the bytes.
    enum class Outcome { Done, HttpError, StreamError };
    Q_ENUM(Outcome)

    static inline const QString kAbortedReason = QStringLiteral("Connection aborted on request");
    // The status reported for servers that cannot be found or reached.
    static constexpr int kNoServerStatus = 404;

    explicit THttpCli(QObject *parent = nullptr);
    ~THttpCli() override;

    QString URL() const { return url_; }
    void setURL(const QString &url) { url_ = url; }
    // "1.0" or "1.1".
    QString RequestVer() const { return requestVer_; }
    void setRequestVer(const QString &version) { requestVer_ = version; }
    QString Agent() const { return agent_; }
    void setAgent(const QString &agent) { agent_ = agent; }
    QString Accept() const { return accept_; }
    void setAccept(const QString &accept) { accept_ = accept; }
    bool NoCache() const { return noCache_; }
    void setNoCache(bool noCache) { noCache_ = noCache; }

    // Where the body goes. Not owned; it must stay open until the transfer ends.
    QIODevice *RcvdStream() const { return rcvdStream_; }
    void setRcvdStream(QIODevice *stream) { rcvdStream_ = stream; }
    // Body bytes received so far in the current or last transfer.
    qint64 RcvdCount() const { return rcvdCount_; }

    int StatusCode() const { return statusCode_; }
    QString ReasonPhrase() const { return reasonPhrase_; }
    bool busy() const { return busy_; }

    // Starts a GET of URL(). Returns false, and starts nothing, while another
    // transfer runs or when libcurl refuses the settings.
    bool Get();
    // Ends a running transfer at once; it is then reported as an HttpError
    // with status 404 and kAbortedReason.
    void Abort();

signals:
    // One header line of a response, without its line end; the status line
    // and the empty line that ends the header are not reported.
    void OnHeaderData(const QByteArray &line);
    // The body of a successful response starts.
    void OnDocBegin();
    // A block of the body has been written to the receiving stream.
    void OnDocData(qint64 rcvdCount);
    void OnRequestDone(THttpCli::Outcome outcome, int statusCode, const QString &reason);

private:
    struct Event
    {
        enum class Kind { Header, DocBegin, DocData } kind;
        QByteArray line;
        qint64 count = 0;
    };
    struct SocketWatch;
    // libcurl's callbacks, which hand over to the members below.
    friend struct THttpCliCallbacks;

    void onHeaderLine(const QByteArray &raw);
    size_t onBody(const char *data, size_t length);
    void watchSocket(int socket, int what);
    void drive(int socket, int eventMask);
    void collectFinished();
    void finish(int curlCode);
    void releaseTransfer();
    void deliverEvents();
    void reportDone(Outcome outcome, int status, const QString &reason);

    QString url_;
    QString requestVer_ = QStringLiteral("1.1");
    QString agent_;
    QString accept_;
    bool noCache_ = false;
    QIODevice *rcvdStream_ = nullptr;

    void *multi_ = nullptr;
    void *easy_ = nullptr;
    void *headers_ = nullptr;
    std::map<int, std::unique_ptr<SocketWatch>> sockets_;
    QTimer timeout_;
    std::vector<Event> pending_;
    char errorText_[256] = {};

    bool busy_ = false;
    bool abortRequested_ = false;
    bool docBegun_ = false;
    QString streamError_;
    qint64 rcvdCount_ = 0;
    int statusCode_ = 0;
    QString reasonPhrase_;
};
