#pragma once
#include "app/colors.h"

#include <QPushButton>

namespace quelora {

// A button that always shows its back colour, whatever the widget style:
// it paints its own flat face, 3-D edge, caption and picture. Return presses it; Re Pág,
// Av Pág and Inicio go on to the window, which moves the calendar with them.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    explicit FlatButton(QWidget* parent = nullptr);

    VbColor backColor() const { return back_; }
    void setBackColor(VbColor c);
    // A save button whose box holds a text not saved yet shows it: its caption in red
    // under a red corner, and a screen reader hears it in its description.
    void setPending(bool pending);
    bool pending() const { return pending_; }
    // A day whose page has another version shows a dark blue corner at its foot.
    void setVersionMark(bool marked);
    bool versionMark() const { return versionMark_; }

Q_SIGNALS:
    // The pointer rests on the button: a tooltip set now is the one shown.
    void toolTipWanted();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    VbColor back_ = 0x00C0C0C0;
    bool pending_ = false;
    bool versionMark_ = false;
    QString description_; // as it was made, before "sin guardar" was added
};

} // namespace quelora
