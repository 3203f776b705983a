#include "support/formfixture.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <functional>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace quelora;
using namespace quelora::test;

namespace {

// The bytes of a card file with these seven lines (UTF-8 here, Windows-1252 on disk).
QByteArray cardBytes(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines)
        out += cp1252(l) + "\r\n";
    return out;
}

class AddressBook : public FormFixture {
protected:
    void showBook() { click(form->Command6[5]); }

    QLineEdit* groupEdit() const { return form->Combo3->lineEdit(); }

    // Clicks into the group field, selects its text and types over it.
    void typeGroup(const QString& text) {
        click(form->Combo3);
        pressKey(groupEdit(), Qt::Key_A, Qt::ControlModifier);
        typeText(groupEdit(), text);
    }

    void typeField(int i, const QString& text) {
        clickInto(form->Text7[i]);
        pressKey(form->Text7[i], Qt::Key_A, Qt::ControlModifier);
        if (!text.isEmpty()) typeText(form->Text7[i], text);
    }

    void typeCard(const QStringList& fields) {
        for (int i = 0; i < 7; ++i)
            typeField(i, i < fields.size() ? fields[i] : QString());
    }

    void clickCard(const QString& name) {
        const auto found = form->File2->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        QTest::mouseClick(form->File2->viewport(), Qt::LeftButton, Qt::NoModifier,
                          form->File2->visualItemRect(found[0]).center());
        settle();
    }

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

    QStringList files(const QString& relative) const {
        return QDir(path(relative)).entryList(QDir::Files, QDir::Name);
    }

    // Every regular file below the data folder, for "nothing was written elsewhere".
    QStringList everyFile() const {
        QStringList out;
        QDir root(dir.path());
        std::function<void(const QString&)> walk = [&](const QString& rel) {
            const QDir d(root.filePath(rel));
            for (const QString& f : d.entryList(QDir::Files))
                out << rel + QLatin1Char('/') + f;
            for (const QString& s : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                walk(rel + QLatin1Char('/') + s);
        };
        walk(QStringLiteral("."));
        out.sort();
        return out;
    }
};

} // namespace

// ---- Start-up ----------------------------------------------------------------------

TEST_F(AddressBook, GroupsAreListedInFolderOrderAndTheFirstGroupIsShown) {
    writeBytes(QStringLiteral("direcciones/Amigos/García"), cardBytes({"García", "", "", "", "", "", ""}));
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    writeBytes(QStringLiteral("direcciones/Trabajo/Ortega"), cardBytes({"Ortega", "", "", "", "", "", ""}));
    start();
    EXPECT_EQ(groupEntries(),
              (QStringList{QStringLiteral("Amigos"), QStringLiteral("Todos"), QStringLiteral("Trabajo")}));
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral("Amigos"));
    EXPECT_EQ(form->File2->names(), (QStringList{QStringLiteral("Bravo"), u("García")}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, AnAddressBookWithoutGroupsStartsWithAnEmptyFieldAndAnEmptyList) {
    // A file where "Todos" should be: no group folder can exist, and the stray
    // files of the address-book folder itself must not show as cards.
    writeBytes(QStringLiteral("direcciones/Todos"), "not a folder");
    writeBytes(QStringLiteral("direcciones/Suelto"), cardBytes({"Suelto", "", "", "", "", "", ""}));
    start();
    EXPECT_EQ(form->Combo3->count(), 0);
    EXPECT_EQ(form->Combo3->currentText(), QString());
    EXPECT_EQ(form->File2->count(), 0);
}

TEST_F(AddressBook, AGroupWithADashIsShownAsItsFolderAtStartUpAndWhenPicked) {
    writeBytes(QStringLiteral("direcciones/Ana-Luis/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    start();
    // A folder name from the disk, set by the program or picked, is no typed name.
    const QStringList groups = {QStringLiteral("Ana-Luis"), QStringLiteral("Todos")};
    EXPECT_EQ(groupEntries(), groups);
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral("Ana-Luis"));
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});
    showBook();
    pickFromList(form->Combo3, 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral("Ana-Luis"));
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});
    EXPECT_EQ(groupEntries(), groups);
    EXPECT_FALSE(exists(QStringLiteral("direcciones/Ana")));
}

// ---- Saving, clearing, deleting ------------------------------------------------------

TEST_F(AddressBook, SavingACardWritesTheSameBytesIntoTheGroupAndIntoTodos) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    ASSERT_EQ(form->Combo3->currentText(), QStringLiteral("Amigos"));
    typeCard({u("García"), u("Ana María"), u("C/ Mayor, 3"), u("León"), QStringLiteral("987 000 000"),
              QStringLiteral("ana@example.com"), QStringLiteral("prima")});
    clickButton(0);
    const QByteArray expected =
        cardBytes({"García", "Ana María", "C/ Mayor, 3", "León", "987 000 000", "ana@example.com", "prima"});
    EXPECT_EQ(readBytes(u("direcciones/Amigos/García")), expected);
    EXPECT_EQ(readBytes(u("direcciones/Todos/García")), expected);
    EXPECT_EQ(form->File2->names(), QStringList{u("García")}); // shows up at once
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, SavingTheSameApellidosAgainReplacesTheCardInItsGroupAndInTodos) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    makeFolder(QStringLiteral("direcciones/Trabajo"));
    start();
    showBook();
    typeCard({QStringLiteral("Ruiz"), QStringLiteral("Luis")});
    clickButton(0);
    typeField(1, QStringLiteral("Pedro"));
    clickButton(0);
    const QByteArray pedro = cardBytes({"Ruiz", "Pedro", "", "", "", "", ""});
    EXPECT_EQ(files(QStringLiteral("direcciones/Amigos")), QStringList{QStringLiteral("Ruiz")});
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Amigos/Ruiz")), pedro);

    // The same APELLIDOS saved from another group: "Todos" keeps only the last one.
    pickFromList(form->Combo3, 2);
    ASSERT_EQ(form->Combo3->currentText(), QStringLiteral("Trabajo"));
    typeField(1, QStringLiteral("Juan"));
    clickButton(0);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Todos/Ruiz")),
              cardBytes({"Ruiz", "Juan", "", "", "", "", ""}));
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Amigos/Ruiz")), pedro);
    EXPECT_EQ(files(QStringLiteral("direcciones/Todos")), QStringList{QStringLiteral("Ruiz")});
}

TEST_F(AddressBook, SavingWithTodosAsTheCurrentGroupWritesTheOneFile) {
    start();
    showBook();
    ASSERT_EQ(form->Combo3->currentText(), QStringLiteral("Todos"));
    typeCard({QStringLiteral("Vega"), QStringLiteral("Eva")});
    clickButton(0);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Todos/Vega")),
              cardBytes({"Vega", "Eva", "", "", "", "", ""}));
    EXPECT_EQ(everyFile(),
              (QStringList{QStringLiteral("./direcciones/Todos/Vega"), QStringLiteral("./texto.txt")}));
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Vega")});
}

TEST_F(AddressBook, SavingWithAnEmptyApellidosWritesNothingButRefreshesTheList) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    writeBytes(QStringLiteral("direcciones/Amigos/Nuevo"), cardBytes({"Nuevo", "", "", "", "", "", ""}));
    typeCard({QString(), QStringLiteral("Sin apellidos")});
    clickButton(0);
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Nuevo")});
    EXPECT_TRUE(files(QStringLiteral("direcciones/Todos")).isEmpty());
    EXPECT_EQ(files(QStringLiteral("direcciones/Amigos")), QStringList{QStringLiteral("Nuevo")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, NuevoClearsTheFieldsAndTouchesNoFile) {
    const QByteArray bytes = cardBytes({"Bravo", "Eva", "a", "b", "c", "d", "e"});
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), bytes);
    start();
    showBook();
    clickCard(QStringLiteral("Bravo"));
    ASSERT_EQ(fields()[1], QStringLiteral("Eva"));
    clickButton(1);
    EXPECT_EQ(fields(), QStringList(7, QString()));
    EXPECT_EQ(form->File2->fileName(), QStringLiteral("Bravo"));
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Amigos/Bravo")), bytes);
}

TEST_F(AddressBook, DeletingACardLeavesItsCopyInTodosAndClearsTheFields) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    typeCard({QStringLiteral("Bravo"), QStringLiteral("Eva")});
    clickButton(0);
    clickCard(QStringLiteral("Bravo"));
    clickButton(2);
    EXPECT_FALSE(exists(QStringLiteral("direcciones/Amigos/Bravo")));
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Todos/Bravo")),
              cardBytes({"Bravo", "Eva", "", "", "", "", ""}));
    EXPECT_EQ(form->File2->count(), 0);
    EXPECT_EQ(fields(), QStringList(7, QString()));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, DeletingWithoutASelectionOrAVanishedFileDeletesNothing) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    writeBytes(QStringLiteral("direcciones/Amigos/Cano"), cardBytes({"Cano", "Eva", "", "", "", "", ""}));
    start();
    showBook();
    typeField(1, QStringLiteral("kept"));
    clickButton(2);
    EXPECT_EQ(files(QStringLiteral("direcciones/Amigos")),
              (QStringList{QStringLiteral("Bravo"), QStringLiteral("Cano")}));

    clickCard(QStringLiteral("Cano"));
    QFile::remove(path(QStringLiteral("direcciones/Amigos/Cano")));
    clickButton(2);
    EXPECT_EQ(files(QStringLiteral("direcciones/Amigos")), QStringList{QStringLiteral("Bravo")});
    EXPECT_EQ(fields()[1], QStringLiteral("Eva"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// ---- Loading cards -------------------------------------------------------------------

TEST_F(AddressBook, ACardOfFewerThanSevenLinesLeavesTheMissingFieldsEmpty) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"),
               cardBytes({"Bravo", "Eva", "a", "b", "c", "d", "e"}));
    writeBytes(QStringLiteral("direcciones/Amigos/Corto"), "Corto\r\nLuis\r\n");
    start();
    showBook();
    clickCard(QStringLiteral("Bravo"));
    clickCard(QStringLiteral("Corto"));
    EXPECT_EQ(fields(), (QStringList{QStringLiteral("Corto"), QStringLiteral("Luis"), QString(), QString(),
                                     QString(), QString(), QString()}));
}

TEST_F(AddressBook, AReferenceOnSeveralLinesSurvivesLoadingAndSavingAgain) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    typeCard({QStringLiteral("Bravo"), QStringLiteral("Eva")});
    typeField(6, QStringLiteral("uno\ndos\ntres"));
    clickButton(0);
    const QByteArray expected = "Bravo\r\nEva\r\n\r\n\r\n\r\n\r\nuno\r\ndos\r\ntres\r\n";
    ASSERT_EQ(readBytes(QStringLiteral("direcciones/Amigos/Bravo")), expected);

    clickButton(1);
    clickCard(QStringLiteral("Bravo"));
    EXPECT_EQ(form->Text7[6]->text(), QStringLiteral("uno\r\ndos\r\ntres"));
    clickButton(0);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Amigos/Bravo")), expected);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Todos/Bravo")), expected);
}

// ---- Groups ----------------------------------------------------------------------------

TEST_F(AddressBook, ADashInsideTheGroupNameCutsItDownAndCreatesOnlyTheLastCut) {
    start();
    showBook();
    const int before = form->Combo3->count();
    typeGroup(QStringLiteral("PepeLuis"));
    pressKey(groupEdit(), Qt::Key_Home);
    for (int i = 0; i < 4; ++i)
        pressKey(groupEdit(), Qt::Key_Right);
    typeText(groupEdit(), QStringLiteral("-"));
    EXPECT_EQ(groupEntries().mid(before),
              (QStringList{QStringLiteral("Pepe-Lui"), QStringLiteral("Pepe-Lu"), QStringLiteral("Pepe-L"),
                           QStringLiteral("Pepe-"), QStringLiteral("Pepe")}));
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral("Pepe"));
    EXPECT_EQ(folders(QStringLiteral("direcciones")),
              (QStringList{QStringLiteral("Pepe"), QStringLiteral("Todos")}));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, CommittingAGroupThatExistsInOtherLetterCaseCreatesNothing) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    typeGroup(QStringLiteral("AMIGOS-"));
    EXPECT_EQ(groupEntries().last(), QStringLiteral("AMIGOS"));
    EXPECT_EQ(folders(QStringLiteral("direcciones")),
              (QStringList{QStringLiteral("Amigos"), QStringLiteral("Todos")}));
    // Saving into it goes to the folder that is there.
    typeCard({QStringLiteral("Bravo")});
    clickButton(0);
    EXPECT_TRUE(exists(QStringLiteral("direcciones/Amigos/Bravo")));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, ANewGroupTakesTheNextSaveWhileTheListStillShowsTheOldGroup) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    start();
    showBook();
    typeGroup(QStringLiteral("Vecinos-"));
    ASSERT_TRUE(QFileInfo(path(QStringLiteral("direcciones/Vecinos"))).isDir());
    typeCard({QStringLiteral("Cano")});
    clickButton(0);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Vecinos/Cano")),
              cardBytes({"Cano", "", "", "", "", "", ""}));
    EXPECT_TRUE(exists(QStringLiteral("direcciones/Todos/Cano")));
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});

    pickFromList(form->Combo3, groupEntries().indexOf(QStringLiteral("Vecinos")));
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Cano")});
}

TEST_F(AddressBook, ChoosingAGroupWithoutAFolderShowsAnEmptyList) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    writeBytes(QStringLiteral("direcciones/Fotos"), "a file, not a group");
    start();
    showBook();
    typeGroup(QStringLiteral("Fotos-")); // an entry of that name exists: nothing is created
    ASSERT_EQ(groupEntries().last(), QStringLiteral("Fotos"));
    pickFromList(form->Combo3, form->Combo3->count() - 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});
}

TEST_F(AddressBook, SavingIntoAGroupWithoutAFolderWritesTodosAndSaysSo) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    typeGroup(QStringLiteral("Vecinos")); // no closing "-": no folder
    typeCard({QStringLiteral("Cano")});
    clickButton(0);
    EXPECT_EQ(readBytes(QStringLiteral("direcciones/Todos/Cano")),
              cardBytes({"Cano", "", "", "", "", "", ""}));
    EXPECT_FALSE(exists(QStringLiteral("direcciones/Vecinos")));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("Vecinos")));
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("no tiene carpeta")));
}

TEST_F(AddressBook, ADeleteThatFailsSaysWhyAndKeepsTheFields) {
#ifdef __linux__
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "Eva", "", "", "", "", ""}));
    start();
    showBook();
    clickCard(QStringLiteral("Bravo"));
    // Even root cannot remove a file from an immutable folder.
    const QByteArray folder = QFile::encodeName(path(QStringLiteral("direcciones/Amigos")));
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
    EXPECT_TRUE(exists(QStringLiteral("direcciones/Amigos/Bravo")));
    EXPECT_EQ(fields()[1], QStringLiteral("Eva"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(QStringLiteral("No se ha podido eliminar el archivo")));
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("Bravo")));
#else
    GTEST_SKIP() << "needs a way to lock a folder";
#endif
}

// ---- Hostile names -------------------------------------------------------------------

TEST_F(AddressBook, AHostileApellidosIsRefusedAndNothingIsWritten) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    const QStringList before = everyFile();
    for (const QString& name : {QStringLiteral("../Fuera"), QStringLiteral(".."), QStringLiteral("a\\b")}) {
        platform.messages.clear();
        typeCard({name, QStringLiteral("x")});
        clickButton(0);
        ASSERT_EQ(platform.messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(platform.messages[0].startsWith(QStringLiteral("No se ha guardado la ficha")));
    }
    EXPECT_EQ(everyFile(), before);
    EXPECT_EQ(folders(QStringLiteral("direcciones")),
              (QStringList{QStringLiteral("Amigos"), QStringLiteral("Todos")}));
}

TEST_F(AddressBook, AHostileGroupNameIsNeitherCreatedNorSavedInto) {
    start();
    showBook();
    const QStringList before = everyFile();
    typeGroup(QStringLiteral("..-"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(QStringLiteral("No se ha creado el grupo")));
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral(".."));
    typeCard({QStringLiteral("Cano")});
    clickButton(0);
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages[1].startsWith(QStringLiteral("No se ha guardado la ficha")));

    typeGroup(QStringLiteral("Amigos/Otros-"));
    EXPECT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(everyFile(), before);
    EXPECT_EQ(folders(QStringLiteral("direcciones")), QStringList{QStringLiteral("Todos")});
    EXPECT_FALSE(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("Cano"))));
}

TEST_F(AddressBook, AGroupTypedDownToNothingCreatesNoFolderAndSaysNothing) {
    start();
    showBook();
    typeGroup(QStringLiteral("-"));
    EXPECT_EQ(groupEntries().last(), QString());
    EXPECT_EQ(form->Combo3->currentText(), QString());
    EXPECT_EQ(folders(QStringLiteral("direcciones")), QStringList{QStringLiteral("Todos")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

// ---- Copy all ----------------------------------------------------------------------------

TEST_F(AddressBook, CopyAllPutsTheWholeGroupOnTheClipboardAndShowsABoxPerCard) {
    writeBytes(QStringLiteral("direcciones/Amigos/García"),
               cardBytes({"García", "Ana", "C/ Mayor, 3", "León", "987", "ana@example.com", "prima"}));
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), "Bravo\r\nEva\r\n");
    writeBytes(QStringLiteral("direcciones/Todos/Otro"), cardBytes({"Otro", "", "", "", "", "", ""}));
    start();
    showBook();
    // The search narrows the list, not the copy.
    typeInto(form->Text8, QStringLiteral("B"));
    ASSERT_EQ(form->File2->count(), 1);
    clickButton(3);
    const QString first = QStringLiteral("\tAmigos\r\r\tBravo\tEva\t\t\t\t\t");
    const QString second =
        first + QStringLiteral("\r") + u("\tGarcía\tAna\tC/ Mayor, 3\tLeón\t987\tana@example.com\tprima");
    ASSERT_EQ(platform.clipboardHistory.size(), 1);
    EXPECT_EQ(platform.clipboardHistory[0], second + QStringLiteral("\r"));
    EXPECT_EQ(platform.messages, (QStringList{first, second}));
}

TEST_F(AddressBook, CopyAllOfAnEmptyGroupCopiesTheHeadingOnly) {
    makeFolder(QStringLiteral("direcciones/Amigos"));
    start();
    showBook();
    clickButton(3);
    EXPECT_EQ(platform.clipboardHistory, QStringList{QStringLiteral("\tAmigos\r\r")});
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(AddressBook, CopyAllOfAGroupWithoutAFolderReadsNoOtherFolder) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    start();
    showBook();
    clickButton(3); // File3 now lists Amigos
    typeGroup(QStringLiteral("Vecinos"));
    clickButton(3);
    ASSERT_EQ(platform.clipboardHistory.size(), 2);
    EXPECT_EQ(platform.clipboardHistory[1], QStringLiteral("\tVecinos\r\r"));
    EXPECT_EQ(platform.messages.size(), 1); // the box of the first copy only
}

// ---- Mail and search -------------------------------------------------------------------

TEST_F(AddressBook, TheMailButtonHandsOverTheAddressAsTyped) {
    start();
    showBook();
    click(form->Command8);
    typeField(5, QStringLiteral("ana @example.com"));
    click(form->Command8);
    EXPECT_EQ(platform.mailRequests, (QStringList{QStringLiteral("mailto:?Subject=&Body="),
                                                  QStringLiteral("mailto:ana @example.com?Subject=&Body=")}));
    EXPECT_EQ(fields()[5], QStringLiteral("ana @example.com"));
    EXPECT_TRUE(everyFile() == QStringList{QStringLiteral("./texto.txt")});
}

TEST_F(AddressBook, TheSearchBoxListsTheNamesThatBeginWithTheTypedText) {
    for (const char* name : {"García", "Gallego", "Ortega", "Bravo"})
        writeBytes(QStringLiteral("direcciones/Amigos/") + u(name),
                   cardBytes({name, "", "", "", "", "", ""}));
    makeFolder(QStringLiteral("direcciones/Otros"));
    writeBytes(QStringLiteral("direcciones/Otros/Gil"), cardBytes({"Gil", "", "", "", "", "", ""}));
    start();
    showBook();
    typeInto(form->Text8, QStringLiteral("ga"));
    EXPECT_EQ(form->File2->names(), (QStringList{QStringLiteral("Gallego"), u("García")}));

    // The search outlives a change of group.
    pickFromList(form->Combo3, 1);
    EXPECT_EQ(form->File2->count(), 0);
    pickFromList(form->Combo3, 0);

    pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
    typeText(form->Text8, QStringLiteral("?r"));
    EXPECT_EQ(form->File2->names(), (QStringList{QStringLiteral("Bravo"), QStringLiteral("Ortega")}));

    pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
    pressKey(form->Text8, Qt::Key_Backspace);
    EXPECT_EQ(form->File2->count(), 4);
}

TEST_F(AddressBook, AHostileSearchShowsAnEmptyList) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    writeBytes(QStringLiteral("direcciones/Amigos/.oculto"), cardBytes({".oculto", "", "", "", "", "", ""}));
    start();
    showBook();
    ASSERT_EQ(form->File2->count(), 2);
    for (const QString& text :
         {QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../"), QStringLiteral("\\")}) {
        clickInto(form->Text8);
        pressKey(form->Text8, Qt::Key_A, Qt::ControlModifier);
        typeText(form->Text8, text);
        EXPECT_EQ(form->File2->count(), 0) << text.toStdString();
    }
}

TEST_F(AddressBook, OnlyAPickFromTheDropDownSwitchesTheListedGroup) {
    writeBytes(QStringLiteral("direcciones/Amigos/Bravo"), cardBytes({"Bravo", "", "", "", "", "", ""}));
    start();
    showBook();
    typeGroup(QStringLiteral("Todos"));
    clickInto(form->Text7[0]); // leaving the field
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});
    click(form->Combo3);
    pressKey(groupEdit(), Qt::Key_Return);
    EXPECT_EQ(form->File2->names(), QStringList{QStringLiteral("Bravo")});

    // A real pick from the open drop-down.
    form->Combo3->showPopup();
    settle();
    QAbstractItemView* view = form->Combo3->view();
    const QModelIndex todos = view->model()->index(1, 0);
    ASSERT_EQ(todos.data().toString(), QStringLiteral("Todos"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(todos).center());
    settle();
    EXPECT_EQ(form->Combo3->currentText(), QStringLiteral("Todos"));
    EXPECT_EQ(form->File2->count(), 0);
}
