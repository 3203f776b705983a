#include "records/records.h"

#include "calendar/calendar.h"
#include "store/codepage.h"
#include "store/folderindex.h"
#include "support/text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelora;

namespace {

using quelora::test::u;

TEST(DayFiles, ReadingDropsOnlyTheWritersLineEnd) {
    EXPECT_EQ(records::dayFileText("Navidad\r\n"), u("Navidad"));
    EXPECT_EQ(records::dayFileText("Navidad\r\n\r\n"), u("Navidad\r\n"));
    EXPECT_EQ(records::dayFileText("Navidad"), u("Navidad"));
    EXPECT_EQ(records::dayFileText("Navidad\n"), u("Navidad")); // a writer that ends lines with LF
    EXPECT_EQ(records::dayFileText("Navidad\n\n"), u("Navidad\n"));
    EXPECT_EQ(records::dayFileText("\r\n"), QString());
    EXPECT_EQ(records::dayFileText(store::encode(u("Epifanía\r\ndel Señor\r\n"))),
              u("Epifanía\r\ndel Señor"));
}

TEST(DayFiles, LoadAndSaveKeepsEveryByte) {
    for (const QByteArray& file : {QByteArray("Navidad\r\n"), QByteArray("a\r\nb\r\n\r\n"),
                                   QByteArray("\r\n"), store::encode(u("Asunción de la Virgen\r\n"))})
        EXPECT_EQ(records::dayFileBytes(records::dayFileText(file)), file) << file.toStdString();
}

TEST(DayFiles, FoldersAndEmptyBoxes) {
    EXPECT_EQ(records::dayRecordFolder(0), u("fiestas"));
    EXPECT_EQ(records::dayRecordFolder(1), u("recordatorio"));
    EXPECT_EQ(records::dayRecordFolder(2), u("santoral"));
    EXPECT_EQ(records::dayRecordFolder(3), QString());
    EXPECT_TRUE(records::removesDayFile(QString()));
    EXPECT_FALSE(records::removesDayFile(u(" ")));
    EXPECT_FALSE(records::removesDayFile(u("\r\n")));
}

TEST(Pages, ExactlyTheTextInTheCodePage) {
    EXPECT_EQ(records::pageBytes(u("línea 1\r\nlínea 2")), QByteArray("l\xEDnea 1\r\nl\xEDnea 2"));
    EXPECT_EQ(records::pageBytes(QString()), QByteArray());
    EXPECT_EQ(records::pageText(QByteArray("a\r\n\x80")), u("a\r\n€"));
    EXPECT_EQ(records::pageName(u("MIÉRCOLES, 6 de JUNIO de 2007")), u("MIÉRCOLES, 6 de JUNIO de 2007.txt"));
}

TEST(Pages, APageNameReadsBackAsItsDateInAnyLetterCase) {
    for (QDate d(1900, 1, 1); d.year() <= 2100; d = d.addDays(1)) {
        const QString name = records::pageName(calendar::dateCaption(d.dayOfWeek() - 1, d));
        ASSERT_EQ(records::pageDateOfName(name).value_or(QDate()), d) << name.toStdString();
        ASSERT_EQ(records::pageDateOfName(name.toLower()).value_or(QDate()), d) << name.toStdString();
        ASSERT_FALSE(records::pageDateOfName(name.chopped(4))) << name.toStdString();
    }
}

// Beside the round trip: other spellings, and names the program never writes.
TEST(Pages, NamesInAnyLetterCaseWithTheirRealWeekday) {
    const struct {
        const char* name;
        QDate date;
    } rows[] = {
        {"JUEVES, 15 DE MARZO DE 2007.TXT", QDate(2007, 3, 15)},
        {"LUNES, 15 de MARZO de 2007.txt", QDate()},   // the weekday is wrong
        {"JUEVES, 015 de MARZO de 2007.txt", QDate()}, // no name the program writes
        {"JUEVES, 15 de MARZO de 02007.txt", QDate()},
        {"MARTES, 29 de FEBRERO de 2007.txt", QDate()}, // no such day
        {"JUEVES, 15 de MARZOS de 2007.txt", QDate()},
        {"JUEVES, 15 de MARZO de 2007 .txt", QDate()},
        {"notas sueltas.txt", QDate()},
    };
    for (const auto& r : rows)
        EXPECT_EQ(records::pageDateOfName(u(r.name)).value_or(QDate()), r.date) << r.name;
}

TEST(Pages, CharactersOutsideTheCodePageAreMarkedAndShownAsStored) {
    bool lossy = false;
    EXPECT_EQ(records::pageBytes(u("caf\u00E9 \u4E2D"), &lossy), QByteArray("caf\xE9 ?"));
    EXPECT_TRUE(lossy);
    EXPECT_EQ(store::storedForm(u("caf\u00E9 \u4E2D")), u("caf\u00E9 ?"));
    records::dayFileBytes(u("Año Nuevo"), &lossy);
    EXPECT_FALSE(lossy);
    records::dayFileBytes(u("\U0001F600"), &lossy);
    EXPECT_TRUE(lossy);
}

std::array<QString, 7> week(int y, int m, int d, int column) {
    return records::weekCaptions(records::weekDates(QDate(y, m, d), column));
}

TEST(Week, SelectedMondayAndSelectedSunday) {
    const auto monday = week(2007, 6, 4, 0);
    EXPECT_EQ(monday[0], u("LUNES, 4 de JUNIO de 2007"));
    EXPECT_EQ(monday[6], u("DOMINGO, 10 de JUNIO de 2007"));
    const auto sunday = week(2007, 6, 10, 6);
    EXPECT_EQ(sunday, monday);
}

TEST(Week, AcrossMonthAndYearEnds) {
    const auto w = week(2008, 1, 2, 2);
    EXPECT_EQ(w[0], u("LUNES, 31 de DICIEMBRE de 2007"));
    EXPECT_EQ(w[1], u("MARTES, 1 de ENERO de 2008"));
    EXPECT_EQ(w[2], u("MIÉRCOLES, 2 de ENERO de 2008"));
    EXPECT_EQ(w[6], u("DOMINGO, 6 de ENERO de 2008"));
    const auto m = week(2007, 5, 31, 3);
    EXPECT_EQ(m[3], u("JUEVES, 31 de MAYO de 2007"));
    EXPECT_EQ(m[4], u("VIERNES, 1 de JUNIO de 2007"));
    EXPECT_EQ(m[6], u("DOMINGO, 3 de JUNIO de 2007"));
}

TEST(Week, LeapDaysFollowTheCalendar) {
    const auto leap = week(2008, 2, 29, 4);
    EXPECT_EQ(leap[3], u("JUEVES, 28 de FEBRERO de 2008"));
    EXPECT_EQ(leap[4], u("VIERNES, 29 de FEBRERO de 2008"));
    EXPECT_EQ(leap[5], u("SÁBADO, 1 de MARZO de 2008"));
    // 2100 is no leap year: 28 February (a Sunday) is followed by 1 March.
    const auto w2100 = week(2100, 3, 1, 0);
    EXPECT_EQ(w2100[0], u("LUNES, 1 de MARZO de 2100"));
    const auto before = week(2100, 2, 28, 6);
    EXPECT_EQ(before[0], u("LUNES, 22 de FEBRERO de 2100"));
    EXPECT_EQ(before[6], u("DOMINGO, 28 de FEBRERO de 2100"));
}

TEST(Week, NoDateNoWeek) {
    for (const QDate& d : records::weekDates(QDate(), 3))
        EXPECT_FALSE(d.isValid());
    for (const QDate& d : records::weekDates(QDate(2007, 6, 5), -1))
        EXPECT_FALSE(d.isValid());
    for (const QDate& d : records::weekDates(QDate(2007, 6, 5), 7))
        EXPECT_FALSE(d.isValid());
    for (const QString& c : records::weekCaptions(records::weekDates(QDate(), 0)))
        EXPECT_TRUE(c.isEmpty());
}

TEST(ReadOutCaptions, MonthWalkKeepsTheRunningColumn) {
    const QStringList dec = records::monthCaptions(5, 31, u("DICIEMBRE"), u("2007"));
    ASSERT_EQ(dec.size(), 31);
    EXPECT_EQ(dec[0], u("SÁBADO, 1 de DICIEMBRE de 2007"));
    EXPECT_EQ(dec[2], u("LUNES, 3 de DICIEMBRE de 2007"));
    EXPECT_EQ(dec[30], u("LUNES, 31 de DICIEMBRE de 2007"));
    // Typed list texts are used as they stand.
    EXPECT_EQ(records::monthCaptions(0, 1, u("junio"), u("07"))[0], u("LUNES, 1 de junio de 07"));
    EXPECT_TRUE(records::monthCaptions(0, 0, u("ENERO"), u("2007")).isEmpty());
}

TEST(ReadOutCaptions, YearWalkCarriesTheColumnAcrossMonths) {
    const QStringList names = {u("ENERO"),      u("FEBRERO"), u("MARZO"),     u("ABRIL"),
                               u("MAYO"),       u("JUNIO"),   u("JULIO"),     u("AGOSTO"),
                               u("SEPTIEMBRE"), u("OCTUBRE"), u("NOVIEMBRE"), u("DICIEMBRE")};
    const QStringList leap = records::yearCaptions(1, 29, names, u("2008"));
    ASSERT_EQ(leap.size(), 366);
    EXPECT_EQ(leap[0], u("MARTES, 1 de ENERO de 2008"));
    EXPECT_EQ(leap[58], u("JUEVES, 28 de FEBRERO de 2008"));
    EXPECT_EQ(leap[59], u("VIERNES, 29 de FEBRERO de 2008"));
    EXPECT_EQ(leap[60], u("SÁBADO, 1 de MARZO de 2008"));
    EXPECT_EQ(leap[365], u("MIÉRCOLES, 31 de DICIEMBRE de 2008"));
    const QStringList common = records::yearCaptions(0, 28, names, u("2007"));
    ASSERT_EQ(common.size(), 365);
    EXPECT_EQ(common[58], u("MIÉRCOLES, 28 de FEBRERO de 2007"));
    EXPECT_EQ(common[59], u("JUEVES, 1 de MARZO de 2007"));
}

class ReadOut : public ::testing::Test {
protected:
    void page(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString build(const QStringList& captions, const QStringList& unreadable = {}) {
        const store::FolderIndex index(dir.path());
        reads.clear();
        return records::readOutText(
            captions, index,
            [&](const QString& stored) -> std::optional<QByteArray> {
                reads << stored;
                if (unreadable.contains(stored)) return std::nullopt;
                QFile f(dir.filePath(stored));
                if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
                return f.readAll();
            },
            u(" \r\n"));
    }
    QTemporaryDir dir;
    QStringList reads;
};

TEST_F(ReadOut, PagesInWalkOrderWithTheirSeparators) {
    page(u("VIERNES, 1 de JUNIO de 2007.txt"), "uno");
    page(u("DOMINGO, 3 de JUNIO de 2007.txt"), store::encode(u("dos\r\ntrés")));
    const QStringList captions = records::monthCaptions(4, 30, u("JUNIO"), u("2007"));
    EXPECT_EQ(build(captions), u("VIERNES, 1 de JUNIO de 2007 \r\nuno \r\n \r\n"
                                 "DOMINGO, 3 de JUNIO de 2007 \r\ndos\r\ntrés \r\n \r\n"));
    // Only the pages found are read.
    EXPECT_EQ(reads.size(), 2);
}

TEST_F(ReadOut, EmptyAndUnreadablePagesKeepCaptionAndSeparators) {
    page(u("LUNES, 4 de JUNIO de 2007.txt"), QByteArray());
    page(u("MARTES, 5 de JUNIO de 2007.txt"), "secreto");
    const QStringList captions = {u("LUNES, 4 de JUNIO de 2007"), u("MARTES, 5 de JUNIO de 2007")};
    EXPECT_EQ(build(captions, {u("MARTES, 5 de JUNIO de 2007.txt")}),
              u("LUNES, 4 de JUNIO de 2007 \r\n \r\n \r\nMARTES, 5 de JUNIO de 2007 \r\n \r\n \r\n"));
}

TEST_F(ReadOut, FindsPagesInOtherLetterCaseAndNothingOutsideTheFolder) {
    page(u("martes, 5 de junio de 2007.txt"), "x");
    EXPECT_EQ(build({u("MARTES, 5 de JUNIO de 2007")}), u("MARTES, 5 de JUNIO de 2007 \r\nx \r\n \r\n"));
    EXPECT_EQ(reads, QStringList{u("martes, 5 de junio de 2007.txt")});
    page(u("a\\b.txt"), "fuera");
    EXPECT_EQ(build({u("a\\b"), u("..")}), QString());
    EXPECT_TRUE(reads.isEmpty());
}

TEST_F(ReadOut, NoPagesGiveAnEmptyReadOut) {
    EXPECT_EQ(build(records::monthCaptions(0, 31, u("ENERO"), u("2007"))), QString());
}

} // namespace
