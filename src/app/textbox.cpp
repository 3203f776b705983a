#include "app/textbox.h"

#include "store/codepage.h"

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

QString TextBox::text() const {
    const QString shown = toPlainText();
    if (shown == shownText_) return setText_;
    return store::boxToFile(shown);
}

void TextBox::setText(const QString& text) {
    settingText_ = true;
    setPlainText(store::fileToBox(text));
    settingText_ = false;
    setText_ = text;
    shownText_ = toPlainText();
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
