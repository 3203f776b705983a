#include "store/history.h"

#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <optional>

namespace quelora::history {
namespace {

qint64 capSet = 0;

// What the history of each data folder holds, in bytes, as counted by its first keep in
// this run and followed since; files another computer brings are counted at the next
// pass over it.
QHash<QString, qint64>& totals() {
    static QHash<QString, qint64> t;
    return t;
}

const QString kStampFormat = QStringLiteral("yyyy-MM-dd HH.mm.ss"); // written; read by entryOf

QString historyRoot(const QString& dataRoot) {
    return store::joinPath(dataRoot, layout::kHistory);
}

struct Entry {
    QString path;
    QDateTime when;
    int n = 1;
    QString origin;
    qint64 size = 0;
};

// Read by hand: a folder of versions is read at every save, and a date parser or an
// expression per name would cost more than the write itself.
std::optional<Entry> entryOf(const QString& dir, const QString& name) {
    // "yyyy-MM-dd HH.mm.ss" then " (n)", then " origin", then ".txt"
    constexpr int kStamp = 19;
    if (name.size() < kStamp + 4 || !name.endsWith(QLatin1String(".txt"))) return std::nullopt;
    const auto number = [&name](int at, int digits, int* out) {
        int v = 0;
        for (int i = at; i < at + digits; ++i) {
            const char16_t c = name[i].unicode();
            if (c < u'0' || c > u'9') return false;
            v = v * 10 + (c - u'0');
        }
        *out = v;
        return true;
    };
    int y, mo, d, h, mi, se;
    if (!number(0, 4, &y) || name[4] != u'-' || !number(5, 2, &mo) || name[7] != u'-' || !number(8, 2, &d) ||
        name[10] != u' ' || !number(11, 2, &h) || name[13] != u'.' || !number(14, 2, &mi) ||
        name[16] != u'.' || !number(17, 2, &se))
        return std::nullopt;
    Entry e;
    e.when = QDateTime(QDate(y, mo, d), QTime(h, mi, se));
    if (!e.when.isValid()) return std::nullopt;
    QStringView rest = QStringView(name).mid(kStamp, name.size() - kStamp - 4);
    if (!rest.isEmpty() && !rest.startsWith(u' ')) return std::nullopt;
    if (rest.startsWith(u" (")) {
        const qsizetype close = rest.indexOf(u')');
        bool ok = false;
        const int n = close > 2 ? rest.mid(2, close - 2).toInt(&ok) : 0;
        if (ok && n > 1) {
            e.n = n;
            rest = rest.mid(close + 1);
        }
    }
    e.origin = rest.trimmed().toString();
    e.path = store::joinPath(dir, name);
    return e;
}

bool newerFirst(const Entry& a, const Entry& b) {
    return a.when != b.when ? a.when > b.when : a.n > b.n;
}

// The versions in one folder of the history, newest first.
QList<Entry> entriesIn(const QString& dir) {
    QList<Entry> out;
    for (const QString& name : store::listFiles(dir))
        if (auto e = entryOf(dir, name)) out << *e;
    std::sort(out.begin(), out.end(), newerFirst);
    return out;
}

QString fileNameOrigin(const QString& origin) {
    QString o = origin.simplified();
    for (QChar& c : o)
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c)) c = u'_';
    o.truncate(60);
    while (o.endsWith(u'.') || o.endsWith(u' '))
        o.chop(1);
    return o;
}

qint64 measure(const QString& root) {
    qint64 total = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

void removeEmptyFolders(const QString& dir, const QString& root) {
    QString d = dir;
    while (d.startsWith(root) && d != root && QDir().rmdir(d))
        d = QFileInfo(d).path();
}

// Of one file's versions, those the thinning rule lets go at now: past kRecentDays all but
// the newest of each day, past kDailyDays all but the newest of each month.
void thin(const QList<Entry>& newestFirst, const QDateTime& now, qint64* freed) {
    QSet<qint64> buckets;
    for (const Entry& e : newestFirst) { // the first of a bucket stays
        const qint64 age = e.when.date().daysTo(now.date());
        if (age < kRecentDays) continue;
        const qint64 bucket = age < kDailyDays ? e.when.date().toJulianDay()
                                               : -(qint64(e.when.date().year()) * 12 + e.when.date().month());
        if (!buckets.contains(bucket)) {
            buckets.insert(bucket);
            continue;
        }
        const qint64 size = QFileInfo(e.path).size();
        if (QFile::remove(e.path)) *freed += size;
    }
}

// Beyond the cap the oldest versions go, down to three quarters of it, so that the next
// pass over the whole history is many saves away. The one just written stays.
void holdWithinCap(const QString& dataRoot, const QString& justWritten) {
    const QString root = historyRoot(dataRoot);
    qint64& total = totals()[dataRoot];
    if (total <= sizeCap()) return;
    QList<Entry> all;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    total = 0;
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
        if (auto e = entryOf(it.fileInfo().path(), it.fileName())) {
            e->size = it.fileInfo().size();
            all << *e;
        }
    }
    std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) { return newerFirst(b, a); });
    const qint64 goal = sizeCap() / 4 * 3;
    for (const Entry& e : all) {
        if (total <= goal) break;
        if (e.path == justWritten || !QFile::remove(e.path)) continue;
        total -= e.size;
        removeEmptyFolders(QFileInfo(e.path).path(), root);
    }
}

} // namespace

qint64 sizeCap() {
    return capSet > 0 ? capSet : kDefaultSizeCap;
}

void setSizeCap(qint64 bytes) {
    capSet = bytes;
    totals().clear();
}

QString versionsFolder(const QString& dataRoot, const QString& folder, const QString& storedName) {
    if (!store::isSafeName(storedName)) return {};
    const QString rel = QDir(dataRoot).relativeFilePath(folder);
    if (rel.startsWith(QLatin1String("..")) || QDir::isAbsolutePath(rel)) return {};
    // A file of the data folder itself (the user's dictionary) keeps its versions at the top.
    if (rel.isEmpty() || rel == QLatin1String(".")) return store::joinPath(historyRoot(dataRoot), storedName);
    return store::joinPath(store::joinPath(historyRoot(dataRoot), rel), storedName);
}

bool isHistoryPath(const QString& path) {
    return path.contains(QLatin1Char('/') + layout::kHistory + QLatin1Char('/'));
}

QList<Kept> keptOf(const QString& dataRoot, const QString& folder, const QString& storedName) {
    const QString dir = versionsFolder(dataRoot, folder, storedName);
    if (dir.isEmpty()) return {};
    const QString parent = QFileInfo(dir).path();
    QList<Entry> all;
    for (const QString& variant : store::listFolders(parent))
        if (store::sameName(variant, storedName)) all << entriesIn(store::joinPath(parent, variant));
    std::stable_sort(all.begin(), all.end(), newerFirst);
    QList<Kept> out;
    for (const Entry& e : all)
        out << Kept{e.path, e.when, e.origin};
    return out;
}

bool keep(const QString& dataRoot, const QString& folder, const QString& storedName, const QByteArray& bytes,
          const QDateTime& when, const QString& origin, QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    try {
        const QString dir = versionsFolder(dataRoot, folder, storedName);
        if (dir.isEmpty()) return fail(QStringLiteral("El archivo no está dentro de la carpeta de datos"));
        if (const store::Status s = store::makeFolder(dir); !s) return fail(s.reason);
        const QList<Entry> before = entriesIn(dir);
        if (!before.isEmpty()) {
            const QFileInfo newest(before.front().path);
            if (newest.size() == bytes.size()) {
                const store::ReadResult r = store::readFile(newest.filePath());
                if (r.ok && r.bytes == bytes) return true; // kept already
            }
        }
        const QString stamp = when.toString(kStampFormat);
        const QString from = fileNameOrigin(origin);
        // Several in one second are told apart by a number, which orders them.
        const QDateTime second(when.date(),
                               QTime(when.time().hour(), when.time().minute(), when.time().second()));
        int n = 1;
        for (const Entry& e : before)
            if (e.when == second) n = std::max(n, e.n + 1);
        QString path;
        for (; path.isEmpty() || QFileInfo::exists(path); ++n)
            path = store::joinPath(dir, stamp + (n > 1 ? QStringLiteral(" (%1)").arg(n) : QString()) +
                                            (from.isEmpty() ? QString() : QLatin1Char(' ') + from) +
                                            QStringLiteral(".txt"));
        if (const store::Status s = store::writeFile(path, bytes); !s) return fail(s.reason);
        auto& totalsByRoot = totals();
        if (!totalsByRoot.contains(dataRoot))
            totalsByRoot.insert(dataRoot, measure(historyRoot(dataRoot)));
        else
            totalsByRoot[dataRoot] += bytes.size();
        QList<Entry> all = before;
        if (auto written = entryOf(dir, QFileInfo(path).fileName())) all.prepend(*written);
        std::stable_sort(all.begin(), all.end(), newerFirst);
        qint64 freed = 0;
        thin(all, when, &freed);
        totalsByRoot[dataRoot] -= freed;
        holdWithinCap(dataRoot, path);
        return true;
    } catch (...) {
        return fail(QStringLiteral("No hay memoria para guardar la versión anterior"));
    }
}

bool keepFileAway(const QString& dataRoot, const QString& path, const QString& storedName,
                  const QDateTime& when, const QString& origin, QString* why) {
    const QString folder = QFileInfo(path).absolutePath();
    const store::ReadResult r = store::readFile(path);
    if (!r.found) {
        if (why) *why = QStringLiteral("El archivo no existe");
        return false;
    }
    if (r.ok) {
        if (!keep(dataRoot, folder, storedName, r.bytes, when, origin, why)) return false;
    } else {
        // What cannot be read cannot be copied: it goes whole, by a rename within the folder.
        const QString dir = versionsFolder(dataRoot, folder, storedName);
        QString target;
        for (int n = 1; target.isEmpty() || QFileInfo::exists(target); ++n)
            target = store::joinPath(dir, when.toString(kStampFormat) +
                                              (n > 1 ? QStringLiteral(" (%1)").arg(n) : QString()) +
                                              QStringLiteral(" ilegible.txt"));
        const bool moved = !dir.isEmpty() && store::makeFolder(dir) && QFile::rename(path, target);
        if (!moved && why) *why = QStringLiteral("No se ha podido mover al historial: %1").arg(r.reason);
        if (moved) totals().remove(dataRoot); // counted again at the next keep
        return moved;
    }
    QFile f(path);
    if (!f.remove()) {
        if (why) *why = f.errorString();
        return false;
    }
    return true;
}

} // namespace quelora::history
