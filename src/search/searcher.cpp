// The search's queries: the Searcher's calls, reading the files and matching them. The
// states of an entry and the routines that change them: the table at the top of entries.h.
#include "addresses/cards.h"
#include "calendar/calendar.h"
#include "notes/notes.h"
#include "records/records.h"
#include "store/codepage.h"
#include "search/entries.h"
#include "search/parallel.h"
#include "store/names.h"
#include "store/versions.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace quelora::search {

using namespace detail;

namespace {

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

// Old words found inside new ones: every text the new query finds, the old one found.
bool narrows(const QStringList& before, const QStringList& now) {
    if (before.isEmpty()) return false;
    for (const QString& old : before)
        if (std::none_of(now.begin(), now.end(), [&](const QString& w) { return w.contains(old); }))
            return false;
    return true;
}

// An entry found for one call, with what its results are ordered by.
struct Candidate {
    qint64 key;
    Place* place;
    const QString* name;
    Entry* entry;
};

// Newest first; the same moment by kind, then name, then folder, so that the order never
// depends on how the folders were listed.
bool newer(const Candidate& a, const Candidate& b) {
    if (a.key != b.key) return a.key > b.key;
    if (a.place->kind != b.place->kind) return a.place->kind < b.place->kind;
    if (*a.name != *b.name) return *a.name < *b.name;
    return a.place->path < b.place->path;
}

} // namespace

Searcher::Searcher(QString dataFolder, qint64 budgetBytes, bool watchFolders) : d_(std::make_unique<Impl>()) {
    d_->data = QDir(dataFolder).absolutePath();
    d_->budget = budgetBytes;
    d_->watchWanted = watchFolders;
}

Searcher::~Searcher() = default;

void Searcher::shareWatch(std::shared_ptr<store::WatchHub> hub) {
    d_->hub = std::move(hub);
}

void Searcher::setRecheckInterval(int ms) {
    d_->recheckAfterNs = qint64(ms) * 1000000;
}

int Searcher::msUntilRecheck() const {
    const qint64 ns = d_->nsUntilCheckAhead();
    return ns < 0 ? -1 : static_cast<int>(std::min<qint64>((ns + 999999) / 1000000, INT_MAX));
}

bool Searcher::recheckAhead() {
    try {
        return d_->checkAhead();
    } catch (...) {
        d_->reset(); // out of memory, as a query that fails: the next query starts afresh
        return false;
    }
}

void Searcher::setCancel(std::function<bool()> cancelled) {
    d_->cancel = std::move(cancelled);
}

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
    // A file in UTF-8 among the Windows-1252 ones is searched in the code page's bytes,
    // as its words show in the window.
    if (QByteArray cp = store::codePageBytes(*bytes); cp.size() != bytes->size()) {
        if (into) into->give(bytes->size() - cp.size());
        *bytes = std::move(cp);
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
        for (size_t i = begin; i < end && !over && !cancelled(); ++i) {
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
    case Kind::Note: {
        // Another version is shown on its day, and says so.
        const std::optional<store::VersionName> version = store::versionOfName(name);
        const QString& named = version ? version->base : name;
        if (p.kind == Kind::Page) {
            h.date = records::pageDateOfName(named).value_or(QDate());
            h.caption = store::composedName(named).chopped(4);
        } else {
            h.noteTime = notes::noteTimeOfName(named).value_or(QDateTime());
            h.caption = noteCaption(h.noteTime);
        }
        if (version) {
            h.otherVersion = store::originText(*version);
            h.caption += QStringLiteral(" (otra versi\u00F3n, de %1)").arg(h.otherVersion);
        }
        break;
    }
    case Kind::Card: {
        QString surname = addresses::cardFromFile(bytes)[0];
        if (surname.isEmpty()) surname = name;
        h.caption = surname + QStringLiteral(" \u2014 ") + p.group;
        break;
    }
    default:
        if (const auto day = calendar::dayOfDayFileName(name)) {
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
    if (cancelled()) return givenUp();
    keptText.resetPeak();
    keptText.setLimit(budget - entryCount() * kEntryOverhead);
    std::vector<Candidate> pages;
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
    std::sort(pages.begin(), pages.end(), newer);

    // A few dozen pages at most: read here, one after the other, and kept for the
    // queries to come while the budget allows.
    QList<Hit> hits;
    std::unique_ptr<Dir> dir;
    const Place* open = nullptr;
    for (const Candidate& pg : pages) {
        if (cancelled()) return givenUp();
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
    if (cancelled()) return givenUp();
    keptText.resetPeak();
    load();
    if (cancelled()) return givenUp();
    const bool narrowed = narrows(lastWords, words);
    const std::vector<detail::Word> compiled = detail::compileQuery(words);

    std::vector<Candidate> candidates;
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
            if ((i & 63) == 0 && cancelled()) return;
            // The texts lie all over the heap: the next ones are fetched while this one is searched.
            if (i + 2 < end) prefetch(candidates[i + 2].entry->bytes);
            const Candidate& c = candidates[i];
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
    if (cancelled()) return givenUp();
    // A "Todos" copy of a card shows only when the card in its own group does not.
    QSet<QString> inGroups;
    for (const Candidate& c : candidates)
        if (c.entry->matched && c.place->kind == Kind::Card && !c.place->todos)
            inGroups.insert(c.place->nameKeys.value(*c.name));
    std::vector<Candidate> matches;
    for (const Candidate& c : candidates) {
        Entry& e = *c.entry;
        if (!e.kept && e.stamp.size >= 0 && !keyFromName(c.place->kind))
            e.key = wallKeyOfFileTime(e.stamp.modifiedNs); // read just now, off this thread
        stats.cut += e.stamp.size > kFileCapBytes;
        if (!e.matched || (c.place->todos && inGroups.contains(c.place->nameKeys.value(*c.name)))) continue;
        matches.push_back({e.key, c.place, c.name, &e});
    }
    lastWords = words;
    stats.matched = static_cast<int>(matches.size());

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
