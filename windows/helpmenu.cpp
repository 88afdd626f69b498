#include "windows/helpmenu.h"

#include "windows/helptexts.h"
#include "windows/sidelook.h"
#include "windows/tabout.h"
#include "windows/thelp.h"

#include <QAction>

void QuickInstructions1Click(const ChatLineWriter &writeLine)
{
    for (const QString &line : helptexts::quickInstructions())
        writeLine(line);
}

void connectHelpMenu(QObject &mainWindow, Thelp &help, Tabout &about, ChatLineWriter writeLine)
{
    auto wire = [&mainWindow](const char *name, auto handler) {
        if (auto *item = mainWindow.findChild<QAction *>(QLatin1String(name))) {
            item->setEnabled(true);
            QObject::connect(item, &QAction::triggered, item, handler);
        }
    };
    Thelp *helpWindow = &help;
    Tabout *aboutWindow = &about;
    wire("Help2", [helpWindow] { sidelook::bringForward(*helpWindow); });
    wire("QuickInstructions1", [writeLine] { QuickInstructions1Click(writeLine); });
    wire("About1", [aboutWindow] { sidelook::bringForward(*aboutWindow); });
    QObject::connect(&help, &Thelp::aboutRequested, aboutWindow,
                     [aboutWindow] { sidelook::bringForward(*aboutWindow); });
}
