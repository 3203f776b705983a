#include "records/records.h"

#include "calendar/calendar.h"
#include "store/codepage.h"
#include "store/folderindex.h"
#include "store/names.h"

#include <algorithm>

namespace quelora::records {

QString dayRecordFolder(int index) {
    switch (index) {
    case 0:
        return layout::kHolidays;
    case 1:
        return layout::kReminders;
    case 2:
        return layout::kSaints;
    default:
        return {};
    }
}

QString dayFileText(const QByteArray& bytes) {
    QByteArray b = bytes;
    if (b.endsWith("\r\n"))
        b.chop(2);
    else if (b.endsWith('\n')) // a file from a system that ends lines with LF alone
        b.chop(1);
    return store::decodeText(b);
}

QByteArray dayFileBytes(const QString& text, bool* lossy) {
    return store::encode(text, lossy) + store::encode(kDayFileEnding);
}

namespace {
const QString kPageEnding = QStringLiteral(".txt");
}

QString pageName(const QString& caption) {
    return caption + kPageEnding;
}

std::optional<QDate> pageDateOfName(QStringView fileName) {
    // A name written on a system that decomposes accents is the same page.
    const QString composed = store::composedName(fileName);
    return calendar::captionDate(store::withoutExtension(composed, kPageEnding),
                                 calendar::LetterCase::Ignored);
}

QByteArray pageBytes(const QString& text, bool* lossy) {
    return store::encode(text, lossy);
}

QString pageText(const QByteArray& bytes) {
    return store::decodeText(bytes);
}

std::array<QDate, 7> weekDates(const QDate& selected, int column) {
    std::array<QDate, 7> dates{};
    if (!selected.isValid() || column < 0 || column > 6) return dates;
    for (int i = 0; i < 7; ++i)
        dates[i] = selected.addDays(i - column);
    return dates;
}

std::array<QString, 7> weekCaptions(const std::array<QDate, 7>& dates) {
    std::array<QString, 7> captions{};
    for (int i = 0; i < 7; ++i)
        if (dates[i].isValid()) captions[i] = calendar::dateCaption(i, dates[i]);
    return captions;
}

namespace {

// Appends the captions of days 1..length to out, advancing the running column.
void walkMonth(QStringList& out, int& column, int length, const QString& monthText, const QString& yearText) {
    for (int d = 1; d <= length; ++d) {
        out << calendar::dateCaption(column, QString::number(d), monthText, yearText);
        column = (column + 1) % 7;
    }
}

int runningColumn(int column) {
    return ((column % 7) + 7) % 7;
}

} // namespace

QStringList monthCaptions(int firstColumn, int monthLength, const QString& monthText,
                          const QString& yearText) {
    QStringList out;
    out.reserve(std::max(monthLength, 0));
    int column = runningColumn(firstColumn);
    walkMonth(out, column, monthLength, monthText, yearText);
    return out;
}

QStringList yearCaptions(int januaryFirstColumn, int februaryLength, const QStringList& monthTexts,
                         const QString& yearText) {
    QStringList out;
    out.reserve(366);
    int column = runningColumn(januaryFirstColumn);
    for (int m = 1; m <= 12; ++m)
        walkMonth(out, column, calendar::monthLength(m, februaryLength), monthTexts.value(m - 1), yearText);
    return out;
}

QString readOutText(const QStringList& captions, const store::FolderIndex& pages, const PageReader& read,
                    const QString& separator) {
    QString out;
    for (const QString& caption : captions) {
        const QString name = pageName(caption);
        // A caption made of typed list texts names a file only when it stays inside "dias".
        if (!store::isSafeName(name)) continue;
        const QString stored = pages.find(name);
        if (stored.isEmpty()) continue;
        out += caption;
        out += separator;
        if (const std::optional<QByteArray> bytes = read(stored)) out += pageText(*bytes);
        out += separator;
        out += separator;
    }
    return out;
}

} // namespace quelora::records
