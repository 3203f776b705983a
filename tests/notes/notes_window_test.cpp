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
const QString kNowName = QStringLiteral("2007-6-24--9-5");

class Notes : public FormFixture {
protected:
    void startOnNotes() {
        start(kToday, kNow);
        click(form->Command6[4]);
        ASSERT_EQ(form->visiblePanel(), Form1::Panel::Notes);
    }
    QString note(const QString& name) const { return QStringLiteral("notas/") + name; }
    QStringList notesOnDisk() const {
        QStringList n = QDir(path(QStringLiteral("notas"))).entryList(QDir::Files, QDir::Name);
        return n;
    }
    void clickNote(const QString& name) {
        const QList<QListWidgetItem*> items = form->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        const QRect r = form->File1->visualItemRect(items.first());
        QTest::mouseClick(form->File1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
        settle();
    }
    // The user tabs out of the editor.
    void leaveEditor() {
        ASSERT_TRUE(form->Text6->hasFocus());
        pressKey(form->Text6, Qt::Key_Tab);
        ASSERT_FALSE(form->Text6->hasFocus());
    }
    void typeNote(const QString& text) {
        clickInto(form->Text6);
        typeText(form->Text6, text);
    }
};

class Export : public FormFixture {
protected:
    void showPanel(int i) {
        click(form->Command6[i]);
        ASSERT_EQ(static_cast<int>(form->visiblePanel()), i);
    }
    QByteArray exportFile() const { return readBytes(QStringLiteral("texto.txt")); }
    QString exportPath() const { return path(QStringLiteral("texto.txt")); }
};

} // namespace

// ---- Notes --------------------------------------------------------------------------

TEST_F(Notes, TypingANoteAndLeavingTheEditorSavesItUnderTheMinute) {
    startOnNotes();
    EXPECT_TRUE(form->File1->names().isEmpty());
    typeNote(QString::fromUtf8("Comprar pan\nLlamar a José"));
    EXPECT_FALSE(exists(note(kNowName))) << "nothing is saved while the editor has the focus";
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), cp1252("Comprar pan\r\nLlamar a José"));
    EXPECT_EQ(form->File1->names(), QStringList{kNowName}) << "the list shows the new note at once";
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Notes, SavesWithinAMinuteReplaceAndTheNextMinuteMakesANewFile) {
    startOnNotes();
    typeNote(QStringLiteral("primero"));
    leaveEditor();
    platform.clock = QDateTime(kToday, QTime(9, 5, 59));
    typeNote(QStringLiteral(" y segundo"));
    leaveEditor();
    EXPECT_EQ(notesOnDisk(), QStringList{kNowName});
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray(" y segundoprimero"))
        << "clickInto puts the cursor first";

    platform.clock = QDateTime(kToday, QTime(10, 0));
    typeNote(QStringLiteral("!"));
    leaveEditor();
    EXPECT_EQ(notesOnDisk(), (QStringList{QStringLiteral("2007-6-24--10-0"), kNowName}));
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray(" y segundoprimero"));
    EXPECT_EQ(readBytes(note(QStringLiteral("2007-6-24--10-0"))), QByteArray("! y segundoprimero"));
}

TEST_F(Notes, LeavingTheEditorUnchangedWritesNothing) {
    startOnNotes();
    clickInto(form->Text6);
    leaveEditor();
    EXPECT_TRUE(notesOnDisk().isEmpty());
}

TEST_F(Notes, ALoadedNoteLeftUntouchedIsSavedAsAByteExactCopyUnderTheCurrentMinute) {
    // Odd bytes on purpose: a lone LF, a byte Windows-1252 leaves undefined, no end line.
    const QByteArray bytes("uno\r\ndos\nJos\xE9\x81");
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), bytes);
    startOnNotes();
    clickNote(QStringLiteral("2007-1-2--3-4"));
    EXPECT_EQ(form->Text6->text(), store::decode(bytes));
    clickInto(form->Text6);
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), bytes);
    EXPECT_EQ(readBytes(note(QStringLiteral("2007-1-2--3-4"))), bytes) << "the note it came from stays";
}

TEST_F(Notes, ClickingANoteWhileTypingSavesTheTypedNoteBeforeLoading) {
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), "vieja");
    startOnNotes();
    typeNote(QStringLiteral("nueva"));
    clickNote(QStringLiteral("2007-1-2--3-4"));
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("nueva"));
    EXPECT_EQ(form->Text6->text(), QStringLiteral("vieja"));
}

TEST_F(Notes, AnEmptiedEditorWritesNothingAndDeletesNothing) {
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), "texto");
    startOnNotes();
    clickNote(QStringLiteral("2007-1-2--3-4"));
    clickInto(form->Text6);
    pressKey(form->Text6, Qt::Key_A, Qt::ControlModifier);
    pressKey(form->Text6, Qt::Key_Delete);
    ASSERT_TRUE(form->Text6->text().isEmpty());
    leaveEditor();
    EXPECT_EQ(notesOnDisk(), QStringList{QStringLiteral("2007-1-2--3-4")});
    EXPECT_EQ(readBytes(note(QStringLiteral("2007-1-2--3-4"))), QByteArray("texto"));
}

TEST_F(Notes, DeletingTheNoteOnShowKeepsItsTextWhichIsSavedAgainOnTheNextLeave) {
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), "recordar");
    writeBytes(note(QStringLiteral("2007-1-3--3-4")), "otra");
    startOnNotes();
    clickNote(QStringLiteral("2007-1-2--3-4"));
    click(form->Command13);
    EXPECT_FALSE(exists(note(QStringLiteral("2007-1-2--3-4"))));
    EXPECT_EQ(form->File1->names(), QStringList{QStringLiteral("2007-1-3--3-4")});
    EXPECT_EQ(form->Text6->text(), QStringLiteral("recordar"));
    EXPECT_TRUE(platform.messages.isEmpty()) << "no question asked";

    clickInto(form->Text6);
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("recordar"));
}

TEST_F(Notes, DeletingWithNothingSelectedDeletesNothing) {
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), "a");
    startOnNotes();
    click(form->Command13);
    EXPECT_EQ(notesOnDisk(), QStringList{QStringLiteral("2007-1-2--3-4")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Notes, DeletingRightAfterTypingDeletesTheNoteStillSelectedInTheList) {
    // Leaving the editor saves and re-reads the list; the selection must survive that.
    writeBytes(note(QStringLiteral("2007-1-2--3-4")), "vieja");
    startOnNotes();
    clickNote(QStringLiteral("2007-1-2--3-4"));
    typeNote(QStringLiteral("corregida "));
    click(form->Command13);
    EXPECT_EQ(notesOnDisk(), QStringList{kNowName});
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("corregida vieja"));
    EXPECT_EQ(form->File1->names(), QStringList{kNowName});
}

TEST_F(Notes, TheListIsSortedByNameAsText) {
    for (const char* n :
         {"2007-6-24--9-5", "2008-1-1--0-0", "2007-12-1--10-30", "2007-6-2--10-0", "2007-6-24--10-0"})
        writeBytes(note(QString::fromLatin1(n)), "x");
    startOnNotes();
    EXPECT_EQ(form->File1->names(),
              (QStringList{QStringLiteral("2007-12-1--10-30"), QStringLiteral("2007-6-2--10-0"),
                           QStringLiteral("2007-6-24--10-0"), QStringLiteral("2007-6-24--9-5"),
                           QStringLiteral("2008-1-1--0-0")}));
}

TEST_F(Notes, CharactersOutsideTheCodePageAreSavedAsQuestionMarksAndTheUserIsTold) {
    startOnNotes();
    typeNote(QString::fromUtf8("a→b"));
    leaveEditor();
    EXPECT_EQ(readBytes(note(kNowName)), QByteArray("a?b"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(kNowName));
    EXPECT_EQ(form->Text6->text(), QStringLiteral("a?b")) << "the editor shows what was kept";

    clickInto(form->Text6);
    leaveEditor();
    EXPECT_EQ(platform.messages.size(), 1) << "told once, not at every leave";
}

// ---- Export -------------------------------------------------------------------------

TEST_F(Export, TheDayPanelExportsThePageAsLoadedAndAfterTheBoxHasSavedItself) {
    writeBytes(QStringLiteral("dias/MARTES, 5 de JUNIO de 2007.txt"), cp1252("Día de campo"));
    start(QDate(2007, 6, 5));
    click(form->Command9);
    EXPECT_EQ(exportFile(), cp1252("Día de campo"));

    clickInto(form->Text1);
    typeText(form->Text1, QStringLiteral("con Ana\n"));
    click(form->Command9);
    const QByteArray page = cp1252("con Ana\r\nDía de campo");
    EXPECT_EQ(readBytes(QStringLiteral("dias/MARTES, 5 de JUNIO de 2007.txt")), page)
        << "the click left the diary box, which saved its page first";
    EXPECT_EQ(exportFile(), page);
    EXPECT_EQ(platform.editorRequests, (QStringList{exportPath(), exportPath()}));
}

TEST_F(Export, TheWeekPanelExportsSevenCaptionTextPairs) {
    writeBytes(QStringLiteral("dias/MARTES, 5 de JUNIO de 2007.txt"), "dentista\r\n10h");
    writeBytes(QStringLiteral("dias/DOMINGO, 10 de JUNIO de 2007.txt"), "cena");
    start(QDate(2007, 6, 5));
    showPanel(1);
    // Typed into Wednesday's box: the export click saves that page before reading the boxes.
    clickInto(form->Text2[2]);
    typeText(form->Text2[2], QString::fromUtf8("reunión"));
    click(form->Command9);
    EXPECT_EQ(readBytes(QString::fromUtf8("dias/MIÉRCOLES, 6 de JUNIO de 2007.txt")), cp1252("reunión"));
    const QByteArray expected = cp1252("LUNES, 4 de JUNIO de 2007\r\n\r\n"
                                       "MARTES, 5 de JUNIO de 2007\r\ndentista\r\n10h\r\n"
                                       "MIÉRCOLES, 6 de JUNIO de 2007\r\nreunión\r\n"
                                       "JUEVES, 7 de JUNIO de 2007\r\n\r\n"
                                       "VIERNES, 8 de JUNIO de 2007\r\n\r\n"
                                       "SÁBADO, 9 de JUNIO de 2007\r\n\r\n"
                                       "DOMINGO, 10 de JUNIO de 2007\r\ncena\r\n");
    EXPECT_EQ(exportFile(), expected);
}

TEST_F(Export, AnEmptyWeekStillGivesItsFourteenLineEnds) {
    start(QDate(2007, 12, 31));
    showPanel(1);
    click(form->Command9);
    const QByteArray out = exportFile();
    EXPECT_EQ(out.count("\r\n"), 14);
    EXPECT_TRUE(out.startsWith("LUNES, 31 de DICIEMBRE de 2007\r\n\r\nMARTES, 1 de ENERO de 2008\r\n"))
        << out.toStdString();
}

TEST_F(Export, TheMonthAndYearPanelsExportTheirReadOutsWithNoLineEndAdded) {
    writeBytes(QStringLiteral("dias/LUNES, 1 de ENERO de 2007.txt"), cp1252("año nuevo"));
    writeBytes(QStringLiteral("dias/MARTES, 5 de JUNIO de 2007.txt"), cp1252("cita\r\nmédico"));
    writeBytes(QString::fromUtf8("dias/SÁBADO, 30 de JUNIO de 2007.txt"), "fin");
    start(QDate(2007, 6, 5));
    showPanel(2);
    click(form->Command9);
    EXPECT_EQ(exportFile(), cp1252("MARTES, 5 de JUNIO de 2007 \r\ncita\r\nmédico \r\n \r\n"
                                   "SÁBADO, 30 de JUNIO de 2007 \r\nfin \r\n \r\n"));
    showPanel(3);
    click(form->Command9);
    EXPECT_EQ(exportFile(), cp1252("LUNES, 1 de ENERO de 2007 \r\naño nuevo \r\n \r\n"
                                   "MARTES, 5 de JUNIO de 2007 \r\ncita\r\nmédico \r\n \r\n"
                                   "SÁBADO, 30 de JUNIO de 2007 \r\nfin \r\n \r\n"))
        << "the second export replaces the first";
}

TEST_F(Export, AReadOutWithoutLineBreaksGivesAFileWithoutCrLf) {
    start(QDate(2007, 6, 5));
    showPanel(2);
    clickInto(form->Text3);
    typeText(form->Text3, QString::fromUtf8("escrito a mano en la lectura"));
    click(form->Command9);
    EXPECT_EQ(exportFile(), cp1252("escrito a mano en la lectura"));
}

TEST_F(Export, TheNotesPanelExportsTheNoteAfterSavingIt) {
    start(kToday, kNow);
    showPanel(4);
    clickInto(form->Text6);
    typeText(form->Text6, QStringLiteral("lista\nde la compra"));
    click(form->Command9);
    EXPECT_EQ(readBytes(QStringLiteral("notas/") + kNowName), QByteArray("lista\r\nde la compra"));
    EXPECT_EQ(exportFile(), QByteArray("lista\r\nde la compra"));
}

TEST_F(Export, TheAddressBookPanelEmptiesTheExportFile) {
    writeBytes(QStringLiteral("dias/MARTES, 5 de JUNIO de 2007.txt"), "no debe salir");
    start(QDate(2007, 6, 5));
    click(form->Command9);
    ASSERT_EQ(exportFile(), QByteArray("no debe salir"));
    showPanel(5);
    click(form->Command9);
    EXPECT_EQ(exportFile(), QByteArray());
    EXPECT_EQ(platform.editorRequests.size(), 2);
    EXPECT_EQ(platform.editorRequests.last(), exportPath());
}

TEST_F(Export, TheEditorGetsTheFullPathOfTheExportFileAsOneArgument) {
    start(QDate(2007, 6, 5));
    click(form->Command9);
    ASSERT_EQ(platform.editorRequests.size(), 1);
    const QString p = platform.editorRequests[0];
    EXPECT_EQ(p, form->DataPath(QStringLiteral("texto.txt")));
    EXPECT_TRUE(QDir::isAbsolutePath(p));
    EXPECT_TRUE(QFile::exists(p));
}
