#include "store/files.h"

#include "store/folderindex.h"
#include "store/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

Status writeFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo fi(path);
    if (fi.exists() && !fi.isFile()) return Status::failure(QStringLiteral("Ya existe una carpeta u otro objeto con ese nombre"));
    QSaveFile f(path);
    f.setDirectWriteFallback(false);
    if (!f.open(QIODevice::WriteOnly)) return Status::failure(f.errorString());
    if (f.write(bytes) != bytes.size()) {
        const QString why = f.errorString();
        f.cancelWriting();
        return Status::failure(why);
    }
    if (!f.commit()) return Status::failure(f.errorString());
    return {};
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
    return FolderIndex(folder).find(name);
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

Status makeFolder(const QString& path) {
    const QFileInfo fi(path);
    if (fi.isDir()) return {};
    if (fi.exists()) return Status::failure(QStringLiteral("Ya existe un archivo con ese nombre"));
    if (!QDir().mkpath(path)) return Status::failure(QStringLiteral("No se pudo crear la carpeta"));
    return {};
}

QStringList listFiles(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
}

QStringList listFolders(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
}

} // namespace quelora::store
