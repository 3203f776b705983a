#pragma once
// Telling that a file has changed: its stamp, and the system's notices of changes in
// watched folders. The search and the window learn of other programs' changes through
// these, one mechanism for both.
#include <QString>
#include <functional>
#include <memory>
#include <vector>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace quelora::store {

// What tells one state of a file from another without reading it.
struct Stamp {
    qint64 size = -1; // -1: never read
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; // metadata change (ctime): moves with any write, cannot be set back
    quint64 inode = 0;
    quint64 device = 0;
    bool operator==(const Stamp&) const = default;
};

// Wall-clock nanoseconds, the unit of the stamps.
qint64 nowNs();

// The stamp of the regular file at path (links followed); size -1 when there is none.
Stamp stampOf(const QString& path);
#ifdef Q_OS_UNIX
// The stamp of what stat() gave.
Stamp stampOfStat(const struct ::stat& st);
#endif

// One watch of the system for the whole program (an inotify instance on Linux), shared
// by every Watcher made on it: the window's and the search's follow the same folders with
// one watch each, and whichever takes the notices first hands the others theirs.
class WatchHub;

// The system's notices of files created, changed, renamed or removed in watched folders
// (inotify on Linux). Elsewhere, or when the system refuses, it is inactive; a folder on
// a network or FUSE file system is not watched, since changes made from another machine
// or below the mount give no notice there. Each Watcher is used from one thread; several
// on one hub may live on different threads.
class Watcher {
public:
    Watcher(); // on a hub of its own
    // On a shared hub. woken (if given) is called, on whatever thread took them, when
    // notices for this Watcher were taken from the system by another one: the hub's handle
    // will not be readable for them again.
    explicit Watcher(std::shared_ptr<WatchHub> hub, std::function<void()> woken = {});
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    bool active() const;
    // Readable whenever notices are pending (for an event loop to wait on); -1 when inactive.
    int handle() const;
    // An id for the folder's notices, or -1 when it cannot be watched. The same folder
    // gives the same id to every Watcher of a hub.
    int add(const QString& folder);
    void remove(int id);

    struct Notice {
        int id = -1;
        QString name;            // the file concerned
        bool folderGone = false; // the folder itself was removed or moved: its watch is over
    };
    // Every notice pending for this Watcher's folders, without waiting; *lost is set when
    // the system dropped some.
    std::vector<Notice> take(bool* lost);

    static std::shared_ptr<WatchHub> makeHub();

    struct Client; // what the hub keeps of each Watcher

private:
    std::shared_ptr<WatchHub> hub_;
    std::shared_ptr<Client> me_;
};

} // namespace quelora::store
