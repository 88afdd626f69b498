#pragma once

class QWidget;

// A left click (press and release) in the middle of a widget, delivered
// straight to it the way the window system would.
void clickCentre(QWidget &widget);
