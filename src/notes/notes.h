#pragma once
// Note files and the export text, without widgets.
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

namespace quelora::notes {

// The name a note saved at this moment gets: "2007-6-24--9-5" (year-month-day--hour-minute,
// no leading zeros, no extension). Seconds do not count, so saves within a minute share it.
QString noteFileName(const QDateTime& when);
// The minute a note's file name stands for: the name above, each number of up to its digits
// (four for the year, two for the others; leading zeros too), a real date and time.
std::optional<QDateTime> noteTimeOfName(QStringView fileName);

// The export of the week panel: for each day, its caption and its text, each ended by
// CR LF (texts in file form). The other panels export their one text as it stands.
QString weekExportText(const std::array<QString, 7>& captions, const std::array<QString, 7>& texts);

} // namespace quelora::notes
