#include "addresses/cards.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "search/disk.h"
#include "search/matching.h"
#include "search/parallel.h"
#include "search/search.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <vector>

namespace quelora::search {

using detail::Dir;
using detail::inParallel;
using detail::Stamp;

namespace {

constexpr qint64 kMsPerDay = 86400000;
// A stamp is trusted once the file (or folder) had been still this long when it was
// read: a change within the file system's timestamp granularity cannot hide behind it.
constexpr qint64 kSettleNs = 2000000000;

bool settled(const Stamp& s, qint64 readAtNs) {
    return std::max(s.modifiedNs, s.changedNs) + kSettleNs <= readAtNs;
}

// Moments as local wall-clock milliseconds: pages and notes carry no time zone.
qint64 wallKey(const QDate& date, const QTime& time) {
    return date.toJulianDay() * kMsPerDay + time.msecsSinceStartOfDay();
}

qint64 wallKeyOfFileTime(qint64 ns) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ns / 1000000);
    return wallKey(local.date(), local.time());
}

QDateTime dateTimeOfKey(qint64 key) {
    return QDateTime(QDate::fromJulianDay(key / kMsPerDay),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(key % kMsPerDay)));
}

// The first cache lines of a text, asked of memory before they are needed.
inline void prefetch(const QByteArray& bytes) {
#if defined(__GNUC__) || defined(__clang__)
    const char* p = bytes.constData();
    for (qsizetype k = 0; k < std::min<qsizetype>(bytes.size(), 512); k += 64)
        __builtin_prefetch(p + k);
#else
    Q_UNUSED(bytes);
#endif
}

struct Entry {
    QByteArray bytes;     // the file as read (its first kFileCapBytes), while kept
    Stamp stamp;          // as read; size -1 until then
    qint64 key = 0;       // the moment the order is by
    bool kept = false;    // bytes hold the file
    bool settled = false; // the stamp can be trusted to change with the file
    bool fresh = true;    // new or changed since the last query: a narrowed query still looks
    bool matched = false; // matched the last query
    bool outside = false; // a link out of the data folder: never read
    bool linked = false;  // a link inside it: read where Place::targets says
    bool variant = false; // a page or day file in another letter case than the one the window opens
};

bool searchable(const Entry& e) {
    return !e.outside && !e.variant;
}

// One searched folder.
struct Place {
    Kind kind = Kind::Page;
    QString top;   // stored name below the data folder
    QString group; // cards: the group folder's stored name
    QString path;  // as the window names it: data folder / top [/ group]
    QString real;  // the same resolved, inside the data folder: what is opened and watched
    bool todos = false;
    int watch = -1;      // notices arrive for it; else it is checked file by file at each query
    bool relist = true;  // list it and check every file at the next query
    bool renamed = true; // names came or went: which spelling of a page is searched is chosen again
    Stamp listed;        // the folder's stamp at the last listing, when settled then
    QSet<QString> dirty; // names to take afresh at the next query
    QSet<QString> links; // names that are symbolic links: checked at each query, notices or not
    QHash<QString, Entry> entries;
    // Beside the entries, which every query walks: what only a few of them need.
    QHash<QString, QString> targets;  // links inside the data folder: their files, resolved
    QHash<QString, QString> nameKeys; // cards: store::nameKey of each name, telling a "Todos" copy by
};

// Whether a name is one of the folder's files, and the key of pages and notes (cards
// and day texts get theirs from the file's time when it is read).
std::optional<qint64> keyOfName(Kind kind, const QString& name) {
    // Hidden names include the store's temporaries; the test is kept for when they are not.
    if (name.startsWith(QLatin1Char('.')) || store::isTemporaryName(name)) return std::nullopt;
    std::optional<qint64> key;
    switch (kind) {
    case Kind::Page:
        if (const auto d = pageDateOfName(name)) key = wallKey(*d, QTime(0, 0));
        break;
    case Kind::Note:
        if (const auto t = noteTimeOfName(name)) key = wallKey(t->date(), t->time());
        break;
    case Kind::Card:
        key = 0;
        break;
    default:
        if (dayOfDayFileName(name)) key = 0;
        break;
    }
    if (key && store::isSystemFileName(name)) return std::nullopt;
    return key;
}

bool keyFromName(Kind kind) {
    return kind == Kind::Page || kind == Kind::Note;
}

// Of the names of one page or day file, which the window takes: the name it asks for
// spelt exactly, else the first in code-unit order (as store::FolderIndex::find).
bool opensBefore(Kind kind, const QString& a, const QString& b) {
    QString asked;
    if (kind == Kind::Page) {
        if (const auto d = pageDateOfName(a))
            asked = records::pageName(calendar::dateCaption(d->dayOfWeek() - 1, *d));
    } else if (const auto day = dayOfDayFileName(a)) {
        asked = calendar::dayFileName(QString::number(day->day), calendar::monthName(day->month));
    }
    if (a == asked || b == asked) return a == asked;
    return store::takenBefore(a, b);
}

// Old words found inside new ones: every text the new query finds, the old one found.
bool narrows(const QStringList& before, const QStringList& now) {
    if (before.isEmpty()) return false;
    for (const QString& old : before)
        if (std::none_of(now.begin(), now.end(), [&](const QString& w) { return w.contains(old); }))
            return false;
    return true;
}

} // namespace

struct Searcher::Impl {
    QString data;
    QString root; // the data folder resolved, at the last refresh: nothing outside it is read
    qint64 budget = kDefaultBudgetBytes;
    bool watchWanted = true;
    std::unique_ptr<detail::Watcher> watcher;
    std::vector<std::unique_ptr<Place>> places;
    QHash<int, Place*> byWatch;
    // Shared by the threads of one call.
    detail::Budget keptText; // bytes of the kept texts, within what the budget leaves the entries
    std::atomic<int> reads{0};
    bool overBudget = false;
    QStringList lastWords;
    Stats stats;

    QList<Hit> find(const QString& query, int limit);
    QList<Hit> otherYears(const QDate& date, int limit);
    void reset();
    // pagesOnly: the diary's folders alone; the others wait for the next query.
    void refresh(bool pagesOnly = false);
    void resolveFolders();
    void takeNotices();
    void relist(Place& p);
    void recheck(Place& p);
    void checkLinks(Place& p);
    void checkLink(Place& p, const Dir& dir, const QString& name, Entry& e, bool link);
    void chooseVariants(Place& p);
    Entry& add(Place& p, const QString& name, qint64 key);
    void erase(Place& p, const QString& name);
    void forget(Entry& e);
    void drop(Entry& e);
    bool readEntry(const Place& p, const Dir& dir, const QString& name, Entry& e, QByteArray* bytes,
                   bool withKey = true, detail::Budget* into = nullptr, bool* refused = nullptr);
    void load();
    qint64 entryCount() const;
    Hit hitOf(const Place& p, const QString& name, Entry& e, const std::vector<detail::Word>& words,
              const QByteArray* read = nullptr);
};

Searcher::Searcher(QString dataFolder, qint64 budgetBytes, bool watchFolders) : d_(std::make_unique<Impl>()) {
    d_->data = QDir(dataFolder).absolutePath();
    d_->budget = budgetBytes;
    d_->watchWanted = watchFolders;
}

Searcher::~Searcher() = default;

const Searcher::Stats& Searcher::lastStats() const {
    return d_->stats;
}

void Searcher::fileWritten(const QString& path) {
    try {
        const QFileInfo fi(path);
        const QString folder = QDir::cleanPath(fi.absolutePath());
        for (auto& p : d_->places)
            if (p->path == folder) p->dirty.insert(fi.fileName());
    } catch (...) {
        for (auto& p : d_->places)
            p->relist = true;
    }
}

// ---- Keeping up with the folders ------------------------------------------------------

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
            if (!group.startsWith(QLatin1Char('.')))
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
void Searcher::Impl::relist(Place& p) {
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
    for (auto it = p.entries.begin(); it != p.entries.end(); ++it) {
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
        const auto day = dayOfDayFileName(name);
        return day ? day->month * 100 + day->day : 0;
    };
    QHash<qint64, const QString*> taken;
    taken.reserve(p.entries.size());
    for (auto it = p.entries.cbegin(); it != p.entries.cend(); ++it) {
        const QString*& t = taken[slotOf(it.key(), *it)];
        if (!t || opensBefore(p.kind, it.key(), *t)) t = &it.key();
    }
    for (auto it = p.entries.begin(); it != p.entries.end(); ++it) {
        const bool variant = taken.value(slotOf(it.key(), *it)) != &it.key();
        if (variant == it->variant) continue;
        forget(*it);
        it->variant = variant;
    }
}

void Searcher::Impl::refresh(bool pagesOnly) {
    if (watchWanted && !watcher) watcher = std::make_unique<detail::Watcher>();
    stats.watching = watcher && watcher->active();
    resolveFolders();
    takeNotices();
    std::vector<Place*> toList;
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
        if (p->relist || p->watch < 0) {
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

// ---- Reading --------------------------------------------------------------------------

// The file's first part into *bytes, its stamp and key into e.
bool Searcher::Impl::readEntry(const Place& p, const Dir& dir, const QString& name, Entry& e,
                               QByteArray* bytes, bool withKey, detail::Budget* into, bool* refused) {
    ++reads;
    Stamp stamp;
    if (!dir.read(e.linked ? p.targets.value(name) : name, bytes, &stamp, kFileCapBytes, into, refused)) {
        e.stamp = Stamp();
        return false;
    }
    e.stamp = stamp;
    e.settled = settled(stamp, detail::nowNs());
    // Local time is the C library's, with state of its own: on the calling thread only.
    if (!keyFromName(p.kind) && withKey) e.key = wallKeyOfFileTime(stamp.modifiedNs);
    return true;
}

qint64 Searcher::Impl::entryCount() const {
    qint64 n = 0;
    for (const auto& p : places)
        n += p->entries.size();
    return n;
}

// Every file not yet kept is read and kept, while the total stays within the budget:
// each reader takes a file's bytes from it before reading, so it is never passed.
void Searcher::Impl::load() {
    const qint64 overhead = entryCount() * kEntryOverhead;
    if (overBudget) {
        // Back to keeping texts once the files known would fit again.
        qint64 known = overhead;
        for (const auto& p : places)
            for (const Entry& e : p->entries)
                if (searchable(e)) known += std::clamp<qint64>(e.stamp.size, 0, kFileCapBytes);
        if (known > budget) return;
        overBudget = false;
    }
    keptText.setLimit(budget - overhead);
    struct Job {
        Place* place;
        const QString* name;
        Entry* entry;
    };
    std::vector<Job> jobs;
    for (auto& p : places)
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it)
            if (!it->kept && searchable(*it)) jobs.push_back({p.get(), &it.key(), &*it});
    std::atomic<bool> over{false};
    inParallel(jobs.size(), 64, 256, [&](size_t begin, size_t end) {
        std::unique_ptr<Dir> dir;
        const Place* open = nullptr;
        for (size_t i = begin; i < end && !over; ++i) {
            const Job& job = jobs[i];
            if (job.place != open) {
                dir = std::make_unique<Dir>(job.place->real);
                open = job.place;
            }
            Entry& e = *job.entry;
            bool refused = false;
            if (readEntry(*job.place, *dir, *job.name, e, &e.bytes, false, &keptText, &refused)) {
                e.kept = true;
                e.fresh = true;
            } else if (refused) {
                over = true;
            }
        }
    });
    for (const Job& job : jobs)
        if (job.entry->stamp.size >= 0 && !keyFromName(job.place->kind))
            job.entry->key = wallKeyOfFileTime(job.entry->stamp.modifiedNs);
    if (over) {
        overBudget = true;
        for (auto& p : places)
            for (Entry& e : p->entries)
                drop(e);
    }
}

// ---- Queries --------------------------------------------------------------------------

Hit Searcher::Impl::hitOf(const Place& p, const QString& name, Entry& e,
                          const std::vector<detail::Word>& words, const QByteArray* read) {
    Hit h;
    h.kind = p.kind;
    h.folder = p.top;
    h.group = p.group;
    h.file = name;
    h.path = store::joinPath(p.path, name);
    h.when = dateTimeOfKey(e.key);

    QByteArray bytes = read ? *read : e.bytes;
    if (!e.kept && !read) readEntry(p, Dir(p.real), name, e, &bytes);
    switch (p.kind) {
    case Kind::Page:
        h.date = pageDateOfName(name).value_or(QDate());
        h.caption = name.chopped(4);
        break;
    case Kind::Note:
        h.noteTime = noteTimeOfName(name).value_or(QDateTime());
        h.caption = noteCaption(h.noteTime);
        break;
    case Kind::Card: {
        QString surname = addresses::cardFromFile(bytes)[0];
        if (surname.isEmpty()) surname = name;
        h.caption = surname + QStringLiteral(" \u2014 ") + p.group;
        break;
    }
    default:
        if (const auto day = dayOfDayFileName(name)) {
            h.day = day->day;
            h.month = day->month;
        }
        h.caption = dayTextCaption(p.kind, name);
        break;
    }
    detail::Found found = detail::findAll(words, bytes);
    QByteArray shown = bytes;
    if (words.empty()) {
        // No query: the text from its first word, without the blank lines above it.
        qsizetype first = 0;
        while (first < bytes.size() && QChar::isSpace(static_cast<uchar>(bytes[first])))
            ++first;
        shown = QByteArray::fromRawData(bytes.constData() + first, bytes.size() - first);
        found = {0, 0};
    }
    const detail::Excerpt ex = detail::makeExcerpt(shown, std::max<qsizetype>(0, found.at), found.length);
    h.excerpt = ex.text;
    h.hitStart = ex.start;
    h.hitLength = ex.length;
    return h;
}

namespace {

// A query that throws (out of memory, most likely) finds nothing: what was read goes,
// and the next query starts afresh.
template <typename Impl, typename Query> QList<Hit> guarded(Impl& d, Query query) {
    d.stats = {};
    try {
        return query();
    } catch (...) {
        d.reset();
        d.stats = {};
        d.stats.failed = true;
        return {};
    }
}

} // namespace

QList<Hit> Searcher::find(const QString& query, int limit) {
    return guarded(*d_, [&] { return d_->find(query, limit); });
}

QList<Hit> Searcher::otherYears(const QDate& date, int limit) {
    return guarded(*d_, [&] { return d_->otherYears(date, limit); });
}

QList<Hit> Searcher::Impl::otherYears(const QDate& date, int limit) {
    reads = 0;
    lastWords.clear(); // the field is empty: the next query narrows nothing
    if (!date.isValid()) return {};
    refresh(true);
    keptText.resetPeak();
    keptText.setLimit(budget - entryCount() * kEntryOverhead);
    struct Page {
        qint64 key;
        Place* place;
        const QString* name;
        Entry* entry;
    };
    std::vector<Page> pages;
    for (auto& p : places) {
        if (p->kind != Kind::Page) continue;
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it) {
            if (!searchable(*it)) continue;
            ++stats.files;
            int y = 0, m = 0, d = 0;
            QDate::fromJulianDay(it->key / kMsPerDay).getDate(&y, &m, &d);
            if (d == date.day() && m == date.month() && y != date.year())
                pages.push_back({it->key, p.get(), &it.key(), &*it});
        }
    }
    stats.searched = static_cast<int>(pages.size());
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) {
        return a.key != b.key ? a.key > b.key : *a.name < *b.name;
    });

    // A few dozen pages at most: read here, one after the other, and kept for the
    // queries to come while the budget allows.
    QList<Hit> hits;
    std::unique_ptr<Dir> dir;
    const Place* open = nullptr;
    for (const Page& pg : pages) {
        Entry& e = *pg.entry;
        QByteArray read;
        if (!e.kept) {
            if (pg.place != open) {
                dir = std::make_unique<Dir>(pg.place->real);
                open = pg.place;
            }
            bool refused = false;
            if (!overBudget &&
                readEntry(*pg.place, *dir, *pg.name, e, &e.bytes, false, &keptText, &refused)) {
                e.kept = true;
                e.fresh = true;
            } else if (!readEntry(*pg.place, *dir, *pg.name, e, &read, false)) {
                continue; // gone since the listing
            }
        }
        const QByteArray& bytes = e.kept ? e.bytes : read;
        if (bytes.isEmpty()) continue; // an empty page has nothing written
        ++stats.matched;
        if (limit <= 0 || hits.size() < limit) hits << hitOf(*pg.place, *pg.name, e, {}, &bytes);
    }
    stats.kept = overBudget ? 0 : keptText.used() + entryCount() * kEntryOverhead;
    stats.peak = keptText.peak();
    stats.overBudget = overBudget;
    stats.read = reads;
    return hits;
}

QList<Hit> Searcher::Impl::find(const QString& query, int limit) {
    reads = 0;
    const QStringList words = queryWords(query);
    if (words.isEmpty()) {
        lastWords.clear();
        return {}; // an empty field costs nothing
    }
    refresh();
    keptText.resetPeak();
    load();
    const bool narrowed = narrows(lastWords, words);
    const std::vector<detail::Word> compiled = detail::compileQuery(words);

    struct Match {
        qint64 key;
        Place* place;
        const QString* name;
        Entry* entry;
    };
    std::vector<Match> candidates;
    for (auto& p : places)
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it) {
            Entry& e = *it;
            if (!searchable(e)) continue;
            ++stats.files;
            if (narrowed && !e.matched && !e.fresh) {
                stats.cut += e.stamp.size > kFileCapBytes;
                continue;
            }
            candidates.push_back({e.key, p.get(), &it.key(), &e});
        }
    stats.searched = static_cast<int>(candidates.size());

    // Both cores again: each file is looked at by one thread, which writes only its entry.
    inParallel(candidates.size(), 256, 2048, [&](size_t begin, size_t end) {
        QByteArray read;
        std::unique_ptr<Dir> dir;
        const Place* open = nullptr;
        for (size_t i = begin; i < end; ++i) {
            // The texts lie all over the heap: the next ones are fetched while this one is searched.
            if (i + 2 < end) prefetch(candidates[i + 2].entry->bytes);
            const Match& c = candidates[i];
            Entry& e = *c.entry;
            const QByteArray* bytes = &e.bytes;
            if (!e.kept) {
                // Over the budget (or a file that could not be read): from the disk, one
                // file's first part at a time.
                if (c.place != open) {
                    dir = std::make_unique<Dir>(c.place->real);
                    open = c.place;
                }
                if (!readEntry(*c.place, *dir, *c.name, e, &read, false)) read.clear();
                bytes = &read;
            }
            e.matched = detail::findAll(compiled, *bytes).at >= 0;
            e.fresh = false;
        }
    });
    // A "Todos" copy of a card shows only when the card in its own group does not.
    QSet<QString> inGroups;
    for (const Match& c : candidates)
        if (c.entry->matched && c.place->kind == Kind::Card && !c.place->todos)
            inGroups.insert(c.place->nameKeys.value(*c.name));
    std::vector<Match> matches;
    for (const Match& c : candidates) {
        Entry& e = *c.entry;
        if (!e.kept && e.stamp.size >= 0 && !keyFromName(c.place->kind))
            e.key = wallKeyOfFileTime(e.stamp.modifiedNs); // read just now, off this thread
        stats.cut += e.stamp.size > kFileCapBytes;
        if (!e.matched || (c.place->todos && inGroups.contains(c.place->nameKeys.value(*c.name)))) continue;
        matches.push_back({e.key, c.place, c.name, &e});
    }
    lastWords = words;
    stats.matched = static_cast<int>(matches.size());

    const auto newer = [](const Match& a, const Match& b) {
        if (a.key != b.key) return a.key > b.key;
        if (a.place->kind != b.place->kind) return a.place->kind < b.place->kind;
        if (*a.name != *b.name) return *a.name < *b.name;
        return a.place->path < b.place->path;
    };
    const size_t count = limit <= 0 ? matches.size() : std::min(matches.size(), static_cast<size_t>(limit));
    std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(count), matches.end(),
                      newer);

    QList<Hit> hits;
    hits.reserve(static_cast<qsizetype>(count));
    for (size_t i = 0; i < count; ++i)
        hits << hitOf(*matches[i].place, *matches[i].name, *matches[i].entry, compiled);
    stats.kept = overBudget ? 0 : keptText.used() + entryCount() * kEntryOverhead;
    stats.peak = keptText.peak();
    stats.overBudget = overBudget;
    stats.read = reads;
    return hits;
}

} // namespace quelora::search
