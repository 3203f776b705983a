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
            // The grid puts every day under its real weekday, and nothing after the last.
            const MonthGrid g = monthGrid({}, monthName(m), QString::number(y), 0, {});
            const int last = QDate(y, m, 1).daysInMonth();
            ASSERT_EQ(g.date(g.button(1)), QDate(y, m, 1)) << y << "-" << m;
            ASSERT_EQ(g.button(last) % 7, QDate(y, m, last).dayOfWeek() - 1) << y << "-" << m;
            ASSERT_EQ(g.date(g.button(last)), QDate(y, m, last)) << y << "-" << m;
            ASSERT_FALSE(g.shows(g.button(last) + 1)) << y << "-" << m;
            ASSERT_FALSE(g.shows(g.button(1) - 1)) << y << "-" << m;
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

TEST(CalendarTexts, ACaptionNamesARealDateOnlyWhenEveryPartAgrees) {
    // Real dates read back in the round trip below; these name none.
    for (const char* caption : {
             "MARTES, 15 de MARZO de 2007",   // the weekday disagrees
             "JUEVES, 29 de FEBRERO de 2007", // no such day
             "JUEVES, 15 de MAYO de 2007",    // a typed month over the March grid
             "JUEVES, 15 de MARZO de abc",
             "JUEVES, 15 de MARZO de 2007 ",
             "JUEVES, 015 de MARZO de 2007",
             "Lunes",
             "MARZO de 2007",
         })
        EXPECT_FALSE(captionDate(QString::fromUtf8(caption))) << caption;
}

TEST(CalendarTexts, CaptionsReadBackAsTheirDatesExactlyOrInAnyLetterCase) {
    // Every day of the list years, a day every few months beyond them.
    for (QDate d(1, 1, 1); d.year() <= 9999; d = d.addDays(d.year() < 1901 || d.year() > 2100 ? 97 : 1)) {
        const QString caption = dateCaption(d.dayOfWeek() - 1, d);
        ASSERT_EQ(captionDate(caption).value_or(QDate()), d) << caption.toStdString();
        ASSERT_EQ(captionDate(caption.toLower(), LetterCase::Ignored).value_or(QDate()), d)
            << caption.toStdString();
        ASSERT_FALSE(captionDate(caption.toLower())) << caption.toStdString();
    }
}

TEST(CalendarTexts, DayFileNamesReadBackAsTheirDayInAnyLetterCase) {
    for (QDate d(2008, 1, 1); d.year() == 2008; d = d.addDays(1)) {
        const QString name = dayFileName(QString::number(d.day()), monthName(d.month()));
        for (const QString& spelt : {name, name.toLower(), name.toUpper()}) {
            const auto day = dayOfDayFileName(spelt);
            ASSERT_TRUE(day) << spelt.toStdString();
            EXPECT_EQ(day->day * 100 + day->month, d.day() * 100 + d.month()) << spelt.toStdString();
        }
    }
    const auto day = [](const char* name) {
        const auto d = dayOfDayFileName(QString::fromUtf8(name));
        return d ? d->day * 100 + d->month : 0;
    };
    EXPECT_EQ(day("6 de enero.TXT"), 601);
    EXPECT_EQ(day("30 de FEBRERO.txt"), 0);
    EXPECT_EQ(day("05 de MAYO.txt"), 0);
    EXPECT_EQ(day("5 de MAYO"), 0);
    EXPECT_EQ(day("5 de MAYOS.txt"), 0);
}

TEST(CalendarTexts, OneTableOfNamesGivesEveryFormOfThem) {
    EXPECT_EQ(monthTitle(1), QStringLiteral("Enero"));
    EXPECT_EQ(monthTitle(9), QStringLiteral("Septiembre"));
    EXPECT_EQ(weekdayName(2), QStringLiteral("Miércoles"));
    EXPECT_EQ(weekdayName(5), QStringLiteral("Sábado"));
    EXPECT_EQ(weekdayName(6), QStringLiteral("Domingo"));
}

TEST(CalendarDays, MarksAndTheirWordsFollowTheDayFiles) {
    const struct {
        int column;
        bool holiday, reminder;
        DayMark mark;
    } rows[] = {
        {0, false, false, DayMark::Weekday},
        {6, false, false, DayMark::Weekend},
        {5, true, false, DayMark::Holiday},
        {2, true, true, DayMark::Reminder},
    };
    for (const auto& r : rows)
        EXPECT_EQ(dayMark(r.column, r.holiday, r.reminder), r.mark) << r.column;
    // The words tell both texts, whichever colour wins.
    EXPECT_EQ(
        dayButtonName(QStringLiteral("16"), {QDate(2007, 3, 16), true, true, true, true}),
        QString::fromUtf8("viernes 16 de marzo de 2007, festivo, recordatorio, con página, seleccionado"));
    EXPECT_EQ(dayButtonName(QStringLiteral("5"), {QDate(2007, 8, 5)}),
              QString::fromUtf8("domingo 5 de agosto de 2007"));
    EXPECT_EQ(dayButtonName(QStringLiteral("5"), {QDate(), false, true}),
              QString::fromUtf8("Día 5, recordatorio"));
    EXPECT_EQ(
        dayButtonDescription(DayMark::Holiday, true),
        QStringLiteral("Color rojo: es el día seleccionado; sin la marca sería amarillo: tiene un texto de "
                       "fiesta."));
    EXPECT_EQ(dayButtonDescription(DayMark::Reminder, false),
              QStringLiteral("Color azul: tiene un recordatorio."));

    const QString longText = QString(300, QLatin1Char('x'));
    const QStringList lines =
        dayButtonToolTip(QStringLiteral("Color verde."), {QString(), longText, QStringLiteral("  \r\n")})
            .split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Color verde."));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Recordatorio: xxx")));
    EXPECT_LT(lines[1].size(), 200);
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026)));
}

TEST(CalendarDays, TheGridFollowsTheListTextsTodayAndTheDayFiles) {
    // Day files as a folder listing answers them; the diary's pages by date.
    const QStringList holidays = {QStringLiteral("17 de MARZO.txt"), QStringLiteral("6 de MARZO.txt")};
    const QStringList reminders = {QStringLiteral("6 de MARZO.txt"), QStringLiteral("31 de MAYOO.txt")};
    const DayFileTests files{[&](const QString& n) { return holidays.contains(n); },
                             [&](const QString& n) { return reminders.contains(n); },
                             [](const QDate& d) { return d == QDate(2007, 3, 15); }};
    const MonthGrid march = monthGrid({}, QStringLiteral("MARZO"), QStringLiteral("2007"), 15, files);
    EXPECT_EQ(march.FirstDayColumn, 3);
    EXPECT_EQ(march.preselect, 17);
    EXPECT_EQ(march.marks[3 + 17 - 1], DayMark::Holiday); // a Saturday
    EXPECT_EQ(march.marks[3 + 6 - 1], DayMark::Reminder); // both files: the reminder wins
    EXPECT_TRUE(march.holiday[3 + 6 - 1]);
    EXPECT_EQ(march.marks[3 + 18 - 1], DayMark::Weekend);
    EXPECT_EQ(march.marks[0], DayMark::Weekday); // before day 1: a weekday column, no file
    std::array<bool, 42> pages{};
    pages[17] = true;
    EXPECT_EQ(march.page, pages);

    const struct {
        const char *month, *year;
        int preselect;
        int first, length, february, preselected;
        bool dated;
    } rows[] = {
        {"ENERO", "2006", 0, 6, 31, 28, -1, true},
        {"FEBRERO", "2100", 29, 0, 28, 28, -1, true}, // the century rule: no 29th to mark
        {"FEBRERO", "2008", 29, 4, 29, 29, 32, true},
        {"MAYOO", "2007", 0, 3, 31, 28, -1, false},  // no month: March's length and first column stay
        {"FEBRERO", "abc", 0, 3, 29, 29, -1, false}, // no year: year 0, January of 2007 kept
        {"MARZO", "1800", 0, 5, 31, 28, -1, true},   // typed, before the list: still Gregorian
    };
    for (const auto& r : rows) {
        const MonthGrid g =
            monthGrid(march, QString::fromUtf8(r.month), QString::fromUtf8(r.year), r.preselect, files);
        EXPECT_EQ(g.FirstDayColumn, r.first) << r.month << " " << r.year;
        EXPECT_EQ(g.MonthLength, r.length) << r.month << " " << r.year;
        EXPECT_EQ(g.FebruaryLength, r.february) << r.month << " " << r.year;
        EXPECT_EQ(g.preselect, r.preselected) << r.month << " " << r.year;
        EXPECT_EQ(g.firstDay.isValid(), r.dated) << r.month << " " << r.year;
        // Pages belong to real dates only; day files go by the month text as typed.
        EXPECT_EQ(g.page, (std::array<bool, 42>{})) << r.month << " " << r.year;
        EXPECT_EQ(g.reminder[g.button(31)], QByteArray(r.month) == "MAYOO") << r.month << " " << r.year;
    }
}

TEST(CalendarDays, PageKeysStepAMonthAndCrossTheYearAtItsEnds) {
    const struct {
        int shown, step, month, yearStep;
    } rows[] = {{3, -1, 2, 0}, {1, -1, 12, -1}, {12, +1, 1, +1}, {11, +1, 12, 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(monthPage(r.shown, r.step).month, r.month) << r.shown << r.step;
        EXPECT_EQ(monthPage(r.shown, r.step).yearStep, r.yearStep) << r.shown << r.step;
    }
}
