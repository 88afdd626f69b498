// How long one step of dragging the main window's edge takes: the window is
// grown a few pixels at a time from its designed size to twice that, each
// step laid out and painted at once, as a window manager's drag asks. A
// step within a frame (16.7 ms at 60 Hz) keeps the drag smooth; the
// pictures of the exact size are drawn once the drag has settled.
// Run with QT_QPA_PLATFORM=offscreen where there is no display.

#include "client/composition.h"
#include "client/table/tablefit.h"
#include "client/table/tableview.h"
#include "client/tchat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void settle(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTcpServer lobby;
    lobby.listen(QHostAddress::LocalHost, 0);
    // One argument: the window only says it is loading and opens no port.
    Composition program({QStringLiteral("Ann")}, TchatPorts{0, lobby.serverPort()});
    Tchat &window = program.window();
    window.show();
    settle(300);

    const QSize designed = window.size();
    std::vector<double> steps;
    for (int step = 1; step <= 60; ++step) {
        QElapsedTimer timer;
        timer.start();
        window.resize(designed + designed * step / 60);
        QCoreApplication::processEvents();
        window.repaint();
        steps.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    QElapsedTimer settling;
    settling.start();
    const qreal finalScale = window.tableFit().fit().scale;
    settle(400);
    window.repaint();

    std::vector<double> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    std::printf("drag of %zu steps to scale %.2f: per step median %.1f ms, 90th %.1f ms, max %.1f "
                "ms\n",
                steps.size(), finalScale, sorted[sorted.size() / 2], sorted[sorted.size() * 9 / 10],
                sorted.back());
    std::printf("table scale after the drag settled: %.2f\n", window.table().scale());
    return 0;
}
