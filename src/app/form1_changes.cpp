// Files that other programs change: a box never replaces a file that changed since it
// was filled without keeping the other version, and a box the user has not edited shows
// its file as it is now.
#include "addresses/cards.h"
#include "app/filelist.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/versions.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/watch.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

using namespace quelora;

bool Form1::FileUnchanged(const BoxFile& f, store::Version* now) const {
    return store::stillIs(f.path(), f.base, now);
}

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A version kept beside a file before it was replaced or removed, and why.
struct Kept {
    QString path;
    QString why; // "había cambiado fuera de Quelora…", "no se podía leer"
};

// Before a box replaces or removes its file: a version another program put there since
// the box was filled is kept beside it first. False when that could not be done.
bool keepOtherVersion(Form1& form, const Form1::BoxFile& f, const QString& what, QList<Kept>* kept) {
    const QString stored = store::findNamed(f.folder, f.name);
    if (stored.isEmpty()) return true; // nothing there to lose
    const QString path = store::joinPath(f.folder, stored);
    store::Version now;
    QByteArray bytes;
    const bool unchanged = store::stillIs(path, f.base, &now, &bytes);
    // What could not be read is never written over, changed or not: it is moved aside.
    if (!now.unreadable && (unchanged || !now.exists)) return true;
    const QString other =
        store::joinPath(f.folder, store::otherVersionName(f.folder, stored, form.platform().now()));
    store::Status s;
    if (now.unreadable) {
        // What cannot be read cannot be copied: it is moved aside whole.
        if (!QFile::rename(path, other))
            s = store::Status::failure(QStringLiteral("No se ha podido renombrar"));
    } else {
        s = store::writeFile(other, bytes);
    }
    const QString why = now.unreadable
                            ? QStringLiteral("no se podía leer")
                            : QStringLiteral("había cambiado fuera de Quelora desde que se abrió aquí");
    if (!s) {
        form.ReportFailure(
            QStringLiteral("%1 %2, y no se ha podido guardar aparte lo que había en\n%3\n\n%4\n\nNo "
                           "se ha guardado nada encima: el texto sigue en su casilla.")
                .arg(what, why, shown(other), s.reason));
        return false;
    }
    kept->append({other, why});
    return true;
}

} // namespace

Form1::Saved Form1::SaveBoxFile(BoxFile& f, const QString& text, const QString& ending, const QString& what,
                                TextBox* shownIn) {
    QList<Kept> kept;
    if (!keepOtherVersion(*this, f, what, &kept)) return Saved::Failed;
    store::Version written;
    const Saved s = SaveText(f.folder, f.name, text, ending, store::Sync::Durable, nullptr, &written);
    if (s == Saved::Failed) return s;
    f.base = written;
    f.fromFile = true;
    if (shownIn) shownIn->showSaved(text);
    for (const Kept& other : kept) {
        NoteOwnWrite(other.path);
        ReportNotice(
            QStringLiteral("%1 %2. Se ha guardado lo que has escrito, y la otra versión se conserva en el "
                           "archivo\n%3")
                .arg(what, other.why, shown(other.path)));
    }
    UnsavedTextSaved();
    return s;
}

bool Form1::RemoveBoxFile(BoxFile& f, const QString& what, TextBox* shownIn) {
    QList<Kept> kept;
    if (!keepOtherVersion(*this, f, what, &kept)) return false;
    const QString path = f.path();
    NoteOwnWrite(path);
    if (const store::Status s = RemoveText(f.folder, f.name); !s && !s.notFound()) {
        ReportFailure(
            QStringLiteral("No se ha podido borrar el archivo\n%1\n\n%2").arg(shown(path), s.reason));
        return false;
    }
    f.base = store::absentVersion();
    f.fromFile = true;
    if (shownIn) shownIn->markSaved();
    for (const Kept& other : kept)
        ReportNotice(QStringLiteral("%1 %2. Se ha borrado como pediste, y la otra versión se conserva en el "
                                    "archivo\n%3")
                         .arg(what, other.why, shown(other.path)));
    UnsavedTextSaved();
    return true;
}

// ---- Watching ----------------------------------------------------------------------------

std::shared_ptr<store::WatchHub> Form1::SharedWatch() {
    if (!WatchHub_) WatchHub_ = store::Watcher::makeHub();
    return WatchHub_;
}

void Form1::WatchFolders() {
    if (!Watcher_) {
        // Notices the search took from the system come as a call; the window's own, through
        // the event loop.
        Watcher_ = std::make_unique<store::Watcher>(SharedWatch(), [this] {
            QMetaObject::invokeMethod(
                this, [this] { TakeNotices(); }, Qt::QueuedConnection);
        });
        if (Watcher_->active()) {
            auto* n = new QSocketNotifier(Watcher_->handle(), QSocketNotifier::Read, this);
            connect(n, &QSocketNotifier::activated, this, [this] { TakeNotices(); });
        }
    }
    for (const QString& name :
         {layout::kPages, layout::kHolidays, layout::kReminders, layout::kSaints, layout::kNotes})
        WatchFolder(DataPath(name));
    if (!panelBuilt(Panel::Addresses)) return; // its folders are watched once it is built
    WatchFolder(File2->path());
    WatchFolder(store::joinPath(BookFolder(), store::findFolder(BookFolder(), layout::kAllCards)));
}

void Form1::NoteOwnWrite(const QString& path) {
    if (Watcher_ && Watcher_->active()) OwnWrites.insert(path); // emptied as the notices come
    SearchFileWritten(path); // taken as it is now, even before its notice comes
}

void Form1::WatchFolder(const QString& path) {
    if (!Watcher_ || !Watcher_->active() || path.isEmpty() || WatchedFolders.contains(path)) return;
    if (const int id = Watcher_->add(path); id >= 0) WatchedFolders.insert(path, id);
}

void Form1::TakeNotices() {
    bool lost = false;
    bool news = false;
    for (const store::Watcher::Notice& n : Watcher_->take(&lost)) {
        const QString folder = WatchedFolders.key(n.id);
        if (n.folderGone) {
            WatchedFolders.remove(folder);
            ChangedFolders.insert(folder);
            news = true;
            continue;
        }
        if (store::isPassingName(n.name)) continue; // the other half of a save, told by its rename
        if (OwnWrites.contains(store::joinPath(folder, n.name))) continue;
        ChangedFolders.insert(folder);
        news = true;
    }
    OwnWrites.clear();
    if (lost) ChangedFolders.insert(QString()); // anything may have changed
    if ((news || lost) && !ChangesPending) {
        // Once the burst of notices of one save is over.
        ChangesPending = true;
        QTimer::singleShot(0, this, [this] {
            ChangesPending = false;
            CheckShownFiles();
        });
    }
}

void Form1::CheckShownFiles() {
    // Every box with nothing unsaved shows its file as it is now. The one being written in
    // or read changes under the user's eyes: that is told, once, the cursor left in place.
    QStringList underCursor;
    for (const auto& box : Boxes.boxes())
        if (box->follow() && box->hasFocus()) underCursor << QWidget::focusWidget()->accessibleName();
    if (!underCursor.isEmpty())
        ReportNotice(QStringLiteral("Otro programa ha cambiado el archivo de la casilla «%1». La casilla lo "
                                    "muestra ya como está ahora; el cursor sigue donde estaba.")
                         .arg(underCursor.join(QStringLiteral("», «"))));
    // The lists take in what another program added or removed. Without notices (or when
    // some were lost) every list is looked at; a listing that did not change costs nothing.
    const bool all = !Watcher_ || !Watcher_->active() || ChangedFolders.contains(QString());
    if (File1 && !File1->path().isEmpty() && (all || ChangedFolders.contains(File1->path())))
        File1->refresh();
    if (File2 && (all || ChangedFolders.contains(File2->path()))) File2->refresh();
    ChangedFolders.clear();
    WatchFolders(); // a folder made or moved since is watched again
    ShowVersionMarks(); // another computer's version may have come, or gone
    SearchFilesChanged();
}
