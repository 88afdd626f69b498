#include "client/table/boardlabels.h"

#include "client/table/scaledplaces.h"
#include "widgets/sidelook.h"

#include <QLabel>

namespace boardlabels {

void paint(QLabel *label, const QColor &colour)
{
    QPalette ink = label->palette();
    ink.setColor(QPalette::WindowText, colour);
    label->setPalette(ink);
}

QLabel *picture(QWidget *parent, ScaledPlaces &places, const QString &name, QRect place)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    places.place(label, place);
    // A picture drawn for its size shows pixel for pixel; one drawn for the
    // size before a resize is stretched until its own is drawn.
    label->setScaledContents(true);
    return label;
}

QLabel *text(QWidget *parent, ScaledPlaces &places, const QString &name, QRect place,
             const QString &caption, int pixels, const QColor &colour)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    places.place(label, place);
    label->setTextFormat(Qt::PlainText);
    places.font(label, sidelook::arialPixels(pixels, true));
    paint(label, colour);
    return label;
}

} // namespace boardlabels
