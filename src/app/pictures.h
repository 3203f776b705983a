#pragma once
// The window's pictures, drawn by the program itself.
#include <QIcon>
#include <QWidget>

namespace quelora {

QIcon doorPicture();            // exit
QIcon downArrowPicture();       // minimise
QIcon notepadPicture();         // export
QIcon clipboardPicture();       // notes panel
QIcon peoplePicture();          // address book panel
QIcon trianglePicture(bool up); // year arrows
QIcon programIcon();

// The spiral-binding strip beside the day, month and year texts.
class SpiralStrip : public QWidget {
public:
    explicit SpiralStrip(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace quelora
