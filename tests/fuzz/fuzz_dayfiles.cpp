// The day-file and diary-page readers: any file shows in its box, and a box saved
// unchanged gives back the file's own bytes (in the folder's own form).
#include "records/records.h"
#include "store/codepage.h"

#include <cstdint>
#include <cstdlib>

using namespace quelora::records;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    bool lossy = true;
    // The file in the folder's own form: itself, or the code page's bytes of a UTF-8 file
    // from elsewhere (written so only when the box is changed).
    const QByteArray own = quelora::store::codePageBytes(bytes);
    // A page is the box's text exactly.
    if (pageBytes(pageText(bytes), &lossy) != own || lossy) std::abort();
    // A day file loses at most the one line end its writer adds (CR LF, or LF alone).
    const QByteArray day = dayFileBytes(dayFileText(bytes), &lossy);
    if (lossy) std::abort();
    const QByteArray expected = own.endsWith("\r\n") ? own
                                : own.endsWith('\n')  ? own.chopped(1) + "\r\n"
                                                       : own + "\r\n";
    if (day != expected) std::abort();
    if (quelora::store::storedForm(pageText(bytes)) != pageText(bytes)) std::abort();
    return 0;
}
