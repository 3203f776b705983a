#pragma once
// Accessibility, keyboard order and shortcuts of the window, kept apart from its layout.
#include "app/colors.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>

class Form1;

namespace quelora {

// Accessible names and descriptions (in Spanish) of every control.
void describeControls(Form1& form);
// Day buttons say in words what their colour shows; called after each repaint of the grid.
void describeDayButtons(Form1& form);
// A Tab order that follows the visual order.
void setTabOrder(Form1& form);
// Keyboard shortcuts that do exactly what a click on their control does:
//   Re Pág / Av Pág   the month button of the month before / after the one on show
//   Inicio            "HOY"
// as plain keys only while the focus is not in a box, list or drop-down (they move
// the cursor there), and with Alt from anywhere.
void installShortcuts(Form1& form);

// ---- Widget-free wording, used by the functions above ---------------------------------

// "Día 5, festivo": the day number and what the button's colour says. gridColor is
// the colour the grid painted the button with, told as well when back is the red mark.
QString dayButtonName(const QString& dayText, VbColor back, VbColor gridColor);
// The colours in words: "Color azul: tiene un recordatorio." (and the colour under the mark).
QString dayButtonDescription(VbColor back, VbColor gridColor);
// The tooltip: the description, then the holiday, reminder and saint texts that exist
// (file texts; line breaks become blanks and long texts are cut).
QString dayButtonToolTip(const QString& description, const std::array<QString, 3>& dayTexts);

// The month (1..12) a month page key goes to from month shown (step -1 or +1), and
// whether that crosses into another year.
struct MonthPage {
    int month = 0;
    int yearStep = 0; // -1, 0 or +1
};
MonthPage monthPage(int shownMonth, int step);

// Where a window's frame of size frame goes on a screen whose free area is available:
// centred; where it is larger than the area, its top and left edges stay on the area
// (the title bar can always be reached).
QPoint windowPlace(const QRect& available, const QSize& frame);

} // namespace quelora
