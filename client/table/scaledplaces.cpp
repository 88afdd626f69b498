#include "client/table/scaledplaces.h"

#include "client/table/tablescale.h"

#include <algorithm>

namespace {

// Keeps the newest designed value of a control, adding the control when it
// is new.
template <typename List, typename Value>
void remember(List &list, QWidget *control, const Value &designed)
{
    const auto it = std::find_if(list.begin(), list.end(),
                                 [control](const auto &entry) { return entry.control == control; });
    if (it == list.end())
        list.push_back({control, designed});
    else
        it->designed = designed;
}

} // namespace

void ScaledPlaces::place(QWidget *control, const QRect &designed)
{
    if (!control)
        return;
    remember(places_, control, designed);
    control->setGeometry(tablescale::scaled(designed, scale_));
}

void ScaledPlaces::font(QWidget *control, const QFont &designed)
{
    if (!control)
        return;
    remember(fonts_, control, designed);
    control->setFont(scaledFont(designed, scale_));
}

void ScaledPlaces::setScale(qreal scale)
{
    scale_ = scale;
    for (const Placed &entry : places_) {
        if (entry.control)
            entry.control->setGeometry(tablescale::scaled(entry.designed, scale_));
    }
    for (const Lettered &entry : fonts_) {
        if (entry.control)
            entry.control->setFont(scaledFont(entry.designed, scale_));
    }
}

QFont ScaledPlaces::scaledFont(const QFont &designed, qreal scale)
{
    if (scale == 1.0)
        return designed;
    QFont font = designed;
    if (designed.pixelSize() > 0)
        font.setPixelSize(std::max(1, qRound(designed.pixelSize() * scale)));
    else if (designed.pointSizeF() > 0)
        font.setPointSizeF(designed.pointSizeF() * scale);
    return font;
}
