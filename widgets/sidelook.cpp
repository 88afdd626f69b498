#include "widgets/sidelook.h"

#include "widgets/tselbutton.h"

#include <QFont>
#include <QWidget>

namespace sidelook {

QFont arialPixels(int pixels, bool bold)
{
    QFont font;
    // Arial's metrics, or the nearest that a Linux desktop has: the windows
    // are laid out for text of Arial's width.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void styleSelButton(TSelButton &button, bool bold)
{
    button.setFont(arialPixels(13, bold));
    button.setFontColor(kOlive);
    button.setColor(kButtonFill);
    button.setColorOver(kButtonFill);
    button.setColorDown(kButtonFill);
    button.setColorBorder(Qt::black);
    button.setColorOverCaption(Qt::black);
    button.setBorderWidth(1);
    button.setAlignment(Qt::AlignHCenter);
    button.setCursor(Qt::PointingHandCursor);
}

void bringForward(QWidget &window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace sidelook
