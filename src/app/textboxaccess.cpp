// What a screen reader is told of a text box: its text, caret and selections as Qt tells
// them of any text box, and in the text's attributes the words the spelling marks, each
// as "invalid:spelling", as the red wavy line shows them.
#include "app/textbox.h"

#include "spelling/marks.h"

#include <QAccessibleWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quelora {
namespace {

class TextBoxAccess : public QAccessibleWidget, public QAccessibleTextInterface,
                      public QAccessibleEditableTextInterface {
public:
    explicit TextBoxAccess(TextBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    TextBox* box() const { return static_cast<TextBox*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (t == QAccessible::EditableTextInterface && !box()->isReadOnly())
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !box()->isReadOnly();
        s.readOnly = box()->isReadOnly();
        s.multiLine = box()->isMultiLine();
        s.selectableText = true;
        return s;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return all();
        return QAccessibleWidget::text(t);
    }

    // ---- Text
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        const QTextCursor c = box()->textCursor();
        if (index == 0 && c.hasSelection()) {
            *start = c.selectionStart();
            *end = c.selectionEnd();
        }
    }
    int selectionCount() const override { return box()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        QTextCursor c = box()->textCursor();
        c.clearSelection();
        box()->setTextCursor(c);
    }
    void setSelection(int, int start, int end) override {
        QTextCursor c = cursorAt(start);
        c.setPosition(clamped(end), QTextCursor::KeepAnchor);
        box()->setTextCursor(c);
    }
    int cursorPosition() const override { return box()->textCursor().position(); }
    void setCursorPosition(int position) override { box()->setTextCursor(cursorAt(position)); }
    QString text(int start, int end) const override { return all().mid(start, end - start); }
    int characterCount() const override { return int(all().size()); }
    QRect characterRect(int offset) const override {
        const QRect at = box()->cursorRect(cursorAt(offset));
        const QRect next = box()->cursorRect(cursorAt(offset + 1));
        const int width = next.top() == at.top() && next.left() > at.left() ? next.left() - at.left()
                                                                          : box()->fontMetrics().averageCharWidth();
        return QRect(box()->viewport()->mapToGlobal(at.topLeft()), QSize(width, at.height()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return box()->cursorForPosition(box()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int start, int) override {
        const QRect at = box()->cursorRect(cursorAt(start));
        if (!box()->viewport()->rect().contains(at.center()))
            box()->verticalScrollBar()->setValue(box()->verticalScrollBar()->value() +
                                                 at.top() / std::max(1, box()->fontMetrics().height()));
    }
    // The run of text around offset that has the same attributes: a marked word, or the
    // text between two of them.
    QString attributes(int offset, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        if (offset < 0 || offset >= *end) {
            *start = *end = offset;
            return {};
        }
        if (spelling::Marks* marks = box()->spellMarks())
            for (const QTextCursor& c : marks->ranges()) {
                if (!c.hasSelection()) continue;
                if (offset >= c.selectionStart() && offset < c.selectionEnd()) {
                    *start = c.selectionStart();
                    *end = c.selectionEnd();
                    return QStringLiteral("invalid:spelling;");
                }
                if (c.selectionEnd() <= offset) *start = std::max(*start, c.selectionEnd());
                if (c.selectionStart() > offset) *end = std::min(*end, c.selectionStart());
            }
        return {};
    }

    // ---- Editing, as typed (one step of the undo history each)
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        QTextCursor c = cursorAt(start);
        c.setPosition(clamped(end), QTextCursor::KeepAnchor);
        c.insertText(text);
        box()->setTextCursor(c);
    }

private:
    // The text with its line breaks as "\n", one character for each place of the cursor.
    QString all() const { return box()->document()->toPlainText(); }
    int clamped(int offset) const {
        return std::clamp(offset, 0, std::max(0, box()->document()->characterCount() - 1));
    }
    QTextCursor cursorAt(int offset) const {
        QTextCursor c(box()->document());
        c.setPosition(clamped(offset));
        return c;
    }
};

QAccessibleInterface* textBoxAccess(const QString& className, QObject* object) {
    if (className == QLatin1String("quelora::TextBox") && object && object->isWidgetType())
        return new TextBoxAccess(static_cast<TextBox*>(object));
    return nullptr;
}

} // namespace

void TextBox::installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(textBoxAccess);
        return true;
    }();
    (void)installed;
}

} // namespace quelora
