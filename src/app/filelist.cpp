#include "app/filelist.h"

#include "store/files.h"

#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QRegularExpression>

namespace quelora {
namespace {

QStringList sortedCaseBlind(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

} // namespace

bool matchesPattern(const QString& pattern, const QString& name) {
    if (pattern.contains(QLatin1Char('/')) || pattern.contains(QLatin1Char('\\')) || pattern.contains(QChar(0)))
        return false;
    QString p = pattern;
    // "*.*" matches names without an extension too.
    if (p.endsWith(QLatin1String("*.*"))) p.chop(2);
    QString rx;
    rx.reserve(p.size() * 2);
    for (QChar c : p) {
        if (c == QLatin1Char('*'))
            rx += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression re(QRegularExpression::anchoredPattern(rx),
                                QRegularExpression::CaseInsensitiveOption |
                                    QRegularExpression::DotMatchesEverythingOption);
    return re.match(name).hasMatch();
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
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
    if (!path_.isEmpty()) {
        for (const QString& n : store::listFiles(path_))
            if (pattern_ == QLatin1String("*.*") || matchesPattern(pattern_, n)) shown << n;
    }
    const QSignalBlocker block(this);
    clear();
    addItems(sortedCaseBlind(shown));
}

QString FileList::fileName() const {
    const QListWidgetItem* it = currentItem();
    return it && it->isSelected() ? it->text() : QString();
}

QStringList FileList::names() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i) out << item(i)->text();
    return out;
}

void FileList::mouseReleaseEvent(QMouseEvent* e) {
    QListWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && itemAt(e->position().toPoint())) Q_EMIT clicked();
}

void FileList::keyPressEvent(QKeyEvent* e) {
    const int before = currentRow();
    QListWidget::keyPressEvent(e);
    if (currentRow() != before && currentRow() >= 0) Q_EMIT clicked();
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {}

void FolderList::setPath(const QString& folder) {
    path_ = folder;
    clear();
    addItems(sortedCaseBlind(store::listFolders(folder)));
}

QString FolderList::listName(int i) const {
    const QListWidgetItem* it = item(i);
    return it ? it->text() : QString();
}

} // namespace quelora
