// The search in the window, through real input: Ctrl+F or a click on the date caption,
// typing, Escape, Return, the arrows and clicks on a result; and the days of the grid
// that have a page.
#include "support/formfixture.h"
#include "support/gestures.h"

#include <QAccessible>
#include <QListWidget>
#include <functional>

using namespace quelora;
using namespace quelora::test;

namespace {

class SearchWindow : public FormFixture {
public:
    using FormFixture::click;
    using FormFixture::clickAt;
    using FormFixture::clickInto;
    using FormFixture::exists;
    using FormFixture::focused;
    using FormFixture::pressKey;
    using FormFixture::readBytes;
    using FormFixture::start;
    using FormFixture::typeText;
    using FormFixture::waitUntil;
    using FormFixture::writeBytes;
    Form1& f() { return *form; }
    FlatButton* day(int d) const { return dayButton(d); }
    // Opens the search with Ctrl+F from wherever the focus is, and types.
    void search(const QString& words) {
        pressKey(focused() ? focused() : form.get(), Qt::Key_F, Qt::ControlModifier);
        typeText(form->SearchText, words);
    }
    QStringList captions() const {
        QStringList out;
        for (int i = 0; i < form->SearchResults->count(); ++i)
            out << form->SearchResults->item(i)->text().section(QLatin1Char('\n'), 0, 0);
        return out;
    }
    // Each result as the list holds it, "caption|excerpt".
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < form->SearchResults->count(); ++i)
            out << form->SearchResults->item(i)->text().replace(QLatin1Char('\n'), QLatin1Char('|'));
        return out;
    }
    void clickResult(int row) { clickRow(form->SearchResults, row); }
};

using Row = Gesture<SearchWindow>;

class Gestures : public SearchWindow, public ::testing::WithParamInterface<Row> {};

TEST_P(Gestures, Run) {
    GetParam().run(*this);
}

const Row kRows[] = {
    {"ReturnShowsTheNewestPageOnItsDayAfterTheBoxLeftSavedItself",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), cp1252("Cumpleaños de Lucía"));
         t.writeBytes(u("dias/jueves, 1 de marzo de 2007.txt"), cp1252("el CUMPLEAÑOS de Ana"));
         t.writeBytes(u("dias/VIERNES, 2 de MARZO de 2007.txt"),
                      cp1252("cumpleanos: otra palabra")); // ñ is ñ
         t.start();
         t.clickInto(t.f().Text1);
         t.typeText(t.f().Text1, u("hoy"));
         t.search(u("CUMPLEAÑOS"));
         EXPECT_EQ(t.readBytes(u("dias/JUEVES, 15 de MARZO de 2007.txt")), QByteArray("hoy"));
         EXPECT_EQ(t.captions(),
                   (QStringList{u("LUNES, 5 de MARZO de 2007"), u("jueves, 1 de marzo de 2007")}));
         t.pressKey(t.f().SearchText, Qt::Key_Return);
         EXPECT_FALSE(t.f().SearchPanel->isVisible());
         EXPECT_EQ(t.f().Label2->text(), u("LUNES, 5 de MARZO de 2007"));
         EXPECT_EQ(t.f().Text1->text(), u("Cumpleaños de Lucía"));
         EXPECT_EQ(t.f().visiblePanel(), Form1::Panel::Day);
     }},
    {"ReturnSelectsTheEarliestHitInThePageInViewAndTypingReplacesIt",
     [](SearchWindow& t) {
         const QString monday = u("dias/LUNES, 5 de MARZO de 2007.txt");
         const QByteArray above = QByteArray("una linea\r\n").repeated(60);
         t.writeBytes(monday, above + cp1252("fui al Médico; otra vez al médico"));
         t.start();
         t.search(u("vez medico"));
         t.pressKey(t.f().SearchText, Qt::Key_Return);
         TextBox* page = t.f().Text1;
         EXPECT_EQ(page->textCursor().selectedText(), u("Médico"));
         EXPECT_TRUE(page->viewport()->rect().contains(page->cursorRect()));
         t.typeText(page, u("dentista"));
         t.click(t.day(6));
         EXPECT_EQ(t.readBytes(monday), above + cp1252("fui al dentista; otra vez al médico"));
     }},
    {"TheCaptionOpensItAndTheArrowsPickANoteInItsMonth",
     [](SearchWindow& t) {
         t.writeBytes(u("notas/2006-11-2--9-30"), cp1252("Llamar al fontanero"));
         t.writeBytes(u("notas/2007-3-1--8-0"), cp1252("fontanero otra vez"));
         t.start();
         t.click(t.f().Label2);
         ASSERT_TRUE(t.f().SearchPanel->isVisible());
         t.typeText(t.f().SearchText, u("fontanero"));
         t.pressKey(t.f().SearchText, Qt::Key_Down);
         t.pressKey(t.f().SearchResults, Qt::Key_Down);
         t.pressKey(t.f().SearchResults, Qt::Key_Return);
         EXPECT_EQ(t.f().visiblePanel(), Form1::Panel::Notes);
         EXPECT_EQ(t.f().Text6->text(), u("Llamar al fontanero"));
         EXPECT_EQ(t.f().Text6->textCursor().selectedText(), u("fontanero"));
         EXPECT_EQ(t.f().File1->fileName(), u("2006-11-2--9-30"));
         // A note belongs to no day: the calendar keeps its day, ready to be written in.
         EXPECT_EQ(t.f().Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
         EXPECT_EQ(t.f().selectedButton(), 17);
         EXPECT_FALSE(t.f().Text1->isReadOnly());
     }},
    {"AClickOnACardShowsItInItsGroupWhateverTheNameSearch",
     [](SearchWindow& t) {
         t.writeBytes(u("direcciones/Amigos/Núñez"),
                      cp1252("Núñez\r\nAna\r\nC/ Mayor, 3\r\nLeón\r\n\r\n\r\nprima\r\n"));
         t.writeBytes(u("direcciones/Todos/Núñez"),
                      cp1252("Núñez\r\nAna\r\nC/ Mayor, 3\r\nLeón\r\n\r\n\r\nprima\r\n"));
         t.writeBytes(u("direcciones/Trabajo/Ruiz"), cp1252("Ruiz\r\n\r\n\r\nLeón\r\n\r\n\r\n\r\n"));
         t.start();
         t.click(t.f().Command6[5]);
         t.clickInto(t.f().Text8);
         t.typeText(t.f().Text8, u("R")); // the card list shows names beginning with R only
         t.search(u("leon mayor"));
         ASSERT_EQ(t.captions(), QStringList{u("Núñez — Amigos")});
         t.clickResult(0);
         EXPECT_EQ(t.f().Combo3->currentText(), u("Amigos"));
         EXPECT_EQ(t.f().File2->fileName(), u("Núñez"));
         EXPECT_EQ(t.f().Text7[6]->text(), u("prima"));
         EXPECT_EQ(t.f().Text8->text(), QString());
     }},
    {"AHolidayShowsOnItsDayInTheYearOnShow",
     [](SearchWindow& t) {
         t.writeBytes(u("fiestas/25 de DICIEMBRE.txt"), cp1252("Navidad\r\n"));
         t.start();
         t.search(u("navidad"));
         ASSERT_EQ(t.captions(), QStringList{u("Fiesta: 25 de DICIEMBRE")});
         t.pressKey(t.f().SearchText, Qt::Key_Return);
         EXPECT_EQ(t.f().Label2->text(), u("MARTES, 25 de DICIEMBRE de 2007"));
         EXPECT_EQ(t.f().Text9[0]->text(), u("Navidad"));
         EXPECT_EQ(t.f().Text9[0]->textCursor().selectedText(), u("Navidad"));
         EXPECT_EQ(t.focused(), t.f().Text9[0]);
     }},
    {"AWordBeyondTheBeginningOfAHugePageIsNotFoundAndTheCountSaysWhy",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/VIERNES, 2 de MARZO de 2007.txt"), QByteArray(5 << 20, 'x') + " fontanero");
         t.start();
         t.search(u("fontanero"));
         EXPECT_TRUE(t.captions().isEmpty());
         EXPECT_TRUE(t.f().SearchCount->text().startsWith(u("Nada encontrado")));
         EXPECT_TRUE(t.f().SearchCount->text().contains(u("solo se ha buscado en sus primeros 4 MB")));
     }},
    {"EscapeLeavesEverythingAsItWas",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/JUEVES, 15 de MARZO de 2007.txt"), "abc");
         t.start();
         t.click(t.f().Command6[1]);
         t.clickInto(t.f().Text2[3]);
         t.search(u("abc"));
         t.pressKey(t.f().SearchText, Qt::Key_Escape);
         EXPECT_FALSE(t.f().SearchPanel->isVisible());
         EXPECT_EQ(t.f().visiblePanel(), Form1::Panel::Week);
         EXPECT_EQ(t.focused(), t.f().Text2[3]);
         EXPECT_EQ(t.f().Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
         EXPECT_EQ(t.readBytes(u("dias/JUEVES, 15 de MARZO de 2007.txt")), QByteArray("abc"));
     }},
    {"APageChangedOnDiskBetweenTwoKeystrokesIsSeen",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), "viaje a Roma");
         t.start();
         t.search(u("viaje"));
         ASSERT_EQ(t.captions().size(), 1);
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), "sin nada");
         t.writeBytes(u("dias/MARTES, 6 de MARZO de 2007.txt"), "el viaje a Roma");
         t.typeText(t.f().SearchText, u(" a roma"));
         EXPECT_EQ(t.captions(), QStringList{u("MARTES, 6 de MARZO de 2007")});
     }},
    {"DaysWithAPageAreBoldAndSaySoFromTheSaveOn",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), "algo");
         t.writeBytes(u("dias/MARTES, 6 de MARZO de 2007.txt"), ""); // an empty page has no text to show
         t.start();
         EXPECT_TRUE(t.day(5)->font().bold());
         EXPECT_FALSE(t.day(6)->font().bold());
         EXPECT_FALSE(t.day(15)->font().bold());
         EXPECT_TRUE(t.day(5)->accessibleName().endsWith(u("con página")));
         t.clickInto(t.f().Text1);
         t.typeText(t.f().Text1, u("hoy"));
         t.click(t.day(16));
         EXPECT_TRUE(t.day(15)->font().bold());
         EXPECT_TRUE(t.day(15)->toolTip().contains(u("Tiene página")));
         t.click(t.day(5));
         t.clickInto(t.f().Text1);
         t.pressKey(t.f().Text1, Qt::Key_A, Qt::ControlModifier);
         t.pressKey(t.f().Text1, Qt::Key_Delete);
         t.click(t.day(16));
         EXPECT_FALSE(t.day(5)->font().bold());
     }},
    // This day in other years, shown while the field is empty.
    {"CtrlFListsThisDayInOtherYearsAndDownReturnShowsOne",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/MIÉRCOLES, 15 de MARZO de 2006.txt"), cp1252("Boda de Ana\r\nen Sevilla"));
         t.writeBytes(u("dias/LUNES, 15 de MARZO de 2004.txt"), cp1252("Nevó"));
         t.writeBytes(u("dias/LUNES, 15 de MARZO de 1999.txt"), cp1252("Examen"));
         t.writeBytes(u("dias/JUEVES, 15 de MARZO de 2007.txt"), cp1252("Hoy"));
         t.start();
         t.search(QString());
         EXPECT_TRUE(t.f().SearchHeading->isVisible());
         EXPECT_EQ(t.f().SearchHeading->text(), u("Este día en otros años: 15 de marzo"));
         EXPECT_EQ(t.rows(), (QStringList{u("MIÉRCOLES, 15 de MARZO de 2006|Boda de Ana en Sevilla"),
                                          u("LUNES, 15 de MARZO de 2004|Nevó"),
                                          u("LUNES, 15 de MARZO de 1999|Examen")}));
         EXPECT_EQ(t.f().SearchCount->text(), u("3 páginas de otros años"));
         t.pressKey(t.f().SearchText, Qt::Key_Down);
         t.pressKey(t.f().SearchResults, Qt::Key_Down);
         t.pressKey(t.f().SearchResults, Qt::Key_Return);
         EXPECT_FALSE(t.f().SearchPanel->isVisible());
         EXPECT_EQ(t.f().Label2->text(), u("LUNES, 15 de MARZO de 2004"));
         EXPECT_EQ(t.f().Text1->text(), u("Nevó"));
         EXPECT_EQ(t.focused(), t.f().Text1);
     }},
    {"OnTheLeapDayTheOtherLeapYearsAndAClickShowsOne",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/DOMINGO, 29 de FEBRERO de 2004.txt"), cp1252("Bisiesto"));
         t.writeBytes(u("dias/MIÉRCOLES, 29 de FEBRERO de 2012.txt"), cp1252("Otro bisiesto"));
         t.writeBytes(u("dias/MARTES, 1 de MARZO de 2005.txt"), cp1252("Marzo"));
         t.writeBytes(u("dias/LUNES, 28 de FEBRERO de 2005.txt"), cp1252("Febrero"));
         t.start(QDate(2008, 2, 29));
         t.search(QString());
         EXPECT_EQ(t.f().SearchHeading->text(),
                   u("Este día en otros años: 29 de febrero, en los años bisiestos"));
         EXPECT_EQ(t.rows(), (QStringList{u("MIÉRCOLES, 29 de FEBRERO de 2012|Otro bisiesto"),
                                          u("DOMINGO, 29 de FEBRERO de 2004|Bisiesto")}));
         t.clickResult(1);
         EXPECT_EQ(t.f().Label2->text(), u("DOMINGO, 29 de FEBRERO de 2004"));
         EXPECT_EQ(t.f().Text1->text(), u("Bisiesto"));
     }},
    {"TheFieldErasedShowsTheDayAgainAndADayWithoutOrAMonthSaysSoInOneLine",
     [](SearchWindow& t) {
         t.writeBytes(u("dias/MIÉRCOLES, 15 de MARZO de 2006.txt"), cp1252("viaje"));
         t.writeBytes(u("dias/JUEVES, 16 de MARZO de 2006.txt"), cp1252("viaje"));
         t.start();
         t.search(u("viaje"));
         EXPECT_FALSE(t.f().SearchHeading->isVisible());
         EXPECT_EQ(t.captions().size(), 2);
         for (int i = 0; i < 5; ++i)
             t.pressKey(t.f().SearchText, Qt::Key_Backspace);
         EXPECT_EQ(t.rows(), QStringList{u("MIÉRCOLES, 15 de MARZO de 2006|viaje")});
         t.pressKey(t.f().SearchText, Qt::Key_Escape);
         t.click(t.day(20));
         t.search(QString());
         EXPECT_TRUE(t.rows().isEmpty());
         EXPECT_EQ(t.f().SearchCount->text(), u("Ningún otro año tiene página este día."));
         t.pressKey(t.f().SearchText, Qt::Key_Escape);
         t.click(t.f().Command4[3]); // the caption names a month, no day
         t.search(QString());
         EXPECT_FALSE(t.f().SearchHeading->isVisible());
         EXPECT_TRUE(t.f().SearchCount->text().startsWith(u("Elige un día")));
     }},
    {"APageWrittenOrEmptiedByAnotherProgramComesAndGoesWhileOpen",
     [](SearchWindow& t) {
         t.start();
         t.search(QString());
         t.writeBytes(u("dias/JUEVES, 15 de MARZO de 2001.txt"), cp1252("Desde fuera"));
         EXPECT_TRUE(t.waitUntil(
             [&] { return t.rows() == QStringList{u("JUEVES, 15 de MARZO de 2001|Desde fuera")}; }));
         t.writeBytes(u("dias/JUEVES, 15 de MARZO de 2001.txt"), QByteArray());
         EXPECT_TRUE(t.waitUntil([&] { return t.rows().isEmpty(); }));
     }},
};

INSTANTIATE_TEST_SUITE_P(Search, Gestures, ::testing::ValuesIn(kRows), gestureName<SearchWindow>);

} // namespace
