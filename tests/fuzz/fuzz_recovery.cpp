// The hidden file of unsaved texts, as a crash, a full disk or another program may leave
// it: any bytes read as nothing or as entries, never a crash; what is read, written again,
// reads back the same.
#include "store/recovery.h"

#include <cstdint>
#include <cstdlib>

using namespace quelora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QList<recovery::Entry>> entries = recovery::decode(bytes);
    if (!entries) return 0;
    for (const recovery::Entry& e : *entries)
        if (e.kind.isEmpty() || e.texts.isEmpty()) std::abort();
    const auto again =
        recovery::decode(recovery::encode(*entries, QDateTime(QDate(2007, 3, 15), QTime(10, 0))));
    if (!again || *again != *entries) std::abort();
    return 0;
}
