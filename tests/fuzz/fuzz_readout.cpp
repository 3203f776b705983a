// The read-out builder: any month and year texts (typed into the lists) and any page
// give a read-out that holds each found page whole under its caption, and never
// reach outside the pages folder.
#include "records/records.h"
#include "store/folderindex.h"
#include "store/names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

using namespace quelora;

namespace {

QTemporaryDir& pagesDir() {
    static QTemporaryDir dir;
    return dir;
}

} // namespace

// Input: first column, month length, month text, year text and page, split by NUL.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int column = static_cast<int8_t>(data[0]);
    const int length = data[1] % 40;
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2)).split('\0');
    const QString month = QString::fromUtf8(parts.value(0));
    const QString year = QString::fromUtf8(parts.value(1));
    const QByteArray page = parts.mid(2).join('\0');

    const QStringList captions = records::monthCaptions(column, length, month, year);
    if (captions.size() != length) std::abort();
    const QStringList months = {month, month, month, month, month, month,
                                month, month, month, month, month, month};
    if (records::yearCaptions(column, 28 + data[1] % 2, months, year).size() != 365 + data[1] % 2)
        std::abort();

    // The page of the last day, when its caption can name a file of the folder.
    const QString folder = pagesDir().path();
    for (const QString& f : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folder + "/" + f);
    QString stored;
    if (!captions.isEmpty() && store::isSafeName(records::pageName(captions.last()))) {
        QFile f(store::joinPath(folder, records::pageName(captions.last())));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(page);
            stored = QFileInfo(f).fileName();
        }
    }
    const store::FolderIndex index(folder);
    int reads = 0;
    const auto read = [&](const QString& name) -> std::optional<QByteArray> {
        ++reads;
        if (!store::isSafeName(name) || !index.contains(name)) std::abort(); // only names of the folder
        QFile f(store::joinPath(folder, name));
        if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
        return f.readAll();
    };
    const QString sep = QStringLiteral(" \r\n");
    const QString out = records::readOutText(captions, index, read, sep);
    if (!stored.isEmpty() && !out.contains(captions.last() + sep + records::pageText(page) + sep + sep))
        std::abort();
    if (stored.isEmpty() && !out.isEmpty()) std::abort();
    return 0;
}
