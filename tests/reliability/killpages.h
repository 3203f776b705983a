#pragma once
// The pages of the kill test: large texts that tell which page and which generation
// they are, so a page read back can be checked whole against the one it claims to be.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace quelora::test {

// The files rewritten, relative to the data folder: diary pages, notes and cards,
// the folders the window lists.
inline QStringList killTestFolders() {
    return {QStringLiteral("dias"), QStringLiteral("notas"), QStringLiteral("direcciones/Todos")};
}
inline QStringList killTestNames(int folder) {
    switch (folder) {
    case 0:
        return {QStringLiteral("LUNES, 1 de ENERO de 2007.txt"),
                QString::fromUtf8("MIÉRCOLES, 3 de ENERO de 2007.txt")};
    case 1:
        return {QStringLiteral("2007-1-1--9-5"), QStringLiteral("2007-12-31--23-59")};
    default:
        return {QString::fromUtf8("García"), QString::fromUtf8("Núñez")};
    }
}

// Page `page`, generation `gen`: a header line, then `size` bytes that take every
// byte value (NUL included) in an order of their own.
inline QByteArray killTestPage(int page, qint64 gen, int size) {
    QByteArray out = QStringLiteral("pagina %1 generacion %2\r\n").arg(page).arg(gen).toLatin1();
    const qsizetype head = out.size();
    out.resize(head + size);
    for (int k = 0; k < size; ++k)
        out[head + k] = static_cast<char>((k * 131 + page * 7 + gen * 13 + (k >> 8)) & 0xFF);
    return out;
}

// The generation a page on disk claims to be, when it is exactly that page whole.
inline std::optional<qint64> killTestGeneration(const QByteArray& bytes, int page, int size) {
    const qsizetype eol = bytes.indexOf("\r\n");
    if (eol < 0) return std::nullopt;
    const QList<QByteArray> words = bytes.left(eol).split(' ');
    if (words.size() != 4 || words[1].toInt() != page) return std::nullopt;
    bool ok = false;
    const qint64 gen = words[3].toLongLong(&ok);
    if (!ok || bytes != killTestPage(page, gen, size)) return std::nullopt;
    return gen;
}

} // namespace quelora::test
