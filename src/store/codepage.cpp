#include "store/codepage.h"

#include <array>

namespace quelora::store {
namespace {

// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

} // namespace

QString decode(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return out;
}

QByteArray encode(const QString& text, bool* lossy) {
    QByteArray out;
    out.reserve(text.size());
    bool lost = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(text[i].unicode());
        if (b >= 0) {
            out.append(static_cast<char>(b));
            continue;
        }
        lost = true;
        out.append('?');
        // A surrogate pair is one character for the user: one '?'.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
    }
    if (lossy) *lossy = lost;
    return out;
}

QString storedForm(const QString& text) {
    return decode(encode(text));
}

bool fitsCodePage(const QString& text) {
    for (QChar c : text)
        if (byteOf(c.unicode()) < 0) return false;
    return true;
}

bool isUtf8Text(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return true;
    bool high = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        high = true;
        const int more = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
        if (more < 0 || i + more >= bytes.size()) return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return high;
}

QString decodeText(const QByteArray& bytes) {
    if (isUtf8Text(bytes)) {
        const qsizetype bom = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
        const QString text = QString::fromUtf8(bytes.constData() + bom, bytes.size() - bom);
        // Only a text the code page holds, and whose code-page bytes read back as the same
        // text: what is shown is then saved without losing a character, and read again as
        // it was saved. Any other file is shown byte for byte, as it always was.
        if (fitsCodePage(text) && !isUtf8Text(encode(text))) return text;
    }
    return decode(bytes);
}

QByteArray codePageBytes(const QByteArray& bytes) {
    return isUtf8Text(bytes) ? encode(decodeText(bytes)) : bytes;
}

QString fileToBox(const QString& fileText) {
    QString s = fileText;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

QString boxToFile(const QString& boxText) {
    QString s = boxText;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); // never double a CR already there
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}

} // namespace quelora::store
