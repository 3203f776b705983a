// The names the searched folders give their files, read in any letter case.
#include "store/names.h"
#include "calendar/calendar.h"
#include "search/search.h"

namespace quelora::search {
namespace {

constexpr QStringView kTxt = u".txt";
constexpr QStringView kOf = u" de ";

// The number of text[*at..] made of 1..maxDigits ASCII digits; -1 when there are none.
int digitsAt(QStringView text, qsizetype* at, int maxDigits) {
    int value = 0, count = 0;
    while (*at < text.size() && count < maxDigits && text[*at] >= u'0' && text[*at] <= u'9') {
        value = value * 10 + (text[*at].unicode() - u'0');
        ++*at;
        ++count;
    }
    return count > 0 ? value : -1;
}

bool skip(QStringView text, qsizetype* at, QStringView what) {
    if (!text.mid(*at).startsWith(what)) return false;
    *at += what.size();
    return true;
}

// As skip, letter case ignored as in every name (store::sameName).
bool skipName(QStringView text, qsizetype* at, QStringView what) {
    if (!store::sameName(text.mid(*at, what.size()), what)) return false;
    *at += what.size();
    return true;
}

// The month whose name stands at text[*at..] (any letter case), *at moved past it; 0 when none.
int monthAt(QStringView text, qsizetype* at) {
    const QStringList& months = calendar::monthNames();
    for (int m = 0; m < months.size(); ++m)
        if (skipName(text, at, months[m])) return m + 1;
    return 0;
}

// The stem of a name ending in ".txt" (any letter case); empty when it has no such end.
QStringView stemOfTxt(const QString& fileName) {
    const QStringView name(fileName);
    if (name.size() <= kTxt.size() || !store::sameName(name.last(kTxt.size()), kTxt)) return {};
    return name.chopped(kTxt.size());
}

} // namespace

std::optional<QDate> pageDateOfName(const QString& fileName) {
    // "<WEEKDAY>, <d> de <MONTH> de <year>.txt" as the program writes it (no leading
    // zeros), letter case ignored: the weekday must be the date's own.
    const QStringView caption = stemOfTxt(fileName);
    const qsizetype comma = caption.indexOf(QLatin1String(", "));
    if (comma < 0) return std::nullopt;
    qsizetype at = comma + 2;
    if (at < caption.size() && caption[at] == u'0') return std::nullopt;
    const int day = digitsAt(caption, &at, 2);
    if (day < 0 || !skipName(caption, &at, kOf)) return std::nullopt;
    const int month = monthAt(caption, &at);
    if (month == 0 || !skipName(caption, &at, kOf)) return std::nullopt;
    if (at < caption.size() && caption[at] == u'0') return std::nullopt;
    const int year = digitsAt(caption, &at, 4);
    if (year < 1 || at != caption.size()) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid() ||
        !store::sameName(caption.first(comma + 2), calendar::weekdayWord(date.dayOfWeek() - 1)))
        return std::nullopt;
    return date;
}

std::optional<QDateTime> noteTimeOfName(const QString& fileName) {
    const QStringView name(fileName);
    qsizetype at = 0;
    const int year = digitsAt(name, &at, 4);
    if (year < 1 || !skip(name, &at, u"-")) return std::nullopt;
    const int month = digitsAt(name, &at, 2);
    if (!skip(name, &at, u"-")) return std::nullopt;
    const int day = digitsAt(name, &at, 2);
    if (!skip(name, &at, u"--")) return std::nullopt;
    const int hour = digitsAt(name, &at, 2);
    if (!skip(name, &at, u"-")) return std::nullopt;
    const int minute = digitsAt(name, &at, 2);
    if (at != name.size()) return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time);
}

std::optional<DayOfYear> dayOfDayFileName(const QString& fileName) {
    const QStringView stem = stemOfTxt(fileName);
    qsizetype at = 0;
    // "05 de MAYO.txt" is no name the program would look for.
    if (stem.startsWith(u'0')) return std::nullopt;
    const int day = digitsAt(stem, &at, 2);
    if (day < 1 || !skipName(stem, &at, kOf)) return std::nullopt;
    const int month = monthAt(stem, &at);
    if (month == 0 || at != stem.size() || day > calendar::monthLength(month, 29)) return std::nullopt;
    return DayOfYear{day, month};
}

QString noteCaption(const QDateTime& noteTime) {
    const QDate d = noteTime.date();
    const QTime t = noteTime.time();
    return QStringLiteral("Nota del %1/%2/%3, %4:%5")
        .arg(d.day())
        .arg(d.month())
        .arg(d.year())
        .arg(t.hour())
        .arg(t.minute(), 2, 10, QLatin1Char('0'));
}

QString dayTextCaption(Kind kind, const QString& dayFileName) {
    QString label;
    switch (kind) {
    case Kind::Holiday:
        label = QStringLiteral("Fiesta: ");
        break;
    case Kind::Reminder:
        label = QStringLiteral("Recordatorio: ");
        break;
    case Kind::Saint:
        label = QStringLiteral("Santo: ");
        break;
    default:
        break;
    }
    const QStringView stem = stemOfTxt(dayFileName);
    return label + (stem.isNull() ? dayFileName : stem.toString());
}

} // namespace quelora::search
