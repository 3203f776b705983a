#pragma once
#include <QComboBox>

namespace quelora {

// An editable drop-down list as the window's lists behave:
// - the wheel turns only the list that has the focus; over any other it does nothing,
//   so brushing a list never changes the month under a box being typed into;
// - a text set by the program makes the list's current entry follow it, so the
//   keyboard and the drop-down start from the entry on show;
// - leaving the list is no pick: nothing runs when the focus merely passes through;
// - Re Pág, Av Pág and Inicio stay with the list and its edit part.
class DropDown : public QComboBox {
    Q_OBJECT
public:
    explicit DropDown(QWidget* parent = nullptr);

    // The text of the list's edit part; the current entry moves to it when the list holds it.
    void setText(const QString& text);

Q_SIGNALS:
    // The user changed the text in the edit part (typing, pasting, dropping, undo).
    // A pick from the list is reported by activated(), never here.
    void edited();

protected:
    void wheelEvent(QWheelEvent* e) override;
    // Also what the edit part passes on.
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace quelora
