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

Q_SIGNALS:
    // The pointer rests on the button: a tooltip set now is the one shown.
    void toolTipWanted();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    VbColor back_ = 0x00C0C0C0;
};

} // namespace quelora
