// The window under a person's hands: every row delivers real input through Qt (clicks
// and wheel turns through the window, keys, picks in an open drop-down) and checks
// the files and what the user sees.
#include "store/files.h"
#include "support/formfixture.h"
#include "support/gestures.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <functional>

using namespace quelora;
using namespace quelora::test;

namespace {

const QString kToday = u("dias/JUEVES, 15 de MARZO de 2007.txt");

class RealInput : public FormFixture {
public:
    using FormFixture::click;
    using FormFixture::clickInto;
    using FormFixture::exists;
    using FormFixture::filesIn;
    using FormFixture::focused;
    using FormFixture::makeFolder;
    using FormFixture::paste;
    using FormFixture::path;
    using FormFixture::pickFromList;
    using FormFixture::pressKey;
    using FormFixture::readBytes;
    using FormFixture::settle;
    using FormFixture::start;
    using FormFixture::typeText;
    using FormFixture::wheel;
    using FormFixture::writeBytes;
    using FormFixture::writeFaults;
    Form1& f() { return *form; }
    FakePlatform& desk() { return platform; }
    FlatButton* day(int d) const { return dayButton(d); }
    // Types into a box after a click into it.
    void write(TextBox* box, const QString& text) {
        clickInto(box);
        pressKey(box, Qt::Key_End, Qt::ControlModifier);
        typeText(box, text);
    }
    void clickRow(FileList* list, int row) {
        clickAt(list->viewport(), list->visualItemRect(list->item(row)).center());
    }
};

using Row = Gesture<RealInput>;

class Rows : public RealInput, public ::testing::WithParamInterface<Row> {};

TEST_P(Rows, Run) {
    GetParam().run(*this);
}

const Row kRows[] = {
    // ---- The wheel acts only on the list that has the focus ----------------------------------
    {"WheelOverTheMonthAndYearListsWhileTypingKeepsTheTextAndTheMonth",
     [](RealInput& t) {
         t.start();
         t.write(t.f().Text1, u("un párrafo entero"));
         for (QWidget* list : {static_cast<QWidget*>(t.f().Combo1), static_cast<QWidget*>(t.f().Combo2)})
             for (int notches : {-1, 1, -3})
                 t.wheel(list, notches);
         EXPECT_EQ(t.f().Combo1->currentText(), u("MARZO"));
         EXPECT_EQ(t.f().Combo2->currentText(), u("2007"));
         EXPECT_EQ(t.f().Text1->text(), u("un párrafo entero"));
         EXPECT_EQ(RealInput::focused(), t.f().Text1);
         t.click(t.day(16));
         EXPECT_EQ(t.readBytes(kToday), cp1252("un párrafo entero"));
     }},
    {"WheelOverTheFocusedMonthListMovesTheMonthAfterTheDiarySavedItself",
     [](RealInput& t) {
         t.start();
         t.write(t.f().Text1, u("guardado"));
         t.click(t.f().Combo1);
         t.wheel(t.f().Combo1, -1);
         EXPECT_EQ(t.f().Combo1->currentText(), u("ABRIL"));
         EXPECT_EQ(t.f().firstDayColumn(), 6); // 1 April 2007 is a Sunday
         EXPECT_EQ(t.readBytes(kToday), QByteArray("guardado"));
     }},
    {"WheelOverTheGroupListWhileTypingACardKeepsTheGroupAndItsCards",
     [](RealInput& t) {
         t.makeFolder(u("direcciones/Amigos"));
         t.writeBytes(u("direcciones/Amigos/Ruiz"), "Ruiz\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
         t.start();
         t.click(t.f().Command6[5]);
         t.write(t.f().Text7[1], u("Ana"));
         t.wheel(t.f().Combo3, -1);
         t.wheel(t.f().File2, -1);
         EXPECT_EQ(t.f().Combo3->currentText(), u("Amigos"));
         EXPECT_EQ(t.f().File2->names(), QStringList{u("Ruiz")});
         EXPECT_EQ(t.f().Text7[1]->text(), u("Ana"));
     }},

    // ---- The lists follow their text ---------------------------------------------------------
    {"TheMonthAndYearListsStartFromTheMonthOnShow",
     [](RealInput& t) {
         t.start();
         EXPECT_EQ(t.f().Combo1->currentIndex(), 2);
         EXPECT_EQ(t.f().Combo2->currentIndex(), 2007 - 1901);
         t.click(t.f().Combo1);
         t.pressKey(RealInput::focused(), Qt::Key_Down);
         EXPECT_EQ(t.f().Combo1->currentText(), u("ABRIL"));
         t.click(t.f().Command4[10]);
         t.click(t.f().Command3[0]);
         EXPECT_EQ(t.f().Combo1->currentIndex(), 10);
         EXPECT_EQ(t.f().Combo2->currentIndex(), 2008 - 1901);
         t.click(t.f().Combo2);
         t.pressKey(RealInput::focused(), Qt::Key_Up);
         EXPECT_EQ(t.f().Combo2->currentText(), u("2007"));
         EXPECT_EQ(t.f().Label2->text(), u("NOVIEMBRE de 2008")); // a pick keeps the caption
         EXPECT_EQ(t.f().firstDayColumn(), 3);                    // 1 November 2007, a Thursday
     }},
    {"TypingAMonthAndReturnInTheListRunNothing",
     [](RealInput& t) {
         t.start();
         t.paste(t.f().Combo1, u("MAYO"));
         t.pressKey(RealInput::focused(), Qt::Key_Return);
         EXPECT_EQ(t.f().firstDayColumn(), 3); // still March
         EXPECT_EQ(t.f().Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
     }},

    // ---- A pick is no typing -----------------------------------------------------------------
    {"PickingAGroupWithADashShowsItsCardsAndCreatesNoFolder",
     [](RealInput& t) {
         t.makeFolder(u("direcciones/Amigos"));
         t.writeBytes(u("direcciones/Ana-Luis/Bravo"), "Bravo\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
         t.start();
         t.click(t.f().Command6[5]);
         t.pickFromList(t.f().Combo3, 1);
         EXPECT_EQ(t.f().Combo3->currentText(), u("Ana-Luis"));
         EXPECT_EQ(t.f().File2->names(), QStringList{u("Bravo")});
         EXPECT_FALSE(t.exists(u("direcciones/Ana")));
         EXPECT_EQ(t.f().Combo3->count(), 3);
     }},

    // ---- Pages only under real dates ---------------------------------------------------------
    {"AWeekPanelNeverFilledTakesNoTextAndWritesNoPage",
     [](RealInput& t) {
         t.start();
         t.paste(t.f().Combo2, u("abc"));
         t.click(t.day(15));
         t.click(t.f().Command6[1]);
         t.write(t.f().Text2[0], u("lunes"));
         t.clickInto(t.f().Text2[1]);
         EXPECT_EQ(t.f().Text2[0]->text(), QString());
         EXPECT_EQ(t.filesIn(u("dias")), QStringList{});
         EXPECT_TRUE(t.desk().messages.isEmpty());
     }},

    // ---- A box gives back exactly what it holds ----------------------------------------------
    {"NoBreakSpacesSurviveAnEdit",
     [](RealInput& t) {
         t.writeBytes(kToday, "uno\xA0"
                              "dos");
         t.start();
         t.write(t.f().Text1, u("X"));
         t.click(t.day(16));
         EXPECT_EQ(t.readBytes(kToday), QByteArray("uno\xA0"
                                                   "dosX"));
     }},

    // ---- Leaving -----------------------------------------------------------------------------
    {"TheExitButtonLeavesAfterASaveThatOnlyReplacedCharacters",
     [](RealInput& t) {
         t.start();
         t.write(t.f().Text1, u("a→b"));
         t.click(t.f().Command10);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("a?b"));
         EXPECT_EQ(t.desk().endRequests, 1);
         ASSERT_EQ(t.desk().messages.size(), 1);
         EXPECT_TRUE(t.desk().messages[0].contains(u("«?»")));
     }},
    {"ReturnPressesTheFocusedButton",
     [](RealInput& t) {
         t.start();
         t.click(t.f().Command4[0]);
         t.pressKey(RealInput::focused(), Qt::Key_Tab);
         ASSERT_EQ(RealInput::focused(), t.f().Command4[1]);
         t.pressKey(RealInput::focused(), Qt::Key_Return);
         EXPECT_EQ(t.f().Label2->text(), u("FEBRERO de 2007"));
         t.pressKey(t.f().Command4[1], Qt::Key_Enter, Qt::KeypadModifier);
         t.click(t.f().Command10);
         t.pressKey(t.f().Command10, Qt::Key_Return);
         EXPECT_EQ(t.desk().endRequests, 2);
     }},

    // ---- Held texts --------------------------------------------------------------------------
    {"AHeldDiaryTextNeverOverwritesANewerPageFromTheWeekPanel",
     [](RealInput& t) {
         t.writeBytes(kToday, "antes");
         t.start();
         t.write(t.f().Text1, u(" y luego"));
         t.writeFaults.failNext(1, u("disco lleno (prueba)"));
         t.click(t.f().Command6[1]); // the diary save fails: its text is held
         EXPECT_EQ(t.readBytes(kToday), QByteArray("antes"));
         EXPECT_EQ(t.f().Text2[3]->text(), u("antes y luego")); // the week shows the held text
         t.clickInto(t.f().Text2[3]);
         t.pressKey(t.f().Text2[3], Qt::Key_A, Qt::ControlModifier);
         t.typeText(t.f().Text2[3], u("semana"));
         t.clickInto(t.f().Text2[4]);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("semana"));
         t.click(t.day(15));
         EXPECT_EQ(t.f().Text1->text(), u("semana"));
         t.write(t.f().Text1, u("!"));
         t.click(t.day(16));
         t.click(t.f().Command10);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("semana!"));
         EXPECT_EQ(t.desk().endRequests, 1);
     }},
    {"AFailedWeekSaveIsHeldShownAgainAndWarnedAboutOnExit",
     [](RealInput& t) {
         const QString friday = u("dias/VIERNES, 16 de MARZO de 2007.txt");
         t.start();
         t.click(t.f().Command6[1]);
         t.write(t.f().Text2[4], u("no se pierde"));
         t.writeFaults.failNext(2, u("disco lleno (prueba)"));
         t.clickInto(t.f().Text2[5]);
         t.click(t.f().Command6[0]);
         t.click(t.f().Command6[1]); // filled again: the text comes back with its date
         EXPECT_EQ(t.f().Text2[4]->text(), u("no se pierde"));
         EXPECT_FALSE(t.exists(friday));
         t.writeFaults.failNext(1, u("disco lleno (prueba)"));
         t.click(t.f().Command10);
         EXPECT_EQ(t.desk().endRequests, 0);
         EXPECT_TRUE(t.desk().messages.last().contains(u("Si vuelves a salir")));
         t.click(t.f().Command10); // the folder works again: saved, then gone
         EXPECT_EQ(t.readBytes(friday), QByteArray("no se pierde"));
         EXPECT_EQ(t.desk().endRequests, 1);
     }},

    // ---- Names -------------------------------------------------------------------------------
    {"AnApellidosOutsideTheCodePageOrWindowsNamesIsRefusedAndTold",
     [](RealInput& t) {
         t.start();
         t.click(t.f().Command6[5]);
         for (const QString& name : {u("Wałęsa"), u("Ortiz: \"Pepe\" <casa>?"), u("Ruiz."), u("con")}) {
             t.paste(t.f().Text7[0], name);
             const qsizetype told = t.desk().messages.size();
             t.click(t.f().Command7[0]);
             EXPECT_EQ(t.filesIn(u("direcciones/Todos")), QStringList{}) << name.toStdString();
             ASSERT_GT(t.desk().messages.size(), told) << name.toStdString();
             EXPECT_TRUE(t.desk().messages.last().contains(u("Escríbelo")) ||
                         t.desk().messages.last().contains(u("Escríbelas")));
             EXPECT_EQ(t.f().Text7[0]->text(), name); // nothing typed is lost
         }
         t.paste(t.f().Combo3, u("Tía: Ana-"));
         EXPECT_FALSE(t.exists(u("direcciones/Tía: Ana")));
         EXPECT_TRUE(t.desk().messages.last().contains(u("No se ha creado el grupo")));
     }},
    {"FoldersCopiedFromWindowsInCapitalsAreUsedAsTheyAre",
     [](RealInput& t) {
         t.writeBytes(u("DIAS/JUEVES, 15 de MARZO de 2007.txt"), "de Windows");
         t.makeFolder(u("direcciones/TODOS"));
         t.start();
         EXPECT_EQ(t.f().Text1->text(), u("de Windows"));
         EXPECT_FALSE(t.exists(u("dias")));
         EXPECT_FALSE(t.exists(u("direcciones/Todos")));
         t.click(t.f().Command6[5]);
         t.write(t.f().Text7[0], u("Ruiz"));
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.filesIn(u("direcciones/TODOS")), QStringList{u("Ruiz")});
     }},
    {"AReadOnlyPageIsNotReplaced",
     [](RealInput& t) {
         t.writeBytes(kToday, "protegida");
         QFile::setPermissions(t.path(kToday), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         t.start();
         t.write(t.f().Text1, u(" y cambiada"));
         t.click(t.day(16));
         EXPECT_EQ(t.readBytes(kToday), QByteArray("protegida"));
         ASSERT_EQ(t.desk().messages.size(), 1);
         EXPECT_TRUE(t.desk().messages[0].contains(u("solo lectura")));
     }},

    // ---- Lists under the click ---------------------------------------------------------------
    {"TheNoteClickedIsTheNoteLoadedWhateverTheSaveDidToTheList",
     [](RealInput& t) {
         t.writeBytes(u("notas/2007-3-14--9-0"), "catorce");
         t.writeBytes(u("notas/2007-3-2--9-0"), "dos");
         t.start();
         t.click(t.f().Command6[4]);
         t.write(t.f().Text6, u("nueva"));
         t.clickRow(t.f().File1, 1); // "2007-3-2--9-0"; the new note sorts in before it
         EXPECT_EQ(t.f().Text6->text(), u("dos"));
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-0")), QByteArray("nueva"));
         t.click(t.f().Command13);
         EXPECT_EQ(t.filesIn(u("notas")), (QStringList{u("2007-3-14--9-0"), u("2007-3-15--10-0")}));
     }},

    // ---- Drops -------------------------------------------------------------------------------
    {"TextDroppedOnAnotherWeekBoxSavesTheBoxLeftAndThenItself",
     [](RealInput& t) {
         t.start();
         t.click(t.f().Command6[1]);
         t.write(t.f().Text2[0], u("lunes"));
         QMimeData mime;
         mime.setText(u("martes"));
         QWidget* target = t.f().Text2[1]->viewport();
         const QPoint at = target->rect().center();
         QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(target, &enter);
         QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
         QApplication::sendEvent(target, &drop);
         t.settle();
         EXPECT_EQ(t.readBytes(u("dias/LUNES, 12 de MARZO de 2007.txt")), QByteArray("lunes"));
         t.click(t.f().Command6[0]);
         EXPECT_EQ(t.readBytes(u("dias/MARTES, 13 de MARZO de 2007.txt")), QByteArray("martes"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Gestures, Rows, ::testing::ValuesIn(kRows), gestureName<RealInput>);

} // namespace
