#pragma once
// One copy of the program per data folder and computer. Two copies on one folder would
// each save their own stale texts over the other's pages, so the second one to start on
// a computer gives way. Another computer's lock (carried over by a sync engine, or left
// there by a power cut) keeps no one out: the user is told, and a save that finds a file
// changed elsewhere keeps the other version beside it.
#include "store/folderindex.h"

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <future>
#include <optional>

namespace quelora {

class Platform;

// The lock file inside the data folder, shared by every computer that sees the folder.
inline const QString kLockFileName = QStringLiteral(".quelora.lock");

// This computer as the files it leaves in the data folder name it: its host name and the
// start of its id (two computers may share a name), in characters every system takes.
QString thisComputer();
// The lock a computer holds in the data folder while Quelora runs there; left behind only
// when Quelora did not end (a crash, a power cut), so while another computer's is there,
// Quelora may still be running on it.
QString computerLockName(const QString& computer);

class DataFolderLock {
public:
    enum class State {
        Taken,      // this copy holds the folder on this computer
        InUse,      // another running copy on this computer holds it
        Unavailable // no lock can be written or removed (read-only folder): nothing to protect here
    };
    // Whose lock, from another computer, was in the folder when it was taken.
    struct OtherComputer {
        QString host;
        QDateTime since;
        QString file; // its lock in the data folder
    };

    explicit DataFolderLock(const QString& dataFolder);
    State take();
    QString path() const { return path_; }
    const std::optional<OtherComputer>& otherComputer() const { return other_; }

private:
    std::optional<OtherComputer> otherComputersLock() const;
    QString path_;
    QString ownPath_; // this computer's own lock beside it: ".quelora-<host>-<start of its id>.lock"
    QLockFile lock_;
    QLockFile own_;
    std::optional<OtherComputer> other_;
};

// The message of a second copy.
QString folderInUseMessage(const QString& dataFolder);

// Takes the data folder for this copy. When another copy holds it, tells the user
// through the platform and returns false: the program ends without opening its window.
bool takeDataFolder(DataFolderLock& lock, const QString& dataFolder, Platform& platform);
// The same, for a lock already asked for (take() on another thread): false when it was in use.
bool takeDataFolder(DataFolderLock::State taken, const QString& dataFolder, Platform& platform);

// The folders of what the first paint shows, listed (today's page and the month's marks:
// thousands of pages in a lifetime's diary, any of them stored in another letter case).
// Touches nothing shared: for any thread (store::FolderIndex::keep on the window's).
using Listings = store::FolderIndex::Listings;
Listings listFirstPaintFolders(const QString& dataFolder);

// What start-up does on a thread of its own while the window is built (which reads
// nothing): the folder taken (the lock's write waits for the disk), then, unless another
// copy holds it, listFirstPaintFolders.
struct TakingFolder {
    std::future<DataFolderLock::State> taken;
    std::future<Listings> listed;
};
TakingFolder takeAndList(DataFolderLock& lock, const QString& dataFolder);

// What the window tells the user once it is up, when another computer's lock is in the
// folder; empty otherwise.
QString otherComputerNotice(const DataFolderLock& lock, const QString& dataFolder);

} // namespace quelora
