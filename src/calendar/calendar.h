#pragma once
// Weekday and month arithmetic of the month grid, and the texts built from dates.
// Weekday columns: 0 Monday .. 6 Sunday.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <functional>
#include <optional>

namespace quelora::calendar {

inline constexpr int kFirstListYear = 1901;
inline constexpr int kLastListYear = 2100;

// "ENERO" .. "DICIEMBRE"; month 1..12. The one table of month names.
const QStringList& monthNames();
QString monthName(int month);
// "Enero" .. "Diciembre", as the month buttons show them.
QString monthTitle(int month);
// 1..12 for an exact, case-sensitive month name; 0 otherwise.
int monthNumber(const QString& name);

// "LUNES, " .. "DOMINGO, " by column. The one table of weekday names.
QString weekdayWord(int column);
// "Lunes" .. "Domingo".
QString weekdayName(int column);

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
// The day of the year a day file name stands for: "25 de DICIEMBRE.txt" in any letter case
// (store::sameName), 29 February too; no leading zero.
struct DayOfYear {
    int day = 0;   // 1..31
    int month = 0; // 1..12
};
std::optional<DayOfYear> dayOfDayFileName(QStringView fileName);
// "MARTES, 5 de JUNIO de 2007" and "JUNIO de 2007".
QString dateCaption(int column, const QString& dayText, const QString& monthText, const QString& yearText);
QString monthCaption(const QString& monthText, const QString& yearText);
// The caption of a real date (weekday from the column given).
QString dateCaption(int column, const QDate& date);

// How a caption read back is compared: the window's own captions exactly, a page's file
// name in any letter case, as every name (store::sameName).
enum class LetterCase { Exact, Ignored };
// The date a caption names when it is the caption of a real date of the calendar
// (weekday, day, month and year agreeing, no leading zeros); nothing otherwise.
std::optional<QDate> captionDate(QStringView caption, LetterCase letterCase = LetterCase::Exact);

// The date read from day/month/year texts as day/month/year; invalid when they make no date.
QDate dateFromTexts(const QString& dayText, int month, const QString& yearText);

// ---- The days of the grid ------------------------------------------------------------

// What a day button shows by its colour, before the red mark of the selected day.
enum class DayMark { Weekday, Weekend, Holiday, Reminder };
// A reminder wins over a holiday, either over the weekend.
DayMark dayMark(int column, bool holiday, bool reminder);

// What the 42 day buttons show for the month and year texts of the lists: worked out in
// one place, and only applied to the buttons by the window.
struct MonthGrid {
    QString month;              // the month text it was made for, as the day files are named
    int JanuaryFirstColumn = 0; // of the year on show
    int FebruaryLength = 0;     // of the year on show: 29 for a text that is no year (year 0)
    int MonthLength = 0;        // days of the month on show
    int FirstDayColumn = 0;     // the button of day 1
    QDate firstDay;             // the real date of day 1; invalid when the texts make none
    int preselect = -1;         // the button of today's day when this painting is to mark it
    std::array<DayMark, 42> marks{};
    std::array<bool, 42> holiday{}, reminder{}, page{};

    bool shows(int button) const { return button >= FirstDayColumn && button < FirstDayColumn + MonthLength; }
    int day(int button) const { return button - FirstDayColumn + 1; }
    int button(int day) const { return FirstDayColumn + day - 1; }
    // The real date button shows; invalid outside the month or when the texts make none.
    QDate date(int button) const;
};

// What the day folders hold, asked once per day shown: a holiday or reminder day file of
// that name (letter case ignored), a diary page with text for that date.
struct DayFileTests {
    std::function<bool(const QString&dayFileName)> holiday, reminder;
    std::function<bool(const QDate& date)> page;
};

// The grid of the month text on the year text. A year text that is no year keeps the
// January weekday of `before` and counts as year 0 (a 29-day February); a month text that
// names no month keeps the length and the first column of `before`.
// preselectDay (0: none) is today's day, marked by the first painting that shows it.
MonthGrid monthGrid(const MonthGrid& before, const QString& monthText, const QString& yearText,
                    int preselectDay, const DayFileTests& files);
// The days of grid with a page of their own (their numbers are bold).
std::array<bool, 42> daysWithPages(const MonthGrid& grid, const std::function<bool(const QDate&)>& page);

// "viernes 16 de marzo de 2007": a date as a screen reader says it.
QString spokenDate(const QDate& date);
// What a day button says to a screen reader, besides its colour.
struct DayWords {
    QDate date; // invalid for list texts that make no date: the button says its number
    bool holiday = false, reminder = false, page = false, selected = false;
};
// "viernes 16 de marzo de 2007, festivo, recordatorio, con página, seleccionado".
QString dayButtonName(const QString& dayText, const DayWords& words);
// The mark in words: "Color azul: tiene un recordatorio." (and the colour under the red
// mark), then "Tiene página en el diario." for a day with a page.
QString dayButtonDescription(DayMark mark, bool selected, bool page = false);
// The tooltip: the description, then the holiday, reminder and saint texts that exist
// (line breaks become blanks, long texts are cut).
QString dayButtonToolTip(const QString& description, const std::array<QString, 3>& dayTexts);

// The month (1..12) a month page key goes to from the month shown (step -1 or +1), and
// whether that crosses into another year.
struct MonthPage {
    int month = 0;
    int yearStep = 0; // -1, 0 or +1
};
MonthPage monthPage(int shownMonth, int step);

} // namespace quelora::calendar
