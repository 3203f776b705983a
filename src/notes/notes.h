#pragma once
// Note files and the export text, without widgets.
#include <QDateTime>
#include <QString>
#include <array>

namespace quelora::notes {

// The name a note saved at this moment gets: "2007-6-24--9-5" (year-month-day--hour-minute,
// no leading zeros, no extension). Seconds do not count, so saves within a minute share it.
QString noteFileName(const QDateTime& when);

// The panels by the index the panel buttons give them.
enum Panel : int {
    DayPanel = 0,
    WeekPanel = 1,
    MonthPanel = 2,
    YearPanel = 3,
    NotesPanel = 4,
    AddressPanel = 5
};

// What the panel on show holds, in file form (CR LF between lines). Only the part that
// the panel exports needs filling: text for the day, month, year and notes panels,
// the captions and texts of the seven days for the week panel.
struct PanelTexts {
    QString text;
    std::array<QString, 7> weekCaptions;
    std::array<QString, 7> weekTexts;
};

// The content of the export file for a panel: its box's text as it stands, the week as
// seven caption / text pairs each ended by CR LF, nothing for the address book (or an
// unknown panel).
QString exportText(int panel, const PanelTexts& texts);

// Told to the user after a save that wrote "?" for characters Windows-1252 cannot hold.
QString replacedCharactersMessage(const QString& path);

// The file name of the export file in the data folder.
inline const QString kExportFileName = QStringLiteral("texto.txt");

} // namespace quelora::notes
