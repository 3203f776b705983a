#include "store/folderindex.h"

#include "store/files.h"

namespace quelora::store {

FolderIndex::FolderIndex(const QString& folder) : folder_(folder), names_(listFiles(folder)) {
    byUpper_.reserve(names_.size());
    for (const QString& n : names_) byUpper_.insert(n.toUpper(), n);
}

QString FolderIndex::find(const QString& name) const {
    if (name.isEmpty()) return {};
    const auto it = byUpper_.constFind(name.toUpper());
    if (it == byUpper_.constEnd()) return {};
    if (*it != name && names_.contains(name)) return name;
    return *it;
}

} // namespace quelora::store
