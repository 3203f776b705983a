// The names the searched folders give their files, read in any letter case.
#include "calendar/calendar.h"
#include "search/search.h"

namespace quelora::search {
namespace {

const QLatin1String kTxt(".txt");
const QLatin1String kOf(" de ");

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

int monthOfName(QStringView name) {
    const QStringList& months = calendar::monthNames();
    for (int m = 0; m < months.size(); ++m)
        if (name.compare(months[m], Qt::CaseInsensitive) == 0) return m + 1;
    return 0;
}

} // namespace

std::optional<QDate> pageDateOfName(const QString& fileName) {
    // "<WEEKDAY>, <d> de <MONTH> de <year>.txt"; the weekday is checked against the
    // date by comparing with the caption the date itself has.
    if (!fileName.endsWith(kTxt, Qt::CaseInsensitive)) return std::nullopt;
    const QStringView caption = QStringView(fileName).chopped(kTxt.size());
    const qsizetype comma = caption.indexOf(QLatin1String(", "));
    if (comma < 0) return std::nullopt;
    qsizetype at = comma + 2;
    const int day = digitsAt(caption, &at, 2);
    if (day < 0 || !caption.mid(at).startsWith(kOf, Qt::CaseInsensitive)) return std::nullopt;
    at += kOf.size();
    const qsizetype monthEnd = caption.indexOf(kOf, at, Qt::CaseInsensitive);
    if (monthEnd < 0) return std::nullopt;
    const int month = monthOfName(caption.mid(at, monthEnd - at));
    at = monthEnd + kOf.size();
    const int year = digitsAt(caption, &at, 4);
    if (month == 0 || year < 1 || at != caption.size()) return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid()) return std::nullopt;
    // The caption the date itself has, less its cost: the weekday word, and numbers
    // written as the program writes them (no leading zeros).
    const QString weekday = calendar::weekdayWord(date.dayOfWeek() - 1);
    if (caption.left(comma + 2).compare(weekday, Qt::CaseInsensitive) != 0) return std::nullopt;
    if (caption[comma + 2] == u'0' || caption[monthEnd + kOf.size()] == u'0') return std::nullopt;
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
    if (!fileName.endsWith(kTxt, Qt::CaseInsensitive)) return std::nullopt;
    const QStringView stem = QStringView(fileName).chopped(kTxt.size());
    qsizetype at = 0;
    const int day = digitsAt(stem, &at, 2);
    if (day < 1 || !stem.mid(at).startsWith(kOf, Qt::CaseInsensitive)) return std::nullopt;
    const int month = monthOfName(stem.mid(at + kOf.size()));
    if (month == 0 || day > calendar::monthLength(month, 29)) return std::nullopt;
    // "05 de MAYO.txt" is no name the program would look for.
    if (calendar::dayFileName(QString::number(day), calendar::monthName(month))
            .compare(fileName, Qt::CaseInsensitive) != 0)
        return std::nullopt;
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
    QString day = dayFileName;
    if (day.endsWith(kTxt, Qt::CaseInsensitive)) day.chop(kTxt.size());
    return label + day;
}

} // namespace quelora::search
