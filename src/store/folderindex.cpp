#include "store/folderindex.h"

#include "store/files.h"
#include "store/names.h"
#include "store/versions.h"

#include <QDateTime>
#include <QFileInfo>

namespace quelora::store {

FolderIndex::FolderIndex(const QString& folder) : folder_(folder), names_(listFiles(folder)) {
    byKey_.reserve(names_.size());
    for (const QString& n : names_) {
        QString& taken = byKey_[nameKey(n)];
        if (taken.isEmpty() || takenBefore(n, taken)) taken = n;
    }
}

const QList<std::pair<QString, VersionName>>& FolderIndex::versions() const {
    std::call_once(versionsOnce_, [this] {
        auto found = std::make_shared<QList<std::pair<QString, VersionName>>>();
        const auto isFile = [this](const QString& base) { return contains(base); };
        for (const QString& n : names_)
            if (auto v = versionOfName(n, isFile)) found->append({n, std::move(*v)});
        versions_ = std::move(found);
    });
    return *versions_;
}

QString FolderIndex::find(const QString& name) const {
    if (name.isEmpty()) return {};
    const auto it = byKey_.constFind(nameKey(name));
    if (it == byKey_.constEnd()) return {};
    if (*it != name && names_.contains(name)) return name;
    return *it;
}

namespace {

struct Kept {
    std::shared_ptr<const FolderIndex> index;
    QDateTime modified;
};

QHash<QString, Kept>& keptIndexes() {
    static QHash<QString, Kept> kept;
    return kept;
}

} // namespace

std::shared_ptr<const FolderIndex> FolderIndex::kept(const QString& folder) {
    const auto it = keptIndexes().constFind(folder);
    if (it == keptIndexes().constEnd()) return nullptr;
    const QFileInfo info(folder);
    if (!info.isDir() || info.lastModified() != it->modified) return nullptr;
    return it->index;
}

FolderIndex::Listing FolderIndex::list(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.isDir()) return {};
    const QDateTime modified = info.lastModified();
    const QDateTime listedAt = QDateTime::currentDateTime();
    return {std::make_shared<const FolderIndex>(folder), modified, listedAt};
}

void FolderIndex::keep(const QString& folder, const Listing& listing) {
    // A listing is kept only once the folder's time is a few seconds older than the
    // listing: a change within the file system's granularity cannot hide behind it.
    if (listing.index && listing.modified.isValid() && listing.modified.addSecs(2) <= listing.listedAt)
        keptIndexes().insert(folder, {listing.index, listing.modified});
    else
        keptIndexes().remove(folder);
}

std::shared_ptr<const FolderIndex> FolderIndex::current(const QString& folder) {
    if (const auto index = kept(folder)) return index;
    const Listing listing = list(folder);
    keep(folder, listing);
    return listing.index ? listing.index : std::make_shared<const FolderIndex>();
}

} // namespace quelora::store
