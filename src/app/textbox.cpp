#include "app/textbox.h"

#include "app/keys.h"

#include "spelling/marks.h"
#include "store/codepage.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace quelora {

TextBox::TextBox(Lines lines, QWidget* parent) : QPlainTextEdit(parent), lines_(lines) {
    installAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    if (lines == Lines::Single) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document()->setDocumentMargin(2);
        document()->setModified(false); // a margin is no change of the text
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
    // Untouched since the program set it (or every change undone): the text as given,
    // byte for byte, whatever the widget made of its line ends.
    if (!document()->isModified()) return setText_;
    return store::boxToFile(shown());
}

namespace {

// A long text goes into the box as blocks of this many lines: the box builds one block
// per line break otherwise, which for a year of the diary (16,000 lines) cost most of
// the time to show it, while a block of a few dozen lines is laid out at once when it
// comes into view. Inside a block, lines are broken with U+2028, which the box shows
// as a line break and gives back as one.
constexpr int kLinesPerBlock = 64;

QString inBlocks(const QString& fileText) {
    QString box = store::fileToBox(fileText);
    if (box.count(QLatin1Char('\n')) < 4 * kLinesPerBlock) return box;
    int line = 0;
    for (QChar& c : box)
        if (c == QLatin1Char('\n') && ++line % kLinesPerBlock != 0) c = QChar::LineSeparator;
    return box;
}

} // namespace

void TextBox::fill(const QString& text) {
    settingText_ = true;
    // Straight into the document: QPlainTextEdit::setPlainText would lay the first block
    // out twice over.
    document()->setPlainText(inBlocks(text));
    settingText_ = false;
    setText_ = text;
    document()->setModified(false);
}

void TextBox::setText(const QString& text) {
    fill(text);
    setTextCursor(QTextCursor(document())); // at the start, as a text just shown is read
}

void TextBox::followText(const QString& text) {
    // A place after the last difference keeps its distance from the end (the end stays
    // the end: a file written in place is often seen empty first), one before the first
    // stays, one inside what changed keeps its number as far as the text goes.
    const QString before = shown();
    const QString after = store::fileToBox(text);
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < common && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const auto follow = [&](qsizetype at) {
        if (at >= before.size() - tail) return static_cast<int>(after.size() - (before.size() - at));
        if (at <= head) return static_cast<int>(at);
        return static_cast<int>(std::min(at, after.size()));
    };
    const QTextCursor old = textCursor();
    const int anchor = follow(old.anchor()), position = follow(old.position());
    const int down = verticalScrollBar()->value(), across = horizontalScrollBar()->value();
    fill(text);
    QTextCursor c(document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(c);
    verticalScrollBar()->setValue(down);
    horizontalScrollBar()->setValue(across);
}

bool TextBox::isModified() const {
    return document()->isModified();
}

void TextBox::markSaved() {
    if (!document()->isModified()) return;
    setText_ = text();
    document()->setModified(false);
}

void TextBox::showSaved(const QString& saved) {
    if (store::fitsCodePage(saved))
        markSaved();
    else
        setText(store::storedForm(saved));
}

void TextBox::takeInput(bool takes, const QString& whyNot) {
    if (isReadOnly() == takes) setReadOnly(!takes); // every call restyles the box
    setPlaceholderText(takes ? QString() : whyNot);
    // A reader hears the why in the description, which the empty space cannot tell it.
    if (!takesInputSaid_) standing_ = accessibleDescription().mid(news_.size());
    takesInputSaid_ = true;
    const QString said = takes ? standing_
                               : QStringLiteral("No admite texto ahora. ") +
                                     (whyNot.isEmpty() ? QString() : whyNot + QLatin1Char(' ')) + standing_;
    if (news_ + said != accessibleDescription()) setAccessibleDescription(news_ + said);
}

void TextBox::say(const QString& news) {
    const QString standing = accessibleDescription().mid(news_.size());
    news_ = news.isEmpty() ? QString() : news + QLatin1Char(' ');
    setAccessibleDescription(news_ + standing);
}

bool TextBox::nextMarkedWord() {
    const QList<QTextCursor> words = marks_ ? marks_->ranges() : QList<QTextCursor>();
    const int from = textCursor().selectionEnd();
    const QTextCursor *after = nullptr, *first = nullptr;
    for (const QTextCursor& w : words) {
        if (!w.hasSelection()) continue;
        if (!first || w.selectionStart() < first->selectionStart()) first = &w;
        if (w.selectionStart() >= from && (!after || w.selectionStart() < after->selectionStart())) after = &w;
    }
    const QTextCursor* next = after ? after : first; // past the last: from the start again
    if (!next) {
        say(QStringLiteral("No hay palabras marcadas a la vista."));
        return false;
    }
    QTextCursor c(document());
    c.setPosition(next->selectionStart());
    c.setPosition(next->selectionEnd(), QTextCursor::KeepAnchor);
    setTextCursor(c);
    say(QStringLiteral("Palabra que el diccionario no conoce: «%1». Tecla Menú: sugerencias.")
            .arg(c.selectedText()));
    return true;
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
    if (e->key() == Qt::Key_F7 && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        nextMarkedWord();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
    if (isPageKey(*e)) e->accept(); // even a box with nowhere to go keeps them
}

void TextBox::checkSpelling(spelling::Speller* speller) {
    if (!marks_) marks_ = new spelling::Marks(this, speller);
}

void TextBox::contextMenuEvent(QContextMenuEvent* e) {
    // From the Menu key: the menu of the word at the cursor, opened beside it.
    const bool byKey = e->reason() == QContextMenuEvent::Keyboard;
    QTextCursor at = textCursor();
    if (at.hasSelection()) at.setPosition((at.selectionStart() + at.selectionEnd()) / 2); // the word F7 chose
    const QPoint pos = byKey ? cursorRect(at).center() : e->pos();
    std::unique_ptr<QMenu> menu(createStandardContextMenu(pos));
    if (marks_) marks_->addToMenu(menu.get(), pos);
    menu->exec(byKey ? viewport()->mapToGlobal(pos) : e->globalPos());
}

void TextBox::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    if (!marks_ || marks_->ranges().isEmpty()) return;
    // The red wavy line under each marked word in view.
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::red, 1));
    const QPointF offset = contentOffset();
    for (const QTextCursor& c : marks_->ranges()) {
        const QTextBlock block = document()->findBlock(c.selectionStart());
        if (!block.isValid() || !block.isVisible() || !block.layout()) continue;
        const QRectF place = blockBoundingGeometry(block).translated(offset);
        if (place.bottom() < e->rect().top() || place.top() > e->rect().bottom()) continue;
        int from = c.selectionStart() - block.position();
        const int to = c.selectionEnd() - block.position();
        while (from < to) { // a word longer than the box runs over two lines
            const QTextLine line = block.layout()->lineForTextPosition(from);
            if (!line.isValid()) break;
            const int end = std::min(to, line.textStart() + line.textLength());
            if (end <= from) break;
            const qreal x1 = place.left() + line.cursorToX(from), x2 = place.left() + line.cursorToX(end);
            const qreal y = place.top() + line.y() + line.ascent() + 2;
            QPainterPath wave(QPointF(x1, y));
            for (qreal x = x1; x < x2; x += 2)
                wave.lineTo(std::min(x + 2, x2), y + ((int((x - x1) / 2) % 2) ? -1.5 : 0));
            p.drawPath(wave);
            from = end;
        }
    }
}

void TextBox::resizeEvent(QResizeEvent* e) {
    QPlainTextEdit::resizeEvent(e);
    if (marks_) marks_->schedule();
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
