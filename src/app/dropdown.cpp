#include "app/dropdown.h"

#include "app/keys.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QWheelEvent>

namespace quelora {
namespace {

// Qt names an editable list on Linux by the text it holds ("MARZO"): here the name says
// what the list is ("Mes") and the value what it holds. Its children stay Qt's: the edit
// part (which holds the text) and, while open, the list of entries.
class DropDownAccessible : public QAccessibleWidget {
public:
    explicit DropDownAccessible(DropDown* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}
    DropDown* dropDown() const { return static_cast<DropDown*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return dropDown()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.expandable = true;
        s.expanded = dropDown()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != showMenuAction()) return QAccessibleWidget::doAction(name);
        if (dropDown()->view()->isVisible())
            dropDown()->hidePopup();
        else
            dropDown()->showPopup();
    }
};

QAccessibleInterface* dropDownAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("quelora::DropDown") && object && object->isWidgetType())
        return new DropDownAccessible(static_cast<DropDown*>(object));
    return nullptr;
}

} // namespace

DropDown::DropDown(QWidget* parent) : QComboBox(parent) {
    static const bool named = (QAccessible::installFactory(dropDownAccessible), true);
    Q_UNUSED(named);
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

void DropDown::keyPressEvent(QKeyEvent* e) {
    QComboBox::keyPressEvent(e);
    if (isPageKey(*e)) e->accept();
}

} // namespace quelora
