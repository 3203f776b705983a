#pragma once
// Day files, diary pages, the week view and the read-outs, without widgets.
#include "store/layout.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace quelora::store {
class FolderIndex;
}

namespace quelora::records {

// ---- Day files: holidays (0), reminders (1), saints (2) -------------------------------
inline constexpr int kDayRecordKinds = 3;
// "fiestas", "recordatorio", "santoral"; empty for any other index.
QString dayRecordFolder(int index);

// The text a day file shows in its box: the CR LF its writer puts at the end is
// dropped (only one), so a file loaded and saved unchanged keeps its bytes.
QString dayFileText(const QByteArray& bytes);
// What a day file holds after its text.
inline const QString kDayFileEnding = QStringLiteral("\r\n");
// The file of a box text: the text and one CR LF. *lossy tells whether a character
// had no place in the code page (it is written as '?').
QByteArray dayFileBytes(const QString& text, bool* lossy = nullptr);
// An empty box is no holiday or reminder at all: its day file is removed, not written.
inline bool removesDayFile(const QString& text) {
    return text.isEmpty();
}

// ---- Diary pages ------------------------------------------------------------------
// "MARTES, 5 de JUNIO de 2007.txt"
QString pageName(const QString& caption);
// The date a page's file name stands for: the caption of a real date, then ".txt", in any
// letter case (store::sameName), the weekday the date's own.
std::optional<QDate> pageDateOfName(QStringView fileName);
// A page is exactly the box's text; nothing is added before or after it.
QByteArray pageBytes(const QString& text, bool* lossy = nullptr);
QString pageText(const QByteArray& bytes);

// ---- Week view ----------------------------------------------------------------------
// The seven dates, Monday to Sunday, of the week whose day in column `column`
// (0 Monday .. 6 Sunday) is `selected`. All invalid when either is.
std::array<QDate, 7> weekDates(const QDate& selected, int column);
// Their captions; the weekday word comes from the position, as in the grid.
std::array<QString, 7> weekCaptions(const std::array<QDate, 7>& dates);

// ---- Month and year read-outs ---------------------------------------------------------
// The captions of the days walked, in order, with the weekday words of a running
// column that starts at firstColumn.
QStringList monthCaptions(int firstColumn, int monthLength, const QString& monthText,
                          const QString& yearText);
// monthTexts: the twelve month texts (the month list's items), January first.
QStringList yearCaptions(int januaryFirstColumn, int februaryLength, const QStringList& monthTexts,
                         const QString& yearText);

// Reads a page by its stored name; nullopt when it cannot be read.
using PageReader = std::function<std::optional<QByteArray>(const QString& storedName)>;
// Every caption that has a page in `pages`: caption, separator, the page unchanged,
// separator, separator. A page that cannot be read keeps its caption and separators.
QString readOutText(const QStringList& captions, const store::FolderIndex& pages, const PageReader& read,
                    const QString& separator);

} // namespace quelora::records
