#include "app/textbox.h"

#include "store/codepage.h"

#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace quelora {

TextBox::TextBox(Lines lines, QWidget* parent) : QPlainTextEdit(parent), lines_(lines) {
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    if (lines == Lines::Single) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document()->setDocumentMargin(2);
    }
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        Q_EMIT changed();
        if (!settingText_) Q_EMIT edited();
    });
}

QString TextBox::shown() const {
    // Not toPlainText(): it turns no-break spaces into blanks. Blocks are separated by
    // U+2029 here, and a line break typed with Shift+Return is U+2028.
    QString s = document()->toRawText();
    s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    s.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return s;
}

QString TextBox::text() const {
    const QString now = shown();
    if (now == shownText_) return setText_;
    return store::boxToFile(now);
}

void TextBox::setText(const QString& text) {
    settingText_ = true;
    setPlainText(store::fileToBox(text));
    settingText_ = false;
    setText_ = text;
    shownText_ = shown();
}

void TextBox::mouseReleaseEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton) Q_EMIT clicked();
}

void TextBox::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    // Switching to another program or opening a drop-down is not leaving the box.
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    Q_EMIT lostFocus();
}

void TextBox::keyPressEvent(QKeyEvent* e) {
    if (lines_ == Lines::Single && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        e->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TextBox::dropEvent(QDropEvent* e) {
    // Text dropped in is typed into this box: it takes the focus as a click would, so
    // the box left saves itself first and this one saves what it holds when left.
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    QPlainTextEdit::dropEvent(e);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (lines_ == Lines::Multi || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString t = source->text();
    t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    insertPlainText(t);
}

} // namespace quelora
