#pragma once
// The search of the data folder, without widgets: diary pages, notes, cards and the
// day texts (holidays, reminders, saints).
//
// Matching. The query is split on white space into words; a file matches when EVERY
// word occurs in its text, anywhere (a word may sit inside a longer word: "cumple"
// finds "cumpleaños", "ana" finds "mañana"). Both sides are folded first: letter case
// does not matter, and a vowel with an accent, a diaeresis or any other mark equals
// the plain vowel (á = a, ü = u, À = a), but ñ, ç and every other letter stay
// themselves ("ano" never finds "año"; "año" finds "AÑO").
//
// Order: newest first by one moment per hit, in local wall-clock time: a page at the
// start (00:00) of its date, a note at the minute of its name, a card or a day text
// at its file's last modification. So a page goes below the notes of its own day, and
// a card or day text edited today goes above every page dated before today. Equal
// moments: page, note, card, holiday, reminder, saint, then by file name.
//
// What is searched, below the data folder (folders found in any letter case, hidden
// files, the store's temporary files and the files systems leave for themselves, such
// as desktop.ini, skipped; regular files only):
//   dias/<date caption>.txt        pages whose name is the caption of a real date, in the
//                                  spelling the window opens: the caption itself when there
//                                  is a file of that name, else the first in code-unit order
//                                  of those that are the caption in another letter case
//   notas/<y>-<m>-<d>--<h>-<min>   notes whose name is a real minute
//   direcciones/<group>/<file>     every card; a copy in "Todos" whose name (store::sameName)
//                                  is also a card of another group shows only when that card
//                                  does not match
//   fiestas/, recordatorio/, santoral/  "<d> de <MES>.txt", one spelling as for pages
// Nothing outside the data folder is read: a folder or file that is a symbolic link is
// searched only when what it leads to, resolved, lies inside the data folder.
//
// Memory and time: of each file only the first kFileCapBytes are read, kept and searched
// (Stats::cut counts the files longer than that), so no file, however large or sparse,
// costs more than that to read or search. The Searcher keeps the bytes of every file it
// has read (one byte per character) and reads nothing again while the file is unchanged.
// It counts each file as its bytes plus kEntryOverhead; a file's bytes are taken from the
// budget before they are read, by every reader thread, so what is kept never passes the
// budget; when the files would pass it, it keeps no text at all and every query reads the
// files again, with the same results, each reader (four at most) holding one file's first
// part at a time. A query that runs out of memory returns no hits and says so
// (Stats::failed); the next starts afresh. Nothing is ever written into the data folder.
// A query whose every word is inside a word of the query before (typing on) looks only at
// the files that one found, and at those changed since.
//
// Changes: where the system can watch folders (Linux), a file saved, replaced or
// removed by any program is learnt from the system's notices at the next query, and
// only a file that is a symbolic link is checked each time; else (other systems,
// network or FUSE file systems) each query re-lists changed folders and compares every
// file's size, times and inode with what was read (about 1 µs per file). Where stamps
// are compared, a file read within two seconds of its last change is read again,
// whatever the file system's timestamp granularity.
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace quelora::store {
class WatchHub;
}

namespace quelora::search {

enum class Kind { Page, Note, Card, Holiday, Reminder, Saint };

struct Hit {
    Kind kind = Kind::Page;
    QString folder;     // stored name of the kind's folder below the data folder ("dias", "DIAS", ...)
    QString group;      // cards: stored name of the group folder inside `folder`; else empty
    QString file;       // stored file name
    QString path;       // the file itself: data folder / folder [/ group] / file
    QDate date;         // pages: the page's date
    QDateTime noteTime; // notes: the minute the note's name gives
    int day = 0;        // day texts: day of the month (1..31)
    int month = 0;      // day texts: month (1..12)
    QDateTime when;     // the moment the order is by (see above), local time
    QString caption;    // the page's name less ".txt" ("JUEVES, 15 de MARZO de 2007"),
                        // "Nota del 24/6/2007, 9:05", the card's first line and group
                        // ("GARCÍA PÉREZ — Amigos"), "Fiesta: 25 de DICIEMBRE", "Santo: ..."
    QString excerpt;    // about kExcerptLength characters of one line around the first hit
                        // (the earliest place any word occurs), as the file has it
    int hitStart = 0;   // where the first hit stands in excerpt
    int hitLength = 0;  // and its length there
    QString otherVersion; // another version of a page or note beside it: where it came from
};

inline constexpr qint64 kDefaultBudgetBytes = 64LL * 1024 * 1024;
inline constexpr qint64 kEntryOverhead = 256; // bytes a kept file costs besides its text
// What is read of one file. A typed page is rarely 100 kB; 4 MB is some 700,000 words,
// more than anyone writes into one page, and reading and searching it costs about 2 ms,
// so one such file leaves a keystroke within its 30 ms. Sixteen of them fill the default
// budget; the readers over the budget hold 16 MB at most.
inline constexpr qint64 kFileCapBytes = 4LL * 1024 * 1024;
inline constexpr int kDefaultLimit = 100;
inline constexpr int kExcerptLength = 80;
// Where no notices come, how old a folder's check may be for the window's queries: another
// program's change shows at every query begun a second after it. The window's search checks
// between queries while it is open (BackgroundSearch::keepUp), so that no keystroke pays it.
inline constexpr int kRecheckMs = 1000;

// The folded form of text that matching compares (lower case, vowels without marks).
QString fold(const QString& text);

// The folded words of a query, in order; empty when it holds no word.
QStringList queryWords(const QString& query);

// Where find() would see the first hit of query in text (the earliest place any word
// occurs), counted in text's characters: [start, start + length); start -1 when a word
// is missing or the query has none.
struct HitPlace {
    qsizetype start = -1;
    qsizetype length = 0;
};
HitPlace firstHit(const QString& text, const QString& query);

// The caption a result list shows for each kind (see Hit::caption).
QString noteCaption(const QDateTime& noteTime);
QString dayTextCaption(Kind kind, const QString& dayFileName);

// Searches one data folder, keeping what it reads between queries. Not thread-safe:
// one thread calls it (any threads it starts are joined before a call returns).
class Searcher {
public:
    // Reads nothing until the first query. watchFolders = false makes every query check
    // each file's size and times instead of using the system's notices (tests, measurements).
    explicit Searcher(QString dataFolder, qint64 budgetBytes = kDefaultBudgetBytes, bool watchFolders = true);
    ~Searcher();
    Searcher(const Searcher&) = delete;
    Searcher& operator=(const Searcher&) = delete;

    // The files matching every word of query, newest first, at most limit of them
    // (limit <= 0: all); empty for a query without words.
    QList<Hit> find(const QString& query, int limit = kDefaultLimit);

    // This day in other years: the diary pages with text (not empty files) of date's day
    // and month in every year but date's own, newest first, at most limit of them (limit
    // <= 0: all); 29 February finds the other leap years only. Each excerpt is the page's
    // beginning, from its first word. Only the diary is looked at, and only those pages
    // are read (and kept, within the budget): on a search never used before it costs the
    // listing of the diary; an invalid date finds nothing. Stats: files are the pages, searched those of that
    // day, matched those shown.
    QList<Hit> otherYears(const QDate& date, int limit = 0);

    // The program itself has just written, replaced or removed the file at path: the
    // next query takes it as it is now, whatever its timestamps say. Never needed for
    // correctness; a path outside the searched folders is ignored.
    void fileWritten(const QString& path);

    // The system's notices taken from the program's one watch (before the first query):
    // the folders the window follows are followed once.
    void shareWatch(std::shared_ptr<store::WatchHub> hub);
    // Where no notices come: a folder checked file by file less than ms ago is taken as
    // it was then, but for the files fileWritten named (0, the default: every query checks).
    // So typing costs one check a while, not one a keystroke.
    void setRecheckInterval(int ms);
    // Where no notices come, for the thread that runs the queries to check the folders
    // between them, so that none finds its check due: how long until a check is wanted
    // (ms; 0: now), once a folder's last check is three quarters of the interval old;
    // -1 when none ever is (no interval, every folder watched, nothing asked yet).
    int msUntilRecheck() const;
    // Checks every folder not watched now, file by file, asking setCancel's function
    // between files and giving up when it says so (false): what was checked stays so,
    // and a folder given up is checked whole the next time. Finds nothing; lastStats stays.
    bool recheckAhead();
    // Asked between files while a query runs: true gives the query up, without hits
    // (Stats::cancelled); what was read stays kept, and the next query narrows nothing.
    void setCancel(std::function<bool()> cancelled);

    // What the last query did.
    struct Stats {
        int files = 0;           // searchable files below the data folder
        int searched = 0;        // of which the query looked into (fewer when it narrowed the one before)
        int matched = 0;         // of which matched: every match, not only those returned
        int read = 0;            // files read from the disk by the query
        int cut = 0;             // of the files, those longer than kFileCapBytes: searched in their first
                                 // kFileCapBytes only (the window can say so)
        qint64 kept = 0;         // bytes counted against the budget after the query
        qint64 peak = 0;         // the most bytes of text kept at once during the query
        bool overBudget = false; // no text kept: queries read the files
        bool watching = false;   // changes come from the system's notices
        bool failed = false;     // the query could not finish (out of memory): no hits
        bool cancelled = false;  // given up for a newer one (setCancel): no hits
    };
    const Stats& lastStats() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace quelora::search
