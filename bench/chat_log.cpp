// What a line costs the chat log once it is full, the oldest line dropping
// off the top for each new one: long lines (as long as a host of ours
// relays) fill it by characters, short ones by lines. A shown panel of the
// main window's size, offscreen.
//
// Usage: bench_chat_log

#include "client/chat/chatlog.h"
#include "client/chat/chatpanel.h"
#include "client/model/clientsession.h"
#include "net/peertext.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kMeasured = 300;

void measure(const char *what, const QString &words)
{
    ClientSession session;
    ChatPanel panel(&session);
    panel.resize(300, 480);
    panel.show();
    const auto *log = panel.findChild<ChatLog *>(QStringLiteral("mainchat"));
    const QString line = QStringLiteral("Eve chats: ") + words + QStringLiteral("|clRed");
    // Past its limits, laid out as it would be on screen.
    const qsizetype toFill =
        std::min<qsizetype>(ChatLog::kMaxLines, ChatLog::kMaxCharacters / line.size()) + 50;
    for (qsizetype filled = 0; filled < toFill; ++filled)
        panel.chatrecieved(line);
    QCoreApplication::processEvents();

    std::vector<double> costs;
    QElapsedTimer timer;
    for (int i = 0; i < kMeasured; ++i) {
        timer.start();
        panel.chatrecieved(line);
        QCoreApplication::processEvents();
        costs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(costs.begin(), costs.end());
    double sum = 0;
    for (double cost : costs)
        sum += cost;
    std::printf("%s: full at %d lines, %d characters; a line with its drop and layout: mean "
                "%.2f ms, median %.2f ms, slowest %.2f ms\n",
                what, log->document()->blockCount(), log->document()->characterCount(),
                sum / double(costs.size()), costs[costs.size() / 2], costs.back());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString longWords;
    while (longWords.size() < peertext::kMaxChatChars)
        longWords += QStringLiteral("flooding ");
    longWords.truncate(peertext::kMaxChatChars);
    measure("long lines (8,000 characters)", longWords);
    measure("short lines", QStringLiteral("see you at the next table, all"));
    return 0;
}
