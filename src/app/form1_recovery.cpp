// Unsaved text through a crash: what the boxes hold that is not yet saved is kept in a
// hidden file of the data folder a moment after the typing pauses, and given back at the
// next start when the program did not end cleanly.
#include "addresses/cards.h"
#include "app/dropdown.h"
#include "app/form1.h"
#include "app/instancelock.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <algorithm>

using namespace quelora;
using recovery::Entry;

namespace {

// Typing on without a pause is kept at the latest after this many pauses' time.
constexpr int kLongestWait = 5;

} // namespace

void Form1::setRecoveryDelay(int ms) {
    RecoveryDelay = ms;
    if (ms < 0 && RecoveryTimer) RecoveryTimer->stop();
}

void Form1::UnsavedTextChanged(bool typed) {
    ShowUnsavedMarks();
    if (RecoveryDelay < 0) return;
    if (!RecoveryTimer) {
        RecoveryTimer = new QTimer(this);
        RecoveryTimer->setSingleShot(true);
        connect(RecoveryTimer, &QTimer::timeout, this, [this] { KeepUnsavedTexts(); });
    }
    // A text put into a box by the program may end an unsaved one: the hidden file
    // follows, if there is one.
    if (!typed && !RecoveryFileThere) return;
    if (!RecoveryTimer->isActive()) {
        RecoveryWaiting.start();
    } else if (RecoveryWaiting.elapsed() >= qint64(kLongestWait) * RecoveryDelay) {
        return; // typing without a pause: let the timer run out
    }
    RecoveryTimer->start(RecoveryDelay);
}

void Form1::UnsavedTextSaved() {
    // Once the handler that saved has marked its box saved, the hidden file follows, at
    // once: a crash just after a save must not bring back what it saved.
    if (!RecoveryFileThere || KeepQueued) return;
    KeepQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            KeepQueued = false;
            if (RecoveryFileThere) KeepUnsavedTexts();
        },
        Qt::QueuedConnection);
}

QString Form1::RecoveryPath() const {
    return store::joinPath(DataFolder_, recovery::fileNameOf(Platform_.computer()));
}

void Form1::KeepUnsavedTexts() {
    if (RecoveryTimer) RecoveryTimer->stop();
    // While texts are given back the copy still holds those not given back yet.
    if (Restoring || RecoveryFileKept) return;
    const QList<Entry> entries = Boxes.unsavedEntries();
    const QString path = RecoveryPath();
    if (entries.isEmpty()) {
        ForgetUnsavedTexts();
        return;
    }
    if (entries == RecoveryEntries && RecoveryFileThere && !Leaving) return; // nothing new to keep
    const QByteArray bytes = recovery::encode(entries, Platform_.now(), Leaving, Platform_.computer());
    if (const store::Status s = store::writeFile(path, bytes); !s) {
        // What the copy already on disk holds is not lost in a crash (a folder gone
        // read-only after one still holds the texts given back from it).
        const bool held =
            RecoveryFileThere && std::all_of(entries.begin(), entries.end(),
                                             [this](const Entry& e) { return RecoveredEntries.contains(e); });
        // Said once: every pause in the typing would say it again.
        if (!RecoveryFailureTold && !held)
            ReportFailure(
                QStringLiteral("No se puede guardar la copia de lo que escribes sin guardar todavía en\n"
                               "%1\n\n%2\n\nSi Quelora se cerrase de golpe, se perdería. Guarda "
                               "lo que escribes saliendo de su casilla o con su botón.")
                    .arg(QDir::toNativeSeparators(path), s.reason));
        RecoveryFailureTold = RecoveryFailureTold || !held;
        return;
    }
    RecoveryFileThere = true;
    RecoveryEntries = entries;
    DropAdoptedCopies(); // this computer's copy holds their texts now
}

void Form1::DropAdoptedCopies() {
    for (const QString& copy : std::as_const(AdoptedRecoveryFiles))
        QFile::remove(copy);
    AdoptedRecoveryFiles.clear();
}

void Form1::ForgetUnsavedTexts() {
    if (RecoveryTimer) RecoveryTimer->stop();
    if (!RecoveryFileThere || RecoveryFileKept) return;
    const QString path = RecoveryPath();
    if (QFile::remove(path) || !QFile::exists(path)) {
        RecoveryFileThere = false;
        RecoveryEntries.clear();
        DropAdoptedCopies();
    }
}

void Form1::RecoverUnsavedTexts() {
    // This computer's copy, the one an older Quelora kept for any computer, and those of
    // other computers whose Quelora is no longer running: no lock of theirs is left, so
    // they ended after keeping it (an exit with texts unsaved) and nobody else will give
    // them back. A computer whose lock is there may still be running, or will give its
    // texts back itself when it starts again: its copy is left alone.
    const QString me = Platform_.computer();
    QStringList copies{RecoveryPath(), store::joinPath(DataFolder_, recovery::kOlderFileName)};
    QStringList running;
    for (const QString& name : store::listFiles(DataFolder_)) {
        const std::optional<QString> computer = recovery::computerOfFileName(name);
        if (!computer || *computer == me) continue;
        if (store::isRegularFile(store::joinPath(DataFolder_, computerLockName(*computer))))
            running << recovery::hostOf(*computer);
        else
            copies << store::joinPath(DataFolder_, name);
    }
    QStringList told;
    bool closed = true;
    bool read = false;
    for (const QString& path : copies)
        RecoverFrom(path, path == copies.front(), &told, &closed, &read);
    running.sort();
    for (const QString& host : std::as_const(running))
        told << QStringLiteral("• textos sin guardar del ordenador «%1»: se han dejado como estaban, porque "
                               "Quelora puede seguir abierto allí. Se recuperarán en «%1» al volver a "
                               "abrir Quelora en él.")
                    .arg(host);
    if (told.isEmpty()) return;
    QString head;
    if (!read)
        head = QStringLiteral("En la carpeta de datos hay textos sin guardar de otro ordenador:\n\n");
    else if (closed)
        head = QStringLiteral("La última vez saliste de Quelora con textos sin guardar. Siguen aquí:\n\n");
    else
        head = QStringLiteral("Quelora no se cerró bien la última vez. Se ha recuperado lo que aún no estaba "
                              "guardado:\n\n");
    ReportNotice(head + told.join(QLatin1Char('\n')));
}

void Form1::RecoverFrom(const QString& path, bool own, QStringList* told, bool* closedAll, bool* read) {
    const store::ReadResult r = store::readFile(path);
    if (!r.found) return;
    RecoveryFileThere = true;               // the next keep replaces it
    BuildPanels();                          // every box a text may come back to
    if (!own) AdoptedRecoveryFiles << path; // removed once this computer's copy holds its texts
    bool closed = false;
    const std::optional<QList<Entry>> entries = r.ok ? recovery::decode(r.bytes, &closed) : std::nullopt;
    if (!entries) {
        // Never deleted: what could not be read may still be read by a person, or by a
        // newer Quelora that wrote it.
        ReportNotice(QStringLiteral("Quelora no se cerró bien la última vez, y la copia de lo que no estaba "
                                    "guardado no se puede leer.\n\n%1")
                         .arg(SetRecoveryFileAside(path, r, own)));
        return;
    }
    *read = true;
    *closedAll = *closedAll && closed;
    RecoveredEntries += *entries;
    bool unknown = false;
    // A failure to save what comes back is said once, in the list, with its reason.
    const int failures = FailuresReported;
    Restoring = true;
    for (const Entry& e : *entries)
        unknown = !Boxes.restore(e, told) || unknown;
    Restoring = false;
    if (FailuresReported != failures) RecoveryFailureTold = true; // the list says it
    if (unknown) // written by a newer Quelora: kept whole for it
        *told << QStringLiteral(
                     "• otros textos que esta versión de Quelora no sabe poner en su sitio.\n   %1")
                     .arg(SetRecoveryFileAside(path, r, own));
}

QString Form1::SetRecoveryFileAside(const QString& path, const store::ReadResult& r, bool own) {
    const QDateTime now = Platform_.now();
    QString aside;
    for (int n = 1; aside.isEmpty() || QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = store::joinPath(DataFolder_, recovery::setAsideName(now, n));
    // Moved whole; where it cannot be moved, copied (then the one in place may be replaced);
    // where neither can be done, it stays where it is and nothing of this Quelora writes
    // over it.
    const bool moved = QFile::rename(path, aside);
    if (!moved && !(r.ok && store::writeFile(aside, r.bytes))) {
        if (own) {
            RecoveryFileThere = false;
            RecoveryFileKept = true;
        } else {
            AdoptedRecoveryFiles.removeAll(path);
        }
        return QStringLiteral("Se ha dejado como estaba, en\n%1").arg(QDir::toNativeSeparators(path));
    }
    if (own) RecoveryFileThere = !moved;
    if (moved) AdoptedRecoveryFiles.removeAll(path);
    NoteOwnWrite(aside);
    return QStringLiteral("Se ha guardado aparte, sin cambiarla, en\n%1")
        .arg(QDir::toNativeSeparators(aside));
}
