#include "notes/notes.h"

namespace quelora::notes {

QString noteFileName(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QStringLiteral("%1-%2-%3--%4-%5")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute());
}

QString weekExportText(const std::array<QString, 7>& captions, const std::array<QString, 7>& texts) {
    const QString crlf = QStringLiteral("\r\n");
    QString out;
    for (int i = 0; i < 7; ++i)
        out += captions[i] + crlf + texts[i] + crlf;
    return out;
}

} // namespace quelora::notes
