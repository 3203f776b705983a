#include "store/folderindex.h"

#include "store/files.h"
#include "store/names.h"
#include "store/versions.h"

#include <QDateTime>
#include <QFileInfo>

namespace quelora::store {

FolderIndex::FolderIndex(const QString& folder) : folder_(folder), names_(listFiles(folder)) {
    std::size_t size = 8;
    while (size < std::size_t(names_.size()) + std::size_t(names_.size()) / 2)
        size *= 2;
    slots_.resize(size);
    for (qsizetype i = 0; i < names_.size(); ++i) {
        const QString key = nameKey(names_[i]);
        const auto hash = std::uint32_t(qHash(key));
        if (auto* same = const_cast<Slot*>(slotOf(key, hash)); same->name != 0) {
            if (takenBefore(names_[i], names_[same->name - 1])) same->name = std::uint32_t(i + 1);
        } else {
            *same = {hash, std::uint32_t(i + 1)};
        }
    }
}

// The slot of the key: the one holding it, or the empty one where it would go.
const FolderIndex::Slot* FolderIndex::slotOf(const QString& key, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& s = slots_[at];
        if (s.name == 0 || (s.hash == hash && nameKey(names_[s.name - 1]) == key)) return &s;
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
    if (slots_.empty()) return {};
    const QString key = nameKey(name);
    const Slot* s = slotOf(key, std::uint32_t(qHash(key)));
    if (s->name == 0) return {};
    const QString& taken = names_[s->name - 1];
    if (taken != name && names_.contains(name)) return name;
    return taken;
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
