#pragma once
#include "app/colors.h"

#include <QPushButton>

namespace quelora {

// A button that always shows its back colour, whatever the widget style:
// it paints its own flat face, 3-D edge, caption and picture.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    explicit FlatButton(QWidget* parent = nullptr);

    VbColor backColor() const { return back_; }
    void setBackColor(VbColor c);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    VbColor back_ = 0x00C0C0C0;
};

} // namespace quelora
