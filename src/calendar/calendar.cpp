#include "calendar/calendar.h"

#include <array>

namespace quelora::calendar {

const QStringList& monthNames() {
    static const QStringList names = {
        QStringLiteral("ENERO"),   QStringLiteral("FEBRERO"),   QStringLiteral("MARZO"),
        QStringLiteral("ABRIL"),   QStringLiteral("MAYO"),      QStringLiteral("JUNIO"),
        QStringLiteral("JULIO"),   QStringLiteral("AGOSTO"),    QStringLiteral("SEPTIEMBRE"),
        QStringLiteral("OCTUBRE"), QStringLiteral("NOVIEMBRE"), QStringLiteral("DICIEMBRE")};
    return names;
}

QString monthName(int month) {
    return month >= 1 && month <= 12 ? monthNames().at(month - 1) : QString();
}

int monthNumber(const QString& name) {
    return static_cast<int>(monthNames().indexOf(name)) + 1;
}

QString weekdayWord(int column) {
    static const std::array<QString, 7> words = {
        QStringLiteral("LUNES, "),  QStringLiteral("MARTES, "),  QString::fromUtf8("MIÉRCOLES, "),
        QStringLiteral("JUEVES, "), QStringLiteral("VIERNES, "), QString::fromUtf8("SÁBADO, "),
        QStringLiteral("DOMINGO, ")};
    return column >= 0 && column <= 6 ? words[column] : QString();
}

long long leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        if (value > 1'000'000'000'000LL) break; // far beyond any year; stop before overflow
        value = value * 10 + (text[i].unicode() - '0');
    }
    return negative ? -value : value;
}

std::optional<int> yearOf(const QString& text) {
    const long long y = leadingNumber(text);
    if (y < 1 || y > 9999) return std::nullopt;
    return static_cast<int>(y);
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int februaryLength(int year) {
    return isLeapYear(year) ? 29 : 28;
}

int januaryFirstColumn(int year) {
    // Days from Monday 1 January of year 1 (proleptic Gregorian) to 1 January of year.
    const long long y = year - 1;
    const long long days = y * 365 + y / 4 - y / 100 + y / 400;
    return static_cast<int>(days % 7);
}

int monthLength(int month, int febLength) {
    static constexpr std::array<int, 12> lengths = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 ? febLength : lengths[month - 1];
}

int daysBeforeMonth(int month, int febLength) {
    int d = 0;
    for (int m = 1; m < month && m <= 12; ++m)
        d += monthLength(m, febLength);
    return d;
}

QString dayFileName(const QString& dayText, const QString& monthText) {
    return dayText + QStringLiteral(" de ") + monthText + QStringLiteral(".txt");
}

QString dateCaption(int column, const QString& dayText, const QString& monthText, const QString& yearText) {
    return weekdayWord(column) + dayText + QStringLiteral(" de ") + monthText + QStringLiteral(" de ") +
           yearText;
}

QString monthCaption(const QString& monthText, const QString& yearText) {
    return monthText + QStringLiteral(" de ") + yearText;
}

QString dateCaption(int column, const QDate& date) {
    return dateCaption(column, QString::number(date.day()), monthName(date.month()),
                       QString::number(date.year()));
}

std::optional<QDate> captionDate(const QString& caption) {
    // "<weekday>, <day> de <MONTH> de <year>"
    const qsizetype comma = caption.indexOf(QStringLiteral(", "));
    if (comma < 0) return std::nullopt;
    const QStringList parts = caption.mid(comma + 2).split(QStringLiteral(" de "));
    if (parts.size() != 3) return std::nullopt;
    bool dayOk = false, yearOk = false;
    const int day = parts[0].toInt(&dayOk);
    const int year = parts[2].toInt(&yearOk);
    const int month = monthNumber(parts[1]);
    if (!dayOk || !yearOk || month == 0 || year < 1 || year > 9999) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid() || dateCaption(date.dayOfWeek() - 1, date) != caption) return std::nullopt;
    return date;
}

QDate dateFromTexts(const QString& dayText, int month, const QString& yearText) {
    const auto year = yearOf(yearText);
    const long long day = leadingNumber(dayText);
    if (!year || month < 1 || month > 12 || day < 1 || day > 31) return {};
    return QDate(*year, month, static_cast<int>(day)); // invalid when the day is past the month's end
}

} // namespace quelora::calendar
