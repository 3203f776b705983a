#include "store/files.h"
#include "store/boxfile.h"

#include "store/folderindex.h"
#include "store/names.h"
#include "store/versions.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <new>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quelora::store {

bool isRegularFile(const QString& path) {
    const QFileInfo fi(path);
    return fi.isFile(); // follows links; false for folders, FIFOs, devices, dangling links
}

ReadResult readFile(const QString& path) {
    ReadResult r;
    if (!isRegularFile(path)) return r;
    r.found = true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        r.reason = f.errorString();
        return r;
    }
    // A file no box could show (a sparse file of 200 GB, a log pasted by mistake) is not
    // read at all: allocating it whole would end the program with the user's unsaved text.
    if (f.size() > kLargestRead) {
        r.reason =
            QStringLiteral("El archivo es demasiado grande para abrirlo: %1 MB (Quelora abre hasta %2 MB)")
                .arg(f.size() >> 20)
                .arg(kLargestRead >> 20);
        return r;
    }
    try {
        r.bytes = f.readAll();
    } catch (const std::bad_alloc&) {
        r.bytes.clear();
        r.reason = QStringLiteral("No hay memoria para leer el archivo");
        return r;
    }
    if (f.error() != QFileDevice::NoError) {
        r.reason = f.errorString();
        r.bytes.clear();
        return r;
    }
    r.ok = true;
    return r;
}

namespace {

WriteFaults* installedFaults = nullptr;

std::filesystem::path fsPath(const QString& path) {
    return QFileInfo(path).filesystemFilePath();
}

// The bytes reach the disk before the rename makes them the file.
bool syncToDisk(QFile& f) {
#ifdef Q_OS_WIN
    return ::_commit(f.handle()) == 0;
#else
    return ::fsync(f.handle()) == 0;
#endif
}

// The rename itself reaches the disk with its folder (nothing to do where folders
// cannot be opened as files).
void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    if (const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// Whether the user lets this file be replaced. A rename would replace a read-only file
// as easily as any other, while a plain write is refused there; and root passes every
// permission check, so the file's own write bits count as well.
bool mayReplace(const QString& path) {
    const QFileInfo fi(path);
    const QFileDevice::Permissions p = fi.permissions();
    // WriteUser is not a bit of the file: it says whether the user running may write it.
    const bool anyWriteBit =
        p & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther);
    return anyWriteBit && fi.isWritable();
}

// The new text goes to a hidden file beside the target, named after it, which is then
// renamed over the target: the target is the old text or the new one, whole. A process
// killed in between leaves only that hidden file, which no list shows and the next
// save of the same target reuses.
Status replaceFile(const QString& target, const QByteArray& bytes, Sync sync) {
    const QString tmp = temporaryNameFor(target);
    // Whatever a crash left under the hidden name goes first, a link included (never
    // written through): the new file is created afresh.
    QFile::remove(tmp);
    QFile f(tmp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return Status::failure(f.errorString());
    const auto fail = [&](const QString& why) {
        f.close();
        QFile::remove(tmp);
        return Status::failure(why);
    };
    if (const QFileInfo old(target); old.exists() && !f.setPermissions(old.permissions()))
        return fail(f.errorString());
    if (installedFaults) {
        if (const std::optional<QString> why = installedFaults->nextWriteFails(target)) {
            f.write(bytes.constData(), bytes.size() / 2);
            return fail(*why);
        }
    }
    if (f.write(bytes) != bytes.size() || !f.flush() || (sync == Sync::Durable && !syncToDisk(f)))
        return fail(f.errorString());
    f.close();
    std::error_code error;
    std::filesystem::rename(fsPath(tmp), fsPath(target), error);
    if (error) {
        QFile::remove(tmp);
        return Status::failure(QString::fromLocal8Bit(error.message()));
    }
    if (sync == Sync::Durable) syncFolder(QFileInfo(target).absolutePath());
    return {};
}

} // namespace

void setWriteFaults(WriteFaults* faults) {
    installedFaults = faults;
}

QString temporaryNameFor(const QString& path) {
    const QFileInfo fi(path);
    const QByteArray hash =
        QCryptographicHash::hash(fi.fileName().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return joinPath(fi.path(),
                    QStringLiteral(".~quelora-") + QString::fromLatin1(hash) + QStringLiteral(".tmp"));
}

bool isTemporaryName(const QString& name) {
    // Checked for every name of every listing: the expression only for names that may be one.
    if (!name.startsWith(QLatin1String(".~quelora-"))) return false;
    static const QRegularExpression re(QStringLiteral("^\\.~quelora-[0-9a-f]{16}\\.tmp$"));
    return re.match(name).hasMatch();
}

namespace {

bool holdsExactly(const QFileInfo& fi, const QByteArray& bytes) {
    if (!fi.isFile() || fi.size() != bytes.size()) return false;
    QFile f(fi.filePath());
    return f.open(QIODevice::ReadOnly) && f.readAll() == bytes && f.error() == QFileDevice::NoError;
}

} // namespace

Status writeFile(const QString& path, const QByteArray& bytes, Sync sync) {
    const QFileInfo fi(path);
    if (holdsExactly(fi, bytes)) return {};
    if (fi.exists() && !fi.isFile())
        return Status::refused(QStringLiteral("Ya existe una carpeta u otro objeto con ese nombre"));
    // A link that leads nowhere is no file of the data folder: writing through it
    // would create a file wherever it points.
    if (fi.isSymLink() && !fi.exists())
        return Status::refused(QStringLiteral("Hay un enlace roto con ese nombre"));
    if (fi.isFile() && !mayReplace(path))
        return Status::refused(QStringLiteral("El archivo es de solo lectura"));
    // A link is replaced by the new file itself: whatever it led to, perhaps outside
    // the data folder, is never written.
    return replaceFile(path, bytes, sync);
}

Status probeFolder(const QString& folder) {
    const QString tmp = temporaryNameFor(joinPath(folder, QStringLiteral(".quelora-prueba")));
    QFile::remove(tmp);
    QFile f(tmp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return Status::failure(f.errorString());
    f.close();
    QFile::remove(tmp);
    if (installedFaults)
        if (const std::optional<QString> why = installedFaults->nextWriteFails(folder))
            return Status::failure(*why);
    return {};
}

Version versionOf(const QByteArray& bytes, const QString& path) {
    Version v;
    v.known = true;
    v.exists = true;
    v.size = bytes.size();
    v.digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    if (!path.isEmpty()) v.stamp = stampOf(path);
    return v;
}

Version absentVersion() {
    Version v;
    v.known = true;
    return v;
}

Version versionAt(const QString& path, QByteArray* bytes) {
    const Stamp before = stampOf(path);
    if (before.size < 0) return absentVersion();
    const ReadResult r = readFile(path);
    if (!r.ok) {
        Version v = versionOf(QByteArray(), path);
        v.unreadable = true; // no content equals it
        return v;
    }
    Version v = versionOf(r.bytes);
    // Taken before the read: a change while reading makes the next look read again.
    v.stamp = before;
    if (bytes) *bytes = r.bytes;
    return v;
}

bool stillIs(const QString& path, const Version& v, Version* now, QByteArray* bytes) {
    if (!v.known) {
        if (now) *now = Version();
        return true;
    }
    const Stamp stamp = stampOf(path);
    if (stamp.size < 0 || !v.exists) {
        // Nothing to read: there is a file now or there is none.
        Version found = stamp.size < 0 ? absentVersion() : versionAt(path, bytes);
        if (now) *now = found;
        return found.sameContent(v);
    }
    if (stamp == v.stamp && stamp.size == v.size) {
        if (now) *now = v;
        return true;
    }
    const Version found = versionAt(path, bytes);
    if (now) *now = found;
    return found.sameContent(v);
}

namespace {

// What names another version kept beside a file, in its own name.
const QString kOtherVersionMark = QStringLiteral(" (otra versi\u00F3n ");

} // namespace

QString otherVersionName(const QString& folder, const QString& stored, const QDateTime& when) {
    const qsizetype dot = stored.lastIndexOf(QLatin1Char('.'));
    const bool txt = dot > 0 && stored.mid(dot).compare(QLatin1String(".txt"), Qt::CaseInsensitive) == 0;
    const QString stem = txt ? stored.left(dot) : stored;
    const QString ext = txt ? stored.mid(dot) : QString();
    const QString mark = kOtherVersionMark + QStringLiteral("%1-%2-%3 %4.%5")
                                                 .arg(when.date().year())
                                                 .arg(when.date().month())
                                                 .arg(when.date().day())
                                                 .arg(when.time().hour())
                                                 .arg(when.time().minute(), 2, 10, QLatin1Char('0'));
    for (int n = 1;; ++n) {
        const QString name =
            stem + mark + (n == 1 ? QString() : QStringLiteral(" %1").arg(n)) + QStringLiteral(")") + ext;
        if (!QFileInfo::exists(joinPath(folder, name)) && findNamed(folder, name, Lookup::Once).isEmpty())
            return name;
    }
}

QString unsafeNameReason(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("El nombre está vacío");
    return QStringLiteral("El nombre «%1» no puede usarse como nombre de archivo: no puede ser «.» ni «..» "
                          "ni contener «/», «\\» ni el carácter nulo")
        .arg(QString(name).replace(QChar(0), QChar(0xFFFD)));
}

QString findNamed(const QString& folder, const QString& name, Lookup lookup) {
    if (!isSafeName(name)) return {};
    if (isRegularFile(joinPath(folder, name))) return name;
    // A name without letters (a note's date and time) has no other letter case.
    if (nameKey(name) == name && name.toUpper() == name) return {};
    if (const auto kept = FolderIndex::kept(folder)) return kept->find(name);
    return lookup == Lookup::Keep ? FolderIndex::current(folder)->find(name) : scanFor(folder, name);
}

ReadResult readNamed(const QString& folder, const QString& name, Lookup lookup) {
    const QString stored = findNamed(folder, name, lookup);
    if (stored.isEmpty()) return {};
    return readFile(joinPath(folder, stored));
}

Status writeNamed(const QString& folder, const QString& name, const QByteArray& bytes, Sync sync,
                  QString* path) {
    QString stored = findNamed(folder, name);
    if (stored.isEmpty()) stored = name;
    if (path) *path = joinPath(folder, stored);
    if (!isSafeName(name)) return Status::refused(unsafeNameReason(name));
    if (!QFileInfo(folder).isDir()) return Status::missing(QStringLiteral("La carpeta no existe"));
    return writeFile(joinPath(folder, stored), bytes, sync);
}

Status removeNamed(const QString& folder, const QString& name) {
    if (!isSafeName(name)) return Status::refused(unsafeNameReason(name));
    const QString stored = findNamed(folder, name);
    if (stored.isEmpty()) return Status::missing(QStringLiteral("El archivo no existe"));
    QFile f(joinPath(folder, stored));
    if (!f.remove()) return Status::failure(f.errorString());
    return {};
}

QString findFolder(const QString& parent, const QString& name) {
    if (!isSafeName(name)) return {};
    if (QFileInfo(joinPath(parent, name)).isDir()) return name;
    QString found;
    for (const QString& f : listFolders(parent))
        if (sameName(f, name) && (found.isEmpty() || takenBefore(f, found))) found = f;
    return found;
}

Status makeFolder(const QString& path) {
    const QFileInfo fi(path);
    if (fi.isDir()) return {};
    if (fi.exists()) return Status::refused(QStringLiteral("Ya existe un archivo con ese nombre"));
    if (!QDir().mkpath(path)) return Status::failure(QStringLiteral("No se pudo crear la carpeta"));
    return {};
}

namespace {

// One pass over a folder's regular files (links to files count; the saves' hidden files
// do not), calling take(name) for each until it returns false. Where the system has
// readdir, the entry type it gives saves a stat per file and no per-entry object is
// made: listing 11,000 diary pages takes a third of what Qt's iterator needs.
template <typename Take> void eachFile(const QString& folder, Take take) {
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(folder);
    DIR* d = ::opendir(path.constData());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        if (e->d_type != DT_REG) {
            if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) continue;
            struct stat st {};
            if (::stat((path + '/' + n).constData(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        }
        if (!take(QByteArrayView(n))) break;
    }
    ::closedir(d);
#else
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        if (!take(QFile::encodeName(it.fileName()))) break;
    }
#endif
}

} // namespace

QStringList listFiles(const QString& folder) {
    QStringList names;
    eachFile(folder, [&names](QByteArrayView raw) {
        QString name = QFile::decodeName(raw.toByteArray());
        if (!isPassingName(name)) names << std::move(name);
        return true;
    });
    return names;
}

QString scanFor(const QString& folder, const QString& name) {
    if (!isSafeName(name)) return {};
    // Most entries differ from the name in their first ASCII bytes (the weekday, the day
    // number): those are told apart without decoding anything. Every variant is looked
    // at, so that the one taken is the one a folder index takes.
    const QByteArray wanted = QFile::encodeName(name);
    const auto asciiFold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
    QString found;
    eachFile(folder, [&](QByteArrayView raw) {
        for (qsizetype i = 0; i < raw.size() && i < wanted.size(); ++i) {
            const char a = raw[i], b = wanted[i];
            if ((a & 0x80) || (b & 0x80)) break; // the rest needs decoding
            if (asciiFold(a) != asciiFold(b)) return true;
        }
        const QString candidate = QFile::decodeName(raw.toByteArray());
        if (sameName(candidate, name) && (found.isEmpty() || takenBefore(candidate, found)))
            found = candidate;
        return true;
    });
    return found;
}

QStringList listFolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
}

QString BoxFile::path() const {
    const QString stored = findNamed(folder, name);
    return joinPath(folder, stored.isEmpty() ? name : stored);
}

} // namespace quelora::store
