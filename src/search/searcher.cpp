#include "addresses/cards.h"
#include "records/records.h"
#include "search/disk.h"
#include "search/matching.h"
#include "search/search.h"
#include "store/layout.h"
#include "store/files.h"
#include "store/names.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace quelora::search {

using detail::Dir;
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

// Runs work(begin, end) over [0, count) in chunks, on as many threads as the machine
// has cores (up to four), all joined before it returns; on this thread alone when
// the work is small. Reading 24,000 files: 80 ms on one core, 47 ms on two.
template <class Work> void inParallel(size_t count, size_t chunk, size_t worthThreads, const Work& work) {
    const size_t cores = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
    const size_t threads = count < worthThreads ? 1 : std::min(cores, (count + chunk - 1) / chunk);
    std::atomic<size_t> next{0};
    const auto run = [&] {
        for (size_t begin; (begin = next.fetch_add(chunk)) < count;)
            work(begin, std::min(count, begin + chunk));
    };
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(run);
    run();
    for (std::thread& t : helpers)
        t.join();
}

struct Entry {
    QByteArray bytes;      // the file as read, while kept
    Stamp stamp;           // as read; size -1 until then
    qint64 key = 0;        // the moment the order is by
    bool kept = false;     // bytes hold the file
    bool settled = false;  // the stamp can be trusted to change with the file
    bool fresh = true;     // new or changed since the last query: a narrowed query still looks
    bool matched = false;  // matched the last query
    bool shadowed = false; // a "Todos" copy of a card shown under its own group
};

// One searched folder.
struct Place {
    Kind kind = Kind::Page;
    QString top;   // stored name below the data folder
    QString group; // cards: the group folder's stored name
    QString path;
    bool todos = false;
    int watch = -1;      // notices arrive for it; else it is checked file by file at each query
    bool relist = true;  // list it and check every file at the next query
    Stamp listed;        // the folder's stamp at the last listing, when settled then
    QSet<QString> dirty; // names to take afresh at the next query
    QSet<QString> links; // names that are symbolic links: checked at each query, notices or not
    QHash<QString, Entry> entries;
};

// Whether a name is one of the folder's files, and the key of pages and notes (cards
// and day texts get theirs from the file's time when it is read).
std::optional<qint64> keyOfName(Kind kind, const QString& name) {
    // Hidden names include the store's temporaries; the test is kept for when they are not.
    if (name.startsWith(QLatin1Char('.')) || store::isTemporaryName(name)) return std::nullopt;
    switch (kind) {
    case Kind::Page:
        if (const auto d = pageDateOfName(name)) return wallKey(*d, QTime(0, 0));
        return std::nullopt;
    case Kind::Note:
        if (const auto t = noteTimeOfName(name)) return wallKey(t->date(), t->time());
        return std::nullopt;
    case Kind::Card:
        return 0;
    default:
        return dayOfDayFileName(name) ? std::optional<qint64>(0) : std::nullopt;
    }
}

bool keyFromName(Kind kind) {
    return kind == Kind::Page || kind == Kind::Note;
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
    qint64 budget = kDefaultBudgetBytes;
    bool watchWanted = true;
    std::unique_ptr<detail::Watcher> watcher;
    std::vector<std::unique_ptr<Place>> places;
    QHash<int, Place*> byWatch;
    // Shared by the threads of one call.
    std::atomic<qint64> keptText{0}; // bytes of the kept texts
    std::atomic<bool> cardsChanged{true};
    std::atomic<int> reads{0};
    bool overBudget = false;
    QStringList lastWords;
    Stats stats;

    void refresh();
    void resolveFolders();
    void takeNotices();
    void relist(Place& p);
    void recheck(Place& p);
    void checkLinks(Place& p);
    void shadowTodosCopies();
    void forget(Entry& e);
    void drop(Entry& e);
    bool readEntry(const Dir& dir, Kind kind, const QString& name, Entry& e, QByteArray* bytes,
                   bool withKey = true);
    void load();
    qint64 entryCount() const;
    Hit hitOf(const Place& p, const QString& name, Entry& e, const std::vector<detail::Word>& words);
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
    const QFileInfo fi(path);
    const QString folder = QDir::cleanPath(fi.absolutePath());
    for (auto& p : d_->places)
        if (p->path == folder) p->dirty.insert(fi.fileName());
}

// ---- Keeping up with the folders ------------------------------------------------------

// The text of an entry goes; it will be read again.
void Searcher::Impl::drop(Entry& e) {
    if (e.kept) keptText -= e.bytes.size();
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

void Searcher::Impl::resolveFolders() {
    struct Wanted {
        Kind kind;
        QString top, group;
    };
    std::vector<Wanted> wanted;
    const std::pair<Kind, QString> tops[] = {{Kind::Page, layout::kPages},
                                             {Kind::Note, QStringLiteral("notas")},
                                             {Kind::Holiday, records::dayRecordFolder(0)},
                                             {Kind::Reminder, records::dayRecordFolder(1)},
                                             {Kind::Saint, records::dayRecordFolder(2)}};
    for (const auto& [kind, name] : tops)
        if (const QString stored = store::findFolder(data, name); !stored.isEmpty())
            wanted.push_back({kind, stored, {}});
    if (const QString book = store::findFolder(data, QStringLiteral("direcciones")); !book.isEmpty())
        for (const QString& group : store::listFolders(store::joinPath(data, book)))
            if (!group.startsWith(QLatin1Char('.'))) wanted.push_back({Kind::Card, book, group});

    std::vector<std::unique_ptr<Place>> next;
    for (const Wanted& w : wanted) {
        QString path = store::joinPath(data, w.top);
        if (!w.group.isEmpty()) path = store::joinPath(path, w.group);
        const auto same = std::find_if(places.begin(), places.end(), [&](const std::unique_ptr<Place>& p) {
            return p && p->path == path && p->kind == w.kind;
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
        p->todos =
            w.kind == Kind::Card && w.group.compare(layout::kAllCards, Qt::CaseInsensitive) == 0;
        if (w.kind == Kind::Card) cardsChanged = true;
        next.push_back(std::move(p));
    }
    for (auto& gone : places) {
        if (!gone) continue;
        if (gone->kind == Kind::Card) cardsChanged = true;
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

// Every file of the folder against what was read of it: new names come in, names gone
// go, a changed stamp (or one too recent to trust) means reading again.
// Touches nothing but the place and the atomic totals: places are listed side by side.
void Searcher::Impl::relist(Place& p) {
    const Dir dir(p.path);
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
            p.entries.insert(name, Entry())->key = *key;
            if (p.kind == Kind::Card) cardsChanged = true;
        }
        for (auto it = p.entries.begin(); !first && it != p.entries.end();) {
            if (seen.contains(it.key())) {
                ++it;
                continue;
            }
            if (p.kind == Kind::Card) cardsChanged = true;
            drop(*it);
            it = p.entries.erase(it);
        }
    }
    for (auto it = p.entries.begin(); it != p.entries.end();) {
        Entry& e = *it;
        Stamp stamp;
        if (e.stamp.size >= 0 &&
            (p.dirty.contains(it.key()) || !e.settled || !dir.stat(it.key(), &stamp) || stamp != e.stamp)) {
            forget(e);
            // A name the kept listing still holds but the folder no longer has is found
            // missing when it is read, and matches nothing.
        }
        ++it;
    }
    p.dirty.clear();
    p.relist = false;
}

// Only the names the notices gave.
void Searcher::Impl::recheck(Place& p) {
    const Dir dir(p.path);
    for (const QString& name : std::as_const(p.dirty)) {
        const auto key = keyOfName(p.kind, name);
        if (!key) continue;
        Stamp now;
        const auto it = p.entries.find(name);
        if (!dir.stat(name, &now)) {
            if (it == p.entries.end()) continue;
            drop(*it);
            p.entries.erase(it);
            if (p.kind == Kind::Card) cardsChanged = true;
        } else if (it == p.entries.end()) {
            p.entries.insert(name, Entry())->key = *key;
            if (p.kind == Kind::Card) cardsChanged = true;
        } else {
            forget(*it);
        }
        if (dir.isLink(name))
            p.links.insert(name);
        else
            p.links.remove(name);
    }
    p.dirty.clear();
}

// A link's target may live in a folder nobody watches: its stamp is compared at each query.
void Searcher::Impl::checkLinks(Place& p) {
    const Dir dir(p.path);
    for (const QString& name : std::as_const(p.links)) {
        const auto it = p.entries.find(name);
        if (it == p.entries.end() || it->stamp.size < 0) continue;
        Stamp now;
        if (!it->settled || !dir.stat(name, &now) || now != it->stamp) forget(*it);
    }
}

void Searcher::Impl::shadowTodosCopies() {
    if (!cardsChanged) return;
    cardsChanged = false;
    QSet<QString> inGroups;
    for (const auto& p : places)
        if (p->kind == Kind::Card && !p->todos)
            for (auto it = p->entries.cbegin(); it != p->entries.cend(); ++it)
                inGroups.insert(it.key().toUpper());
    for (auto& p : places) {
        if (!p->todos) continue;
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it) {
            const bool shadowed = inGroups.contains(it.key().toUpper());
            if (shadowed == it->shadowed) continue;
            forget(*it); // not needed while shadowed; read again when it shows
            it->shadowed = shadowed;
        }
    }
}

void Searcher::Impl::refresh() {
    if (watchWanted && !watcher) watcher = std::make_unique<detail::Watcher>();
    stats.watching = watcher && watcher->active();
    resolveFolders();
    takeNotices();
    std::vector<Place*> toList;
    for (auto& p : places) {
        if (watcher && p->watch < 0) {
            // Watched before it is listed, so nothing that happens after the listing is missed.
            const int id = watcher->add(p->path);
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
    shadowTodosCopies();
}

// ---- Reading --------------------------------------------------------------------------

// The file's bytes into *bytes, its stamp and key into e.
bool Searcher::Impl::readEntry(const Dir& dir, Kind kind, const QString& name, Entry& e, QByteArray* bytes,
                               bool withKey) {
    ++reads;
    Stamp stamp;
    if (!dir.read(name, bytes, &stamp)) {
        e.stamp = Stamp();
        return false;
    }
    e.stamp = stamp;
    e.settled = settled(stamp, detail::nowNs());
    // Local time is the C library's, with state of its own: on the calling thread only.
    if (!keyFromName(kind) && withKey) e.key = wallKeyOfFileTime(stamp.modifiedNs);
    return true;
}

qint64 Searcher::Impl::entryCount() const {
    qint64 n = 0;
    for (const auto& p : places)
        n += p->entries.size();
    return n;
}

// Every file not yet kept is read and kept, while the total stays within the budget.
void Searcher::Impl::load() {
    const qint64 overhead = entryCount() * kEntryOverhead;
    if (overBudget) {
        // Back to keeping texts once the files known would fit again.
        qint64 known = overhead;
        for (const auto& p : places)
            for (const Entry& e : p->entries)
                if (!e.shadowed) known += std::max<qint64>(0, e.stamp.size);
        if (known > budget) return;
        overBudget = false;
    }
    struct Job {
        Place* place;
        const QString* name;
        Entry* entry;
    };
    std::vector<Job> jobs;
    for (auto& p : places)
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it)
            if (!it->kept && !it->shadowed) jobs.push_back({p.get(), &it.key(), &*it});
    std::atomic<bool> over{false};
    inParallel(jobs.size(), 64, 256, [&](size_t begin, size_t end) {
        std::unique_ptr<Dir> dir;
        const Place* open = nullptr;
        for (size_t i = begin; i < end && !over; ++i) {
            const Job& job = jobs[i];
            if (job.place != open) {
                dir = std::make_unique<Dir>(job.place->path);
                open = job.place;
            }
            Entry& e = *job.entry;
            if (!readEntry(*dir, job.place->kind, *job.name, e, &e.bytes, false)) continue;
            e.kept = true;
            e.fresh = true;
            if ((keptText += e.bytes.size()) + overhead > budget) over = true;
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
                          const std::vector<detail::Word>& words) {
    Hit h;
    h.kind = p.kind;
    h.folder = p.top;
    h.group = p.group;
    h.file = name;
    h.path = store::joinPath(p.path, name);
    h.when = dateTimeOfKey(e.key);

    QByteArray bytes = e.bytes;
    if (!e.kept) readEntry(Dir(p.path), p.kind, name, e, &bytes);
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
    const detail::Found found = detail::findAll(words, bytes);
    const detail::Excerpt ex = detail::makeExcerpt(bytes, std::max<qsizetype>(0, found.at), found.length);
    h.excerpt = ex.text;
    h.hitStart = ex.start;
    h.hitLength = ex.length;
    return h;
}

QList<Hit> Searcher::find(const QString& query, int limit) {
    Impl& d = *d_;
    d.stats = Stats();
    d.reads = 0;
    const QStringList words = queryWords(query);
    if (words.isEmpty()) {
        d.lastWords.clear();
        return {}; // an empty field costs nothing
    }
    d.refresh();
    d.load();
    const bool narrowed = narrows(d.lastWords, words);
    const std::vector<detail::Word> compiled = detail::compileQuery(words);

    struct Match {
        qint64 key;
        Place* place;
        const QString* name;
        Entry* entry;
    };
    std::vector<Match> candidates;
    for (auto& p : d.places)
        for (auto it = p->entries.begin(); it != p->entries.end(); ++it) {
            Entry& e = *it;
            if (e.shadowed) continue;
            ++d.stats.files;
            if (narrowed && !e.matched && !e.fresh) continue;
            candidates.push_back({e.key, p.get(), &it.key(), &e});
        }
    d.stats.searched = static_cast<int>(candidates.size());

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
                // Over the budget (or a file that could not be read): from the disk.
                if (c.place != open) {
                    dir = std::make_unique<Dir>(c.place->path);
                    open = c.place;
                }
                if (!d.readEntry(*dir, c.place->kind, *c.name, e, &read, false)) read.clear();
                bytes = &read;
            }
            e.matched = detail::findAll(compiled, *bytes).at >= 0;
            e.fresh = false;
        }
    });
    std::vector<Match> matches;
    for (const Match& c : candidates) {
        Entry& e = *c.entry;
        if (!e.kept && e.stamp.size >= 0 && !keyFromName(c.place->kind))
            e.key = wallKeyOfFileTime(e.stamp.modifiedNs); // read just now, off this thread
        if (e.matched) matches.push_back({e.key, c.place, c.name, &e});
    }
    d.lastWords = words;
    d.stats.matched = static_cast<int>(matches.size());

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
        hits << d.hitOf(*matches[i].place, *matches[i].name, *matches[i].entry, compiled);
    d.stats.kept = d.overBudget ? 0 : d.keptText + d.entryCount() * kEntryOverhead;
    d.stats.overBudget = d.overBudget;
    d.stats.read = d.reads;
    return hits;
}

} // namespace quelora::search
