#include "notes/notes.h"
#include "store/codepage.h"
#include "support/formfixture.h"

#include <QDir>
#include <QFile>

using namespace quelora;
using namespace quelora::test;

namespace {

// 24 June 2007 at 09:05: notes saved now are named "2007-6-24--9-5".
const QDate kToday(2007, 6, 24);
const QTime kNow(9, 5);
const QString kNowName = u("2007-6-24--9-5");

class Notes : public FormFixture {
protected:
    void startOnNotes() {
        start(kToday, kNow);
        click(form->Command6[4]);
        ASSERT_EQ(form->visiblePanel(), Form1::Panel::Notes);
    }
    QString note(const QString& name) const { return u("notas/") + name; }
    // The user tabs out of the editor.
    void leaveEditor() {
        ASSERT_TRUE(form->Text6->hasFocus());
        pressKey(form->Text6, Qt::Key_Tab);
        ASSERT_FALSE(form->Text6->hasFocus());
    }
};

} // namespace

// ---- Notes --------------------------------------------------------------------------

TEST_F(Notes, TypingANoteAndLeavingTheEditorSavesItUnderTheMinute) {
    startOnNotes();
    EXPECT_TRUE(form->File1->names().isEmpty());
    typeInto(form->Text6, u("Comprar pan\nLlamar a José"));
    EXPECT_FALSE(exists(note(kNowName))) << "nothing is saved while the editor has the focus";
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), cp1252("Comprar pan\r\nLlamar a José"));
    EXPECT_EQ(form->File1->names(), QStringList{kNowName}) << "the list shows the new note at once";
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Notes, SavesWithinAMinuteReplaceAndTheNextMinuteMakesANewFile) {
    startOnNotes();
    typeInto(form->Text6, u("primero"));
    leaveEditor();
    platform.clock = QDateTime(kToday, QTime(9, 5, 59));
    typeInto(form->Text6, u(" y segundo"));
    leaveEditor();
    EXPECT_EQ(filesIn(u("notas")), QStringList{kNowName});
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray(" y segundoprimero"))
        << "clickInto puts the cursor first";

    platform.clock = QDateTime(kToday, QTime(10, 0));
    typeInto(form->Text6, u("!"));
    leaveEditor();
    EXPECT_EQ(filesIn(u("notas")), (QStringList{u("2007-6-24--10-0"), kNowName}));
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray(" y segundoprimero"));
    EXPECT_EQ(readBytes(note(u("2007-6-24--10-0"))), QByteArray("! y segundoprimero"));
}

TEST_F(Notes, LeavingTheEditorUnchangedWritesNothing) {
    startOnNotes();
    clickInto(form->Text6);
    leaveEditor();
    EXPECT_TRUE(filesIn(u("notas")).isEmpty());
}

TEST_F(Notes, ALoadedNoteLeftUntouchedIsSavedAsAByteExactCopyUnderTheCurrentMinute) {
    // Odd bytes on purpose: a lone LF, a byte Windows-1252 leaves undefined, no end line.
    const QByteArray bytes("uno\r\ndos\nJos\xE9\x81");
    writeBytes(note(u("2007-1-2--3-4")), bytes);
    startOnNotes();
    clickRow(form->File1, u("2007-1-2--3-4"));
    EXPECT_EQ(form->Text6->text(), store::decode(bytes));
    clickInto(form->Text6);
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), bytes);
    EXPECT_EQ(readBytes(note(u("2007-1-2--3-4"))), bytes) << "the note it came from stays";
}

TEST_F(Notes, ClickingANoteWhileTypingSavesTheTypedNoteBeforeLoading) {
    writeBytes(note(u("2007-1-2--3-4")), "vieja");
    startOnNotes();
    typeInto(form->Text6, u("nueva"));
    clickRow(form->File1, u("2007-1-2--3-4"));
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("nueva"));
    EXPECT_EQ(form->Text6->text(), u("vieja"));
}

TEST_F(Notes, AnEmptiedEditorWritesNothingAndDeletesNothing) {
    writeBytes(note(u("2007-1-2--3-4")), "texto");
    startOnNotes();
    clickRow(form->File1, u("2007-1-2--3-4"));
    clickInto(form->Text6);
    pressKey(form->Text6, Qt::Key_A, Qt::ControlModifier);
    pressKey(form->Text6, Qt::Key_Delete);
    ASSERT_TRUE(form->Text6->text().isEmpty());
    leaveEditor();
    EXPECT_EQ(filesIn(u("notas")), QStringList{u("2007-1-2--3-4")});
    EXPECT_EQ(readBytes(note(u("2007-1-2--3-4"))), QByteArray("texto"));
}

TEST_F(Notes, DeletingTheNoteOnShowKeepsItsTextWhichIsSavedAgainOnTheNextLeave) {
    writeBytes(note(u("2007-1-2--3-4")), "recordar");
    writeBytes(note(u("2007-1-3--3-4")), "otra");
    startOnNotes();
    clickRow(form->File1, u("2007-1-2--3-4"));
    click(form->Command13);
    EXPECT_FALSE(exists(note(u("2007-1-2--3-4"))));
    EXPECT_EQ(form->File1->names(), QStringList{u("2007-1-3--3-4")});
    EXPECT_EQ(form->Text6->text(), u("recordar"));
    EXPECT_TRUE(platform.messages.isEmpty()) << "no question asked";

    clickInto(form->Text6);
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("recordar"));
}

TEST_F(Notes, DeletingWithNothingSelectedDeletesNothing) {
    writeBytes(note(u("2007-1-2--3-4")), "a");
    startOnNotes();
    click(form->Command13);
    EXPECT_EQ(filesIn(u("notas")), QStringList{u("2007-1-2--3-4")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Notes, DeletingRightAfterTypingDeletesTheNoteStillSelectedInTheList) {
    // Leaving the editor saves and re-reads the list; the selection must survive that.
    writeBytes(note(u("2007-1-2--3-4")), "vieja");
    startOnNotes();
    clickRow(form->File1, u("2007-1-2--3-4"));
    typeInto(form->Text6, u("corregida "));
    click(form->Command13);
    EXPECT_EQ(filesIn(u("notas")), QStringList{kNowName});
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("corregida vieja"));
    EXPECT_EQ(form->File1->names(), QStringList{kNowName});
}

TEST_F(Notes, TheListIsSortedByNameAsText) {
    for (const char* n :
         {"2007-6-24--9-5", "2008-1-1--0-0", "2007-12-1--10-30", "2007-6-2--10-0", "2007-6-24--10-0"})
        writeBytes(note(QString::fromLatin1(n)), "x");
    startOnNotes();
    EXPECT_EQ(form->File1->names(),
              (QStringList{u("2007-12-1--10-30"), u("2007-6-2--10-0"), u("2007-6-24--10-0"),
                           u("2007-6-24--9-5"), u("2008-1-1--0-0")}));
}

namespace {

// ---- Export -------------------------------------------------------------------------

// One click on the export button: the panel on show, what is typed first into one of its
// boxes (the click leaves the box, which saves itself before the export reads it), and
// the bytes of the export file.
struct ExportStep {
    int panel;
    TextBox* (*box)(Form1&); // none: nothing typed
    const char* typed;
    QByteArray exported;
};
struct ExportRow {
    const char* name;
    QDate today;
    std::vector<std::pair<const char*, QByteArray>> files; // on disk before the start
    std::vector<ExportStep> steps;
    const char* saved = nullptr; // the file the typing went to, and its bytes after
    QByteArray savedBytes = {};
};
void PrintTo(const ExportRow& row, std::ostream* os) {
    *os << row.name;
}

const QByteArray kMonthReadOut = cp1252("MARTES, 5 de JUNIO de 2007 \r\ncita\r\nmédico \r\n \r\n"
                                        "SÁBADO, 30 de JUNIO de 2007 \r\nfin \r\n \r\n");

const ExportRow kExports[] = {
    {"TheDayPanelExportsThePageAsLoadedAndAfterTheBoxHasSavedItself",
     QDate(2007, 6, 5),
     {{"dias/MARTES, 5 de JUNIO de 2007.txt", cp1252("Día de campo")}},
     {{0, nullptr, "", cp1252("Día de campo")},
      {0, [](Form1& f) { return f.Text1; }, "con Ana\n", cp1252("con Ana\r\nDía de campo")}},
     "dias/MARTES, 5 de JUNIO de 2007.txt",
     cp1252("con Ana\r\nDía de campo")},
    {"TheWeekPanelExportsSevenCaptionTextPairs",
     QDate(2007, 6, 5),
     {{"dias/MARTES, 5 de JUNIO de 2007.txt", "dentista\r\n10h"},
      {"dias/DOMINGO, 10 de JUNIO de 2007.txt", "cena"}},
     {{1, [](Form1& f) { return f.Text2[2]; }, "reunión",
       cp1252("LUNES, 4 de JUNIO de 2007\r\n\r\nMARTES, 5 de JUNIO de 2007\r\ndentista\r\n10h\r\n"
              "MIÉRCOLES, 6 de JUNIO de 2007\r\nreunión\r\nJUEVES, 7 de JUNIO de 2007\r\n\r\n"
              "VIERNES, 8 de JUNIO de 2007\r\n\r\nSÁBADO, 9 de JUNIO de 2007\r\n\r\n"
              "DOMINGO, 10 de JUNIO de 2007\r\ncena\r\n")}},
     "dias/MIÉRCOLES, 6 de JUNIO de 2007.txt",
     cp1252("reunión")},
    {"AnEmptyWeekStillGivesItsFourteenLineEnds",
     QDate(2007, 12, 31),
     {},
     {{1, nullptr, "",
       "LUNES, 31 de DICIEMBRE de 2007\r\n\r\nMARTES, 1 de ENERO de 2008\r\n\r\n"
       "MI\xC9RCOLES, 2 de ENERO de 2008\r\n\r\nJUEVES, 3 de ENERO de 2008\r\n\r\n"
       "VIERNES, 4 de ENERO de 2008\r\n\r\nS\xC1"
       "BADO, 5 de ENERO de 2008\r\n\r\nDOMINGO, 6 de ENERO de 2008\r\n\r\n"}}},
    {"TheMonthAndYearPanelsExportTheirReadOutsWithNoLineEndAdded",
     QDate(2007, 6, 5),
     {{"dias/LUNES, 1 de ENERO de 2007.txt", cp1252("año nuevo")},
      {"dias/MARTES, 5 de JUNIO de 2007.txt", cp1252("cita\r\nmédico")},
      {"dias/SÁBADO, 30 de JUNIO de 2007.txt", "fin"}},
     {{2, nullptr, "", kMonthReadOut},
      {3, nullptr, "", cp1252("LUNES, 1 de ENERO de 2007 \r\naño nuevo \r\n \r\n") + kMonthReadOut}}},
    {"AReadOutWithoutLineBreaksGivesAFileWithoutCrLf",
     QDate(2007, 6, 5),
     {},
     {{2, [](Form1& f) { return f.Text3; }, "escrito a mano en la lectura", "escrito a mano en la lectura"}}},
    {"TheNotesPanelExportsTheNoteAfterSavingIt",
     kToday,
     {},
     {{4, [](Form1& f) { return f.Text6; }, "lista\nde la compra", "lista\r\nde la compra"}},
     "notas/2007-6-24--9-5",
     "lista\r\nde la compra"},
    {"TheAddressBookPanelEmptiesTheExportFile",
     QDate(2007, 6, 5),
     {{"dias/MARTES, 5 de JUNIO de 2007.txt", "no debe salir"}},
     {{0, nullptr, "", "no debe salir"}, {5, nullptr, "", ""}}},
};

class Exports : public FormFixture, public ::testing::WithParamInterface<ExportRow> {};

TEST_P(Exports, WriteThePanelOnShowAndOpenItInTheEditor) {
    const ExportRow& row = GetParam();
    for (const auto& [name, bytes] : row.files)
        writeBytes(u(name), bytes);
    start(row.today, kNow);
    const QString exportPath = form->DataPath(u("texto.txt"));
    ASSERT_TRUE(QDir::isAbsolutePath(exportPath));
    for (size_t i = 0; i < row.steps.size(); ++i) {
        const ExportStep& step = row.steps[i];
        if (static_cast<int>(form->visiblePanel()) != step.panel) click(form->Command6[step.panel]);
        ASSERT_EQ(static_cast<int>(form->visiblePanel()), step.panel);
        if (step.box) typeInto(step.box(*form), u(step.typed));
        click(form->Command9);
        EXPECT_EQ(readBytes(u("texto.txt")), step.exported) << "export " << i + 1;
        // The editor gets the whole path of the export file as one argument, at every export.
        EXPECT_EQ(platform.editorRequests, QStringList(static_cast<int>(i) + 1, exportPath));
    }
    if (row.saved) {
        EXPECT_EQ(readBytes(u(row.saved)), row.savedBytes);
    }
    EXPECT_TRUE(platform.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Panels, Exports, ::testing::ValuesIn(kExports),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
