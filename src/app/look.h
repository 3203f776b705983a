#pragma once
// Accessibility, keyboard order and shortcuts of the window, kept apart from its layout.
class Form1;

namespace quelora {

// Accessible names and descriptions (in Spanish) of every control.
void describeControls(Form1& form);
// Day buttons say in words what their colour shows; called after each repaint of the grid.
void describeDayButtons(Form1& form);
// A Tab order that follows the visual order.
void setTabOrder(Form1& form);
// Keyboard shortcuts that do exactly what a click on their control does.
void installShortcuts(Form1& form);

} // namespace quelora
