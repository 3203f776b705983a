// The search keeping up with its folders: which folders, which files, what changed since.
#include "calendar/calendar.h"
#include "notes/notes.h"
#include "records/records.h"
#include "search/entries.h"
#include "search/parallel.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/versions.h"

#include <QDir>

namespace quelora::search {

using namespace detail;

namespace {

// Whether a name is one of the folder's files, and the key of pages and notes (cards
// and day texts get theirs from the file's time when it is read).
std::optional<qint64> keyOfName(Kind kind, const QString& name) {
    // Hidden names include the store's temporaries; the test is kept for when they are not.
    if (name.startsWith(QLatin1Char('.')) || store::isPassingName(name)) return std::nullopt;
    // Another version of a page or a note is searched as one, on its day; another version
    // of a card or a day text is no file of its own.
    const std::optional<store::VersionName> version = store::versionOfName(name);
    const QString& named = version ? version->base : name;
    std::optional<qint64> key;
    switch (kind) {
    case Kind::Page:
        if (const auto d = records::pageDateOfName(named)) key = wallKey(*d, QTime(0, 0));
        break;
    case Kind::Note:
        if (const auto t = notes::noteTimeOfName(named)) key = wallKey(t->date(), t->time());
        break;
    case Kind::Card:
        key = 0;
        break;
    default:
        if (calendar::dayOfDayFileName(name)) key = 0;
        break;
    }
    if (key && store::isSystemFileName(name)) return std::nullopt;
    if (version && kind != Kind::Page && kind != Kind::Note) return std::nullopt;
    return key;
}

// Of the names of one page or day file, which the window takes: the name it asks for
// spelt exactly, else the first in code-unit order (as store::FolderIndex::find).
bool opensBefore(Kind kind, const QString& a, const QString& b) {
    QString asked;
    if (kind == Kind::Page) {
        if (const auto d = records::pageDateOfName(a))
            asked = records::pageName(calendar::dateCaption(d->dayOfWeek() - 1, *d));
    } else if (const auto day = calendar::dayOfDayFileName(a)) {
        asked = calendar::dayFileName(QString::number(day->day), calendar::monthName(day->month));
    }
    if (a == asked || b == asked) return a == asked;
    return store::takenBefore(a, b);
}

} // namespace

// The text of an entry goes; it will be read again.
void Searcher::Impl::drop(Entry& e) {
    if (e.kept) keptText.give(e.bytes.size());
    e.bytes = QByteArray();
    e.kept = false;
}

// The file has changed, or may have: everything known of it goes.
void Searcher::Impl::forget(Entry& e) {
    drop(e);
    e.stamp = Stamp();
    e.settled = false;
    e.fresh = true;
}

Entry& Searcher::Impl::add(Place& p, const QString& name, qint64 key) {
    Entry& e = *p.entries.insert(name, Entry());
    e.key = key;
    if (p.kind == Kind::Card) p.nameKeys.insert(name, store::nameKey(name));
    p.renamed = true;
    return e;
}

void Searcher::Impl::erase(Place& p, const QString& name) {
    if (const auto it = p.entries.find(name); it != p.entries.end()) {
        drop(*it);
        p.entries.erase(it);
    }
    p.targets.remove(name);
    p.nameKeys.remove(name);
    p.renamed = true;
}

// Everything read goes, as before the first query: what a failed query leaves.
void Searcher::Impl::reset() {
    for (auto& p : places) {
        p->entries.clear();
        p->targets.clear();
        p->nameKeys.clear();
        p->links.clear();
        p->dirty.clear();
        p->listed = Stamp();
        p->relist = true;
        p->renamed = true;
    }
    keptText.give(keptText.used());
    overBudget = false;
    lastWords.clear();
}

void Searcher::Impl::resolveFolders() {
    struct Wanted {
        Kind kind;
        QString top, group;
        QString real;
    };
    // A folder that is a link (or lies below one) is searched only where it stays inside.
    root = detail::resolvedPath(data);
    std::vector<Wanted> wanted;
    const std::pair<Kind, QString> tops[] = {{Kind::Page, layout::kPages},
                                             {Kind::Note, layout::kNotes},
                                             {Kind::Holiday, records::dayRecordFolder(0)},
                                             {Kind::Reminder, records::dayRecordFolder(1)},
                                             {Kind::Saint, records::dayRecordFolder(2)}};
    for (const auto& [kind, name] : tops)
        if (const QString stored = store::findFolder(data, name); !stored.isEmpty())
            wanted.push_back({kind, stored, {}, detail::resolvedIn(root, stored)});
    if (const QString book = store::findFolder(data, layout::kBook); !book.isEmpty()) {
        const QString real = detail::resolvedIn(root, book);
        for (const QString& group : store::listFolders(store::joinPath(data, book)))
            if (!group.startsWith(QLatin1Char('.')) && !store::versionOfName(group))
                wanted.push_back(
                    {Kind::Card, book, group, real.isEmpty() ? real : detail::resolvedIn(real, group)});
    }

    std::vector<std::unique_ptr<Place>> next;
    for (const Wanted& w : wanted) {
        QString path = store::joinPath(data, w.top);
        if (!w.group.isEmpty()) path = store::joinPath(path, w.group);
        const QString& real = w.real;
        if (real.isEmpty() || !detail::isInside(root, real)) continue;
        const auto same = std::find_if(places.begin(), places.end(), [&](const std::unique_ptr<Place>& p) {
            return p && p->path == path && p->real == real && p->kind == w.kind;
        });
        if (same != places.end()) {
            next.push_back(std::move(*same));
            continue;
        }
        auto p = std::make_unique<Place>();
        p->kind = w.kind;
        p->top = w.top;
        p->group = w.group;
        p->path = path;
        p->real = real;
        p->todos = w.kind == Kind::Card && store::sameName(w.group, layout::kAllCards);
        next.push_back(std::move(p));
    }
    for (auto& gone : places) {
        if (!gone) continue;
        for (Entry& e : gone->entries)
            drop(e);
        if (gone->watch >= 0) {
            watcher->remove(gone->watch);
            byWatch.remove(gone->watch);
        }
    }
    places = std::move(next);
}

void Searcher::Impl::takeNotices() {
    if (!watcher) return;
    bool lost = false;
    for (const detail::Watcher::Notice& n : watcher->take(&lost)) {
        Place* p = byWatch.value(n.id);
        if (!p) continue;
        if (n.folderGone) {
            watcher->remove(n.id);
            byWatch.remove(n.id);
            p->watch = -1;
            p->relist = true;
        } else {
            p->dirty.insert(n.name);
        }
    }
    if (lost)
        for (auto& p : places)
            p->relist = true;
}

// Where a link leads, against where it led: out of the data folder it is never read,
// and a new target is a new file. A name that is no link (any more) is read as itself.
void Searcher::Impl::checkLink(Place& p, const Dir& dir, const QString& name, Entry& e, bool link) {
    const QString resolved = link ? dir.linkTarget(name) : QString();
    const bool outside = link && (resolved.isEmpty() || !detail::isInside(root, resolved));
    const QString target = outside ? QString() : resolved;
    if (outside == e.outside && target == p.targets.value(name)) return;
    forget(e);
    e.outside = outside;
    e.linked = !target.isEmpty();
    if (e.linked)
        p.targets.insert(name, target);
    else
        p.targets.remove(name);
}

// Every file of the folder against what was read of it: new names come in, names gone
// go, a changed stamp (or one too recent to trust) means reading again.
// Touches nothing but the place and the atomic totals: places are listed side by side.
bool Searcher::Impl::relist(Place& p, bool mayGiveUp) {
    if (mayGiveUp && cancelled()) return false;
    const Dir dir(p.real);
    const qint64 now = detail::nowNs();
    // The listing is kept while the folder's stamp stays as it was (and was settled).
    Stamp folder;
    const bool same = dir.stampOfFolder(&folder) && folder == p.listed && !p.relist;
    if (!same) {
        QStringList names;
        dir.list(&names, &p.links);
        p.listed = settled(folder, now) ? folder : Stamp();
        // The first listing only adds; a later one also finds the names gone.
        const bool first = p.entries.isEmpty();
        QSet<QString> seen;
        if (first)
            p.entries.reserve(names.size());
        else
            seen.reserve(names.size());
        for (const QString& name : std::as_const(names)) {
            const auto key = keyOfName(p.kind, name);
            if (!key) continue;
            if (!first) {
                seen.insert(name);
                if (p.entries.contains(name)) continue;
            }
            add(p, name, *key);
        }
        QStringList gone;
        for (auto it = p.entries.cbegin(); !first && it != p.entries.cend(); ++it)
            if (!seen.contains(it.key())) gone << it.key();
        for (const QString& name : std::as_const(gone))
            erase(p, name);
    }
    int asked = 0;
    for (auto it = p.entries.begin(); it != p.entries.end(); ++it) {
        // Given up, the names still dirty stay so, and the place is not taken as checked.
        if (mayGiveUp && (++asked & 63) == 0 && cancelled()) return false;
        Entry& e = *it;
        if (const bool link = p.links.contains(it.key()); link || e.outside || e.linked)
            checkLink(p, dir, it.key(), e, link);
        Stamp stamp;
        if (e.stamp.size >= 0 &&
            (p.dirty.contains(it.key()) || !e.settled || !dir.stat(it.key(), &stamp) || stamp != e.stamp)) {
            forget(e);
            // A name the kept listing still holds but the folder no longer has is found
            // missing when it is read, and matches nothing.
        }
    }
    p.dirty.clear();
    p.relist = false;
    return true;
}

// A check ahead of the queries is due once a folder's last is three quarters of the
// interval old: done then, between queries, it is never old enough for a query to pay one.
namespace {
qint64 aheadNs(qint64 intervalNs) {
    return intervalNs - intervalNs / 4;
}
} // namespace

qint64 Searcher::Impl::nsUntilCheckAhead() const {
    if (recheckAfterNs <= 0) return -1;
    const qint64 now = detail::nowNs();
    qint64 soonest = -1;
    for (const auto& p : places) {
        if (p->watch >= 0) continue;
        const qint64 due = p->relist ? 0 : std::max<qint64>(0, p->checkedNs + aheadNs(recheckAfterNs) - now);
        if (soonest < 0 || due < soonest) soonest = due;
    }
    return soonest;
}

bool Searcher::Impl::checkAhead() {
    std::vector<Place*> toList;
    for (auto& p : places)
        if (p->watch < 0) toList.push_back(p.get());
    const qint64 now = detail::nowNs();
    std::atomic<bool> whole{true};
    inParallel(toList.size(), 1, 2, [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            if (relist(*toList[i], true))
                toList[i]->checkedNs = now;
            else
                whole = false;
        }
    });
    return whole;
}

// Only the names the notices gave.
void Searcher::Impl::recheck(Place& p) {
    const Dir dir(p.real);
    for (const QString& name : std::as_const(p.dirty)) {
        const auto key = keyOfName(p.kind, name);
        if (!key) continue;
        Stamp now;
        auto it = p.entries.find(name);
        if (!dir.stat(name, &now)) {
            if (it == p.entries.end()) continue;
            erase(p, name);
            p.links.remove(name);
            continue;
        }
        Entry& e = it == p.entries.end() ? add(p, name, *key) : *it;
        forget(e);
        if (dir.isLink(name))
            p.links.insert(name);
        else
            p.links.remove(name);
        if (const bool link = p.links.contains(name); link || e.outside || e.linked)
            checkLink(p, dir, name, e, link);
    }
    p.dirty.clear();
}

// A link's target may live in a folder nobody watches: its stamp is compared at each query.
void Searcher::Impl::checkLinks(Place& p) {
    const Dir dir(p.real);
    for (const QString& name : std::as_const(p.links)) {
        const auto it = p.entries.find(name);
        if (it == p.entries.end()) continue;
        checkLink(p, dir, name, *it, true);
        if (it->stamp.size < 0) continue;
        Stamp now;
        if (!it->settled || !dir.stat(name, &now) || now != it->stamp) forget(*it);
    }
}

// A page or day file stored in several letter cases is searched in the one spelling
// the window opens; cards and notes are each a file of their own.
void Searcher::Impl::chooseVariants(Place& p) {
    if (!p.renamed) return;
    p.renamed = false;
    if (p.kind == Kind::Note || p.kind == Kind::Card) return;
    // Pages by their date's key, day files by their day: the same name in any letter case.
    const auto slotOf = [&](const QString& name, const Entry& e) -> qint64 {
        if (p.kind == Kind::Page) return e.key;
        const auto day = calendar::dayOfDayFileName(name);
        return day ? day->month * 100 + day->day : 0;
    };
    QHash<qint64, const QString*> taken;
    taken.reserve(p.entries.size());
    for (auto it = p.entries.cbegin(); it != p.entries.cend(); ++it) {
        if (store::versionOfName(it.key())) continue; // another version is never one of the spellings
        const QString*& t = taken[slotOf(it.key(), *it)];
        if (!t || opensBefore(p.kind, it.key(), *t)) t = &it.key();
    }
    for (auto it = p.entries.begin(); it != p.entries.end(); ++it) {
        const bool variant =
            !store::versionOfName(it.key()) && taken.value(slotOf(it.key(), *it)) != &it.key();
        if (variant == it->variant) continue;
        forget(*it);
        it->variant = variant;
    }
}

void Searcher::Impl::refresh(bool pagesOnly) {
    if (watchWanted && !watcher)
        watcher = hub ? std::make_unique<detail::Watcher>(hub) : std::make_unique<detail::Watcher>();
    stats.watching = watcher && watcher->active();
    resolveFolders();
    takeNotices();
    std::vector<Place*> toList;
    const qint64 now = detail::nowNs();
    for (auto& p : places) {
        if (pagesOnly && p->kind != Kind::Page) continue;
        if (watcher && p->watch < 0) {
            // Watched before it is listed, so nothing that happens after the listing is missed.
            const int id = watcher->add(p->real);
            if (id >= 0 && !byWatch.contains(id)) {
                p->watch = id;
                byWatch.insert(id, p.get());
            }
        }
        if (p->relist || (p->watch < 0 && (recheckAfterNs <= 0 || now - p->checkedNs >= recheckAfterNs))) {
            if (p->watch < 0) p->checkedNs = now;
            toList.push_back(p.get());
            continue;
        }
        if (!p->dirty.isEmpty()) recheck(*p);
        if (!p->links.isEmpty()) checkLinks(*p);
    }
    inParallel(toList.size(), 1, 2, [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i)
            relist(*toList[i]);
    });
    for (auto& p : places)
        if (!pagesOnly || p->kind == Kind::Page) chooseVariants(*p);
}

} // namespace quelora::search
