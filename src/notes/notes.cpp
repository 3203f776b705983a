#include "notes/notes.h"

#include <QDir>

namespace quelora::notes {

QString noteFileName(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QStringLiteral("%1-%2-%3--%4-%5")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute());
}

QString exportText(int panel, const PanelTexts& texts) {
    switch (panel) {
    case DayPanel:
    case MonthPanel:
    case YearPanel:
    case NotesPanel:
        return texts.text;
    case WeekPanel: {
        const QString crlf = QStringLiteral("\r\n");
        QString out;
        for (int i = 0; i < 7; ++i)
            out += texts.weekCaptions[i] + crlf + texts.weekTexts[i] + crlf;
        return out;
    }
    default:
        return {};
    }
}

QString replacedCharactersMessage(const QString& path) {
    return QStringLiteral("Algunos caracteres no caben en los archivos de texto (Windows-1252) y se han "
                          "guardado como «?» en el archivo\n%1")
        .arg(QDir::toNativeSeparators(path));
}

} // namespace quelora::notes
