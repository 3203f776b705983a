#pragma once
// How the window presents itself beyond its layout: the day buttons' names and
// tooltips for screen readers, and where the window stands on the screen.
#include <QPoint>
#include <QRect>

class Form1;

namespace quelora {

class FlatButton;

// Sets the tooltip of a day button as the pointer comes to rest on it: what its colour
// says and the texts of that day, read now and not at each repaint of the grid.
void showDayToolTip(const Form1& form, FlatButton& day);

// Where a window's frame of size frame goes on a screen whose free area is available:
// centred; where it is larger than the area, its top and left edges stay on the area
// (the title bar can always be reached).
QPoint windowPlace(const QRect& available, const QSize& frame);

} // namespace quelora
