// The card reader: any file gives seven fields, and a card read and saved again
// reads back to the same fields. The copy of a group and the group commit take
// any text.
#include "addresses/cards.h"

#include <cstdint>
#include <cstdlib>

using namespace quelora::addresses;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Card card = cardFromFile(bytes);
    bool lossy = true;
    const QByteArray saved = cardFileBytes(card, &lossy);
    if (lossy || !saved.endsWith("\r\n")) std::abort();
    if (cardFromFile(saved) != card) std::abort();
    // One card is one line of the copy.
    const QString row = copyAllColumns(card);
    if (row.contains(QLatin1Char('\r')) || row.contains(QLatin1Char('\n')) ||
        row.count(QLatin1Char('\t')) < kFieldCount)
        std::abort();

    const QString text = QString::fromLatin1(bytes.left(64));
    const QStringList cuts = groupCommitCuts(text);
    if (!cuts.isEmpty() && cuts.last().contains(QLatin1Char('-'))) std::abort();
    searchPattern(text);
    return 0;
}
