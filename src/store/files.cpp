#include "store/files.h"

#include "store/folderindex.h"
#include "store/names.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
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
    r.bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        r.reason = f.errorString();
        r.bytes.clear();
        return r;
    }
    r.ok = true;
    return r;
}

namespace {

int writesToFail = 0; // see failNextWritesForTesting
QString writeFailure;

#ifdef Q_OS_UNIX
QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

// The new text goes to a hidden file beside the page, named after it, which is then
// renamed over the page: the page is the old text or the new one, whole. A process
// killed in between leaves only that hidden file, which no list shows and the next
// save of the same page reuses.
Status replaceFile(const QString& target, const QByteArray& bytes) {
    const QString tmp = temporaryNameFor(target);
    const QByteArray tmpPath = QFile::encodeName(tmp);
    struct stat old {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    const int fd = ::open(tmpPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return Status::failure(systemError(errno));
    const auto fail = [&](const QString& why) {
        ::close(fd);
        ::unlink(tmpPath.constData());
        return Status::failure(why);
    };
    if (existed && ::fchmod(fd, old.st_mode & 07777) != 0) return fail(systemError(errno));
    if (writesToFail > 0) {
        --writesToFail;
        writeAll(fd, bytes.constData(), bytes.size() / 2);
        return fail(writeFailure);
    }
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fsync(fd) != 0) return fail(systemError(errno));
    if (::close(fd) != 0) {
        ::unlink(tmpPath.constData());
        return Status::failure(systemError(errno));
    }
    if (::rename(tmpPath.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(tmpPath.constData());
        return Status::failure(systemError(error));
    }
    // The rename itself reaches the disk with its folder.
    if (const int dfd =
            ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
        dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return {};
}
#else
Status replaceFile(const QString& target, const QByteArray& bytes) {
    QSaveFile f(target);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly)) return Status::failure(f.errorString());
    if (writesToFail > 0) {
        --writesToFail;
        f.write(bytes.left(bytes.size() / 2));
        f.cancelWriting();
        return Status::failure(writeFailure);
    }
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return Status::failure(why);
    }
    if (!f.commit()) return Status::failure(f.errorString());
    return {};
}
#endif

#ifdef Q_OS_UNIX
bool mayReplace(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    struct stat st {};
    if (::stat(p.constData(), &st) != 0) return true;
    return (st.st_mode & 0222) != 0 && ::access(p.constData(), W_OK) == 0;
}
#else
bool mayReplace(const QString& path) {
    return QFileInfo(path).isWritable();
}
#endif

} // namespace

void failNextWritesForTesting(int count, const QString& reason) {
    writesToFail = count;
    writeFailure = reason;
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

Status writeFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo fi(path);
    if (fi.exists() && !fi.isFile())
        return Status::failure(QStringLiteral("Ya existe una carpeta u otro objeto con ese nombre"));
    // A link that leads nowhere is no file of the data folder: writing through it
    // would create a file wherever it points.
    if (fi.isSymLink() && !fi.exists())
        return Status::failure(QStringLiteral("Hay un enlace roto con ese nombre"));
    // The rename would replace a read-only file as easily as any other; a plain write
    // is refused there, and so is ours. Root passes every permission check, so the
    // file's own write bits count as well.
    if (fi.isFile() && !mayReplace(path))
        return Status::failure(QStringLiteral("El archivo es de solo lectura"));
    // A link is replaced by the new file itself: whatever it led to, perhaps outside
    // the data folder, is never written.
    return replaceFile(path, bytes);
}

QString unsafeNameReason(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("El nombre está vacío");
    return QStringLiteral("El nombre «%1» no puede usarse como nombre de archivo: no puede ser «.» ni «..» "
                          "ni contener «/», «\\» ni el carácter nulo")
        .arg(QString(name).replace(QChar(0), QChar(0xFFFD)));
}

QString findNamed(const QString& folder, const QString& name) {
    if (!isSafeName(name)) return {};
    if (isRegularFile(joinPath(folder, name))) return name;
    return FolderIndex::current(folder)->find(name);
}

ReadResult readNamed(const QString& folder, const QString& name) {
    const QString stored = findNamed(folder, name);
    if (stored.isEmpty()) return {};
    return readFile(joinPath(folder, stored));
}

Status writeNamed(const QString& folder, const QString& name, const QByteArray& bytes) {
    if (!isSafeName(name)) return Status::failure(unsafeNameReason(name));
    if (!QFileInfo(folder).isDir()) return Status::failure(QStringLiteral("La carpeta no existe"));
    QString stored = findNamed(folder, name);
    if (stored.isEmpty()) stored = name;
    return writeFile(joinPath(folder, stored), bytes);
}

Status removeNamed(const QString& folder, const QString& name) {
    if (!isSafeName(name)) return Status::failure(unsafeNameReason(name));
    const QString stored = findNamed(folder, name);
    if (stored.isEmpty()) return Status::failure(QStringLiteral("El archivo no existe"));
    QFile f(joinPath(folder, stored));
    if (!f.remove()) return Status::failure(f.errorString());
    return {};
}

QString findFolder(const QString& parent, const QString& name) {
    if (!isSafeName(name)) return {};
    if (QFileInfo(joinPath(parent, name)).isDir()) return name;
    const QString upper = name.toUpper();
    for (const QString& f : listFolders(parent))
        if (f.toUpper() == upper) return f;
    return {};
}

Status makeFolder(const QString& path) {
    const QFileInfo fi(path);
    if (fi.isDir()) return {};
    if (fi.exists()) return Status::failure(QStringLiteral("Ya existe un archivo con ese nombre"));
    if (!QDir().mkpath(path)) return Status::failure(QStringLiteral("No se pudo crear la carpeta"));
    return {};
}

QStringList listFiles(const QString& folder) {
    // An iterator rather than QDir::entryList, which first builds a file-info object for
    // every entry: listing 11,000 diary pages took two to three times as long that way.
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        if (!isTemporaryName(name)) names << std::move(name);
    }
    return names;
}

QStringList listFolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
}

} // namespace quelora::store
