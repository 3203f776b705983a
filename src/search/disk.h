#pragma once
// Inside the search: reading the searched folders file by file, as cheaply as the
// system allows, and learning of changes from the system where it can tell.
#include "store/watch.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace quelora::search::detail {

using store::nowNs;
using store::Stamp;
using store::Watcher;

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

} // namespace quelora::search::detail
