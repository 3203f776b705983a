#include "app/dropdown.h"

#include <QLineEdit>
#include <QWheelEvent>

namespace quelora {

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFocusPolicy(Qt::StrongFocus); // a click takes the focus; the wheel does not
    // Qt would pick the entry that the typed text names when the list is left.
    QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DropDown::edited);
}

void DropDown::setText(const QString& text) {
    const int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) setCurrentIndex(index);
    setEditText(text);
}

void DropDown::wheelEvent(QWheelEvent* e) {
    if (!hasFocus() && !(lineEdit() && lineEdit()->hasFocus())) {
        e->ignore();
        return;
    }
    QComboBox::wheelEvent(e);
}

} // namespace quelora
