#include "notes/notes.h"

#include <gtest/gtest.h>

using namespace quelora::notes;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

std::array<QString, 7> seven(const QStringList& list) {
    std::array<QString, 7> out;
    for (int i = 0; i < 7; ++i)
        out[i] = list.value(i);
    return out;
}

} // namespace

TEST(NoteFileName, NumbersHaveNoLeadingZerosAndSecondsDoNotCount) {
    EXPECT_EQ(noteFileName(at(2007, 6, 24, 9, 5)), QStringLiteral("2007-6-24--9-5"));
    EXPECT_EQ(noteFileName(at(2007, 12, 1, 10, 30)), QStringLiteral("2007-12-1--10-30"));
    EXPECT_EQ(noteFileName(at(2008, 1, 9, 0, 0)), QStringLiteral("2008-1-9--0-0"));
    EXPECT_EQ(noteFileName(at(2099, 10, 31, 23, 59, 59)), QStringLiteral("2099-10-31--23-59"));
    EXPECT_EQ(noteFileName(at(2007, 6, 24, 9, 5, 0)), noteFileName(at(2007, 6, 24, 9, 5, 59)));
    EXPECT_NE(noteFileName(at(2007, 6, 24, 9, 5, 59)), noteFileName(at(2007, 6, 24, 9, 6, 0)));
}

TEST(NoteFileName, ANameReadsBackAsItsMinuteAndNothingElseDoes) {
    for (const QDate& day : {QDate(1, 1, 1), QDate(2007, 6, 24), QDate(2024, 2, 29), QDate(9999, 12, 31)})
        for (int minute = 0; minute < 24 * 60; ++minute) {
            const QDateTime t(day, QTime(minute / 60, minute % 60));
            ASSERT_EQ(noteTimeOfName(noteFileName(t)), t) << noteFileName(t).toStdString();
        }
    EXPECT_EQ(noteTimeOfName(QStringLiteral("2007-06-24--09-05")), at(2007, 6, 24, 9, 5));
    for (const char* bad : {"2007-6-24--9-5.txt", "2007-13-1--1-1", "2007-6-24-9-5", "2007-6-31--9-5",
                            "2007-6-24--24-0", "lista", ""})
        EXPECT_FALSE(noteTimeOfName(QString::fromUtf8(bad))) << bad;
}

TEST(ExportText, TheWeekIsSevenCaptionAndTextPairsEachEndedByCrLf) {
    const QStringList captions = {
        QStringLiteral("LUNES, 4 de JUNIO de 2007"),        QStringLiteral("MARTES, 5 de JUNIO de 2007"),
        QString::fromUtf8("MIÉRCOLES, 6 de JUNIO de 2007"), QStringLiteral("JUEVES, 7 de JUNIO de 2007"),
        QStringLiteral("VIERNES, 8 de JUNIO de 2007"),      QString::fromUtf8("SÁBADO, 9 de JUNIO de 2007"),
        QStringLiteral("DOMINGO, 10 de JUNIO de 2007")};
    const QStringList texts = {
        QString(), QStringLiteral("cita\r\nmédico"), QString(), QString(), QStringLiteral("x"),
        QString(), QStringLiteral("fin\r\n")};
    const QString expected = QStringLiteral("LUNES, 4 de JUNIO de 2007\r\n\r\n"
                                            "MARTES, 5 de JUNIO de 2007\r\ncita\r\nmédico\r\n") +
                             QString::fromUtf8("MIÉRCOLES, 6 de JUNIO de 2007\r\n\r\n") +
                             QStringLiteral("JUEVES, 7 de JUNIO de 2007\r\n\r\n"
                                            "VIERNES, 8 de JUNIO de 2007\r\nx\r\n") +
                             QString::fromUtf8("SÁBADO, 9 de JUNIO de 2007\r\n\r\n") +
                             QStringLiteral("DOMINGO, 10 de JUNIO de 2007\r\nfin\r\n\r\n");
    EXPECT_EQ(weekExportText(seven(captions), seven(texts)), expected);
}

TEST(ExportText, AnEmptyWeekStillHasFourteenLineEnds) {
    const QString out = weekExportText({}, {});
    EXPECT_EQ(out, QStringLiteral("\r\n").repeated(14));
}
