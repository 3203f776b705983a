#include "notes/notes.h"

#include <utility>

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

std::optional<QDateTime> noteTimeOfName(QStringView fileName) {
    // Year, month, day, hour, minute: the most digits of each and the separator after it.
    static constexpr std::pair<int, QStringView> kFields[] = {
        {4, u"-"}, {2, u"-"}, {2, u"--"}, {2, u"-"}, {2, u""}};
    int n[5] = {};
    qsizetype at = 0;
    for (int f = 0; f < 5; ++f) {
        const qsizetype from = at;
        while (at < fileName.size() && at - from < kFields[f].first && fileName[at] >= u'0' &&
               fileName[at] <= u'9')
            n[f] = n[f] * 10 + (fileName[at++].unicode() - u'0');
        if (at == from || !fileName.mid(at).startsWith(kFields[f].second)) return std::nullopt;
        at += kFields[f].second.size();
    }
    const QDate date(n[0], n[1], n[2]);
    const QTime time(n[3], n[4]);
    if (at != fileName.size() || n[0] < 1 || !date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time);
}

QString weekExportText(const std::array<QString, 7>& captions, const std::array<QString, 7>& texts) {
    const QString crlf = QStringLiteral("\r\n");
    QString out;
    for (int i = 0; i < 7; ++i)
        out += captions[i] + crlf + texts[i] + crlf;
    return out;
}

} // namespace quelora::notes
