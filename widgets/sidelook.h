#pragma once

#include <QColor>

class QFont;
class QWidget;
class TSelButton;

// The look the side windows share.
namespace sidelook {

inline const QColor kButtonFill(193, 219, 17);
inline const QColor kOlive(128, 128, 0);

// Arial at a size in pixels, as the windows' texts are measured; where Arial
// is missing, a face of about the same width.
QFont arialPixels(int pixels, bool bold);

// A select button in the side windows' colours: lime fill, black frame,
// olive Arial caption of 13 pixels that turns black under the pointer.
void styleSelButton(TSelButton &button, bool bold);

// Shows a side window, or only brings it forward when it is already shown.
void bringForward(QWidget &window);

} // namespace sidelook
