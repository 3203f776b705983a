#pragma once
#include <QDateTime>
#include <QHash>
#include <cstdint>
#include <vector>
#include <QString>
#include <QStringList>
#include <QList>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace quelora::store {

struct VersionName;

// One listing of a folder's regular files, answering "which file has this name,
// letter case ignored" without touching the disk again. Routines that probe many
// names (the month grid, the read-outs) build one index per folder.
class FolderIndex {
public:
    FolderIndex() = default;
    explicit FolderIndex(const QString& folder);

    // The index of folder as it is now, listed again only when the folder has changed
    // since the last listing. A listing is kept only once the folder's modification
    // time is a few seconds old, so a change within the file system's timestamp
    // granularity can never hide behind an unchanged time.
    static std::shared_ptr<const FolderIndex> current(const QString& folder);
    // The kept index of folder while it is still true, without listing anything;
    // nullptr when there is none.
    static std::shared_ptr<const FolderIndex> kept(const QString& folder);

    // A listing made away from the window's thread (start-up lists the diary while the
    // window is being built): list() touches nothing shared and may run on any thread;
    // keep(), on the thread that asks current() and kept(), keeps it as current() would
    // have. index is null when folder is no folder.
    struct Listing {
        std::shared_ptr<const FolderIndex> index;
        QDateTime modified; // the folder's, read before it was listed
        QDateTime listedAt;
    };
    static Listing list(const QString& folder);
    static void keep(const QString& folder, const Listing& listing);
    // Several folders' listings, by folder.
    using Listings = QList<std::pair<QString, Listing>>;
    static void keep(const Listings& listings) {
        for (const auto& [folder, listing] : listings)
            keep(folder, listing);
    }

    // The stored name that is the same name, letter case ignored (store::sameName): the
    // exact spelling when it is there, else the variant store::takenBefore puts first;
    // empty when there is none.
    QString find(const QString& name) const;
    bool contains(const QString& name) const { return !find(name).isEmpty(); }
    const QStringList& names() const { return names_; }
    const QString& folder() const { return folder_; }
    // The names that are other versions of a file of the folder (store/versions.h), with
    // what each says; worked out once per listing, when first asked.
    const QList<std::pair<QString, VersionName>>& versions() const;

private:
    QString folder_;
    QStringList names_;
    // The variant taken for each nameKey, by the key's hash: a lifetime's "dias" keeps
    // 11,000 names, and their keys beside them would double what the index holds.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t name = 0; // 1 + its index in names_; 0: empty
    };
    std::vector<Slot> slots_;
    const Slot* slotOf(const QString& key, std::uint32_t hash) const;
    mutable std::once_flag versionsOnce_;
    mutable std::shared_ptr<QList<std::pair<QString, VersionName>>> versions_;
};

} // namespace quelora::store
