#include "client/composition.h"
#include "client/mainmenu.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/framer.h"
#include "net/gamemessage.h"
#include "net/messages.h"
#include "tests/client/startup_support.h"
#include "tests/support/hostingcopy.h"
#include "tests/support/wait.h"
#include "tests/support/windowinput.h"
#include "windows/tspylist.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A bare client of the host that speaks the wire format itself: it takes the
// slot the host gives, logs in under a name and keeps what it receives.
class WireClient
{
public:
    explicit WireClient(quint16 port)
    {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
            framer_.feed(QByteArrayView(socket_.readAll()), [this](QByteArrayView message) {
                received_.append(message.toByteArray());
            });
        });
        QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, [this] { closed_ = true; });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    // Logs in with the slot the host gave; the slot, or 0 when the host did
    // not take the login.
    int login(const QByteArray &name)
    {
        int slot = 0;
        if (!waitUntil([&] {
                for (const QByteArray &message : received_) {
                    const GameMessage parsed = GameMessage::parse(message);
                    if (parsed.name == cmd::sendlogininfo)
                        slot = parseStrictInt(parsed.payload).value_or(0);
                }
                return slot != 0 || closed_;
            }) ||
            slot == 0)
            return 0;
        socket_.write(framed(msg::Logininfo{slot, kVersionText, name}.build()));
        return hasReceived(msg::Newplayerinfo{slot, name}.build()) ? slot : 0;
    }

    bool hasReceived(const QByteArray &message)
    {
        return waitUntil([&] { return received_.contains(message); });
    }
    bool closed() const { return closed_; }
    bool connected() const
    {
        return !closed_ && socket_.state() == QAbstractSocket::ConnectedState;
    }

private:
    QTcpSocket socket_;
    MessageFramer framer_;
    QByteArrayList received_;
    bool closed_ = false;
};

// The host's user removes a watcher through the spy list: the pointer rests
// on the watcher's entry and "Remove From Game" is chosen. The host closes
// that one connection; everybody else stays.
TEST(SpyListKick, TheHostRemovesAWatcherAndOnlyHim)
{
    QTemporaryDir settings;
    ASSERT_TRUE(settings.isValid());
    HostingCopy hosting(settings.path());
    Tchat &host = hosting.window();
    host.show();
    ASSERT_TRUE(waitUntil([&] { return chatHasLine(&host, "You are Connected."); }));
    const quint16 port = host.server().listeningPort();

    const QByteArrayList seatedNames = {"Bea", "Cy", "Dot"};
    std::vector<std::unique_ptr<WireClient>> seated;
    for (const QByteArray &name : seatedNames) {
        seated.push_back(std::make_unique<WireClient>(port));
        ASSERT_EQ(seated.back()->login(name), int(seated.size()) + 1) << name.constData();
    }
    WireClient ann(port);
    ASSERT_EQ(ann.login("Ann"), 5);

    auto *spies = host.findChild<Tspylist *>();
    ASSERT_NE(spies, nullptr);
    ASSERT_TRUE(waitUntil([&] { return spies->entries() == QStringList{"5: \u2068Ann\u2069"}; }))
        << spies->entries().join(u'|').toStdString();
    ASSERT_TRUE(waitUntil([&] { return windowinput::topWindow() == &host; }));
    ASSERT_TRUE(windowinput::chooseMenuItem('v', host.menu().SpyList1));
    ASSERT_TRUE(spies->isVisible());

    auto *list = spies->findChild<QListWidget *>(QStringLiteral("listbox_spys"));
    ASSERT_NE(list, nullptr);
    const QPoint over = list->visualItemRect(list->item(0)).center();
    ASSERT_EQ(windowinput::openContextMenu(*list->viewport(), over),
              spies->findChild<QMenu *>(QStringLiteral("popup_spys")));
    ASSERT_EQ(spies->tag(), 0);
    auto *remove = spies->findChild<QAction *>(QStringLiteral("popup_kickhim"));
    ASSERT_NE(remove, nullptr);
    ASSERT_TRUE(remove->isEnabled()) << "the host's own copy may remove watchers";
    ASSERT_TRUE(windowinput::chooseInOpenMenu(remove));

    EXPECT_TRUE(waitUntil([&] { return ann.closed(); })) << "the host closes Ann's connection";
    EXPECT_TRUE(waitUntil([&] { return spies->entries().isEmpty(); }));
    EXPECT_TRUE(waitUntil([&] { return chatHasLine(&host, "Ann has left."); }));
    for (std::size_t i = 0; i < seated.size(); ++i) {
        SCOPED_TRACE(seatedNames[qsizetype(i)].constData());
        // Once a seat has heard of Ann's leaving, the host is done with her.
        EXPECT_TRUE(seated[i]->hasReceived(msg::Playerdisconnected{5, "Ann"}.build()));
        EXPECT_TRUE(seated[i]->connected());
        EXPECT_EQ(host.findChild<QLabel *>(QStringLiteral("label_playername%1").arg(i + 2))->text(),
                  QString::fromLatin1(seatedNames[qsizetype(i)]));
    }
    EXPECT_TRUE(host.isVisible());
}

} // namespace
