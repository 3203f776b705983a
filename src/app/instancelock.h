#pragma once
// One copy of the program per data folder. Two copies on one folder would each save
// their own stale texts over the other's pages, so the second one to start gives way.
#include <QLockFile>
#include <QString>

namespace quelora {

class Platform;

// The lock file inside the data folder.
inline const QString kLockFileName = QStringLiteral(".quelora.lock");

class DataFolderLock {
public:
    enum class State {
        Taken,      // this copy holds the folder
        InUse,      // another running copy holds it
        Unavailable // the lock cannot be written (read-only folder): nothing to protect here
    };

    explicit DataFolderLock(const QString& dataFolder);
    State take();
    QString path() const { return path_; }

private:
    QString path_;
    QLockFile lock_;
};

// The message of a second copy.
QString folderInUseMessage(const QString& dataFolder);

// Takes the data folder for this copy. When another copy holds it, tells the user
// through the platform and returns false: the program ends without opening its window.
bool takeDataFolder(DataFolderLock& lock, const QString& dataFolder, Platform& platform);

} // namespace quelora
