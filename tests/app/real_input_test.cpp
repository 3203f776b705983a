// The window under a person's hands: every row delivers real input through Qt (clicks
// and wheel turns through the window, keys, picks in an open drop-down) and checks
// the files and what the user sees.
#include "app/instancelock.h"
#include "app/platform.h"
#include "store/files.h"
#include "store/recovery.h"
#include "support/formfixture.h"
#include "support/gestures.h"
#include "app/versionsview.h"

#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <algorithm>
#include <functional>
#include <sys/time.h>

using namespace quelora;
using namespace quelora::test;

namespace {

const QString kToday = u("dias/JUEVES, 15 de MARZO de 2007.txt");

class RealInput : public FormFixture {
public:
    using FormFixture::click;
    using FormFixture::clickAt;
    using FormFixture::clickInto;
    using FormFixture::crashAndRestart;
    using FormFixture::dataFolder;
    using FormFixture::exists;
    using FormFixture::filesIn;
    using FormFixture::focused;
    using FormFixture::makeFolder;
    using FormFixture::paste;
    using FormFixture::path;
    using FormFixture::pickFromList;
    using FormFixture::pressKey;
    using FormFixture::readBytes;
    using FormFixture::recoveryDelay;
    using FormFixture::settle;
    using FormFixture::start;
    using FormFixture::startShown;
    using FormFixture::typeText;
    using FormFixture::waitUntil;
    using FormFixture::wheel;
    using FormFixture::writeBytes;
    using FormFixture::writeFaults;
    Form1& f() { return *form; }
    // Another program writes the file (in place, as an editor that keeps the inode does).
    void elsewhere(const QString& relative, const QByteArray& bytes) {
        writeBytes(relative, bytes);
        settle(); // its notice comes in
    }
    // The files of a folder beside the one named: the other versions kept.
    QStringList others(const QString& folder) const { return filesIn(folder).filter(u("(otra versión")); }
    FakePlatform& desk() { return platform; }
    FlatButton* day(int d) const { return dayButton(d); }
    // Types into a box after a click into it.
    void write(TextBox* box, const QString& text) {
        clickInto(box);
        pressKey(box, Qt::Key_End, Qt::ControlModifier);
        typeText(box, text);
    }
    // Started on the notes, with one older note there, and text typed into the editor.
    void typeNoteBeside(const QByteArray& older, const QString& typed) {
        writeBytes(u("notas/2007-3-1--9-0"), older);
        start();
        click(form->Command6[4]);
        write(form->Text6, typed);
    }
    using FormFixture::clickRow;
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

    {"APanelButtonClickedBeforeTheFirstPaintShowsItsPanelWhole",
     [](RealInput& t) {
         t.writeBytes(u("direcciones/Amigos/Ruiz"), "Ruiz\r\nAna\r\n\r\n\r\n\r\n\r\n\r\n");
         t.writeBytes(u("notas/2007-3-14--9-0"), "catorce");
         t.startShown(); // no paint yet: the panels it leaves out are not built
         ASSERT_FALSE(t.f().panelBuilt(Form1::Panel::Addresses));
         ASSERT_FALSE(t.f().panelBuilt(Form1::Panel::Notes));
         t.click(t.f().Command6[5]);
         EXPECT_EQ(t.f().visiblePanel(), Form1::Panel::Addresses);
         std::vector<QWidget*> shown = {t.f().Combo3, t.f().File2, t.f().Command8, t.f().Text8};
         shown.insert(shown.end(), t.f().Text7.begin(), t.f().Text7.end());
         shown.insert(shown.end(), t.f().Command7.begin(), t.f().Command7.end());
         for (QWidget* w : shown)
             EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
         EXPECT_EQ(t.f().Combo3->currentText(), u("Amigos"));
         EXPECT_EQ(t.f().File2->names(), QStringList{u("Ruiz")});
         t.clickRow(t.f().File2, 0);
         EXPECT_EQ(t.f().Text7[1]->text(), u("Ana"));
         t.click(t.f().Command6[4]);
         EXPECT_TRUE(t.f().Text6->isVisible());
         EXPECT_EQ(t.f().File1->names(), QStringList{u("2007-3-14--9-0")});
         t.write(t.f().Text6, u("nueva")); // a box built late saves as any other
         t.click(t.f().Command6[0]);
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-0")), QByteArray("nueva"));
     }},

    {"PagesStoredInAnotherSpellingAreMarkedAndShownAtTheFirstPaint",
     [](RealInput& t) {
         // Copied from elsewhere: today's page in small letters, another with a decomposed É.
         t.writeBytes(u("dias/jueves, 15 de marzo de 2007.txt"), "hoy");
         t.writeBytes(QString::fromUtf8("dias/MIE\xCC\x81RCOLES, 7 de MARZO de 2007.txt"), "siete");
         const timeval old[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
         ASSERT_EQ(::utimes(QFile::encodeName(t.path(u("dias"))).constData(), old), 0); // copied a while ago
         DataFolderLock lock(t.dataFolder()); // as the program starts: taken and listed beside the window
         TakingFolder taking = takeAndList(lock, t.dataFolder());
         ASSERT_EQ(taking.taken.get(), DataFolderLock::State::Taken);
         store::FolderIndex::keep(taking.listed.get());
         t.startShown(); // nothing painted yet
         EXPECT_TRUE(t.day(7)->font().bold());
         EXPECT_TRUE(t.day(15)->font().bold());
         EXPECT_FALSE(t.day(8)->font().bold());
         EXPECT_EQ(t.f().Text1->text(), u("hoy"));
         t.click(t.day(7));
         EXPECT_EQ(t.f().Text1->text(), u("siete"));
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
    {"ACardThatCouldNotBeSavedHoldsTheExitOnceAndComesBackAtTheNextStart",
     [](RealInput& t) {
         t.makeFolder(u("direcciones/Todos/Ruiz")); // where the card's file goes
         t.start();
         t.click(t.f().Command6[5]);
         t.write(t.f().Text7[0], u("Ruiz"));
         t.click(t.f().Command7[0]);
         ASSERT_EQ(t.desk().messages.size(), 1);
         t.click(t.f().Command10);
         EXPECT_EQ(t.desk().endRequests, 0);
         EXPECT_TRUE(t.desk().messages.last().contains(u("Si vuelves a salir")));
         t.click(t.f().Command10);
         EXPECT_EQ(t.desk().endRequests, 1);
         t.crashAndRestart(); // the next start, on the disk as the exit left it
         t.click(t.f().Command6[5]);
         EXPECT_EQ(t.f().Text7[0]->text(), u("Ruiz"));
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

// Where two features meet, and where the world intrudes: a crash while typing, another
// program's change, a list's text and a save, the search and a panel.
const Row kMeetings[] = {
    // ---- A crash while typing ----------------------------------------------------------------
    {"TextTypedBeforeACrashComesBackWhereItWasMeantAndIsToldOnce",
     [](RealInput& t) {
         t.writeBytes(u("fiestas/15 de MARZO.txt"), "antes\r\n");
         t.makeFolder(u("direcciones/Amigos"));
         t.start();
         t.write(t.f().Text9[0], u(" y fiesta")); // no G pressed
         t.click(t.f().Command6[5]);
         t.pickFromList(t.f().Combo3, 0);
         t.write(t.f().Text7[0], u("Ruiz")); // no GUARDAR
         t.click(t.f().Command6[4]);
         t.write(t.f().Text6, u("una nota"));
         t.f().KeepUnsavedTexts();             // the typing pauses
         t.typeText(t.f().Text6, u(" y más")); // typed after the last pause: lost with the crash
         t.crashAndRestart();
         // Each kind back as the box-life table says; here all three, told in one message,
         // the card in the group it was typed for.
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-0")), QByteArray("una nota"));
         EXPECT_EQ(t.f().Text7[0]->text(), u("Ruiz"));
         EXPECT_EQ(t.f().Combo3->currentText(), u("Amigos"));
         ASSERT_EQ(t.desk().messages.size(), 1);
         EXPECT_TRUE(t.desk().messages[0].startsWith(u("Quelora no se cerró bien")));
         for (const QString& told : {u("2007-3-15--10-0"), u("15 de MARZO"), u("«Ruiz»")})
             EXPECT_TRUE(t.desk().messages[0].contains(told)) << told.toStdString();
     }},
    {"ADiaryTextOfACrashGoesBesideAPageChangedAfterItWasTyped",
     [](RealInput& t) {
         t.writeBytes(kToday, "uno");
         t.start();
         t.write(t.f().Text1, u(" dos"));
         t.f().KeepUnsavedTexts();
         t.writeBytes(kToday, "escrito en otro programa"); // after the typing, before the restart
         t.crashAndRestart();
         EXPECT_EQ(t.readBytes(kToday), QByteArray("escrito en otro programa"));
         ASSERT_EQ(t.others(u("dias")).size(), 1);
         EXPECT_EQ(t.readBytes(u("dias/") + t.others(u("dias"))[0]), QByteArray("uno dos"));
         EXPECT_TRUE(t.desk().messages.last().contains(t.others(u("dias"))[0]));
     }},
    {"AfterACrashOnAFolderGoneReadOnlyOneMessageSaysWhatCameBackAndWhyItIsNotSaved",
     [](RealInput& t) {
         t.writeBytes(kToday, "uno");
         t.start();
         t.write(t.f().Text9[1], u("dentista"));
         t.write(t.f().Text1, u(" dos"));
         t.f().KeepUnsavedTexts();
         t.writeFaults.failNext(1000, u("Sistema de archivos de solo lectura (prueba)"));
         t.crashAndRestart();
         ASSERT_EQ(t.desk().messages.size(), 1) << t.desk().messages.join(u("\n----\n")).toStdString();
         const QString told = t.desk().messages[0];
         const qsizetype page =
             told.indexOf(u("JUEVES, 15 de MARZO de 2007: todavía no se ha podido guardar"));
         const qsizetype reminder = told.indexOf(u("el recordatorio del 15 de MARZO"));
         const qsizetype why = told.indexOf(u("Tu ordenador no me permite escribir datos"));
         EXPECT_TRUE(told.startsWith(u("Quelora no se cerró bien"))) << told.toStdString();
         EXPECT_TRUE(page > 0 && reminder > 0 && why > std::max(page, reminder))
             << told.toStdString() << page << " " << reminder << " " << why;
         EXPECT_FALSE(told.contains(u("se perdería"))); // the copy on disk still holds them
         EXPECT_EQ(t.f().Text1->text(), u("uno dos"));  // held, shown on its day
         EXPECT_EQ(t.f().Text9[1]->text(), u("dentista"));
         EXPECT_EQ(t.readBytes(kToday), QByteArray("uno"));
     }},
    {"ACopyOfUnsavedTextThatCannotBeReadIsSetAsideWholeAndNamed",
     [](RealInput& t) {
         t.writeBytes(u(".quelora-sin-guardar.json"), "{\"quelora\": \"textos sin guardar\", \"vers");
         t.start();
         const QStringList aside = t.filesIn(QString()).filter(u("no se pudo leer"));
         ASSERT_EQ(aside.size(), 1);
         EXPECT_EQ(t.readBytes(aside[0]), QByteArray("{\"quelora\": \"textos sin guardar\", \"vers"));
         ASSERT_EQ(t.desk().messages.size(), 1);
         EXPECT_TRUE(t.desk().messages[0].contains(aside[0])) << t.desk().messages[0].toStdString();
         t.click(t.f().Command10);
         EXPECT_EQ(t.desk().endRequests, 1);
         EXPECT_TRUE(t.exists(aside[0]));
     }},
    {"UnsavedTextIsKeptAMomentAfterTheTypingPausesNotAtEachKeystroke",
     [](RealInput& t) {
         t.recoveryDelay = 1000; // as the program runs
         t.start();
         const QString kept = t.path(recovery::fileNameOf(thisComputer()));
         t.write(t.f().Text1, u("a"));
         EXPECT_FALSE(QFile::exists(kept));
         EXPECT_TRUE(RealInput::waitUntil([&] { return QFile::exists(kept); }));
         QFile file(kept);
         ASSERT_TRUE(file.open(QIODevice::ReadOnly));
         EXPECT_TRUE(file.readAll().contains("JUEVES, 15 de MARZO de 2007"));
         t.click(t.day(16)); // saved: nothing left to keep
         EXPECT_FALSE(QFile::exists(kept)) << t.readBytes(recovery::fileNameOf(thisComputer())).toStdString();
     }},

    // ---- Another program's change ------------------------------------------------------------
    {"AClickIntoAPageOrAWeekBoxWithoutTypingNeverWritesOverANewerFile",
     [](RealInput& t) {
         const QString friday = u("dias/VIERNES, 16 de MARZO de 2007.txt");
         t.writeBytes(kToday, "uno");
         t.writeBytes(friday, "viernes");
         t.start();
         t.clickInto(t.f().Text1);
         t.writeBytes(kToday, "nuevo"); // no notice handled yet: the click already armed the save
         t.click(t.day(16));
         EXPECT_EQ(t.readBytes(kToday), QByteArray("nuevo"));
         t.click(t.f().Command6[1]);
         t.clickInto(t.f().Text2[4]);
         t.writeBytes(friday, "viernes nuevo");
         t.clickInto(t.f().Text2[5]);
         EXPECT_EQ(t.readBytes(friday), QByteArray("viernes nuevo"));
         EXPECT_EQ(t.f().Text2[4]->text(), u("viernes nuevo"));
         EXPECT_EQ(t.others(u("dias")), QStringList{});
         EXPECT_TRUE(t.desk().messages.isEmpty());
     }},
    {"ANoteAnotherProgramAddsShowsInTheListAndTheSearchPicksIt",
     [](RealInput& t) {
         t.writeBytes(u("notas/2007-3-1--9-0"), "nota");
         t.start();
         t.click(t.f().Command6[4]);
         t.elsewhere(u("notas/2007-3-2--9-0"), "fontanero");
         EXPECT_TRUE(RealInput::waitUntil([&] { return t.f().File1->count() == 2; })) << t.f().File1->count();
         t.pressKey(t.f().File1, Qt::Key_F, Qt::ControlModifier);
         t.typeText(t.f().SearchText, u("fontanero"));
         t.pressKey(t.f().SearchText, Qt::Key_Return);
         EXPECT_EQ(t.f().Text6->text(), u("fontanero"));
     }},

    // ---- A list's text and a save --------------------------------------------------------------
    {"AMonthTypedIntoItsListNeverRedirectsTheHolidayOrReminderSave",
     [](RealInput& t) {
         t.writeBytes(u("fiestas/15 de ABRIL.txt"), "abril\r\n");
         t.start();
         t.paste(t.f().Combo1, u("ABRIL"));
         t.write(t.f().Text9[0], u("marzo"));
         t.click(t.f().Command11[0]);
         EXPECT_EQ(t.readBytes(u("fiestas/15 de MARZO.txt")), QByteArray("marzo\r\n"));
         EXPECT_EQ(t.readBytes(u("fiestas/15 de ABRIL.txt")), QByteArray("abril\r\n"));
         t.paste(t.f().Text9[1], QString());
         t.click(t.f().Command11[1]);
         EXPECT_EQ(t.readBytes(u("fiestas/15 de ABRIL.txt")), QByteArray("abril\r\n"));
     }},
    {"WeekBoxesUnderCaptionsOfNoDateTakeNoInput",
     [](RealInput& t) {
         t.start();
         t.paste(t.f().Combo2, u("2008")); // typed, not picked: the grid still shows 2007
         t.click(t.day(15));
         t.click(t.f().Command6[1]);
         t.clickInto(t.f().Text2[0]);
         t.typeText(t.f().Text2[0], u("lunes"));
         EXPECT_TRUE(t.f().Text2[0]->isReadOnly());
         EXPECT_EQ(t.f().Text2[0]->text(), QString());
         EXPECT_FALSE(t.f().Text2[0]->placeholderText().isEmpty());
         EXPECT_EQ(t.filesIn(u("dias")), QStringList{});
     }},
    {"TheHintOfABoxWithoutADateNamesTheWayOut",
     [](RealInput& t) {
         t.start();
         t.paste(t.f().Combo2, u("abc"));
         t.click(t.day(15));
         EXPECT_TRUE(t.f().Text1->placeholderText().contains(u("elígelo de la lista")));
         EXPECT_FALSE(t.f().Text1->placeholderText().contains(u("elige un día en la cuadrícula")));
     }},

    // ---- The search and the panels -------------------------------------------------------------
    {"AClickOnADayAPanelOrAMonthButtonOrTabIntoABoxClosesTheSearch",
     [](RealInput& t) {
         t.start();
         for (QWidget* w : std::initializer_list<QWidget*>{t.day(16), t.f().Command6[1], t.f().Command4[3]}) {
             t.pressKey(t.f().Command5, Qt::Key_F, Qt::ControlModifier);
             ASSERT_TRUE(t.f().SearchPanel->isVisible());
             t.click(w);
             EXPECT_FALSE(t.f().SearchPanel->isVisible()) << w->accessibleName().toStdString();
         }
         t.click(t.day(16));
         t.pressKey(t.f().Command5, Qt::Key_F, Qt::ControlModifier);
         for (int i = 0; i < 3 && t.f().SearchPanel->isVisible(); ++i)
             t.pressKey(RealInput::focused(), Qt::Key_Tab);
         EXPECT_FALSE(t.f().SearchPanel->isVisible());
     }},
    {"ThePageKeysInTheSearchLeaveTheMonthAsItIs",
     [](RealInput& t) {
         t.writeBytes(kToday, "hoy");
         t.start();
         t.click(t.day(16));
         t.pressKey(t.f().Command5, Qt::Key_F, Qt::ControlModifier);
         t.typeText(t.f().SearchText, u("hoy"));
         for (QWidget* w :
              {static_cast<QWidget*>(t.f().SearchText), static_cast<QWidget*>(t.f().SearchResults)}) {
             if (w == t.f().SearchResults) t.pressKey(t.f().SearchText, Qt::Key_Down);
             for (Qt::Key k : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home}) {
                 t.pressKey(w, k);
                 EXPECT_EQ(t.f().Label2->text(), u("VIERNES, 16 de MARZO de 2007")) << k;
                 EXPECT_TRUE(t.f().SearchPanel->isVisible()) << k;
             }
         }
     }},
    {"ThePageKeysAtTheEndOfAListOrInABoxOnlyForReadingLeaveTheMonthAsItIs",
     [](RealInput& t) {
         t.writeBytes(u("notas/2007-3-1--9-0"), "uno");
         t.start();
         t.click(t.day(16));
         t.click(t.f().Command6[4]);
         t.clickRow(t.f().File1, 0); // the only note: nowhere to move
         for (QWidget* w : {static_cast<QWidget*>(t.f().File1), static_cast<QWidget*>(t.f().Text9[2])}) {
             if (w == t.f().Text9[2]) {
                 t.click(t.f().Command6[0]);
                 t.clickInto(t.f().Text9[2]);
             }
             for (Qt::KeyboardModifiers mods : {Qt::NoModifier, Qt::ShiftModifier})
                 for (Qt::Key k : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home}) {
                     t.pressKey(w, k, mods);
                     EXPECT_EQ(t.f().Label2->text(), u("VIERNES, 16 de MARZO de 2007")) << k << " " << mods;
                     EXPECT_EQ(RealInput::focused(), w) << k;
                 }
         }
     }},
    {"APickInAnotherYearMovesTheYearButtonToo",
     [](RealInput& t) {
         t.writeBytes(u("dias/MARTES, 4 de MAYO de 2004.txt"), "mayo");
         t.start();
         t.pressKey(t.f().Command5, Qt::Key_F, Qt::ControlModifier);
         t.typeText(t.f().SearchText, u("mayo"));
         t.pressKey(t.f().SearchText, Qt::Key_Return);
         EXPECT_EQ(t.f().Command2[0]->text(), u("2004"));
         t.click(t.f().Command3[0]);
         EXPECT_EQ(t.f().Label2->text(), u("MAYO de 2005"));
     }},

    // ---- Names -------------------------------------------------------------------------------
    {"WeissNeverReplacesWeissWithSharpS",
     [](RealInput& t) {
         t.makeFolder(u("direcciones/Amigos"));
         t.writeBytes(u("direcciones/Amigos/Weiß"), cp1252("Weiß\r\nHans\r\n\r\n\r\n\r\n\r\n\r\n"));
         t.writeBytes(u("direcciones/Todos/Weiß"), cp1252("Weiß\r\nHans\r\n\r\n\r\n\r\n\r\n\r\n"));
         t.start();
         t.click(t.f().Command6[5]);
         t.pickFromList(t.f().Combo3, 0);
         t.write(t.f().Text7[0], u("Weiss"));
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.filesIn(u("direcciones/Amigos")), (QStringList{u("Weiss"), u("Weiß")}));
         EXPECT_TRUE(t.readBytes(u("direcciones/Todos/Weiß")).startsWith(cp1252("Weiß\r\nHans")));
     }},
    {"ANewCardNeverReplacesAnotherPersonsCardOfTheSameName",
     [](RealInput& t) {
         const QByteArray ana = cp1252("García\r\nAna\r\n\r\n\r\n\r\n\r\n\r\n");
         t.writeBytes(u("direcciones/Amigos/García"), ana);
         t.writeBytes(u("direcciones/Todos/García"), ana);
         t.writeBytes(u("direcciones/Amigos/García (otra versión 2007-3-1 9.00)"), ana); // kept beside once
         t.start();
         t.click(t.f().Command6[5]);
         t.pickFromList(t.f().Combo3, 0);
         EXPECT_EQ(t.f().File2->names(), QStringList{u("García")}); // a copy kept beside is no card
         t.write(t.f().Text7[0], u("García"));
         t.write(t.f().Text7[1], u("Pedro"));
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.readBytes(u("direcciones/Amigos/García")), ana);
         EXPECT_EQ(t.readBytes(u("direcciones/Todos/García")), ana);
         ASSERT_FALSE(t.desk().messages.isEmpty());
         EXPECT_TRUE(t.desk().messages.last().contains(u("ya hay otra ficha «García» en «Amigos» y «Todos»")))
             << t.desk().messages.last().toStdString();
         EXPECT_EQ(t.f().Text7[1]->text(), u("Pedro"));
         t.paste(t.f().Text7[0], u("García López")); // both kept
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.filesIn(u("direcciones/Todos")), (QStringList{u("García"), u("García López")}));
     }},
    // ---- Files from another computer, another program, another system ---------------------
    {"ASyncEnginesFilesAreNoNoteCardOrGroupAndACopyIsNoneEither",
     [](RealInput& t) {
         t.writeBytes(u("notas/2007-3-1--9-0"), "nota");
         t.writeBytes(u("notas/2007-3-1--9-0.sync-conflict-20070301-100000-ABCDEF1"), "la del portátil");
         t.writeBytes(u("notas/.syncthing.2007-3-2--9-0.tmp"), "a medio llegar");
         t.writeBytes(u("notas/2007-3-3--9-0.partial"), "a medio llegar");
         t.writeBytes(u("direcciones/Amigos/Ruiz"), "Ruiz\r\n");
         t.writeBytes(u("direcciones/Amigos/Ruiz (conflicted copy 2007-03-14 203000)"), "Ruiz\r\nAna\r\n");
         t.writeBytes(u("direcciones/Amigos/Ruiz-PORTATIL"), "Ruiz\r\nLuis\r\n");
         t.writeBytes(u("direcciones/Amigos/~syncthing~Gil.tmp"), "Gil\r\n");
         t.makeFolder(u("direcciones/.stversions"));
         t.makeFolder(u("direcciones/.stfolder"));
         t.start();
         t.click(t.f().Command6[4]);
         EXPECT_EQ(t.f().File1->names(), QStringList{u("2007-3-1--9-0")});
         t.click(t.f().Command6[5]);
         QStringList groups;
         for (int i = 0; i < t.f().Combo3->count(); ++i) groups << t.f().Combo3->itemText(i);
         EXPECT_EQ(groups, (QStringList{u("Amigos"), u("Todos")}));
         t.pickFromList(t.f().Combo3, 0);
         EXPECT_EQ(t.f().File2->names(), QStringList{u("Ruiz")});
     }},
    {"FilesWrittenElsewhereReadAsWrittenAndStayAsTheyAreUntilChanged",
     [](RealInput& t) {
         // A page in UTF-8 with a byte-order mark under a name with a decomposed É, a
         // holiday in UTF-8 with LF, a card with LF line ends.
         const QString nfd = QString::fromUtf8("dias/MIE\xCC\x81RCOLES, 14 de MARZO de 2007.txt");
         const QByteArray page = "\xEF\xBB\xBF" "Caf\xC3\xA9 con Mar\xC3\xAD" "a\nen Par\xC3\xADs\n";
         const QByteArray card = "Pe\xC3\xB1" "a\nAna\nCalle Mayor 1\n28001\nMadrid\nana@example.com\nprima\n";
         t.writeBytes(nfd, page);
         t.writeBytes(u("fiestas/14 de MARZO.txt"), "Sant\xC3\xADsimo\n");
         t.writeBytes(u("direcciones/Amigos/Peña"), card);
         t.start();
         EXPECT_TRUE(t.day(14)->font().bold()); // the same page as "MIÉRCOLES, 14 …"
         t.click(t.day(14));
         EXPECT_EQ(t.f().Text1->text(), u("Café con María\nen París\n"));
         EXPECT_EQ(t.f().Text9[0]->text(), u("Santísimo"));
         t.click(t.f().Command6[5]);
         t.pickFromList(t.f().Combo3, 0);
         t.clickRow(t.f().File2, 0);
         EXPECT_EQ(t.f().Text7[0]->text(), u("Peña"));
         EXPECT_EQ(t.f().Text7[2]->text(), u("Calle Mayor 1"));
         EXPECT_EQ(t.f().Text7[6]->text(), u("prima"));
         t.click(t.f().Command6[1]);
         t.click(t.day(16)); // left unchanged: written back by nobody
         EXPECT_EQ(t.readBytes(nfd), page);
         EXPECT_EQ(t.filesIn(u("dias")).size(), 1);
         t.click(t.day(14));
         t.write(t.f().Text1, u(" y más")); // changed: in the folder's own form, under its own name
         t.click(t.day(16));
         EXPECT_EQ(t.readBytes(nfd), cp1252("Café con María\r\nen París\r\n y más"));
         EXPECT_EQ(t.filesIn(u("dias")).size(), 1);
     }},
    {"AnotherComputersVersionShowsOnItsDayAndBothAreKept",
     [](RealInput& t) {
         const QString page = u("dias/MIÉRCOLES, 14 de MARZO de 2007.txt");
         const QString copy = u("dias/MIÉRCOLES, 14 de MARZO de 2007.sync-conflict-20070314-203000-R7HI5PD.txt");
         t.writeBytes(page, "en casa");
         t.writeBytes(copy, cp1252("en el portátil"));
         t.start();
         EXPECT_TRUE(t.day(14)->versionMark());
         EXPECT_TRUE(t.day(14)->accessibleName().contains(u("con otra versión"))) << t.day(14)->accessibleName().toStdString();
         EXPECT_FALSE(t.day(16)->versionMark());
         t.click(t.day(14));
         auto* bar = t.f().findChild<FlatButton*>(u("Versiones_Text1"));
         ASSERT_TRUE(bar && bar->isVisible());
         EXPECT_TRUE(bar->text().contains(u("Syncthing, dispositivo R7HI5PD"))) << bar->text().toStdString();
         t.click(bar);
         ASSERT_TRUE(t.f().Versions);
         EXPECT_EQ(t.f().Versions->diff->toPlainText(), u("en {+ el portátil +}[- casa -]"));
         t.click(t.f().Versions->keepBoth);
         const QByteArray both = t.readBytes(page);
         EXPECT_TRUE(both.startsWith("en casa\r\n\r\n")) << both.toStdString();
         EXPECT_TRUE(both.endsWith(cp1252("\r\nen el portátil")));
         EXPECT_TRUE(both.contains(cp1252("Otra versión, de otro ordenador (Syncthing, dispositivo R7HI5PD), 14/3/2007 20:30")));
         EXPECT_EQ(t.f().Text1->text(), store::decode(both));
         EXPECT_FALSE(t.exists(copy)); // answered: into the history, beside nothing
         EXPECT_FALSE(bar->isVisible());
         EXPECT_FALSE(t.day(14)->versionMark());
         // Both texts the page held are in its history: the copy, and the page before it joined.
         const QStringList kept = t.filesIn(u(".historial/dias/MIÉRCOLES, 14 de MARZO de 2007.txt"));
         ASSERT_EQ(kept.size(), 2) << kept.join(u' ').toStdString();
         // Ctrl+H lists them, the newest first; taking the page as it was is a save again.
         t.clickInto(t.f().Text1);
         t.pressKey(t.f().Text1, Qt::Key_H, Qt::ControlModifier);
         ASSERT_TRUE(t.f().Versions);
         ASSERT_EQ(t.f().Versions->list->count(), 2);
         t.pressKey(t.f().Versions->list, Qt::Key_Down);
         t.click(t.f().Versions->takeOther);
         EXPECT_EQ(t.readBytes(page), QByteArray("en casa"));
         EXPECT_EQ(t.filesIn(u(".historial/dias/MIÉRCOLES, 14 de MARZO de 2007.txt")).size(), 3);
     }},
    {"APageStoredInAnotherLetterCaseMakesItsDayBold",
     [](RealInput& t) {
         t.writeBytes(u("dias/viernes, 16 de marzo de 2007.txt"), "minúsculas");
         t.start();
         EXPECT_TRUE(t.day(16)->font().bold());
         t.write(t.f().Text1, u("hoy")); // a save changes the folder
         t.click(t.f().Command4[3]);
         t.click(t.f().Command4[2]);
         EXPECT_TRUE(t.day(16)->font().bold());
         EXPECT_TRUE(t.day(15)->font().bold());
     }},
    {"UserTextInAMessageOrACaptionIsShownAsPlainText",
     [](RealInput& t) {
         const std::unique_ptr<QMessageBox> box = messageBox(nullptr, u("<b>x</b>"));
         EXPECT_EQ(box->textFormat(), Qt::PlainText);
         t.start();
         t.paste(t.f().Combo2, u("<b>x</b>"));
         t.click(t.day(15));
         EXPECT_EQ(t.f().Label2->textFormat(), Qt::PlainText);
     }},

    // ---- Notes ---------------------------------------------------------------------------------
    {"ANoteThatCouldNotBeSavedIsNeverReplacedByAnotherNote",
     [](RealInput& t) {
         t.typeNoteBeside("vieja", u("no se pierde"));
         t.writeFaults.failNext(1, u("disco lleno (prueba)"));
         t.clickRow(t.f().File1, 0);
         EXPECT_EQ(t.f().Text6->text(), u("no se pierde"));
         t.clickInto(t.f().Text6);
         t.clickRow(t.f().File1, 0); // the next leave saves it; then the note clicked shows
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-0")), QByteArray("no se pierde"));
         EXPECT_EQ(t.f().Text6->text(), u("vieja"));
     }},
    {"ANewNoteIsNeverReplacedByAnOlderNoteSavedInTheSameMinute",
     [](RealInput& t) {
         t.typeNoteBeside("nota vieja", u("nota nueva"));
         t.clickRow(t.f().File1, 0); // saved as 2007-3-15--10-0; the old note is loaded
         t.write(t.f().Text6, u(" editada"));
         t.click(t.f().Command6[0]);
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-0")), QByteArray("nota nueva"));
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-1")), QByteArray("nota vieja editada"));
         t.click(t.f().Command6[4]);
         t.write(t.f().Text6, u("!")); // the same note again within its minute replaces itself
         t.click(t.f().Command6[0]);
         EXPECT_EQ(t.readBytes(u("notas/2007-3-15--10-1")), QByteArray("nota vieja editada!"));
         EXPECT_EQ(t.filesIn(u("notas")).size(), 3);
     }},
    {"EliminarNeverDeletesANoteOfAnotherLetterCase",
     [](RealInput& t) {
         t.writeBytes(u("notas/compra"), "minúsculas");
         t.writeBytes(u("notas/COMPRA"), "mayúsculas");
         t.start();
         t.click(t.f().Command6[4]);
         t.clickRow(t.f().File1, t.f().File1->names().indexOf(u("compra")));
         QFile::remove(t.path(u("notas/compra")));
         t.click(t.f().Command13);
         EXPECT_EQ(t.filesIn(u("notas")), QStringList{u("COMPRA")});
     }},

    // ---- Held texts ----------------------------------------------------------------------------
    {"EmptyingAPageInTheWeekPanelLetsItsHeldTextGo",
     [](RealInput& t) {
         t.writeBytes(kToday, "antes");
         t.start();
         t.write(t.f().Text1, u(" fallida"));
         t.writeFaults.failNext(1, u("disco lleno (prueba)"));
         t.click(t.f().Command6[1]);
         t.clickInto(t.f().Text2[3]);
         t.pressKey(t.f().Text2[3], Qt::Key_A, Qt::ControlModifier);
         t.pressKey(t.f().Text2[3], Qt::Key_Delete);
         t.clickInto(t.f().Text2[4]);
         t.click(t.f().Command10);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("antes"));
         t.click(t.day(15));
         EXPECT_EQ(t.f().Text1->text(), u("antes"));
     }},
    {"AReadOnlyPagePassedThroughIsNoFailure",
     [](RealInput& t) {
         t.writeBytes(kToday, "protegida");
         QFile::setPermissions(t.path(kToday), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         t.start();
         t.clickInto(t.f().Text1);
         t.click(t.day(16));
         t.write(t.f().Text1, u("viernes"));
         t.click(t.day(17));
         t.click(t.f().Command10);
         EXPECT_TRUE(t.desk().messages.isEmpty()) << t.desk().messages.join(u("|")).toStdString();
         EXPECT_EQ(t.desk().endRequests, 1);
     }},
};

INSTANTIATE_TEST_SUITE_P(WhereFeaturesMeet, Rows, ::testing::ValuesIn(kMeetings), gestureName<RealInput>);

} // namespace
