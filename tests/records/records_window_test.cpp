// The day records on a real window: what the user does, and the bytes on disk.
#include "app/colors.h"
#include "calendar/calendar.h"
#include "store/codepage.h"
#include "support/formfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace quelora;
using namespace quelora::test;

namespace {

class DayRecords : public FormFixture {
protected:
    // A path below "dias" with the caption as the user sees it.
    static QString page(const char* captionUtf8) { return u("dias/") + u(captionUtf8) + u(".txt"); }
    // A page that is listed but whose reading fails, even for root.
    bool unreadable(const QString& relative) {
        if (!QFile::link(u("/proc/self/mem"), path(relative))) return false;
        QFile f(path(relative));
        return !f.open(QIODevice::ReadOnly) || (f.readAll(), f.error() != QFileDevice::NoError);
    }
};

// ---- Diary page --------------------------------------------------------------------

TEST_F(DayRecords, TypingThenClickingAnotherDaySavesUnderTheOldCaption) {
    start(QDate(2007, 6, 5));
    EXPECT_EQ(form->Label2->text(), u("MARTES, 5 de JUNIO de 2007"));
    typeInto(form->Text1, u("Año de mañana,\ncafé y €"));
    click(dayButton(6));
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), cp1252("Año de mañana,\r\ncafé y €"));
    EXPECT_EQ(form->Label2->text(), u("MIÉRCOLES, 6 de JUNIO de 2007"));
    EXPECT_EQ(form->Text1->text(), QString());
    EXPECT_EQ(filesIn("dias").size(), 1);
    click(dayButton(5));
    EXPECT_EQ(form->Text1->text(), u("Año de mañana,\r\ncafé y €"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(DayRecords, TextTypedAfterTabbingIntoTheBoxIsSaved) {
    start(QDate(2007, 6, 5));
    form->Text1->setFocus(Qt::TabFocusReason);
    settle();
    typeText(form->Text1, u("sin ratón"));
    click(dayButton(7));
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), cp1252("sin ratón"));
}

TEST_F(DayRecords, ClickAndLeaveCreatesAnEmptyPageButPassingThroughDoesNot) {
    start(QDate(2007, 6, 5));
    form->Text1->setFocus(Qt::TabFocusReason);
    settle();
    click(dayButton(6));
    EXPECT_FALSE(exists(page("MARTES, 5 de JUNIO de 2007")));
    clickInto(form->Text1);
    click(dayButton(7));
    EXPECT_TRUE(exists(page("MIÉRCOLES, 6 de JUNIO de 2007")));
    EXPECT_EQ(readBytes(page("MIÉRCOLES, 6 de JUNIO de 2007")), QByteArray());
}

TEST_F(DayRecords, ADayChosenWhileTheBoxKeepsTheFocusSavesUnderTheOldCaption) {
    start(QDate(2007, 6, 5));
    typeInto(form->Text1, u("antes"));
    form->Command1_Click(dayButton(6)->objectName().section(u'_', 1).toInt()); // as a keyboard shortcut would
    settle();
    EXPECT_TRUE(form->Text1->hasFocus());
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), QByteArray("antes"));
    EXPECT_FALSE(exists(page("MIÉRCOLES, 6 de JUNIO de 2007")));
}

TEST_F(DayRecords, ABoxEmptiedByARepaintNeverEmptiesAPage) {
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), "viejo");
    start(QDate(2007, 6, 5));
    clickInto(form->Text1);
    form->Command4_Click(6); // a month change that leaves the focus where it is
    settle();
    click(form->Command10);
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), QByteArray("viejo"));
    EXPECT_FALSE(exists(u("dias/JULIO de 2007.txt")));
}

TEST_F(DayRecords, TheBoxKeepsShowingTheSavedPage) {
    start(QDate(2007, 6, 5));
    typeInto(form->Text1, u("sigue aquí"));
    clickInto(form->Text9[0]);
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), cp1252("sigue aquí"));
    EXPECT_EQ(form->Text1->text(), u("sigue aquí"));
    // Clicking in and leaving again writes the same page, not an empty one.
    clickInto(form->Text1);
    clickInto(form->Text9[1]);
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), cp1252("sigue aquí"));
}

TEST_F(DayRecords, APageWithInnerLineBreaksRoundTripsAtItsExactLength) {
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), "uno\r\ndos");
    start(QDate(2007, 6, 5));
    EXPECT_EQ(form->Text1->toPlainText(), u("uno\ndos"));
    clickInto(form->Text1);
    click(dayButton(6));
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), QByteArray("uno\r\ndos"));

    // A long page (the box holds it in blocks of lines) edited at its end.
    QByteArray longPage;
    for (int i = 0; i < 1000; ++i)
        longPage += "l\xEDnea " + QByteArray::number(i) + "\r\n";
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), longPage);
    click(dayButton(5));
    clickInto(form->Text1);
    pressKey(form->Text1, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text1, u("fin"));
    click(dayButton(6));
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), longPage + "fin");
}

TEST_F(DayRecords, APageInOtherLetterCaseIsFoundAndRewrittenUnderItsOwnName) {
    writeBytes(u("dias/martes, 5 de junio de 2007.txt"), "viejo");
    start(QDate(2007, 6, 5));
    EXPECT_EQ(form->Text1->text(), u("viejo"));
    clickInto(form->Text1);
    pressKey(form->Text1, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text1, u(" y nuevo"));
    click(dayButton(6));
    EXPECT_EQ(filesIn("dias"), QStringList{u("martes, 5 de junio de 2007.txt")});
    EXPECT_EQ(readBytes(u("dias/martes, 5 de junio de 2007.txt")), QByteArray("viejo y nuevo"));
}

TEST_F(DayRecords, TheSameDayOfTwoYearsHasTwoPages) {
    start(QDate(2007, 6, 5));
    typeInto(form->Text1, u("de 2007"));
    click(form->Command3[0]); // one year forward
    click(dayButton(5));
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 5 de JUNIO de 2008"));
    EXPECT_EQ(form->Text1->text(), QString());
    typeInto(form->Text1, u("de 2008"));
    click(form->Command3[1]);
    click(dayButton(5));
    EXPECT_EQ(form->Text1->text(), u("de 2007"));
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), QByteArray("de 2007"));
    EXPECT_EQ(readBytes(page("JUEVES, 5 de JUNIO de 2008")), QByteArray("de 2008"));
}

TEST_F(DayRecords, TheDayPanelButtonReloadsThePageOfTheCaption) {
    start(QDate(2007, 6, 5));
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), "escrito fuera");
    click(form->Command6[0]);
    EXPECT_EQ(form->Text1->text(), u("escrito fuera"));
    // After a month change the caption names the month: no page has that name.
    writeBytes(u("dias/JULIO de 2007.txt"), "nunca");
    click(form->Command4[6]);
    click(form->Command6[0]);
    EXPECT_EQ(form->Label2->text(), u("JULIO de 2007"));
    EXPECT_EQ(form->Text1->text(), u("nunca"));
    EXPECT_FALSE(form->Text1->isEnabled());
    click(form->Command10);
    EXPECT_EQ(readBytes(u("dias/JULIO de 2007.txt")), QByteArray("nunca"));
}

TEST_F(DayRecords, TheTodayButtonBringsBackTodaysPageAndRecords) {
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), "hoy");
    writeBytes(u("santoral/5 de JUNIO.txt"), "San Bonifacio\r\n");
    start(QDate(2007, 6, 5));
    click(form->Command4[0]);
    EXPECT_EQ(form->Text1->text(), QString());
    click(form->Command5);
    EXPECT_EQ(form->Label2->text(), u("MARTES, 5 de JUNIO de 2007"));
    EXPECT_EQ(form->Text1->text(), u("hoy"));
    EXPECT_EQ(form->Text9[2]->text(), u("San Bonifacio"));
}

TEST_F(DayRecords, ACaptionThatIsNoDateOfTheCalendarTakesNoTextAndWritesNothing) {
    start(QDate(2007, 6, 5));
    // A month text that is no file name, and a real month the grid does not show
    // (5 May 2007 is no Tuesday).
    for (const QString& month : {u("JU/NIO"), u("MAYO")}) {
        click(form->Combo1);
        pressKey(form->Combo1->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        typeText(form->Combo1->lineEdit(), month);
        click(dayButton(5));
        EXPECT_EQ(form->Label2->text(), u("MARTES, 5 de ") + month + u(" de 2007"));
        typeInto(form->Text1, u("x"));
        EXPECT_EQ(form->Text1->text(), QString());
        typeInto(form->Text9[0], u("fiesta"));
        click(form->Command11[0]);
        EXPECT_FALSE(form->Command11[0]->isEnabled());
    }
    EXPECT_TRUE(filesIn("dias").isEmpty());
    EXPECT_TRUE(filesIn("fiestas").isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(DayRecords, AnUnreadablePageIsNotReplacedByAClick) {
    makeFolder(u("dias"));
    if (!unreadable(page("MARTES, 5 de JUNIO de 2007"))) GTEST_SKIP() << "no unreadable file here";
    start(QDate(2007, 6, 5));
    EXPECT_EQ(form->Text1->text(), QString());
    clickInto(form->Text1);
    click(dayButton(6));
    EXPECT_TRUE(QFileInfo(path(page("MARTES, 5 de JUNIO de 2007"))).isSymLink());
    EXPECT_TRUE(platform.messages.isEmpty()); // no write was even tried
}

// ---- Holidays, reminders, saints -----------------------------------------------------

TEST_F(DayRecords, AHolidayFileInLowerCaseIsFoundAndSavedByteIdentical) {
    writeBytes(u("fiestas/25 de diciembre.txt"), cp1252("Natividad del Señor\r\n"));
    start(QDate(2007, 12, 25));
    EXPECT_EQ(form->Text9[0]->text(), u("Natividad del Señor"));
    EXPECT_EQ(form->selectedButtonColor(), vb::Yellow); // what the day shows once another is chosen
    for (int i = 0; i < 3; ++i)
        click(form->Command11[0]);
    EXPECT_EQ(filesIn("fiestas"), QStringList{u("25 de diciembre.txt")});
    EXPECT_EQ(readBytes(u("fiestas/25 de diciembre.txt")), cp1252("Natividad del Señor\r\n"));
}

TEST_F(DayRecords, AnEmptyHolidaySaveUnmarksTheDayAtTheNextRepaint) {
    writeBytes(u("fiestas/25 de DICIEMBRE.txt"), "Navidad\r\n");
    start(QDate(2007, 12, 25));
    retype(form->Text9[0], QString());
    EXPECT_EQ(form->Text9[0]->text(), QString());
    click(form->Command11[0]);
    EXPECT_TRUE(filesIn("fiestas").isEmpty());
    click(form->Command4[11]); // repaint December
    EXPECT_EQ(dayButton(25)->backColor(), vb::White);
    // Saving an empty box of an unmarked day changes nothing.
    click(dayButton(25));
    click(form->Command11[0]);
    EXPECT_TRUE(filesIn("fiestas").isEmpty());
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(DayRecords, AnEmptySaveDoesNotRemoveAHolidayFileThatCouldNotBeRead) {
    makeFolder(u("fiestas"));
    if (!unreadable(u("fiestas/5 de JUNIO.txt"))) GTEST_SKIP() << "no unreadable file here";
    start(QDate(2007, 6, 5));
    EXPECT_EQ(form->Text9[0]->text(), QString());
    click(form->Command11[0]);
    EXPECT_TRUE(QFileInfo(path(u("fiestas/5 de JUNIO.txt"))).isSymLink());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u("No se ha podido leer")));
}

TEST_F(DayRecords, AReminderIsSavedWithItsLineEndAndMarksTheDay) {
    start(QDate(2007, 6, 5));
    typeInto(form->Text9[1], u("Cumpleaños\nde Íñigo"));
    click(form->Command11[1]);
    EXPECT_EQ(readBytes(u("recordatorio/5 de JUNIO.txt")), cp1252("Cumpleaños\r\nde Íñigo\r\n"));
    click(form->Command4[5]);
    EXPECT_EQ(dayButton(5)->backColor(), vb::Blue);
    // Every year.
    click(form->Command3[0]);
    click(dayButton(5));
    EXPECT_EQ(form->Text9[1]->text(), u("Cumpleaños\r\nde Íñigo"));
}

TEST_F(DayRecords, TheThreeRecordsOfTheDayAreShownAndFollowTheSelection) {
    writeBytes(u("fiestas/1 de MAYO.txt"), "Fiesta del Trabajo\r\n");
    writeBytes(u("recordatorio/1 de MAYO.txt"), "Llamar\r\n");
    writeBytes(u("santoral/1 de MAYO.txt"), cp1252("San José Obrero\r\n"));
    writeBytes(u("santoral/2 de MAYO.txt"), cp1252("San Atanasio\r\n"));
    start(QDate(2007, 5, 1));
    EXPECT_EQ(form->Text9[0]->text(), u("Fiesta del Trabajo"));
    EXPECT_EQ(form->Text9[1]->text(), u("Llamar"));
    EXPECT_EQ(form->Text9[2]->text(), u("San José Obrero"));
    click(dayButton(2));
    EXPECT_EQ(form->Text9[0]->text(), QString());
    EXPECT_EQ(form->Text9[1]->text(), QString());
    EXPECT_EQ(form->Text9[2]->text(), u("San Atanasio"));
}

// ---- Week view -----------------------------------------------------------------------

// The week of the day chosen (the first one at start-up, the others picked in the lists
// and the grid), with some of its captions.
TEST_F(DayRecords, TheWeekPanelShowsTheWeekOfTheChosenDay) {
    const struct {
        QDate chosen;
        std::vector<std::pair<int, const char*>> captions;
    } rows[] = {
        {QDate(2007, 6, 10),
         {{0, "LUNES, 4 de JUNIO de 2007"},
          {2, "MIÉRCOLES, 6 de JUNIO de 2007"},
          {6, "DOMINGO, 10 de JUNIO de 2007"}}},
        {QDate(2007, 6, 11), {{0, "LUNES, 11 de JUNIO de 2007"}, {6, "DOMINGO, 17 de JUNIO de 2007"}}},
        {QDate(2008, 1, 2),
         {{0, "LUNES, 31 de DICIEMBRE de 2007"},
          {1, "MARTES, 1 de ENERO de 2008"},
          {6, "DOMINGO, 6 de ENERO de 2008"}}},
        {QDate(2008, 4, 30), {{2, "MIÉRCOLES, 30 de ABRIL de 2008"}, {3, "JUEVES, 1 de MAYO de 2008"}}},
        {QDate(2008, 2, 29), {{4, "VIERNES, 29 de FEBRERO de 2008"}, {5, "SÁBADO, 1 de MARZO de 2008"}}},
        // 2100 has no 29 February.
        {QDate(2100, 2, 28), {{0, "LUNES, 22 de FEBRERO de 2100"}, {6, "DOMINGO, 28 de FEBRERO de 2100"}}},
        {QDate(2100, 3, 1), {{0, "LUNES, 1 de MARZO de 2100"}}},
    };
    start(rows[0].chosen);
    for (const auto& row : rows) {
        if (row.chosen != rows[0].chosen) {
            pickFromList(form->Combo2, row.chosen.year() - calendar::kFirstListYear);
            click(form->Command4[row.chosen.month() - 1]);
            click(dayButton(row.chosen.day()));
        }
        click(form->Command6[1]);
        for (const auto& [box, caption] : row.captions)
            EXPECT_EQ(form->Label3[box]->text(), u(caption)) << box;
    }
}

TEST_F(DayRecords, WeekBoxesShowTheirPagesAndSaveWhatIsTyped) {
    writeBytes(page("MARTES, 5 de JUNIO de 2007"), cp1252("de antes\r\ncon dos líneas"));
    writeBytes(page("MIÉRCOLES, 6 de JUNIO de 2007"), "");
    start(QDate(2007, 6, 5));
    click(form->Command6[1]);
    EXPECT_EQ(form->Text2[1]->text(), u("de antes\r\ncon dos líneas"));
    EXPECT_EQ(form->Text2[2]->text(), QString());
    // Leaving an empty box writes nothing.
    clickInto(form->Text2[3]);
    clickInto(form->Text2[4]);
    EXPECT_FALSE(exists(page("JUEVES, 7 de JUNIO de 2007")));
    EXPECT_EQ(readBytes(page("MIÉRCOLES, 6 de JUNIO de 2007")), QByteArray());
    // Leaving a box with typed text writes exactly that text.
    typeText(form->Text2[4], u("viernes\nsábado no"));
    clickInto(form->Text2[0]);
    EXPECT_EQ(readBytes(page("VIERNES, 8 de JUNIO de 2007")), cp1252("viernes\r\nsábado no"));
    // Leaving an untouched box rewrites its page unchanged.
    clickInto(form->Text2[1]);
    clickInto(form->Text2[0]);
    EXPECT_EQ(readBytes(page("MARTES, 5 de JUNIO de 2007")), cp1252("de antes\r\ncon dos líneas"));
    // The day panel shows what the week panel wrote.
    click(dayButton(8));
    EXPECT_EQ(form->Text1->text(), u("viernes\r\nsábado no"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(DayRecords, AWeekWithoutPagesShowsNoTextOfAnotherWeek) {
    start(QDate(2007, 6, 5));
    click(form->Command6[1]);
    typeInto(form->Text2[1], u("semana uno"));
    click(dayButton(12));
    click(form->Command6[1]);
    for (TextBox* box : form->Text2)
        EXPECT_EQ(box->text(), QString());
    clickInto(form->Text2[1]);
    clickInto(form->Text2[2]);
    EXPECT_EQ(filesIn("dias"), QStringList{u("MARTES, 5 de JUNIO de 2007.txt")});
}

TEST_F(DayRecords, AnUnreadableWeekPageIsNeverSavedOverUnlessTyped) {
    makeFolder(u("dias"));
    if (!unreadable(page("MIÉRCOLES, 6 de JUNIO de 2007"))) GTEST_SKIP() << "no unreadable file here";
    start(QDate(2007, 6, 12));
    click(form->Command6[1]);
    typeInto(form->Text2[2], u("otra semana"));
    click(dayButton(5));
    click(form->Command6[1]);
    EXPECT_EQ(form->Label3[2]->text(), u("MIÉRCOLES, 6 de JUNIO de 2007"));
    EXPECT_EQ(form->Text2[2]->text(), QString());
    clickInto(form->Text2[2]);
    clickInto(form->Text2[3]);
    EXPECT_TRUE(QFileInfo(path(page("MIÉRCOLES, 6 de JUNIO de 2007"))).isSymLink());
    EXPECT_TRUE(platform.messages.isEmpty()); // no write was even tried
    // Typing makes the box the user's page.
    typeInto(form->Text2[2], u("nuevo"));
    QFile::remove(path(page("MIÉRCOLES, 6 de JUNIO de 2007")));
    clickInto(form->Text2[3]);
    EXPECT_EQ(readBytes(page("MIÉRCOLES, 6 de JUNIO de 2007")), QByteArray("nuevo"));
    EXPECT_EQ(readBytes(page("MIÉRCOLES, 13 de JUNIO de 2007")), QByteArray("otra semana"));
}

TEST_F(DayRecords, AWeekIsNotRebuiltWhenTheListsMakeNoDate) {
    start(QDate(2007, 6, 5));
    click(form->Command6[1]);
    typeInto(form->Text2[1], u("martes"));
    form->Combo2->setEditText(u("año"));
    click(dayButton(12));
    EXPECT_FALSE(form->selectedDate().isValid());
    click(form->Command6[1]);
    EXPECT_EQ(form->Label3[1]->text(), u("MARTES, 5 de JUNIO de 2007"));
    EXPECT_EQ(form->Text2[1]->text(), u("martes"));
    clickInto(form->Text2[1]);
    clickInto(form->Text2[2]);
    EXPECT_EQ(filesIn("dias"), QStringList{u("MARTES, 5 de JUNIO de 2007.txt")});
}

// ---- Month and year read-outs ----------------------------------------------------------

TEST_F(DayRecords, TheMonthReadOutStringsThePagesTogether) {
    writeBytes(page("VIERNES, 1 de JUNIO de 2007"), "primero");
    writeBytes(page("DOMINGO, 10 de JUNIO de 2007"), "");
    writeBytes(page("VIERNES, 15 de JUNIO de 2007"), cp1252("a mitad\r\nde mes"));
    writeBytes(page("SÁBADO, 30 de JUNIO de 2007"), "fin");
    writeBytes(page("DOMINGO, 1 de JULIO de 2007"), "otro mes");
    start(QDate(2007, 6, 5));
    click(form->Command6[2]);
    EXPECT_EQ(form->Text3->text(), u("VIERNES, 1 de JUNIO de 2007 \r\nprimero \r\n \r\n"
                                     "DOMINGO, 10 de JUNIO de 2007 \r\n \r\n \r\n"
                                     "VIERNES, 15 de JUNIO de 2007 \r\na mitad\r\nde mes \r\n \r\n"
                                     "SÁBADO, 30 de JUNIO de 2007 \r\nfin \r\n \r\n"));
    EXPECT_EQ(form->weekdayCursor(), 6); // 1 July 2007 is a Sunday
    // A month without pages gives an empty read-out.
    click(form->Command4[7]);
    click(form->Command6[2]);
    EXPECT_EQ(form->Text3->text(), QString());
}

TEST_F(DayRecords, TheYearReadOutWalksTwentyNineDaysOfALeapFebruary) {
    writeBytes(page("SÁBADO, 1 de MARZO de 2008"), "marzo");
    writeBytes(page("VIERNES, 29 de FEBRERO de 2008"), "bisiesto");
    writeBytes(page("JUEVES, 28 de FEBRERO de 2008"), "febrero");
    writeBytes(page("MIÉRCOLES, 31 de DICIEMBRE de 2008"), "fin");
    writeBytes(page("LUNES, 31 de DICIEMBRE de 2007"), "otro año");
    start(QDate(2008, 2, 29));
    click(form->Command6[3]);
    EXPECT_EQ(form->Text5->text(), u("JUEVES, 28 de FEBRERO de 2008 \r\nfebrero \r\n \r\n"
                                     "VIERNES, 29 de FEBRERO de 2008 \r\nbisiesto \r\n \r\n"
                                     "SÁBADO, 1 de MARZO de 2008 \r\nmarzo \r\n \r\n"
                                     "MIÉRCOLES, 31 de DICIEMBRE de 2008 \r\nfin \r\n \r\n"));
}

} // namespace
