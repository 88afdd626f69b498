#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;
class ScaledPlaces;

// The labels the table's views put on the board: pictures and lines of text
// at their designed places, laid out again with the table's scale.
namespace boardlabels {

inline const QColor kInk(250, 246, 228);       // names and notes on the cloth
inline const QColor kStatusInk(255, 226, 140); // the status line, a little warmer

// The tag a label keeps for the form's seat menu and counts.
inline constexpr char kTagProperty[] = "tag";

void paint(QLabel *label, const QColor &colour);

// A picture's label at its place; its picture comes with the table's scale.
QLabel *picture(QWidget *parent, ScaledPlaces &places, const QString &name, QRect place);

// A plain text label in bold Arial of `pixels` at the table's scale.
QLabel *text(QWidget *parent, ScaledPlaces &places, const QString &name, QRect place,
             const QString &caption, int pixels, const QColor &colour);

} // namespace boardlabels
