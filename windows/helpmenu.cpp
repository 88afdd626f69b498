#include "windows/helpmenu.h"

#include "widgets/sidelook.h"
#include "windows/helptexts.h"
#include "windows/tabout.h"
#include "windows/thelp.h"

#include <QAction>

void QuickInstructions1Click(const ChatLineWriter &writeLine)
{
    for (const QString &line : helptexts::quickInstructions())
        writeLine(line);
}

void connectHelpMenu(QAction &Help2, QAction &QuickInstructions1, QAction &About1, Thelp &help,
                     Tabout &about, ChatLineWriter writeLine)
{
    const auto wire = [](QAction &item, auto handler) {
        item.setEnabled(true);
        QObject::connect(&item, &QAction::triggered, &item, handler);
    };
    Thelp *helpWindow = &help;
    Tabout *aboutWindow = &about;
    wire(Help2, [helpWindow] { sidelook::bringForward(*helpWindow); });
    wire(QuickInstructions1, [writeLine] { QuickInstructions1Click(writeLine); });
    wire(About1, [aboutWindow] { sidelook::bringForward(*aboutWindow); });
    QObject::connect(&help, &Thelp::aboutRequested, aboutWindow,
                     [aboutWindow] { sidelook::bringForward(*aboutWindow); });
}
