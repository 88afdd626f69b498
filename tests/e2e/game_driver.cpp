#include "tests/e2e/game_driver.h"

#include "client/model/tablestate.h"
#include "client/table/hand.h"
#include "client/table/tableview.h"
#include "client/tchat.h"
#include "host/tserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>

UserAtTable::UserAtTable(Tchat &window) : window_(window) {}

bool UserAtTable::play()
{
    const ClientSession &session = window_.session();
    if (!session.loggedIn || !session.ownSlotIsSeat() ||
        window_.state().turnSeat() != session.ownSlot)
        return false;
    HandView &hand = window_.table().hand();
    // Once in a game, the user tidies his hand first.
    if (sorted_ == 0 && hand.image(hand.layout().positionAt(1))) {
        clickWidget(*hand.image(hand.layout().positionAt(1)), Qt::RightButton);
        ++sorted_;
    }
    // The leftmost card that shows a face, as the user sees the hand.
    for (int place = 1; place <= HandLayout::kPlayPlaces; ++place) {
        CardImage *card = hand.image(hand.layout().positionAt(place));
        if (!card || card->pixmap().isNull() || card->y() != HandLayout::kRestingTop)
            continue;
        clickWidget(*card, Qt::LeftButton);
        ++clicked_;
        return true;
    }
    return false;
}

void clickWidget(QWidget &widget, int button)
{
    const auto mouse = Qt::MouseButton(button);
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    const QPointF global = widget.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, mouse, mouse, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, mouse, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &release);
}

void hurryPause(TServer &server)
{
    if (server.pauseRunning())
        server.timer1Timer();
}

QString winnerBanner(const Tchat &window)
{
    const auto *banner = window.findChild<QWidget *>(QStringLiteral("panel_winner"));
    const auto *text = window.findChild<QLabel *>(QStringLiteral("label_winner1"));
    if (!banner || !text || !banner->isVisible())
        return {};
    return text->text();
}

QString fastSettingsFolder(const QString &folder)
{
    QFile file(folder + QStringLiteral("/ridodezaz.ini"));
    if (file.open(QIODevice::WriteOnly))
        file.write("[Zandor]\r\nBotspeed=500\r\n");
    file.close();
    return folder;
}
