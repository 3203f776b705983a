#pragma once
#include <functional>
// Inside the search: what the Searcher keeps of each searched folder and file, and which
// of its routines changes what (folders.cpp keeps up with the folders, searcher.cpp reads
// and queries).
//
// An entry's states (their meaning beside Entry's members) and the routines that change them:
//
//   state            set by                                   cleared by
//   kept, bytes      load, otherYears (within the budget)     drop: from forget, erase, reset, a place
//                                                             gone, load going over the budget
//   stamp size -1    a new entry, forget, readEntry failing   readEntry (the stamp read)
//   settled          readEntry (still for 2 s when read)      forget
//   fresh            a new entry, forget, load, otherYears    find, once it has looked at the entry
//   matched          find                                     find
//   key              add (pages, notes: from the name); readEntry, load and find on the calling
//                    thread (cards, day texts: the file's time when read)
//   outside, linked  checkLink, from relist, recheck and checkLinks (a link, where it leads)
//   variant          chooseVariants (another letter case than the spelling the window opens)
//
// A place (one searched folder): relist (list it whole at the next query) is set for a new
// place, by reset, by takeNotices when notices were lost or the folder went, by fileWritten
// when it cannot tell the folder, and cleared by relist; dirty (names to take afresh) is
// filled by takeNotices and fileWritten and emptied by relist and recheck; renamed (choose
// each page's spelling again) is set by add and erase and cleared by chooseVariants.
#include "search/disk.h"
#include "search/matching.h"
#include "search/search.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QTime>
#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace quelora::search::detail {

inline constexpr qint64 kMsPerDay = 86400000;
// A stamp is trusted once the file (or folder) had been still this long when it was
// read: a change within the file system's timestamp granularity cannot hide behind it.
inline constexpr qint64 kSettleNs = 2000000000;

inline bool settled(const Stamp& s, qint64 readAtNs) {
    return std::max(s.modifiedNs, s.changedNs) + kSettleNs <= readAtNs;
}

// Moments as local wall-clock milliseconds: pages and notes carry no time zone.
inline qint64 wallKey(const QDate& date, const QTime& time) {
    return date.toJulianDay() * kMsPerDay + time.msecsSinceStartOfDay();
}

inline qint64 wallKeyOfFileTime(qint64 ns) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ns / 1000000);
    return wallKey(local.date(), local.time());
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

inline bool searchable(const Entry& e) {
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
    qint64 checkedNs = 0; // when it was last listed and checked file by file (no notices)
    QSet<QString> dirty; // names to take afresh at the next query
    QSet<QString> links; // names that are symbolic links: checked at each query, notices or not
    QHash<QString, Entry> entries;
    // Beside the entries, which every query walks: what only a few of them need.
    QHash<QString, QString> targets;  // links inside the data folder: their files, resolved
    QHash<QString, QString> nameKeys; // cards: store::nameKey of each name, telling a "Todos" copy by
};

// Pages and notes take their key from their name, cards and day texts from their file's time.
inline bool keyFromName(Kind kind) {
    return kind == Kind::Page || kind == Kind::Note;
}

} // namespace quelora::search::detail

namespace quelora::search {

struct Searcher::Impl {
    using Dir = detail::Dir;
    using Entry = detail::Entry;
    using Place = detail::Place;

    QString data;
    QString root; // the data folder resolved, at the last refresh: nothing outside it is read
    qint64 budget = kDefaultBudgetBytes;
    bool watchWanted = true;
    std::unique_ptr<detail::Watcher> watcher;
    std::shared_ptr<store::WatchHub> hub; // the program's one watch, when shared
    std::vector<std::unique_ptr<Place>> places;
    QHash<int, Place*> byWatch;
    // Shared by the threads of one call.
    detail::Budget keptText; // bytes of the kept texts, within what the budget leaves the entries
    std::atomic<int> reads{0};
    bool overBudget = false;
    QStringList lastWords;
    Stats stats;
    qint64 recheckAfterNs = 0;    // without notices: how old a folder's check may be for a query
    std::function<bool()> cancel; // asked between files: a newer query waits
    bool cancelled() const { return cancel && cancel(); }
    // The query given up: what it changed of the entries narrows nothing.
    QList<Hit> givenUp() {
        lastWords.clear();
        stats = {};
        stats.cancelled = true;
        return {};
    }

    // Queries and reading (searcher.cpp).
    QList<Hit> find(const QString& query, int limit);
    QList<Hit> otherYears(const QDate& date, int limit);
    bool readEntry(const Place& p, const Dir& dir, const QString& name, Entry& e, QByteArray* bytes,
                   bool withKey = true, detail::Budget* into = nullptr, bool* refused = nullptr);
    void load();
    qint64 entryCount() const;
    Hit hitOf(const Place& p, const QString& name, Entry& e, const std::vector<detail::Word>& words,
              const QByteArray* read = nullptr);

    // Keeping up with the folders (folders.cpp).
    void reset();
    // pagesOnly: the diary's folders alone; the others wait for the next query.
    void refresh(bool pagesOnly = false);
    void resolveFolders();
    void takeNotices();
    // mayGiveUp: asks cancelled() between files and stops when told, false then; what it
    // checked stays done, the place is checked whole next time.
    bool relist(Place& p, bool mayGiveUp = false);
    void recheck(Place& p);
    // Without notices: the folders not watched, checked now (Searcher::recheckAhead).
    bool checkAhead();
    qint64 nsUntilCheckAhead() const;
    void checkLinks(Place& p);
    void checkLink(Place& p, const Dir& dir, const QString& name, Entry& e, bool link);
    void chooseVariants(Place& p);
    Entry& add(Place& p, const QString& name, qint64 key);
    void erase(Place& p, const QString& name);
    void forget(Entry& e);
    void drop(Entry& e);
};

} // namespace quelora::search
