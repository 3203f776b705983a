#pragma once
// Note files and the export text, without widgets.
#include <QDateTime>
#include <QString>
#include <array>

namespace quelora::notes {

// The name a note saved at this moment gets: "2007-6-24--9-5" (year-month-day--hour-minute,
// no leading zeros, no extension). Seconds do not count, so saves within a minute share it.
QString noteFileName(const QDateTime& when);

// The export of the week panel: for each day, its caption and its text, each ended by
// CR LF (texts in file form). The other panels export their one text as it stands.
QString weekExportText(const std::array<QString, 7>& captions, const std::array<QString, 7>& texts);

} // namespace quelora::notes
