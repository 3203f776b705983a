// The day-file and diary-page readers: any file shows in its box, and a box saved
// unchanged gives back the file's own bytes.
#include "records/records.h"
#include "store/codepage.h"

#include <cstdint>
#include <cstdlib>

using namespace quelora::records;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    bool lossy = true;
    // A page is the box's text exactly.
    if (pageBytes(pageText(bytes), &lossy) != bytes || lossy) std::abort();
    // A day file loses at most the one CR LF its writer adds.
    const QByteArray day = dayFileBytes(dayFileText(bytes), &lossy);
    if (lossy) std::abort();
    if (bytes.endsWith("\r\n") ? day != bytes : day != bytes + "\r\n") std::abort();
    if (quelora::store::storedForm(pageText(bytes)) != pageText(bytes)) std::abort();
    return 0;
}
