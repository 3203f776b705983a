#include "app/instancelock.h"

#include "app/platform.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <memory>

namespace quelora {

namespace {

// Whether the process that wrote a lock file is gone, in Qt's own judgement (the process,
// its program and the boot of this machine). Asked of a copy in a temporary folder, since
// Qt gives its verdict only by removing the file, which the data folder may not allow.
bool ownerGone(const QString& path) {
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("copia.lock"));
    if (!scratch.isValid() || !QFile::copy(path, copy)) return false;
    QLockFile probe(copy);
    probe.setStaleLockTime(0);
    return probe.tryLock(0);
}

// Whether a lock was written on this computer. Qt writes the machine's id below the host
// name and tells machines apart by it (two computers may share a name); by the name only
// where there is no id.
bool writtenHere(const QString& path, const QString& host) {
    QFile f(path);
    const QList<QByteArray> lines =
        f.open(QIODevice::ReadOnly) ? f.read(4096).split('\n') : QList<QByteArray>();
    if (lines.size() > 3 && !lines[3].isEmpty()) return lines[3] == QSysInfo::machineUniqueId();
    return host == QSysInfo::machineHostName();
}

enum class Claim {
    Taken,
    HeldHere,      // by a live copy on this computer
    HeldElsewhere, // by another computer: never removed, never rewritten
    Stuck          // cannot be written, or is dead and cannot be removed (a read-only folder)
};

Claim claim(QLockFile& lock, const QString& path, QString* owner) {
    if (lock.tryLock(0)) return Claim::Taken;
    if (lock.error() != QLockFile::LockFailedError) return Claim::Stuck;
    qint64 pid = 0;
    QString app;
    if (!lock.getLockInfo(&pid, owner, &app)) {
        // A lock file that names no process (left empty by a machine that lost power as a
        // copy started) would shut the user out for good. Give a starting copy a few
        // seconds to write its name into it.
        const QFileInfo fi(path);
        if (!fi.exists()) return lock.tryLock(0) ? Claim::Taken : Claim::HeldHere;
        if (fi.lastModified().secsTo(QDateTime::currentDateTime()) <= 5) return Claim::HeldHere;
        if (!lock.removeStaleLockFile()) return Claim::Stuck;
        return lock.tryLock(0) ? Claim::Taken : Claim::HeldHere;
    }
    if (!writtenHere(path, *owner)) return Claim::HeldElsewhere;
    if (!ownerGone(path)) return Claim::HeldHere;
    // Its process is gone, yet Qt could not remove it: the folder is read-only (a stick
    // remounted so after a power cut), or another copy starting this very moment is
    // replacing it. A dead copy keeps no one out, so it is judged again after a moment.
    if (lock.tryLock(300)) return Claim::Taken;
    return ownerGone(path) ? Claim::Stuck : Claim::HeldHere;
}

} // namespace

QString thisComputer() {
    QString name = QSysInfo::machineHostName();
    const QByteArray id = QSysInfo::machineUniqueId().left(8);
    if (!id.isEmpty()) name += QLatin1Char('-') + QString::fromLatin1(id);
    for (QChar& c : name)
        if (c.unicode() > 127 || !(c.isLetterOrNumber() || c == u'-' || c == u'.')) c = u'_';
    return name;
}

QString computerLockName(const QString& computer) {
    return QStringLiteral(".quelora-%1.lock").arg(computer);
}

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : path_(store::joinPath(dataFolder, kLockFileName)),
      ownPath_(store::joinPath(dataFolder, computerLockName(thisComputer()))), lock_(path_), own_(ownPath_) {
    // Never stale by age: a copy left open for weeks still holds its folder. A lock is
    // free again only when the process that took it is gone.
    lock_.setStaleLockTime(0);
    own_.setStaleLockTime(0);
}

// Two locks. The shared one is what other computers, and copies that know no other lock,
// look at; but a sync engine may bring another computer's lock in its place, which must be
// neither removed nor rewritten (the change would travel back and could let a second copy
// start there). So every copy also holds this computer's own lock, which no other computer
// writes, and which keeps a second copy here out whatever the shared one holds.
DataFolderLock::State DataFolderLock::take() {
    other_.reset();
    QString ownOwner, owner;
    const Claim mine = claim(own_, ownPath_, &ownOwner);
    if (mine == Claim::HeldHere) return State::InUse;
    switch (claim(lock_, path_, &owner)) {
    case Claim::Taken:
        other_ = otherComputersLock();
        return State::Taken;
    case Claim::HeldHere: // by a copy that knows only the shared lock
        own_.unlock();
        return State::InUse;
    case Claim::HeldElsewhere:
        other_ = OtherComputer{owner, QFileInfo(path_).lastModified(), kLockFileName};
        break;
    case Claim::Stuck:
        break;
    }
    if (!other_) other_ = otherComputersLock();
    return mine == Claim::Taken ? State::Taken : State::Unavailable;
}

// The shared lock is only the last one written: another computer's own lock, carried over by
// a sync engine, tells of it as well.
std::optional<DataFolderLock::OtherComputer> DataFolderLock::otherComputersLock() const {
    const QString folder = QFileInfo(path_).path();
    const QString own = QFileInfo(ownPath_).fileName();
    for (const QString& name : store::listFiles(folder)) {
        if (name == own || name == kLockFileName || !name.startsWith(QLatin1String(".quelora-")) ||
            !name.endsWith(QLatin1String(".lock")))
            continue;
        QFile f(store::joinPath(folder, name));
        const QList<QByteArray> lines =
            f.open(QIODevice::ReadOnly) ? f.read(4096).split('\n') : QList<QByteArray>();
        // Qt writes the host name third; a lock without it still names its computer.
        const QString host = lines.size() > 2 && !lines[2].isEmpty() ? QString::fromUtf8(lines[2])
                                                                     : name.mid(9, name.size() - 9 - 5);
        return OtherComputer{host, QFileInfo(f).lastModified(), name};
    }
    return std::nullopt;
}

QString folderInUseMessage(const QString& dataFolder) {
    return QStringLiteral("Quelora ya está abierto con la carpeta de datos\n%1\n\n"
                          "Usa la ventana que ya tienes abierta: dos copias del programa a la vez "
                          "guardarían cada una sus textos encima de los de la otra.")
        .arg(QDir::toNativeSeparators(dataFolder));
}

bool takeDataFolder(DataFolderLock& lock, const QString& dataFolder, Platform& platform) {
    return takeDataFolder(lock.take(), dataFolder, platform);
}

bool takeDataFolder(DataFolderLock::State taken, const QString& dataFolder, Platform& platform) {
    if (taken != DataFolderLock::State::InUse) return true;
    platform.message(nullptr, folderInUseMessage(dataFolder));
    return false;
}

Listings listFirstPaintFolders(const QString& dataFolder) {
    Listings listings;
    // Found as Form1 finds them, so that the paths are the ones it asks for.
    for (const QString& name : {layout::kPages, layout::kHolidays, layout::kReminders})
        if (const QString stored = store::findFolder(dataFolder, name); !stored.isEmpty()) {
            const QString folder = store::joinPath(dataFolder, stored);
            listings.append({folder, store::FolderIndex::list(folder)});
        }
    return listings;
}

TakingFolder takeAndList(DataFolderLock& lock, const QString& dataFolder) {
    auto state = std::make_shared<std::promise<DataFolderLock::State>>();
    TakingFolder t;
    t.taken = state->get_future();
    t.listed = std::async(std::launch::async, [&lock, dataFolder, state] {
        const DataFolderLock::State taken = lock.take();
        state->set_value(taken);
        return taken == DataFolderLock::State::InUse ? Listings() : listFirstPaintFolders(dataFolder);
    });
    return t;
}

QString otherComputerNotice(const DataFolderLock& lock, const QString& dataFolder) {
    if (!lock.otherComputer()) return {};
    const DataFolderLock::OtherComputer& other = *lock.otherComputer();
    return QStringLiteral(
               "La carpeta de datos\n%1\nparece abierta también en el ordenador «%2» (desde el %3 a las "
               "%4).\n\n"
               "Si sigue abierta allí, lo que escribas en los dos ordenadores se conserva: cuando un "
               "archivo ha cambiado en el otro, Quelora guarda aparte la otra versión, con «otra versión» "
               "en su nombre. Para no tener que juntar textos después, cierra Quelora en «%2» antes de "
               "seguir escribiendo aquí.\n\n"
               "Si allí ya no está abierta (por ejemplo, porque ese ordenador se apagó de golpe), abre "
               "Quelora en «%2» y ciérralo, y este aviso dejará de salir. Si ya no usas ese ordenador, "
               "borra el archivo oculto %5 de la carpeta de datos.")
        .arg(QDir::toNativeSeparators(dataFolder), other.host,
             other.since.toString(QStringLiteral("d/M/yyyy")), other.since.toString(QStringLiteral("HH:mm")),
             other.file);
}

} // namespace quelora
