#include "app/instancelock.h"

#include "app/platform.h"
#include "store/names.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace quelora {

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : path_(store::joinPath(dataFolder, kLockFileName)), lock_(path_) {
    // Never stale by age: a copy left open for weeks still holds its folder. The lock
    // is free again only when the process that took it is gone, which Qt checks itself.
    lock_.setStaleLockTime(0);
}

DataFolderLock::State DataFolderLock::take() {
    if (lock_.tryLock(0)) return State::Taken;
    if (lock_.error() != QLockFile::LockFailedError) return State::Unavailable;
    // A lock file that names no process (left empty by a machine that lost power as a
    // copy started) would shut the user out for good. Give a starting copy a few
    // seconds to write its name into it.
    qint64 pid = 0;
    QString host, app;
    const QFileInfo fi(path_);
    if (!lock_.getLockInfo(&pid, &host, &app) && fi.exists() &&
        fi.lastModified().secsTo(QDateTime::currentDateTime()) > 5 && lock_.removeStaleLockFile() &&
        lock_.tryLock(0))
        return State::Taken;
    return State::InUse;
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
