#include "client/session/joinfailure.h"

#include "net/tsocktexts.h"
#include "net/wsaerrors.h"

namespace {
constexpr int kRefused = 10061;
constexpr int kTimedOut = 10060;

const QString kNobodyHosts = QStringLiteral("nobody is hosting a game there");
const QString kNoAnswer =
    QStringLiteral("no answer; the computer may be off, or a firewall may block port %1");
const QString kNoSuchName = QStringLiteral("no computer of that name could be found");
const QString kWithSocketText = QStringLiteral("%1 (%2)");

QString errorText(int code)
{
    return QString(TSockText::ErrorNumber) + QString::number(code) + QStringLiteral(" (") +
           wsaErrorName(code) + QStringLiteral(")");
}
} // namespace

QString joinFailureWords(const QString &socketText, quint16 port)
{
    QString words;
    if (socketText == errorText(kRefused))
        words = kNobodyHosts;
    else if (socketText == errorText(kTimedOut))
        words = kNoAnswer.arg(port);
    else if (socketText == QString(TSockText::HostNotFound))
        words = kNoSuchName;
    if (words.isEmpty())
        return socketText;
    return kWithSocketText.arg(words, socketText);
}
