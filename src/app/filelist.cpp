#include "app/filelist.h"

#include "app/keys.h"

#include "store/files.h"
#include "store/folderindex.h"
#include "store/names.h"
#include "store/versions.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <optional>
#include <utility>

namespace quelora {
namespace {

bool listedBefore(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QStringList sortedCaseBlind(QStringList names) {
    std::sort(names.begin(), names.end(), listedBefore);
    return names;
}

} // namespace

bool matchesPattern(const QString& pattern, const QString& name) {
    return store::NamePattern(pattern).matches(name);
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    // Every entry is one line of text: without this the view lays out the text of
    // every entry on each listing, which cost more than the listing itself.
    setUniformItemSizes(true);
    // A click takes the focus in mousePressEvent, after the entry under the pointer is
    // known: the box that loses the focus may save and so change this very list.
    setFocusPolicy(Qt::TabFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::setPath(const QString& folder) {
    path_ = folder;
    refresh();
}

void FileList::setPattern(const QString& pattern) {
    pattern_ = pattern;
    refresh();
}

void FileList::refresh() {
    QStringList shown;
    std::shared_ptr<const store::FolderIndex> listing;
    if (!path_.isEmpty()) {
        // The kept listing: a keystroke in the search box does not list the folder again.
        listing = store::FolderIndex::current(path_);
        // The same listing through the same pattern shows what the list already shows.
        if (listing == listing_ && pattern_ == listedPattern_ && path_ == listedPath_) return;
        // One expression for the whole listing, not one per name.
        const store::NamePattern pattern(pattern_);
        for (const QString& n : listing->names())
            if (pattern.matches(n) && store::isListedName(n, *listing)) shown << n;
    }
    listing_ = listing;
    listedPattern_ = pattern_;
    listedPath_ = path_;
    shown = sortedCaseBlind(shown);
    if (shown == names()) return; // nothing to do, and the choice stays where it is
    const QString chosen = fileName();
    const QSignalBlocker block(this);
    clear();
    addItems(shown);
    for (int i = 0; i < count(); ++i)
        speak(item(i));
    // A listing taken again keeps the entry chosen, if it is still there.
    if (!chosen.isEmpty())
        if (const QList<QListWidgetItem*> found =
                findItems(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
            !found.isEmpty()) {
            setCurrentItem(found.first());
            if (!hasFocus()) clearCurrent();
        }
}

void FileList::addName(const QString& name) {
    // Another version of a file, a sync engine's file on its way: no entry of the list. The
    // folder is listed only for a name that may be another's version (a note's never is).
    if (path_.isEmpty() || !matchesPattern(pattern_, name) ||
        !store::isListedName(name, [this](const QString& base) {
            return store::FolderIndex::current(path_)->contains(base);
        }))
        return;
    int lo = 0, hi = count();
    while (lo < hi) { // the first row not listed before name
        const int mid = (lo + hi) / 2;
        if (listedBefore(item(mid)->text(), name))
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < count() && item(lo)->text() == name) return;
    const QSignalBlocker block(this);
    insertItem(lo, name);
    speak(item(lo));
}

void FileList::speak(QListWidgetItem* entry) const {
    if (!spoken_) return;
    if (const QString words = spoken_(entry->text()); !words.isEmpty())
        entry->setData(Qt::AccessibleTextRole, words);
}

void FileList::removeName(const QString& name) {
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    const QSignalBlocker block(this);
    for (QListWidgetItem* it : found)
        delete takeItem(row(it));
}

QString FileList::fileName() const {
    const QList<QListWidgetItem*> chosen = selectedItems();
    return chosen.isEmpty() ? QString() : chosen.first()->text();
}

void FileList::clearCurrent() {
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void FileList::focusInEvent(QFocusEvent* e) {
    // The chosen entry is current again: the keys go on from it, and a reader hears it.
    if (const QList<QListWidgetItem*> chosen = selectedItems(); !chosen.isEmpty() && !currentItem())
        selectionModel()->setCurrentIndex(indexFromItem(chosen.first()), QItemSelectionModel::NoUpdate);
    QListWidget::focusInEvent(e);
}

void FileList::focusOutEvent(QFocusEvent* e) {
    QListWidget::focusOutEvent(e);
    // Qt tells a screen reader that the current entry has the focus whether or not the list
    // has it: a list left keeps its choice selected, with no current entry.
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason) clearCurrent();
}

bool FileList::choose(const QString& name) {
    const QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) return false;
    setCurrentItem(found.first());
    setFocus(Qt::OtherFocusReason);
    return true;
}

QStringList FileList::names() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

void FileList::mousePressEvent(QMouseEvent* e) {
    const QListWidgetItem* under = itemAt(e->position().toPoint());
    pressed_ = under && e->button() == Qt::LeftButton ? under->text() : QString();
    setFocus(Qt::MouseFocusReason);
    // The entry that was under the pointer, wherever a listing made meanwhile put it.
    if (!pressed_.isEmpty()) {
        const QList<QListWidgetItem*> found = findItems(pressed_, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found.isEmpty())
            pressed_.clear();
        else
            setCurrentItem(found.first());
    }
    e->accept();
}

void FileList::mouseMoveEvent(QMouseEvent* e) {
    // Dragging over the list does not move the choice away from the pressed entry.
    if (e->buttons() != Qt::NoButton) {
        e->accept();
        return;
    }
    QListWidget::mouseMoveEvent(e);
}

void FileList::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QString name = std::exchange(pressed_, QString());
    if (!name.isEmpty() && fileName() == name) Q_EMIT clicked();
}

void FileList::keyPressEvent(QKeyEvent* e) {
    const int before = currentRow();
    const bool wasChosen = currentItem() && currentItem()->isSelected();
    QListWidget::keyPressEvent(e);
    const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int k = e->key();
    const bool opens = plain && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space);
    const bool moves = plain && (k == Qt::Key_Up || k == Qt::Key_Down || k == Qt::Key_Home ||
                                 k == Qt::Key_End || k == Qt::Key_PageUp || k == Qt::Key_PageDown);
    // A row reached by the keys is chosen as a click chooses it: also the row the focus
    // arrived on (a lone row has nowhere to move to), and Intro or Espacio on the chosen one.
    if (currentRow() >= 0 && (currentRow() != before || opens || (moves && !wasChosen))) {
        if (!currentItem()->isSelected()) currentItem()->setSelected(true);
        Q_EMIT clicked();
        if (opens) e->accept();
    }
    if (isPageKey(*e)) e->accept(); // also on the first or last entry
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {}

void FolderList::setPath(const QString& folder) {
    path_ = folder;
    clear();
    // A sync engine's own folders, the history of texts and every other hidden folder are
    // no groups; nor is another version of a group's folder.
    QStringList groups = store::listFolders(folder);
    groups.removeIf([](const QString& g) { return g.startsWith(QLatin1Char('.')) || store::versionOfName(g); });
    addItems(sortedCaseBlind(groups));
}

QString FolderList::listName(int i) const {
    const QListWidgetItem* it = item(i);
    return it ? it->text() : QString();
}

} // namespace quelora
