#pragma once
// Inside the search: reading the searched folders file by file, as cheaply as the
// system allows, and learning of changes from the system where it can tell.
#include "store/watch.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

namespace quelora::search::detail {

using store::nowNs;
using store::Stamp;
using store::Watcher;

// Bytes held against a limit by several reader threads at once: each takes its share
// before it allocates, so the total never passes the limit, not even for a moment.
class Budget {
public:
    void setLimit(qint64 limit) { limit_ = limit; }
    // False, taking nothing, when bytes more would pass the limit.
    bool take(qint64 bytes);
    void give(qint64 bytes) { used_ -= bytes; }
    qint64 used() const { return used_; }
    // The most used at once since the last resetPeak().
    qint64 peak() const { return peak_; }
    void resetPeak() { peak_ = used_.load(); }

private:
    qint64 limit_ = 0;
    std::atomic<qint64> used_{0};
    std::atomic<qint64> peak_{0};
};

// The path with every link and "." or ".." resolved; empty when it leads nowhere.
QString resolvedPath(const QString& path);
// The same for folder / name where folder is resolved: a folder that is no link needs
// no walk from the root (a tenth of the time of resolvedPath).
QString resolvedIn(const QString& folder, const QString& name);
// Whether a resolved path is root or lies below it.
bool isInside(const QString& root, const QString& path);

// One folder open for looking up and reading its files by name.
class Dir {
public:
    // path: resolved (resolvedPath); a link put in its place later is not followed.
    explicit Dir(const QString& path);
    ~Dir();
    Dir(const Dir&) = delete;
    Dir& operator=(const Dir&) = delete;

    // The regular files in it (links followed), hidden ones included; false when it cannot
    // be listed. *links (if given) gets those that are symbolic links: what they lead to
    // can change without the folder hearing of it.
    bool list(QStringList* names, QSet<QString>* links = nullptr) const;
    bool isLink(const QString& name) const;
    // Where the link of that name leads, resolved; empty when nowhere.
    QString linkTarget(const QString& name) const;
    // The folder's own stamp, which moves whenever a name is added, removed or renamed.
    bool stampOfFolder(Stamp* stamp) const;
    // The stamp of a regular file of that name (links followed); false when there is none.
    bool stat(const QString& name, Stamp* stamp) const;
    // The first maxBytes bytes of the file (all of it when shorter) and its stamp; false
    // when there is no regular file or it cannot be read. Never blocks on a FIFO or device
    // put in a file's place. With a budget the bytes are taken from it before they are
    // allocated; when it has not that many left nothing is read and *refused is set.
    // name may be an absolute path (a link's resolved target): then a link in its place
    // is not followed.
    bool read(const QString& name, QByteArray* bytes, Stamp* stamp, qint64 maxBytes, Budget* budget = nullptr,
              bool* refused = nullptr) const;

private:
    QString path_;
    int fd_ = -1;
};

} // namespace quelora::search::detail
