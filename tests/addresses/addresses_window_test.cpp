#include "support/formfixture.h"

#include <QAbstractItemView>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace quelora;
using namespace quelora::test;

namespace {

// The bytes of a card file with these lines, the missing ones of the seven empty (UTF-8
// here, Windows-1252 on disk).
QByteArray cardBytes(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines)
        out += cp1252(l) + "\r\n";
    for (auto n = lines.size(); n < 7; ++n)
        out += "\r\n";
    return out;
}

class AddressBook : public FormFixture {
protected:
    void showBook() { click(form->Command6[5]); }

    QLineEdit* groupEdit() const { return form->Combo3->lineEdit(); }

    void typeGroup(const QString& text) { retype(form->Combo3, text); }
    void typeField(int i, const QString& text) { retype(form->Text7[i], text); }
    void typeCard(const QStringList& fields) {
        for (int i = 0; i < 7; ++i)
            typeField(i, i < fields.size() ? fields[i] : QString());
    }
    void clickCard(const QString& name) { clickRow(form->File2, name); }

    void clickButton(int i) { click(form->Command7[i]); }

    QStringList fields() const {
        QStringList out;
        for (TextBox* t : form->Text7)
            out << t->text();
        return out;
    }

    QStringList groupEntries() const {
        QStringList out;
        for (int i = 0; i < form->Combo3->count(); ++i)
            out << form->Combo3->itemText(i);
        return out;
    }

    QStringList folders(const QString& relative) const {
        QStringList out = QDir(path(relative)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        return out;
    }

    // Every regular file below the data folder, for "nothing was written elsewhere".
    QStringList everyFile() const {
        QStringList out;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            out << u("./") + QDir(dir.path()).relativeFilePath(it.next());
        out.sort();
        return out;
    }
};

} // namespace

// ---- Start-up ----------------------------------------------------------------------

TEST_F(AddressBook, GroupsAreListedInFolderOrderAndTheFirstGroupIsShown) {
    writeBytes(u("direcciones/Amigos/García"), cardBytes({"García"}));
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    writeBytes(u("direcciones/Trabajo/Ortega"), cardBytes({"Ortega"}));
    start();
    EXPECT_EQ(groupEntries(), (QStringList{u("Amigos"), u("Todos"), u("Trabajo")}));
    EXPECT_EQ(form->Combo3->currentText(), u("Amigos"));
    EXPECT_EQ(form->File2->names(), (QStringList{u("Bravo"), u("García")}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, AnAddressBookWithoutGroupsStartsWithAnEmptyFieldAndAnEmptyList) {
    // A file where "Todos" should be: no group folder can exist, and the stray
    // files of the address-book folder itself must not show as cards.
    writeBytes(u("direcciones/Todos"), "not a folder");
    writeBytes(u("direcciones/Suelto"), cardBytes({"Suelto"}));
    start();
    EXPECT_EQ(form->Combo3->count(), 0);
    EXPECT_EQ(form->Combo3->currentText(), QString());
    EXPECT_EQ(form->File2->count(), 0);
}

TEST_F(AddressBook, AGroupWithADashIsShownAsItsFolderAtStartUpAndWhenPicked) {
    writeBytes(u("direcciones/Ana-Luis/Bravo"), cardBytes({"Bravo"}));
    start();
    // A folder name from the disk, set by the program or picked, is no typed name.
    const QStringList groups = {u("Ana-Luis"), u("Todos")};
    EXPECT_EQ(groupEntries(), groups);
    EXPECT_EQ(form->Combo3->currentText(), u("Ana-Luis"));
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});
    showBook();
    pickFromList(form->Combo3, 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);
    EXPECT_EQ(form->Combo3->currentText(), u("Ana-Luis"));
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});
    EXPECT_EQ(groupEntries(), groups);
    EXPECT_FALSE(exists(u("direcciones/Ana")));
}

// ---- Saving, clearing, deleting ------------------------------------------------------

TEST_F(AddressBook, SavingACardWritesTheSameBytesIntoTheGroupAndIntoTodos) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    ASSERT_EQ(form->Combo3->currentText(), u("Amigos"));
    typeCard({u("García"), u("Ana María"), u("C/ Mayor, 3"), u("León"), u("987 000 000"),
              u("ana@example.com"), u("prima")});
    clickButton(0);
    const QByteArray expected =
        cardBytes({"García", "Ana María", "C/ Mayor, 3", "León", "987 000 000", "ana@example.com", "prima"});
    EXPECT_EQ(readBytes(u("direcciones/Amigos/García")), expected);
    EXPECT_EQ(readBytes(u("direcciones/Todos/García")), expected);
    EXPECT_EQ(form->File2->names(), QStringList{u("García")}); // shows up at once
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, SavingTheSameApellidosAgainReplacesTheCardInItsGroupAndInTodos) {
    makeFolder(u("direcciones/Amigos"));
    makeFolder(u("direcciones/Trabajo"));
    start();
    showBook();
    typeCard({u("Ruiz"), u("Luis")});
    clickButton(0);
    typeField(1, u("Pedro"));
    clickButton(0);
    const QByteArray pedro = cardBytes({"Ruiz", "Pedro"});
    EXPECT_EQ(filesIn(u("direcciones/Amigos")), QStringList{u("Ruiz")});
    EXPECT_EQ(readBytes(u("direcciones/Amigos/Ruiz")), pedro);

    // The same APELLIDOS saved from another group: "Todos" keeps only the last one.
    pickFromList(form->Combo3, 2);
    ASSERT_EQ(form->Combo3->currentText(), u("Trabajo"));
    typeField(1, u("Juan"));
    clickButton(0);
    EXPECT_EQ(readBytes(u("direcciones/Todos/Ruiz")), cardBytes({"Ruiz", "Juan"}));
    EXPECT_EQ(readBytes(u("direcciones/Amigos/Ruiz")), pedro);
    EXPECT_EQ(filesIn(u("direcciones/Todos")), QStringList{u("Ruiz")});
}

TEST_F(AddressBook, SavingWithTodosAsTheCurrentGroupWritesTheOneFile) {
    start();
    showBook();
    ASSERT_EQ(form->Combo3->currentText(), u("Todos"));
    typeCard({u("Vega"), u("Eva")});
    clickButton(0);
    EXPECT_EQ(readBytes(u("direcciones/Todos/Vega")), cardBytes({"Vega", "Eva"}));
    EXPECT_EQ(everyFile(), (QStringList{u("./direcciones/Todos/Vega"), u("./texto.txt")}));
    EXPECT_EQ(form->File2->names(), QStringList{u("Vega")});
}

TEST_F(AddressBook, SavingWithAnEmptyApellidosWritesNothingButRefreshesTheList) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    writeBytes(u("direcciones/Amigos/Nuevo"), cardBytes({"Nuevo"}));
    typeCard({QString(), u("Sin apellidos")});
    clickButton(0);
    EXPECT_EQ(form->File2->names(), QStringList{u("Nuevo")});
    EXPECT_TRUE(filesIn(u("direcciones/Todos")).isEmpty());
    EXPECT_EQ(filesIn(u("direcciones/Amigos")), QStringList{u("Nuevo")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, NuevoClearsTheFieldsAndTouchesNoFile) {
    const QByteArray bytes = cardBytes({"Bravo", "Eva", "a", "b", "c", "d", "e"});
    writeBytes(u("direcciones/Amigos/Bravo"), bytes);
    start();
    showBook();
    clickCard(u("Bravo"));
    ASSERT_EQ(fields()[1], u("Eva"));
    clickButton(1);
    EXPECT_EQ(fields(), QStringList(7, QString()));
    EXPECT_EQ(form->File2->fileName(), u("Bravo"));
    EXPECT_EQ(readBytes(u("direcciones/Amigos/Bravo")), bytes);
}

TEST_F(AddressBook, DeletingACardLeavesItsCopyInTodosAndClearsTheFields) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    typeCard({u("Bravo"), u("Eva")});
    clickButton(0);
    clickCard(u("Bravo"));
    clickButton(2);
    EXPECT_FALSE(exists(u("direcciones/Amigos/Bravo")));
    EXPECT_EQ(readBytes(u("direcciones/Todos/Bravo")), cardBytes({"Bravo", "Eva"}));
    EXPECT_EQ(form->File2->count(), 0);
    EXPECT_EQ(fields(), QStringList(7, QString()));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, DeletingWithoutASelectionOrAVanishedFileDeletesNothing) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    writeBytes(u("direcciones/Amigos/Cano"), cardBytes({"Cano", "Eva"}));
    start();
    showBook();
    typeField(1, u("kept"));
    clickButton(2);
    EXPECT_EQ(filesIn(u("direcciones/Amigos")), (QStringList{u("Bravo"), u("Cano")}));

    clickButton(1); // NUEVO lets the card typed go: no other card opens over it
    clickCard(u("Cano"));
    QFile::remove(path(u("direcciones/Amigos/Cano")));
    clickButton(2);
    EXPECT_EQ(filesIn(u("direcciones/Amigos")), QStringList{u("Bravo")});
    EXPECT_EQ(fields()[1], u("Eva"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// ---- Loading cards -------------------------------------------------------------------

TEST_F(AddressBook, ACardOfFewerThanSevenLinesLeavesTheMissingFieldsEmpty) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "Eva", "a", "b", "c", "d", "e"}));
    writeBytes(u("direcciones/Amigos/Corto"), "Corto\r\nLuis\r\n");
    start();
    showBook();
    clickCard(u("Bravo"));
    clickCard(u("Corto"));
    EXPECT_EQ(fields(),
              (QStringList{u("Corto"), u("Luis"), QString(), QString(), QString(), QString(), QString()}));
}

TEST_F(AddressBook, AReferenceOnSeveralLinesSurvivesLoadingAndSavingAgain) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    typeCard({u("Bravo"), u("Eva")});
    typeField(6, u("uno\ndos\ntres"));
    clickButton(0);
    const QByteArray expected = "Bravo\r\nEva\r\n\r\n\r\n\r\n\r\nuno\r\ndos\r\ntres\r\n";
    ASSERT_EQ(readBytes(u("direcciones/Amigos/Bravo")), expected);

    clickButton(1);
    clickCard(u("Bravo"));
    EXPECT_EQ(form->Text7[6]->text(), u("uno\r\ndos\r\ntres"));
    clickButton(0);
    EXPECT_EQ(readBytes(u("direcciones/Amigos/Bravo")), expected);
    EXPECT_EQ(readBytes(u("direcciones/Todos/Bravo")), expected);
}

// ---- Groups ----------------------------------------------------------------------------

TEST_F(AddressBook, ADashInsideTheGroupNameCutsItDownAndCreatesOnlyTheLastCut) {
    start();
    showBook();
    const int before = form->Combo3->count();
    typeGroup(u("PepeLuis"));
    pressKey(groupEdit(), Qt::Key_Home);
    for (int i = 0; i < 4; ++i)
        pressKey(groupEdit(), Qt::Key_Right);
    typeText(groupEdit(), u("-"));
    EXPECT_EQ(groupEntries().mid(before),
              (QStringList{u("Pepe-Lui"), u("Pepe-Lu"), u("Pepe-L"), u("Pepe-"), u("Pepe")}));
    EXPECT_EQ(form->Combo3->currentText(), u("Pepe"));
    EXPECT_EQ(folders(u("direcciones")), (QStringList{u("Pepe"), u("Todos")}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, CommittingAGroupThatExistsInOtherLetterCaseCreatesNothing) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    typeGroup(u("AMIGOS-"));
    EXPECT_EQ(groupEntries().last(), u("AMIGOS"));
    EXPECT_EQ(folders(u("direcciones")), (QStringList{u("Amigos"), u("Todos")}));
    // Saving into it goes to the folder that is there.
    typeCard({u("Bravo")});
    clickButton(0);
    EXPECT_TRUE(exists(u("direcciones/Amigos/Bravo")));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, ANewGroupTakesTheNextSaveWhileTheListStillShowsTheOldGroup) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    start();
    showBook();
    typeGroup(u("Vecinos-"));
    ASSERT_TRUE(QFileInfo(path(u("direcciones/Vecinos"))).isDir());
    typeCard({u("Cano")});
    clickButton(0);
    EXPECT_EQ(readBytes(u("direcciones/Vecinos/Cano")), cardBytes({"Cano"}));
    EXPECT_TRUE(exists(u("direcciones/Todos/Cano")));
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});

    pickFromList(form->Combo3, groupEntries().indexOf(u("Vecinos")));
    EXPECT_EQ(form->File2->names(), QStringList{u("Cano")});
}

TEST_F(AddressBook, ChoosingAGroupWithoutAFolderShowsAnEmptyList) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    writeBytes(u("direcciones/Fotos"), "a file, not a group");
    start();
    showBook();
    typeGroup(u("Fotos-")); // an entry of that name exists: nothing is created
    ASSERT_EQ(groupEntries().last(), u("Fotos"));
    pickFromList(form->Combo3, form->Combo3->count() - 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});
}

TEST_F(AddressBook, SavingIntoAGroupWithoutAFolderWritesTodosAndSaysSo) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    typeGroup(u("Vecinos")); // no closing "-": no folder
    typeCard({u("Cano")});
    clickButton(0);
    EXPECT_EQ(readBytes(u("direcciones/Todos/Cano")), cardBytes({"Cano"}));
    EXPECT_FALSE(exists(u("direcciones/Vecinos")));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u("Vecinos")));
    EXPECT_TRUE(platform.messages[0].contains(u("no tiene carpeta")));
}

TEST_F(AddressBook, ADeleteThatFailsSaysWhyAndKeepsTheFields) {
#ifdef __linux__
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "Eva"}));
    start();
    showBook();
    clickCard(u("Bravo"));
    // Even root cannot remove a file from an immutable folder.
    const QByteArray folder = QFile::encodeName(path(u("direcciones/Amigos")));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool locked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!locked) {
        ::close(fd);
        GTEST_SKIP() << "this file system cannot lock a folder";
    }
    clickButton(2);
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_TRUE(exists(u("direcciones/Amigos/Bravo")));
    EXPECT_EQ(fields()[1], u("Eva"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u("No se ha podido eliminar el archivo")));
    EXPECT_TRUE(platform.messages[0].contains(u("Bravo")));
#else
    GTEST_SKIP() << "needs a way to lock a folder";
#endif
}

// ---- Hostile names -------------------------------------------------------------------

TEST_F(AddressBook, AHostileApellidosIsRefusedAndNothingIsWritten) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    const QStringList before = everyFile();
    for (const QString& name : {u("../Fuera"), u(".."), u("a\\b")}) {
        platform.messages.clear();
        typeCard({name, u("x")});
        clickButton(0);
        ASSERT_EQ(platform.messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(platform.messages[0].startsWith(u("No se ha guardado la ficha")));
    }
    EXPECT_EQ(everyFile(), before);
    EXPECT_EQ(folders(u("direcciones")), (QStringList{u("Amigos"), u("Todos")}));
}

TEST_F(AddressBook, AHostileGroupNameIsNeitherCreatedNorSavedInto) {
    start();
    showBook();
    const QStringList before = everyFile();
    typeGroup(u("..-"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(u("No se ha creado el grupo")));
    EXPECT_EQ(form->Combo3->currentText(), u(".."));
    typeCard({u("Cano")});
    clickButton(0);
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages[1].startsWith(u("No se ha guardado la ficha")));

    typeGroup(u("Amigos/Otros-"));
    EXPECT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(everyFile(), before);
    EXPECT_EQ(folders(u("direcciones")), QStringList{u("Todos")});
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath(u("Cano"))));
}

TEST_F(AddressBook, AGroupTypedDownToNothingCreatesNoFolderAndSaysNothing) {
    start();
    showBook();
    typeGroup(u("-"));
    EXPECT_EQ(groupEntries().last(), QString());
    EXPECT_EQ(form->Combo3->currentText(), QString());
    EXPECT_EQ(folders(u("direcciones")), QStringList{u("Todos")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

// ---- Copy all ----------------------------------------------------------------------------

TEST_F(AddressBook, CopyAllPutsTheWholeGroupOnTheClipboardAndShowsABoxPerCard) {
    writeBytes(u("direcciones/Amigos/García"),
               cardBytes({"García", "Ana", "C/ Mayor, 3", "León", "987", "ana@example.com", "prima"}));
    writeBytes(u("direcciones/Amigos/Bravo"), "Bravo\r\nEva\r\n");
    writeBytes(u("direcciones/Todos/Otro"), cardBytes({"Otro"}));
    start();
    showBook();
    // The search narrows the list, not the copy.
    typeInto(form->Text8, u("B"));
    ASSERT_EQ(form->File2->count(), 1);
    clickButton(3);
    const QString first = u("\tAmigos\r\r\tBravo\tEva\t\t\t\t\t");
    const QString second =
        first + u("\r") + u("\tGarcía\tAna\tC/ Mayor, 3\tLeón\t987\tana@example.com\tprima");
    ASSERT_EQ(platform.clipboardHistory.size(), 1);
    EXPECT_EQ(platform.clipboardHistory[0], second + u("\r"));
    EXPECT_EQ(platform.messages, (QStringList{first, second}));
}

TEST_F(AddressBook, CopyAllOfAnEmptyGroupCopiesTheHeadingOnly) {
    makeFolder(u("direcciones/Amigos"));
    start();
    showBook();
    clickButton(3);
    EXPECT_EQ(platform.clipboardHistory, QStringList{u("\tAmigos\r\r")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, CopyAllOfAGroupWithoutAFolderReadsNoOtherFolder) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    start();
    showBook();
    clickButton(3); // File3 now lists Amigos
    typeGroup(u("Vecinos"));
    clickButton(3);
    ASSERT_EQ(platform.clipboardHistory.size(), 2);
    EXPECT_EQ(platform.clipboardHistory[1], u("\tVecinos\r\r"));
    EXPECT_EQ(platform.messages.size(), 1); // the box of the first copy only
}

// ---- Mail and search -------------------------------------------------------------------

TEST_F(AddressBook, TheMailButtonHandsOverTheAddressAsTyped) {
    start();
    showBook();
    click(form->Command8);
    typeField(5, u("ana @example.com"));
    click(form->Command8);
    EXPECT_EQ(platform.mailRequests,
              (QStringList{u("mailto:?Subject=&Body="), u("mailto:ana @example.com?Subject=&Body=")}));
    EXPECT_EQ(fields()[5], u("ana @example.com"));
    EXPECT_TRUE(everyFile() == QStringList{u("./texto.txt")});
}

TEST_F(AddressBook, TheSearchBoxListsTheNamesThatBeginWithTheTypedText) {
    for (const char* name : {"García", "Gallego", "Ortega", "Bravo"})
        writeBytes(u("direcciones/Amigos/") + u(name), cardBytes({name}));
    makeFolder(u("direcciones/Otros"));
    writeBytes(u("direcciones/Otros/Gil"), cardBytes({"Gil"}));
    start();
    showBook();
    typeInto(form->Text8, u("ga"));
    EXPECT_EQ(form->File2->names(), (QStringList{u("Gallego"), u("García")}));

    // The search outlives a change of group.
    pickFromList(form->Combo3, 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);

    pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
    typeText(form->Text8, u("?r"));
    EXPECT_EQ(form->File2->names(), (QStringList{u("Bravo"), u("Ortega")}));

    pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
    pressKey(form->Text8, Qt::Key_Backspace);
    EXPECT_EQ(form->File2->count(), 4);
}

TEST_F(AddressBook, AHostileSearchShowsAnEmptyList) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    writeBytes(u("direcciones/Amigos/.oculto"), cardBytes({".oculto"}));
    start();
    showBook();
    ASSERT_EQ(form->File2->count(), 2);
    for (const QString& text : {u("."), u(".."), u("../"), u("\\")}) {
        clickInto(form->Text8);
        pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
        typeText(form->Text8, text);
        EXPECT_EQ(form->File2->count(), 0) << text.toStdString();
    }
}

TEST_F(AddressBook, OnlyAPickFromTheDropDownSwitchesTheListedGroup) {
    writeBytes(u("direcciones/Amigos/Bravo"), cardBytes({"Bravo"}));
    start();
    showBook();
    typeGroup(u("Todos"));
    clickInto(form->Text7[0]); // leaving the field
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});
    click(form->Combo3);
    pressKey(groupEdit(), Qt::Key_Return);
    EXPECT_EQ(form->File2->names(), QStringList{u("Bravo")});

    // A real pick from the open drop-down.
    form->Combo3->showPopup();
    settle();
    QAbstractItemView* view = form->Combo3->view();
    const QModelIndex todos = view->model()->index(1, 0);
    ASSERT_EQ(todos.data().toString(), u("Todos"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(todos).center());
    settle();
    EXPECT_EQ(form->Combo3->currentText(), u("Todos"));
    EXPECT_EQ(form->File2->count(), 0);
}
