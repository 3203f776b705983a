#include "app/instancelock.h"

#include "app/platform.h"
#include "store/names.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

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

} // namespace

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : path_(store::joinPath(dataFolder, kLockFileName)), lock_(path_) {
    // Never stale by age: a copy left open for weeks still holds its folder. The lock
    // is free again only when the process that took it is gone, which Qt checks itself.
    lock_.setStaleLockTime(0);
}

DataFolderLock::State DataFolderLock::take() {
    if (lock_.tryLock(0)) return State::Taken;
    if (lock_.error() != QLockFile::LockFailedError) return State::Unavailable;
    qint64 pid = 0;
    QString host, app;
    if (!lock_.getLockInfo(&pid, &host, &app)) {
        // A lock file that names no process (left empty by a machine that lost power as a
        // copy started) would shut the user out for good. Give a starting copy a few
        // seconds to write its name into it.
        const QFileInfo fi(path_);
        if (!fi.exists()) return lock_.tryLock(0) ? State::Taken : State::InUse;
        if (fi.lastModified().secsTo(QDateTime::currentDateTime()) <= 5) return State::InUse;
        if (!lock_.removeStaleLockFile()) return State::Unavailable; // a read-only folder
        return lock_.tryLock(0) ? State::Taken : State::InUse;
    }
    if (!ownerGone(path_)) return State::InUse;
    // Its process is gone, yet Qt could not remove it: the folder is read-only (a stick
    // remounted so after a power cut), or another copy starting this very moment is
    // replacing it. A dead copy keeps no one out, so it is judged again after a moment.
    if (lock_.tryLock(300)) return State::Taken;
    return ownerGone(path_) ? State::Unavailable : State::InUse;
}

QString folderInUseMessage(const QString& dataFolder) {
    return QStringLiteral("Quelora ya está abierto con la carpeta de datos\n%1\n\n"
                          "Usa la ventana que ya tienes abierta: dos copias del programa a la vez "
                          "guardarían cada una sus textos encima de los de la otra.")
        .arg(QDir::toNativeSeparators(dataFolder));
}

bool takeDataFolder(DataFolderLock& lock, const QString& dataFolder, Platform& platform) {
    if (lock.take() != DataFolderLock::State::InUse) return true;
    platform.message(nullptr, folderInUseMessage(dataFolder));
    return false;
}

} // namespace quelora
