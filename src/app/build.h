#pragma once
// Small builders of the window's controls, shared by the panels. Lengths are designed
// in twips; 15 twips make one device-independent pixel. Every control is named where it
// is made: `id` is its objectName, the control's own name in the design ("Command5", or
// "Command4_3" for element 3 of an array: indexed()), by which tests and screen-reader
// tools find it; `name` is what a screen reader says.
#include "app/colors.h"
#include "app/textbox.h"

#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

namespace quelora {
class ClickLabel;
class DropDown;
class FlatButton;
} // namespace quelora

namespace quelora::build {

constexpr int px(int twips) {
    return (twips + 7) / 15;
}
QRect tw(int left, int top, int width, int height);
QFont arial(qreal points, bool bold = false);
// The id of element index of a control array: "Command1_9".
QString indexed(const char* array, int index);

// The accessible name and description of w (in Spanish).
void describe(QWidget* w, const QString& name, const QString& description = QString());
// The role a screen reader is given for w, where Qt's own says too little (a plain
// widget or frame): QAccessible::Role values.
void setRole(QWidget* w, int role);
void setForeColor(QWidget* w, VbColor c);
void setBoxColors(TextBox* box, VbColor back, VbColor fore);

FlatButton* button(QWidget* parent, const QString& id, const QRect& r, const QString& caption, VbColor back,
                   const QFont& font, const QString& name, const QString& description = QString());
// A button that shows a picture; its name is its tooltip too.
FlatButton* pictureButton(QWidget* parent, const QString& id, const QRect& r, const QIcon& icon, VbColor back,
                          const QString& name, const QString& description = QString());
QLabel* label(QWidget* parent, const QString& id, const QRect& r, const QString& caption, const QFont& font,
              const QString& name = QString());
// A label that answers a click.
ClickLabel* clickLabel(QWidget* parent, const QString& id, const QRect& r, const QString& caption,
                       const QFont& font, const QString& name = QString());
TextBox* textBox(QWidget* parent, const QString& id, const QRect& r, TextBox::Lines lines, const QFont& font,
                 const QString& name, const QString& description = QString());
DropDown* dropDown(QWidget* parent, const QString& id, const QRect& r, const QString& text,
                   const QString& name, const QString& description);

} // namespace quelora::build
