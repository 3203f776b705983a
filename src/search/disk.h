#pragma once
// Inside the search: reading the searched folders file by file, as cheaply as the
// system allows, and learning of changes from the system where it can tell.
#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace quelora::search::detail {

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

// One folder open for looking up and reading its files by name.
class Dir {
public:
    explicit Dir(const QString& path);
    ~Dir();
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;

    // The regular files in it (links followed), hidden ones included; false when it cannot
    // be listed. *links (if given) gets those that are symbolic links: what they lead to
    // can change without the folder hearing of it.
    bool list(QStringList* names, QSet<QString>* links = nullptr) const;
    bool isLink(const QString& name) const;
    // The folder's own stamp, which moves whenever a name is added, removed or renamed.
    bool stampOfFolder(Stamp* stamp) const;
    // The stamp of a regular file of that name (links followed); false when there is none.
    bool stat(const QString& name, Stamp* stamp) const;
    // Its bytes and stamp; false when there is no regular file or it cannot be read.
    // Never blocks on a FIFO or device put in a file's place.
    bool read(const QString& name, QByteArray* bytes, Stamp* stamp) const;

private:
    QString path_;
    int fd_ = -1;
};

// The system's notices of files created, changed, renamed or removed in watched folders
// (inotify on Linux). Elsewhere, or when the system refuses, it is inactive; a folder on
// a network or FUSE file system is not watched, since changes made from another machine
// or below the mount give no notice there.
class Watcher {
public:
    Watcher();
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    bool active() const { return fd_ >= 0; }
    // An id for the folder's notices, or -1 when it cannot be watched.
    int add(const QString& folder);
    void remove(int id);

    struct Notice {
        int id = -1;
        QString name;            // the file concerned
        bool folderGone = false; // the folder itself was removed or moved: its watch is over
    };
    // Every notice pending, without waiting; *lost is set when the system dropped some.
    std::vector<Notice> take(bool* lost);

private:
    int fd_ = -1;
};

} // namespace quelora::search::detail
