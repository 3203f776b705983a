#include "calendar/calendar.h"

#include <gtest/gtest.h>

using namespace quelora::calendar;

TEST(CalendarArithmetic, JanuaryFirstAndFebruaryMatchTheGregorianCalendarForYears1To9999) {
    for (int y = 1; y <= 9999; ++y) {
        const QDate jan1(y, 1, 1);
        ASSERT_EQ(januaryFirstColumn(y), jan1.dayOfWeek() - 1) << y;
        ASSERT_EQ(februaryLength(y), QDate(y, 3, 1).addDays(-1).day()) << y;
    }
    EXPECT_EQ(januaryFirstColumn(2007), 0); // Monday
    EXPECT_EQ(januaryFirstColumn(2006), 6); // Sunday
    EXPECT_EQ(februaryLength(2100), 28);
    EXPECT_EQ(februaryLength(2000), 29);
}

TEST(CalendarArithmetic, EveryMonthOfTheListYearsStartsOnItsRealWeekday) {
    for (int y = kFirstListYear; y <= kLastListYear; ++y) {
        const int feb = februaryLength(y);
        for (int m = 1; m <= 12; ++m) {
            const int column = (daysBeforeMonth(m, feb) + januaryFirstColumn(y)) % 7;
            ASSERT_EQ(column, QDate(y, m, 1).dayOfWeek() - 1) << y << "-" << m;
            ASSERT_EQ(monthLength(m, feb), QDate(y, m, 1).daysInMonth()) << y << "-" << m;
        }
    }
    EXPECT_EQ(daysBeforeMonth(3, 28), 59);
}

TEST(CalendarArithmetic, MonthNamesAreMatchedExactly) {
    EXPECT_EQ(monthNumber(QStringLiteral("ENERO")), 1);
    EXPECT_EQ(monthNumber(QStringLiteral("DICIEMBRE")), 12);
    EXPECT_EQ(monthNumber(QStringLiteral("enero")), 0);
    EXPECT_EQ(monthNumber(QStringLiteral("ENERO ")), 0);
    EXPECT_EQ(monthName(9), QStringLiteral("SEPTIEMBRE"));
}

TEST(CalendarTexts, LeadingNumbersAreReadAsTheListsHoldThem) {
    EXPECT_EQ(leadingNumber(QStringLiteral("2007")), 2007);
    EXPECT_EQ(leadingNumber(QStringLiteral("  2007 años")), 2007);
    EXPECT_EQ(leadingNumber(QStringLiteral("-1")), -1);
    EXPECT_EQ(leadingNumber(QStringLiteral("dos mil")), 0);
    EXPECT_EQ(leadingNumber(QString()), 0);
    EXPECT_FALSE(yearOf(QStringLiteral("0")).has_value());
    EXPECT_FALSE(yearOf(QStringLiteral("10000")).has_value());
    EXPECT_EQ(yearOf(QStringLiteral("99999999999999999999")), std::nullopt);
    EXPECT_EQ(yearOf(QStringLiteral("1")), 1);
}

TEST(CalendarTexts, CaptionsAndDayFileNames) {
    EXPECT_EQ(dateCaption(1, QStringLiteral("5"), QStringLiteral("JUNIO"), QStringLiteral("2007")),
              QStringLiteral("MARTES, 5 de JUNIO de 2007"));
    EXPECT_EQ(dateCaption(2, QDate(2007, 3, 14)), QStringLiteral("MIÉRCOLES, 14 de MARZO de 2007"));
    EXPECT_EQ(dateCaption(5, QDate(2008, 1, 5)), QStringLiteral("SÁBADO, 5 de ENERO de 2008"));
    EXPECT_EQ(monthCaption(QStringLiteral("JUNIO"), QStringLiteral("2007")), QStringLiteral("JUNIO de 2007"));
    EXPECT_EQ(dayFileName(QStringLiteral("5"), QStringLiteral("MAYO")), QStringLiteral("5 de MAYO.txt"));
    EXPECT_EQ(dayFileName(QStringLiteral("25"), QStringLiteral("DICIEMBRE")),
              QStringLiteral("25 de DICIEMBRE.txt"));
}

TEST(CalendarTexts, DatesFromTextsAreRealDatesOrNone) {
    EXPECT_EQ(dateFromTexts(QStringLiteral("5"), 6, QStringLiteral("2007")), QDate(2007, 6, 5));
    EXPECT_EQ(dateFromTexts(QStringLiteral("29"), 2, QStringLiteral("2008")), QDate(2008, 2, 29));
    EXPECT_FALSE(dateFromTexts(QStringLiteral("29"), 2, QStringLiteral("2007")).isValid());
    EXPECT_FALSE(dateFromTexts(QStringLiteral("5"), 6, QStringLiteral("-1")).isValid());
    EXPECT_FALSE(dateFromTexts(QStringLiteral("5"), 0, QStringLiteral("2007")).isValid());
}
