#include "calendar/calendar.h"

#include "store/names.h"

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

QString monthTitle(int month) {
    const QString name = monthName(month);
    return name.left(1) + name.mid(1).toLower();
}

QString weekdayName(int column) {
    const QString word = weekdayWord(column).chopped(2); // without ", "
    return word.left(1) + word.mid(1).toLower();
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

namespace {

constexpr QStringView kOf = u" de ";

bool sameText(QStringView a, QStringView b, LetterCase letterCase) {
    return letterCase == LetterCase::Exact ? a == b : store::sameName(a, b);
}

// The number of text[*at..] made of 1..maxDigits ASCII digits, *at moved past it; -1 when
// there is none or it starts with a zero (no name the program writes).
int numberAt(QStringView text, qsizetype* at, int maxDigits) {
    if (*at < text.size() && text[*at] == u'0') return -1;
    int value = 0, count = 0;
    while (*at < text.size() && count < maxDigits && text[*at] >= u'0' && text[*at] <= u'9') {
        value = value * 10 + (text[*at].unicode() - u'0');
        ++*at;
        ++count;
    }
    return count > 0 ? value : -1;
}

// Moves *at past what when text has it there.
bool skip(QStringView text, qsizetype* at, QStringView what, LetterCase letterCase) {
    if (!sameText(text.mid(*at, what.size()), what, letterCase)) return false;
    *at += what.size();
    return true;
}

// The month whose name stands at text[*at..], *at moved past it; 0 when none.
int monthAt(QStringView text, qsizetype* at, LetterCase letterCase) {
    const QStringList& months = monthNames();
    for (int m = 0; m < months.size(); ++m)
        if (skip(text, at, months[m], letterCase)) return m + 1;
    return 0;
}

} // namespace

QString dayFileName(const QString& dayText, const QString& monthText) {
    return dayText + QStringLiteral(" de ") + monthText + QStringLiteral(".txt");
}

std::optional<DayOfYear> dayOfDayFileName(QStringView fileName) {
    const QStringView stem = store::withoutExtension(fileName, u".txt");
    qsizetype at = 0;
    const int day = numberAt(stem, &at, 2);
    if (day < 1 || !skip(stem, &at, kOf, LetterCase::Ignored)) return std::nullopt;
    const int month = monthAt(stem, &at, LetterCase::Ignored);
    if (month == 0 || at != stem.size() || day > monthLength(month, 29)) return std::nullopt;
    return DayOfYear{day, month};
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

std::optional<QDate> captionDate(QStringView caption, LetterCase letterCase) {
    // "<WEEKDAY>, <d> de <MONTH> de <year>" as dateCaption writes it.
    const qsizetype comma = caption.indexOf(u", ");
    if (comma < 0) return std::nullopt;
    qsizetype at = comma + 2;
    const int day = numberAt(caption, &at, 2);
    if (day < 0 || !skip(caption, &at, kOf, letterCase)) return std::nullopt;
    const int month = monthAt(caption, &at, letterCase);
    if (month == 0 || !skip(caption, &at, kOf, letterCase)) return std::nullopt;
    const int year = numberAt(caption, &at, 4);
    if (year < 0 || at != caption.size()) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid() || !sameText(caption.first(comma + 2), weekdayWord(date.dayOfWeek() - 1), letterCase))
        return std::nullopt;
    return date;
}

QDate dateFromTexts(const QString& dayText, int month, const QString& yearText) {
    const auto year = yearOf(yearText);
    const long long day = leadingNumber(dayText);
    if (!year || month < 1 || month > 12 || day < 1 || day > 31) return {};
    return QDate(*year, month, static_cast<int>(day)); // invalid when the day is past the month's end
}

DayMark dayMark(int column, bool holiday, bool reminder) {
    if (reminder) return DayMark::Reminder;
    if (holiday) return DayMark::Holiday;
    return column >= 5 ? DayMark::Weekend : DayMark::Weekday;
}

QDate MonthGrid::date(int button) const {
    return shows(button) && firstDay.isValid() ? firstDay.addDays(day(button) - 1) : QDate();
}

MonthGrid monthGrid(const MonthGrid& before, const QString& monthText, const QString& yearText,
                    int preselectDay, const DayFileTests& files) {
    MonthGrid g;
    g.month = monthText;
    const std::optional<int> year = yearOf(yearText);
    g.JanuaryFirstColumn = year ? januaryFirstColumn(*year) : before.JanuaryFirstColumn;
    g.FebruaryLength = year ? februaryLength(*year) : 29;
    const int month = monthNumber(monthText);
    g.MonthLength = month ? monthLength(month, g.FebruaryLength) : before.MonthLength;
    g.FirstDayColumn =
        month ? (daysBeforeMonth(month, g.FebruaryLength) + g.JanuaryFirstColumn) % 7 : before.FirstDayColumn;
    g.firstDay = year && month ? QDate(*year, month, 1) : QDate();
    for (int i = 0; i < 42; ++i) {
        if (g.shows(i)) {
            const QString name = dayFileName(QString::number(g.day(i)), monthText);
            g.holiday[i] = files.holiday && files.holiday(name);
            g.reminder[i] = files.reminder && files.reminder(name);
        }
        g.marks[i] = dayMark(i % 7, g.holiday[i], g.reminder[i]);
    }
    g.page = daysWithPages(g, files.page);
    if (preselectDay >= 1 && preselectDay <= g.MonthLength) g.preselect = g.button(preselectDay);
    return g;
}

std::array<bool, 42> daysWithPages(const MonthGrid& grid, const std::function<bool(const QDate&)>& page) {
    std::array<bool, 42> pages{};
    for (int i = 0; i < 42 && page; ++i)
        if (const QDate d = grid.date(i); d.isValid()) pages[i] = page(d);
    return pages;
}

namespace {

QString colourWords(DayMark mark) {
    switch (mark) {
    case DayMark::Weekday:
        return QStringLiteral("blanco: de lunes a viernes, sin fiesta ni recordatorio");
    case DayMark::Weekend:
        return QStringLiteral("verde: sábado o domingo, sin fiesta ni recordatorio");
    case DayMark::Holiday:
        return QStringLiteral("amarillo: tiene un texto de fiesta");
    case DayMark::Reminder:
        return QStringLiteral("azul: tiene un recordatorio");
    }
    return {};
}

// One line of a day file for a tooltip: blanks for line breaks, cut when long.
QString tipLine(const QString& text) {
    constexpr int kLongest = 160;
    QString s = text.simplified();
    if (s.size() > kLongest) s = s.left(kLongest - 1).trimmed() + QChar(0x2026);
    return s;
}

} // namespace

QString spokenDate(const QDate& date) {
    return QStringLiteral("%1 %2 de %3 de %4")
        .arg(weekdayName(date.dayOfWeek() - 1).toLower())
        .arg(date.day())
        .arg(monthName(date.month()).toLower())
        .arg(date.year());
}

QString dayButtonName(const QString& dayText, const DayWords& words) {
    QStringList parts{words.date.isValid() ? spokenDate(words.date) : QStringLiteral("Día ") + dayText};
    if (words.holiday) parts << QStringLiteral("festivo");
    if (words.reminder) parts << QStringLiteral("recordatorio");
    if (words.page) parts << QStringLiteral("con página");
    if (words.selected) parts << QStringLiteral("seleccionado");
    return parts.join(QStringLiteral(", "));
}

QString dayButtonDescription(DayMark mark, bool selected, bool page) {
    QString s = selected ? QStringLiteral("Color rojo: es el día seleccionado; sin la marca sería ") +
                               colourWords(mark)
                         : QStringLiteral("Color ") + colourWords(mark);
    s += QLatin1Char('.');
    if (page) s += QStringLiteral(" Tiene página en el diario (número en negrita).");
    return s;
}

QString dayButtonToolTip(const QString& description, const std::array<QString, 3>& dayTexts) {
    static const char* const heads[3] = {"Fiesta: ", "Recordatorio: ", "Santo: "};
    QStringList lines;
    if (!description.isEmpty()) lines << description;
    for (int k = 0; k < 3; ++k)
        if (const QString line = tipLine(dayTexts[k]); !line.isEmpty())
            lines << QString::fromLatin1(heads[k]) + line;
    return lines.join(QLatin1Char('\n'));
}

MonthPage monthPage(int shownMonth, int step) {
    const int target = shownMonth + step;
    if (target < 1) return {12, -1};
    if (target > 12) return {1, +1};
    return {target, 0};
}

} // namespace quelora::calendar
