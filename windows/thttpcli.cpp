#include "windows/thttpcli.h"

// libcurl: the download is an HTTP/1.0 request, which QNetworkAccessManager cannot make.

#include <QIODevice>
#include <QPointer>
#include <QSocketNotifier>

#include <curl/curl.h>

struct THttpCli::SocketWatch
{
    QSocketNotifier *read = nullptr;
    QSocketNotifier *write = nullptr;
};

struct THttpCliCallbacks
{
    static size_t header(char *buffer, size_t size, size_t count, void *self)
    {
        const size_t length = size * count;
        static_cast<THttpCli *>(self)->onHeaderLine(QByteArray(buffer, qsizetype(length)));
        return length;
    }

    static size_t body(char *buffer, size_t size, size_t count, void *self)
    {
        return static_cast<THttpCli *>(self)->onBody(buffer, size * count);
    }

    static int socket(CURL *, curl_socket_t socket, int what, void *self, void *)
    {
        static_cast<THttpCli *>(self)->watchSocket(socket, what);
        return 0;
    }

    static int timer(CURLM *, long timeoutMs, void *self)
    {
        // libcurl must not be re-entered from here, so even "now" goes
        // through the event loop.
        QTimer &timeout = static_cast<THttpCli *>(self)->timeout_;
        if (timeoutMs < 0)
            timeout.stop();
        else
            timeout.start(int(qMin<long>(timeoutMs, 24L * 3600 * 1000)));
        return 0;
    }
};

namespace {

void initCurlOnce()
{
    static const bool done = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    Q_UNUSED(done);
}

long curlHttpVersion(const QString &version)
{
    if (version == QLatin1String("1.0"))
        return CURL_HTTP_VERSION_1_0;
    if (version == QLatin1String("1.1"))
        return CURL_HTTP_VERSION_1_1;
    return CURL_HTTP_VERSION_NONE;
}

QByteArray withoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

THttpCli::THttpCli(QObject *parent) : QObject(parent)
{
    initCurlOnce();
    multi_ = curl_multi_init();
    curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &THttpCliCallbacks::socket);
    curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &THttpCliCallbacks::timer);
    curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
}

THttpCli::~THttpCli()
{
    // Ending the program during a download simply drops the connection.
    releaseTransfer();
    curl_multi_cleanup(multi_);
}

bool THttpCli::Get()
{
    if (busy_ || !multi_)
        return false;
    easy_ = curl_easy_init();
    if (!easy_)
        return false;

    rcvdCount_ = 0;
    statusCode_ = 0;
    reasonPhrase_.clear();
    streamError_.clear();
    docBegun_ = false;
    abortRequested_ = false;
    errorText_[0] = '\0';
    pending_.clear();

    curl_slist *headers = nullptr;
    if (!accept_.isEmpty())
        headers = curl_slist_append(headers, ("Accept: " + accept_).toUtf8().constData());
    if (noCache_)
        headers = curl_slist_append(headers, "Pragma: no-cache");
    headers_ = headers;

    const QByteArray url = url_.toUtf8();
    const QByteArray agent = agent_.toUtf8();
    CURLcode set = CURLE_OK;
    auto option = [&](CURLoption key, auto value) {
        if (set == CURLE_OK)
            set = curl_easy_setopt(easy_, key, value);
    };
    option(CURLOPT_URL, url.constData());
    option(CURLOPT_HTTP_VERSION, curlHttpVersion(requestVer_));
    if (!agent.isEmpty())
        option(CURLOPT_USERAGENT, agent.constData());
    option(CURLOPT_HTTPHEADER, headers);
    // No proxy, whatever the environment says.
    option(CURLOPT_PROXY, "");
    // Only the web: a redirect must not lead to file:// or anything else.
    option(CURLOPT_PROTOCOLS_STR, "http,https");
    option(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    option(CURLOPT_FOLLOWLOCATION, 1L);
    option(CURLOPT_MAXREDIRS, 10L);
    option(CURLOPT_CONNECTTIMEOUT, 30L);
    // A server that stops sending for two minutes is given up on.
    option(CURLOPT_LOW_SPEED_LIMIT, 1L);
    option(CURLOPT_LOW_SPEED_TIME, 120L);
    option(CURLOPT_NOSIGNAL, 1L);
    option(CURLOPT_ERRORBUFFER, errorText_);
    option(CURLOPT_HEADERFUNCTION, &THttpCliCallbacks::header);
    option(CURLOPT_HEADERDATA, this);
    option(CURLOPT_WRITEFUNCTION, &THttpCliCallbacks::body);
    option(CURLOPT_WRITEDATA, this);
    if (set != CURLE_OK || curl_multi_add_handle(multi_, easy_) != CURLM_OK) {
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
        curl_slist_free_all(static_cast<curl_slist *>(headers_));
        headers_ = nullptr;
        return false;
    }
    busy_ = true;
    return true;
}

void THttpCli::Abort()
{
    if (!busy_ || abortRequested_)
        return;
    abortRequested_ = true;
    releaseTransfer();
    pending_.clear();
    statusCode_ = kNoServerStatus;
    reasonPhrase_ = kAbortedReason;
    QMetaObject::invokeMethod(
        this, [this] { reportDone(Outcome::HttpError, kNoServerStatus, kAbortedReason); },
        Qt::QueuedConnection);
}

void THttpCli::onHeaderLine(const QByteArray &raw)
{
    const QByteArray line = withoutLineEnd(raw);
    if (line.startsWith("HTTP/")) {
        // A new response begins (there is one per redirect).
        const QList<QByteArray> parts = line.split(' ');
        statusCode_ = parts.size() > 1 ? parts[1].toInt() : 0;
        const int reasonAt = line.indexOf(' ', line.indexOf(' ') + 1);
        reasonPhrase_ = reasonAt < 0 ? QString() : QString::fromLatin1(line.mid(reasonAt + 1));
        return;
    }
    if (line.isEmpty())
        return;
    pending_.push_back({Event::Kind::Header, line});
}

size_t THttpCli::onBody(const char *data, size_t length)
{
    if (abortRequested_)
        return 0;
    // An error page is not the document asked for.
    if (statusCode_ >= 400)
        return length;
    if (!docBegun_) {
        docBegun_ = true;
        pending_.push_back({Event::Kind::DocBegin, {}});
    }
    if (rcvdStream_) {
        const qint64 written = rcvdStream_->write(data, qint64(length));
        if (written != qint64(length)) {
            streamError_ = rcvdStream_->errorString();
            if (streamError_.isEmpty())
                streamError_ = QStringLiteral("The received data could not be written");
            return 0;
        }
    }
    rcvdCount_ += qint64(length);
    pending_.push_back({Event::Kind::DocData, {}, rcvdCount_});
    return length;
}

void THttpCli::watchSocket(int socket, int what)
{
    auto retire = [](QSocketNotifier *&notifier) {
        if (!notifier)
            return;
        // It may be the notifier whose signal is running right now.
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    };
    if (what == CURL_POLL_REMOVE) {
        auto found = sockets_.find(socket);
        if (found != sockets_.end()) {
            retire(found->second->read);
            retire(found->second->write);
            sockets_.erase(found);
        }
        return;
    }
    std::unique_ptr<SocketWatch> &watch = sockets_[socket];
    if (!watch)
        watch = std::make_unique<SocketWatch>();
    auto want = [&](QSocketNotifier *&notifier, QSocketNotifier::Type type, bool wanted,
                    int eventMask) {
        if (!notifier && wanted) {
            notifier = new QSocketNotifier(socket, type, this);
            connect(notifier, &QSocketNotifier::activated, this,
                    [this, socket, eventMask] { drive(socket, eventMask); });
        } else if (notifier) {
            notifier->setEnabled(wanted);
        }
    };
    want(watch->read, QSocketNotifier::Read, what & CURL_POLL_IN, CURL_CSELECT_IN);
    want(watch->write, QSocketNotifier::Write, what & CURL_POLL_OUT, CURL_CSELECT_OUT);
}

void THttpCli::drive(int socket, int eventMask)
{
    if (!easy_)
        return;
    QPointer<THttpCli> self(this);
    int running = 0;
    curl_multi_socket_action(multi_, socket, eventMask, &running);
    collectFinished();
    if (self)
        deliverEvents();
}

void THttpCli::collectFinished()
{
    int left = 0;
    while (CURLMsg *message = curl_multi_info_read(multi_, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) {
            finish(message->data.result);
            return;
        }
    }
}

void THttpCli::finish(int curlCode)
{
    Outcome outcome = Outcome::Done;
    int status = statusCode_;
    QString reason = reasonPhrase_;
    if (!streamError_.isEmpty()) {
        outcome = Outcome::StreamError;
        reason = streamError_;
    } else if (curlCode != CURLE_OK) {
        outcome = Outcome::HttpError;
        status = kNoServerStatus;
        reason = errorText_[0] ? QString::fromLocal8Bit(errorText_)
                               : QString::fromLatin1(curl_easy_strerror(CURLcode(curlCode)));
    } else if (status >= 400) {
        outcome = Outcome::HttpError;
    }
    statusCode_ = status;
    reasonPhrase_ = reason;
    releaseTransfer();

    QPointer<THttpCli> self(this);
    deliverEvents();
    // A listener that stopped the transfer has its end reported by Abort().
    if (self && !abortRequested_)
        reportDone(outcome, status, reason);
}

void THttpCli::releaseTransfer()
{
    timeout_.stop();
    if (easy_) {
        curl_multi_remove_handle(multi_, easy_);
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
    }
    curl_slist_free_all(static_cast<curl_slist *>(headers_));
    headers_ = nullptr;
    for (auto &[socket, watch] : sockets_) {
        for (QSocketNotifier *notifier : {watch->read, watch->write}) {
            if (notifier) {
                notifier->setEnabled(false);
                notifier->deleteLater();
            }
        }
    }
    sockets_.clear();
}

void THttpCli::deliverEvents()
{
    QPointer<THttpCli> self(this);
    std::vector<Event> events;
    events.swap(pending_);
    for (const Event &event : events) {
        // A listener may stop the transfer (or end the program) in between.
        if (!self || abortRequested_)
            return;
        switch (event.kind) {
        case Event::Kind::Header:
            emit OnHeaderData(event.line);
            break;
        case Event::Kind::DocBegin:
            emit OnDocBegin();
            break;
        case Event::Kind::DocData:
            emit OnDocData(event.count);
            break;
        }
    }
}

void THttpCli::reportDone(Outcome outcome, int status, const QString &reason)
{
    busy_ = false;
    abortRequested_ = false;
    emit OnRequestDone(outcome, status, reason);
}
