// The captions a result list shows for notes and day texts.
#include "search/search.h"
#include "store/names.h"

namespace quelora::search {

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
    const QStringView stem = store::withoutExtension(dayFileName, u".txt");
    return label + (stem.isNull() ? dayFileName : stem.toString());
}

} // namespace quelora::search
