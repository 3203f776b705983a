#pragma once
// Weekday and month arithmetic of the month grid, and the texts built from dates.
// Weekday columns: 0 Monday .. 6 Sunday.
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace quelora::calendar {

inline constexpr int kFirstListYear = 1901;
inline constexpr int kLastListYear = 2100;

// "ENERO" .. "DICIEMBRE"; month 1..12.
const QStringList& monthNames();
QString monthName(int month);
// 1..12 for an exact, case-sensitive month name; 0 otherwise.
int monthNumber(const QString& name);

// "LUNES, " .. "DOMINGO, " by column.
QString weekdayWord(int column);

// The leading number of a text, as the lists and the year button hold it:
// leading blanks skipped, an optional sign, then digits; 0 when there are none.
long long leadingNumber(const QString& text);

// The year of a year text when it is a year of the calendar (1..9999).
std::optional<int> yearOf(const QString& text);

// Gregorian calendar, century rule included.
bool isLeapYear(int year);
int februaryLength(int year);
int januaryFirstColumn(int year);
int monthLength(int month, int februaryLength);
int daysBeforeMonth(int month, int februaryLength);

// "5 de MAYO.txt": the day file of a day of the year.
QString dayFileName(const QString& dayText, const QString& monthText);
// "MARTES, 5 de JUNIO de 2007" and "JUNIO de 2007".
QString dateCaption(int column, const QString& dayText, const QString& monthText, const QString& yearText);
QString monthCaption(const QString& monthText, const QString& yearText);
// The caption of a real date (weekday from the column given).
QString dateCaption(int column, const QDate& date);

// The date a caption names when it is exactly the caption of a real date of the
// calendar (weekday, day, month and year agreeing); nothing otherwise.
std::optional<QDate> captionDate(const QString& caption);

// The date read from day/month/year texts as day/month/year; invalid when they make no date.
QDate dateFromTexts(const QString& dayText, int month, const QString& yearText);

} // namespace quelora::calendar
