#include "spelling/marks.h"

#include "app/textbox.h"
#include "spelling/spelling.h"
#include "store/codepage.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace quelora::spelling {

namespace {

constexpr int kSuggestions = 6;
// How long the menu waits for its suggestions before it opens with a place for them.
constexpr int kMenuWaitMs = 60;

struct Found {
    int position = -1; // in the document
    Word word;
    QString text;
};

Found wordAt(const QTextCursor& at) {
    const QTextBlock block = at.block();
    const QString text = block.text();
    const int inBlock = at.position() - block.position();
    for (const Word& w : wordsToCheck(text))
        if (inBlock >= w.start && inBlock <= w.start + w.length)
            return {block.position() + w.start, w, text.mid(w.start, w.length)};
    return {};
}

} // namespace

Marks::Marks(TextBox* box, Speller* speller) : QObject(box), box_(box), speller_(speller) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &Marks::mark);
    connect(speller_, &Speller::changed, this, &Marks::schedule);
    connect(box_->document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        typedAt_ = (added > 0 && added <= 2 && removed == 0) ? from + added : -1;
        schedule();
    });
    connect(box_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (typedAt_ >= 0 && box_->textCursor().position() != typedAt_) {
            typedAt_ = -1;
            schedule();
        }
    });
    connect(box_->verticalScrollBar(), &QScrollBar::valueChanged, this, &Marks::schedule);
    schedule();
}

void Marks::schedule() {
    timer_.start();
}

void Marks::mark() {
    QList<QTextCursor> marks;
    if (!speller_->ready() && !box_->document()->isEmpty()) speller_->want(); // marked once it is there
    if (speller_->ready() && !box_->document()->isEmpty()) {
        const QRect view = box_->viewport()->rect();
        // What is in view, and a block either side of it, so that a short scroll shows
        // its marks at once; a page of megabytes costs no more than a short one.
        QTextBlock block = box_->cursorForPosition(view.topLeft()).block().previous();
        if (!block.isValid()) block = box_->document()->firstBlock();
        QTextBlock last = box_->cursorForPosition(view.bottomRight()).block().next();
        const int typing = box_->hasFocus() ? typedAt_ : -1;
        for (; block.isValid(); block = block.next()) {
            const QString text = block.text();
            for (const Word& w : wordsToCheck(text)) {
                const int at = block.position() + w.start;
                if (at + w.length == typing) continue;
                if (!speller_->isUnknown(text.mid(w.start, w.length), w.sentenceStart)) continue;
                QTextCursor c(box_->document());
                c.setPosition(at);
                c.setPosition(at + w.length, QTextCursor::KeepAnchor);
                marks.append(c);
            }
            if (block == last) break;
        }
    }
    // Drawn by the box over its text, not as the text's own format: a format would have
    // the box lay out and paint every marked line again at each keystroke.
    auto same = [](const QTextCursor& a, const QTextCursor& b) {
        return a.selectionStart() == b.selectionStart() && a.selectionEnd() == b.selectionEnd();
    };
    if (std::equal(marks.begin(), marks.end(), ranges_.begin(), ranges_.end(), same)) return;
    ranges_ = marks;
    box_->viewport()->update();
}

void Marks::addToMenu(QMenu* menu, const QPoint& pos) {
    if (!speller_->ready() || box_->isReadOnly()) return;
    const Found found = wordAt(box_->cursorForPosition(pos));
    if (found.position < 0 || !speller_->isUnknown(found.text, found.word.sentenceStart)) return;
    QAction* first = menu->actions().value(0);
    QList<QAction*> suggestions;

    const QString word = found.text;
    const int position = found.position;
    auto replaceWith = [this, word, position](const QString& s) {
        QTextCursor c(box_->document());
        c.setPosition(position);
        c.setPosition(position + int(word.size()), QTextCursor::KeepAnchor);
        if (c.selectedText() != word) return; // the text changed under the open menu
        c.insertText(s);                      // one step of the undo history, and an edit of the user's
        box_->setTextCursor(c);
    };
    auto fill = [menu, replaceWith](QAction* placeholder, const QStringList& words) {
        if (words.isEmpty()) {
            // Reachable by the arrows, so that a reader says it; choosing it does nothing.
            placeholder->setText(tr("(sin sugerencias)"));
            placeholder->setEnabled(true);
            return;
        }
        for (const QString& s : words) {
            QAction* a = new QAction(s, menu);
            connect(a, &QAction::triggered, menu, [replaceWith, s] { replaceWith(s); });
            menu->insertAction(placeholder, a);
        }
        menu->removeAction(placeholder);
    };

    QAction* placeholder = new QAction(tr("Buscando sugerencias…"), menu);
    placeholder->setEnabled(false);
    menu->insertAction(first, placeholder);
    QAction* add = new QAction(tr("Añadir al diccionario"), menu);
    connect(add, &QAction::triggered, this, [this, word] { Q_EMIT addRequested(word); });
    add->setEnabled(store::fitsCodePage(word)); // the word list is kept in Windows-1252
    QAction* ignore = new QAction(tr("Ignorar"), menu);
    connect(ignore, &QAction::triggered, this, [this, word] { speller_->ignore(word); });
    menu->insertAction(first, add);
    menu->insertAction(first, ignore);
    if (first) menu->insertSeparator(first);
    // The menu opens on its first entry it can do, and a reader says it at once.
    QTimer::singleShot(0, menu, [menu] {
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && a->isEnabled()) {
                menu->setActiveAction(a);
                break;
            }
    });

    // The dictionary looks for suggestions on a worker; the menu waits a moment for them
    // and otherwise opens at once and takes them in when they come.
    std::shared_ptr<const Dictionary> dictionary = speller_->dictionary();
    QFuture<QStringList> future =
        QtConcurrent::run([dictionary, word] { return dictionary->suggest(word, kSuggestions); });
    QElapsedTimer waited;
    waited.start();
    while (!future.isFinished() && waited.elapsed() < kMenuWaitMs)
        QThread::msleep(1);
    if (future.isFinished()) {
        fill(placeholder, future.result());
        return;
    }
    auto* watcher = new QFutureWatcher<QStringList>(menu);
    connect(watcher, &QFutureWatcher<QStringList>::finished, menu, [watcher, placeholder, fill, menu, add] {
        // The menu opened on "Añadir al diccionario" while it waited; unless the user has
        // moved since, the first suggestion is where it now opens, and a reader says it.
        const bool untouched = menu->activeAction() == add;
        fill(placeholder, watcher->result());
        if (untouched) menu->setActiveAction(menu->actions().value(0));
    });
    watcher->setFuture(future);
}

} // namespace quelora::spelling
