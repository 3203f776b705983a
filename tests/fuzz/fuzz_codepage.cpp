// The code page: every byte string decodes and encodes back to itself, and the line
// ends of a file survive the trip into a box and back.
#include "store/codepage.h"

#include <cstdint>
#include <cstdlib>

using namespace quelora::store;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = decode(bytes);
    if (text.size() != bytes.size()) std::abort();
    bool lossy = true;
    if (encode(text, &lossy) != bytes || lossy || !fitsCodePage(text)) std::abort();

    // A file whose lines all end in CR LF goes into a box and comes back unchanged.
    const QString box = fileToBox(text);
    const bool crlfOnly = text.count(QLatin1Char('\r')) == text.count(QStringLiteral("\r\n")) &&
                          text.count(QLatin1Char('\n')) == text.count(QStringLiteral("\r\n"));
    if (crlfOnly && (boxToFile(box) != text || box.contains(QLatin1Char('\r')))) std::abort();
    // Whatever a box holds is saved with CR LF line ends only.
    const QString saved = boxToFile(box);
    if (saved.count(QLatin1Char('\n')) != saved.count(QStringLiteral("\r\n"))) std::abort();

    // Any text of the widgets, code page or not, encodes to one byte per character
    // (a surrogate pair to one '?').
    const QString wide = QString::fromUtf8(bytes);
    const QByteArray out = encode(wide, &lossy);
    if (out.size() > wide.size() || lossy != !fitsCodePage(wide)) std::abort();
    return 0;
}
