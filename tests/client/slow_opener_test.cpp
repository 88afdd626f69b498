#include "client/composition.h"
#include "client/session/clientsettings.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "net/errorreport.h"
#include "tests/support/wait.h"
#include "windows/tdownload.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The hosted game runs on the thread of the windows: starting the lobby (or
// an installer) from the lobby offer must not stop it, however long the
// program takes to show that it started.

namespace {

TEST(SlowOpener, TheHostedGameServesWhileTheLobbyStarts)
{
    QTemporaryDir folder;
    // A lobby that has started only once the game has answered a newcomer.
    const QString served = folder.filePath(QStringLiteral("served"));
    const QString lobby = folder.filePath(QStringLiteral("KorvexLobby"));
    QFile script(lobby);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nfor i in $(seq 600); do [ -e '%1' ] && exit 0; "
                                "sleep 0.05; done\nexit 1\n")
                     .arg(served)
                     .toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);

    QTcpServer lobbyLink;
    lobbyLink.listen(QHostAddress::LocalHost, 0);
    Composition program({}, TchatPorts{0, lobbyLink.serverPort()}, nullptr, folder.path());
    Tchat &chat = program.window();
    auto *offer = chat.findChild<Tdownload *>();
    ASSERT_NE(offer, nullptr);
    offer->setLobbyProgram(lobby);
    QStringList events;
    QObject::connect(offer, &Tdownload::exitRequested, [&] { events << "lobby started"; });
    chat.show();
    ASSERT_TRUE(waitUntil([&] { return chat.session().loggedIn && offer->isVisible(); }));

    // "Play with Others" with the lobby installed: the game makes way for it.
    QTest::mouseClick(offer->findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);

    // Meanwhile a newcomer joins the hosted game and is answered.
    QTcpSocket newcomer;
    newcomer.connectToHost(QHostAddress::LocalHost, chat.server().listeningPort());
    ASSERT_TRUE(waitUntil([&] { return newcomer.bytesAvailable() > 0; }));
    EXPECT_TRUE(newcomer.readAll().startsWith("CMD_sendlogininfo+2"));
    events << "newcomer answered";
    // He leaves again, so the game may end without asking anybody.
    newcomer.abort();
    ASSERT_TRUE(waitUntil([&] { return !chat.server().player(2).connected; }));
    QFile(served).open(QIODevice::WriteOnly);

    ASSERT_TRUE(waitUntil([&] { return events.size() == 2; }, 20000));
    EXPECT_EQ(events.join(", ").toStdString(), "newcomer answered, lobby started");
}

} // namespace
