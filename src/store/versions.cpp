#include "store/versions.h"

#include "store/files.h"
#include "store/folderindex.h"
#include "store/names.h"

#include <QRegularExpression>
#include <algorithm>

namespace quelora::store {

namespace {

bool startsWith(QStringView s, QLatin1String p) {
    return s.startsWith(p);
}

} // namespace

bool isPassingName(QStringView name) {
    if (name.isEmpty()) return false;
    const QChar first = name.front();
    if (first == u'.') {
        if (name == u".stfolder" || name == u".stversions" || name == u".stignore" || name == u".stignore.txt")
            return true;
        // Syncthing's file on its way: ".syncthing.<name>.tmp".
        if (startsWith(name, QLatin1String(".syncthing.")) && name.endsWith(u".tmp")) return true;
        // Nextcloud's: ".<name>.~<up to 8 hex digits>".
        static const QRegularExpression nextcloud(QStringLiteral("^\\..+\\.~[0-9a-fA-F]{1,8}$"));
        if (name.contains(u".~") && nextcloud.match(name.toString()).hasMatch()) return true;
        return isTemporaryName(name.toString());
    }
    // Syncthing's from Windows: "~syncthing~<name>.tmp".
    if (first == u'~' && startsWith(name, QLatin1String("~syncthing~")) && name.endsWith(u".tmp")) return true;
    // OneDrive's while it downloads.
    return name.size() > 8 && name.endsWith(u".partial");
}

namespace {

using From = VersionName::From;

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

int num(const QRegularExpressionMatch& m, int group, int from = 0, int length = -1) {
    return m.capturedView(group).mid(from, length).toInt();
}

// "YYYYMMDD" in one group and "HHMMSS" in the next.
QDateTime compactStamp(const QRegularExpressionMatch& m, int date) {
    return at(num(m, date, 0, 4), num(m, date, 4, 2), num(m, date, 6, 2), num(m, date + 1, 0, 2),
              num(m, date + 1, 2, 2), num(m, date + 1, 4, 2));
}

// The marks the engines put in a name, each with what it says. The mark is cut out of
// the name, wherever the engine put it (before the extension, or at the end of a name
// that has none), and what is left is the name of the file it is a version of.
struct Mark {
    From from;
    QRegularExpression re;
    std::function<void(const QRegularExpressionMatch&, VersionName&)> reads;
};

const std::vector<Mark>& marks() {
    static const std::vector<Mark> all = [] {
        std::vector<Mark> m;
        m.push_back({From::Syncthing,
                     QRegularExpression(QStringLiteral("\\.sync-conflict-(\\d{8})-(\\d{6})-([A-Z0-9]{7})")),
                     [](const QRegularExpressionMatch& x, VersionName& v) {
                         v.when = compactStamp(x, 1);
                         v.who = x.captured(3);
                     }});
        m.push_back({From::Nextcloud,
                     QRegularExpression(QStringLiteral(
                         " \\(conflicted copy (?:(.+?) )?(\\d{4})-(\\d{2})-(\\d{2}) (\\d{2})(\\d{2})(\\d{2})\\)")),
                     [](const QRegularExpressionMatch& x, VersionName& v) {
                         v.who = x.captured(1);
                         v.when = at(num(x, 2), num(x, 3), num(x, 4), num(x, 5), num(x, 6), num(x, 7));
                     }});
        m.push_back({From::Nextcloud, QRegularExpression(QStringLiteral("_conflict-(\\d{8})-(\\d{6})")),
                     [](const QRegularExpressionMatch& x, VersionName& v) { v.when = compactStamp(x, 1); }});
        m.push_back({From::Dropbox,
                     QRegularExpression(QStringLiteral(
                         " \\((.+?)['\u2019]s conflicted copy (\\d{4})-(\\d{2})-(\\d{2})(?: \\(\\d+\\))?\\)(?: \\(\\d+\\))?")),
                     [](const QRegularExpressionMatch& x, VersionName& v) {
                         v.who = x.captured(1);
                         v.when = at(num(x, 2), num(x, 3), num(x, 4));
                     }});
        m.push_back({From::Dropbox,
                     QRegularExpression(QStringLiteral(" \\((?:Case|Unicode Encoding) Conflict(?: \\d+)?\\)")),
                     [](const QRegularExpressionMatch&, VersionName&) {}});
        m.push_back({From::Quelora,
                     QRegularExpression(QStringLiteral(
                         " \\(otra versi\u00F3n (\\d{4})-(\\d{1,2})-(\\d{1,2}) (\\d{1,2})\\.(\\d{2})(?: \\d+)?\\)")),
                     [](const QRegularExpressionMatch& x, VersionName& v) {
                         v.when = at(num(x, 1), num(x, 2), num(x, 3), num(x, 4), num(x, 5));
                     }});
        return m;
    }();
    return all;
}

// Whether a name may hold one of the marks above: most names hold none of these
// words, and are told at once.
bool mayHoldMark(QStringView name) {
    return name.contains(u"sync-conflict-") || name.contains(u"onflict") || name.contains(u"otra versi");
}

std::optional<VersionName> oneDrive(QStringView name, const std::function<bool(const QString&)>& isFile) {
    if (!isFile || !name.contains(u'-')) return std::nullopt;
    // "<name>-<computer>[-<n>][.txt]" and "<name>-<computer>-safeBackup-<n>[.txt]"; a
    // computer's name holds a letter, so a note's "2007-3-10--9-0" is none.
    static const QRegularExpression safe(
        QStringLiteral("^(.+)-([^-]+)-safeBackup-\\d+(\\.[A-Za-z0-9]{1,4})?$"));
    static const QRegularExpression appended(
        QStringLiteral("^(.+)-([^-.]*[A-Za-z][^-.]*)(?:-\\d+)?(\\.[A-Za-z0-9]{1,4})?$"));
    for (const QRegularExpression* re : {&safe, &appended}) {
        const QRegularExpressionMatch m = re->match(name.toString());
        if (!m.hasMatch()) continue;
        const QString base = m.captured(1) + m.captured(3);
        if (!isFile(base)) continue;
        VersionName v;
        v.from = From::OneDrive;
        v.base = base;
        v.who = m.captured(2);
        return v;
    }
    return std::nullopt;
}

} // namespace

std::optional<VersionName> versionOfName(QStringView name, const std::function<bool(const QString&)>& isFile) {
    if (isPassingName(name)) return std::nullopt;
    if (mayHoldMark(name)) {
        QString rest = name.toString();
        std::optional<VersionName> found;
        // A copy of a copy carries two marks: the version is of the file without either,
        // and the outermost mark says where it came from.
        for (bool cut = true; cut;) {
            cut = false;
            for (const Mark& mark : marks()) {
                QRegularExpressionMatch m;
                qsizetype last = -1;
                for (auto it = mark.re.globalMatch(rest); it.hasNext();) {
                    m = it.next();
                    last = m.capturedStart(0);
                }
                if (last < 0) continue;
                if (!found) {
                    found = VersionName();
                    found->from = mark.from;
                    mark.reads(m, *found);
                }
                rest.remove(last, m.capturedLength(0));
                cut = true;
                break;
            }
        }
        if (found && !rest.isEmpty()) {
            found->base = rest;
            return found;
        }
    }
    return oneDrive(name, isFile);
}

bool isListedName(QStringView name, const std::function<bool(const QString&)>& isFile) {
    return !isSystemFileName(name) && !isPassingName(name) && !versionOfName(name, isFile);
}

bool isListedName(QStringView name, const FolderIndex& index) {
    return isListedName(name, [&index](const QString& base) { return index.contains(base); });
}

QList<OtherVersion> versionsBeside(const FolderIndex& index, const QString& stored) {
    QList<OtherVersion> found;
    for (const auto& [name, v] : index.versions())
        if (sameName(index.find(v.base), stored)) found.append({name, v});
    std::stable_sort(found.begin(), found.end(), [](const OtherVersion& a, const OtherVersion& b) {
        return a.says.when > b.says.when;
    });
    return found;
}

QStringList filesWithVersions(const FolderIndex& index) {
    QStringList files;
    for (const auto& [name, v] : index.versions()) {
        const QString stored = index.find(v.base);
        if (!stored.isEmpty() && !files.contains(stored)) files << stored;
    }
    return files;
}

QString originText(const VersionName& v) {
    const auto who = [&v](const QString& what) {
        return v.who.isEmpty() ? QString() : QStringLiteral(", %1 %2").arg(what, v.who);
    };
    switch (v.from) {
    case From::Syncthing:
        return QStringLiteral("otro ordenador (Syncthing%1)").arg(who(QStringLiteral("dispositivo")));
    case From::Nextcloud:
        return QStringLiteral("otro ordenador (Nextcloud%1)").arg(who(QStringLiteral("de")));
    case From::Dropbox:
        return QStringLiteral("otro ordenador (Dropbox%1)").arg(who(QStringLiteral("de")));
    case From::OneDrive:
        return QStringLiteral("otro ordenador (OneDrive%1)").arg(who(QStringLiteral("ordenador")));
    case From::Quelora:
        break;
    }
    // The program keeps another program's text aside when a save would have replaced it.
    return QStringLiteral("otro programa (Quelora la guardó aparte al guardar la tuya)");
}

} // namespace quelora::store
