#include "app/colors.h"
#include "calendar/calendar.h"
#include "support/formfixture.h"

#include <QDirIterator>

using namespace quelora;
using namespace quelora::test;

namespace {

class CalendarWindow : public FormFixture {
protected:
    VbColor colorOf(int index) const { return form->Command1[index]->backColor(); }
    QStringList shownDays() const {
        QStringList out;
        for (int i = 0; i < 42; ++i)
            out << (form->Command1[i]->isHidden() ? u("-") : form->Command1[i]->text());
        return out;
    }
    void pickYear(int year) { pickFromList(form->Combo2, year - calendar::kFirstListYear); }
    int redButtons() const {
        int n = 0;
        for (FlatButton* b : form->Command1)
            n += !b->isHidden() && b->backColor() == vb::Red;
        return n;
    }
};

} // namespace

TEST_F(CalendarWindow, StartsOnTodayWithItsButtonRedAndItsCaption) {
    start(QDate(2007, 3, 15));
    EXPECT_EQ(form->Combo1->currentText(), u("MARZO"));
    EXPECT_EQ(form->Combo2->currentText(), u("2007"));
    EXPECT_EQ(form->Command2[0]->text(), u("2007"));
    EXPECT_EQ(form->firstDayColumn(), 3);
    EXPECT_EQ(form->Command1[17]->text(), u("15"));
    EXPECT_EQ(colorOf(17), vb::Red);
    EXPECT_EQ(redButtons(), 1);
    EXPECT_EQ(form->selectedButton(), 17);
    EXPECT_EQ(form->selectedColumn(), 3);
    EXPECT_EQ(form->selectedButtonColor(), vb::White);
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(form->selectedDate(), QDate(2007, 3, 15));
    EXPECT_TRUE(form->preselectDone());
    EXPECT_EQ(form->Combo1->count(), 12);
    EXPECT_EQ(form->Combo1->itemText(0), u("ENERO"));
    EXPECT_EQ(form->Combo2->count(), 200);
    EXPECT_EQ(form->Combo2->itemText(0), u("1901"));
    EXPECT_EQ(form->Combo2->itemText(199), u("2100"));
    EXPECT_EQ(form->visiblePanel(), Form1::Panel::Day);
    EXPECT_TRUE(form->Frame1[0]->isVisible());
    EXPECT_TRUE(form->Frame1[0]->isEnabled());
    for (int i = 1; i < 6; ++i)
        EXPECT_FALSE(form->Frame1[i]->isVisible()) << i;
}

TEST_F(CalendarWindow, TodaysButtonKeepsTheColourOfItsDayFileToGiveBack) {
    writeBytes(u("recordatorio/15 de MARZO.txt"), "cita\r\n");
    writeBytes(u("fiestas/15 de marzo.txt"), "fiesta\r\n");
    start(QDate(2007, 3, 15));
    EXPECT_EQ(colorOf(17), vb::Red);
    EXPECT_EQ(form->selectedButtonColor(), vb::Blue);
    click(form->Command1[18]);
    EXPECT_EQ(colorOf(17), vb::Blue);
    EXPECT_EQ(colorOf(18), vb::Red);
    EXPECT_EQ(form->selectedButtonColor(), vb::White);
}

TEST_F(CalendarWindow, WeekendsAreGreenAndDayFilesColourTheirDays) {
    writeBytes(u("fiestas/17 de MARZO.txt"), "x\r\n"); // a Saturday
    writeBytes(u("fiestas/6 de MARZO.txt"), "x\r\n");
    writeBytes(u("recordatorio/6 de marzo.txt"), "y\r\n");
    writeBytes(u("recordatorio/7 de MARZO.txt"), "");
    start(QDate(2007, 3, 1));
    EXPECT_EQ(colorOf(3 + 17 - 1), vb::Yellow);
    EXPECT_EQ(colorOf(3 + 6 - 1), vb::Blue); // both files: the reminder wins
    EXPECT_EQ(colorOf(3 + 7 - 1), vb::Blue); // an empty file still marks its day
    EXPECT_EQ(colorOf(3 + 18 - 1), vb::Green);
    EXPECT_EQ(colorOf(3 + 19 - 1), vb::White);
}

// The arithmetic itself is checked for every month of years 1 to 9999 beside QDate; here,
// that the buttons show it: months of six rows and of five, leap Februaries and 2100's,
// each after another layout, so that a button left over from the month before shows.
TEST_F(CalendarWindow, TheButtonsShowEachMonthUnderItsRealWeekdays) {
    start(QDate(2007, 3, 15));
    const QDate months[] = {QDate(2006, 1, 1), QDate(2007, 1, 1), QDate(2010, 5, 1), QDate(2008, 2, 1),
                            QDate(2000, 2, 1), QDate(2100, 2, 1), QDate(2100, 3, 1), QDate(1901, 12, 1),
                            QDate(2012, 7, 1), QDate(2099, 8, 1)};
    for (const QDate& first : months) {
        pickYear(first.year());
        click(form->Command4[first.month() - 1]);
        const std::string at = first.toString(u"yyyy-MM").toStdString();
        const int column = first.dayOfWeek() - 1;
        EXPECT_EQ(form->januaryFirstColumn(), QDate(first.year(), 1, 1).dayOfWeek() - 1) << at;
        EXPECT_EQ(form->februaryLength(), QDate(first.year(), 2, 1).daysInMonth()) << at;
        EXPECT_EQ(form->firstDayColumn(), column) << at;
        EXPECT_EQ(form->monthLength(), first.daysInMonth()) << at;
        QStringList expected(42, u("-"));
        for (int d = 1; d <= first.daysInMonth(); ++d)
            expected[column + d - 1] = QString::number(d);
        EXPECT_EQ(shownDays(), expected) << at;
        for (int i = column; i < column + first.daysInMonth(); ++i)
            EXPECT_EQ(colorOf(i), i % 7 >= 5 ? vb::Green : vb::White) << at << " button " << i;
    }
}

TEST_F(CalendarWindow, AYearTextThatIsNoYearKeepsTheLastWeekdayAndCountsAsYearZero) {
    start(QDate(2007, 2, 10)); // not a leap year: year 0's 29-day February must show
    const auto jan = form->januaryFirstColumn();
    for (const QString& typed : {u("0"), u("abc"), u("")}) {
        form->Combo2->setEditText(typed);
        form->ShowMonth();
        EXPECT_EQ(form->januaryFirstColumn(), jan) << typed.toStdString();
        EXPECT_EQ(form->februaryLength(), 29) << typed.toStdString();
    }
}

TEST_F(CalendarWindow, AfterAMonthChangeNoButtonIsRedAndTheDayPanelIsEmptyAndOff) {
    start(QDate(2007, 3, 15));
    form->Text1->setText(u("algo"));
    pickYear(2008);
    click(form->Command4[0]);
    EXPECT_EQ(form->Combo1->currentText(), u("ENERO"));
    EXPECT_EQ(form->selectedMonth(), 1);
    EXPECT_EQ(form->Label2->text(), u("ENERO de 2008"));
    EXPECT_EQ(redButtons(), 0);
    EXPECT_TRUE(form->Text1->text().isEmpty());
    for (TextBox* t : form->Text9)
        EXPECT_TRUE(t->text().isEmpty());
    EXPECT_FALSE(form->Frame1[0]->isEnabled());
    // The selection itself survives until another day is marked.
    EXPECT_EQ(form->selectedButton(), 17);
    EXPECT_EQ(form->selectedDate(), QDate(2007, 3, 15));
}

TEST_F(CalendarWindow, ClickingADayMarksItAndNamesItInTheCaption) {
    start(QDate(2007, 3, 15));
    click(form->Command1[9]);
    EXPECT_EQ(form->selectedButton(), 9);
    EXPECT_EQ(form->selectedColumn(), 2);
    EXPECT_EQ(colorOf(9), vb::Red);
    EXPECT_EQ(colorOf(17), vb::White);
    EXPECT_TRUE(form->Label2->text().startsWith(u("MIÉRCOLES, ") + form->Command1[9]->text()));
    EXPECT_EQ(form->Label2->text(), u("MIÉRCOLES, 7 de MARZO de 2007"));
    EXPECT_EQ(form->selectedDate(), QDate(2007, 3, 7));
    EXPECT_TRUE(form->Frame1[0]->isEnabled());
}

TEST_F(CalendarWindow, ClickingTheMarkedDayAgainKeepsItRedAndItsColourForLater) {
    writeBytes(u("fiestas/7 de MARZO.txt"), "x\r\n");
    start(QDate(2007, 3, 15));
    click(form->Command1[9]);
    click(form->Command1[9]);
    EXPECT_EQ(colorOf(9), vb::Red);
    EXPECT_EQ(form->selectedButtonColor(), vb::Yellow);
    click(form->Command1[10]);
    EXPECT_EQ(colorOf(9), vb::Yellow);
}

TEST_F(CalendarWindow, SelectedDateUsesTheMonthNumberOfTheChosenMonth) {
    start(QDate(2007, 3, 15));
    click(form->Command4[5]);
    click(dayButton(5));
    EXPECT_EQ(form->selectedDate(), QDate(2007, 6, 5));
    EXPECT_EQ(form->Label2->text(), u("MARTES, 5 de JUNIO de 2007"));
}

TEST_F(CalendarWindow, YearArrowsStepTheYearButtonWithoutBounds) {
    start(QDate(2007, 3, 15));
    click(form->Command3[0]);
    EXPECT_EQ(form->Command2[0]->text(), u("2008"));
    EXPECT_EQ(form->Combo2->currentText(), u("2008"));
    EXPECT_EQ(form->Label2->text(), u("MARZO de 2008"));
    click(form->Command3[1]);
    click(form->Command3[1]);
    EXPECT_EQ(form->Command2[0]->text(), u("2006"));
    EXPECT_EQ(form->firstDayColumn(), QDate(2006, 3, 1).dayOfWeek() - 1);

    form->Command2[0]->setText(u("2100"));
    click(form->Command3[0]);
    EXPECT_EQ(form->Combo2->currentText(), u("2101"));
    EXPECT_EQ(form->Combo2->count(), 200);

    form->Command2[0]->setText(u("0"));
    click(form->Command3[0]);
    EXPECT_EQ(form->Command2[0]->text(), u("0"));
    EXPECT_EQ(form->Combo2->currentText(), u("0"));
    click(form->Command3[1]);
    EXPECT_EQ(form->Command2[0]->text(), u("-1"));
    EXPECT_EQ(form->Label2->text(), u("MARZO de -1"));
}

TEST_F(CalendarWindow, AYearPickedFromTheListIsNotWhereTheArrowsStepFrom) {
    start(QDate(2007, 3, 15));
    pickYear(1990);
    EXPECT_EQ(form->firstDayColumn(), QDate(1990, 3, 1).dayOfWeek() - 1);
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
    click(form->Command3[0]);
    EXPECT_EQ(form->Combo2->currentText(), u("2008"));
}

TEST_F(CalendarWindow, PickingAMonthKeepsTheCaptionOfTheSelectedDay) {
    start(QDate(2007, 3, 15));
    pickFromList(form->Combo1, 6);
    EXPECT_EQ(form->selectedMonth(), 7);
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(form->firstDayColumn(), QDate(2007, 7, 1).dayOfWeek() - 1);
    EXPECT_EQ(redButtons(), 0);
}

TEST_F(CalendarWindow, TheTodayButtonComesBackFromAnotherMonthAndYear) {
    start(QDate(2007, 3, 15));
    pickYear(2010);
    click(form->Command4[10]);
    click(form->Command5);
    EXPECT_EQ(form->Combo1->currentText(), u("MARZO"));
    EXPECT_EQ(form->Combo2->currentText(), u("2007"));
    EXPECT_EQ(form->Command2[0]->text(), u("2007"));
    EXPECT_EQ(colorOf(17), vb::Red);
    EXPECT_EQ(redButtons(), 1);
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(form->Combo2->count(), 200);
    EXPECT_EQ(form->Combo1->count(), 12);
    // It ends as a click on today's button ends: the page on show can be written.
    EXPECT_TRUE(form->Frame1[0]->isEnabled());
}

TEST_F(CalendarWindow, AMovedSelectionGivesTheOldPlaceTheColourOfTheMonthOnShow) {
    writeBytes(u("fiestas/15 de MARZO.txt"), "x\r\n");
    start(QDate(2007, 3, 15)); // button 17, saved colour yellow
    click(form->Command4[5]);  // June 2007: button 17 is 14 June, a plain Thursday
    click(dayButton(20));
    EXPECT_EQ(colorOf(17), vb::White);
    click(form->Command4[2]); // back to March: the holiday is yellow again
    click(form->Command5);
    EXPECT_EQ(colorOf(17), vb::Red);
    click(dayButton(16));
    EXPECT_EQ(colorOf(17), vb::Yellow);
}

TEST_F(CalendarWindow, HostileMonthTextsReachNoFileOutsideTheDataFolder) {
    nestDataFolder();
    const QString parent = dir.path();
    const auto listing = [&parent] {
        QStringList all;
        QDirIterator it(parent, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << it.next();
        all.sort();
        return all;
    };
    start(QDate(2007, 3, 15));
    const QStringList before = listing();
    for (const QString& hostile : {u("../x"), u(".."), u("a/b"), u("a\\b"), QString(QChar(0))}) {
        form->Combo1->setEditText(hostile);
        form->ShowMonth();
        click(form->Command1[form->firstDayColumn()]);
        EXPECT_TRUE(form->Label2->text().contains(hostile));
        click(form->Command11[0]);
        click(form->Command11[1]);
        click(form->Command1[form->firstDayColumn() + 1]);
    }
    EXPECT_EQ(listing(), before);
}
