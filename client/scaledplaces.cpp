#include "client/scaledplaces.h"

#include "client/tablescale.h"

#include <algorithm>

namespace {

template <typename List> auto entryFor(List &list, QWidget *control)
{
    return std::find_if(list.begin(), list.end(),
                        [control](const auto &entry) { return entry.control == control; });
}

} // namespace

void ScaledPlaces::place(QWidget *control, const QRect &designed)
{
    if (!control)
        return;
    auto it = entryFor(places_, control);
    if (it == places_.end())
        places_.push_back({control, designed});
    else
        it->designed = designed;
    control->setGeometry(tablescale::scaled(designed, scale_));
}

void ScaledPlaces::font(QWidget *control, const QFont &designed)
{
    if (!control)
        return;
    auto it = entryFor(fonts_, control);
    if (it == fonts_.end())
        fonts_.push_back({control, designed});
    else
        it->designed = designed;
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
