// Files that are no regular files, any content, hostile names and
// failing saves, all through the window.
#include "reliability_fixture.h"
#include "store/files.h"
#include "store/names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quelora;
using namespace quelora::test;

namespace {

const QString kToday = u("JUEVES, 15 de MARZO de 2007.txt");

class Reliability : public ReliabilityFixture {
protected:
    void SetUp() override {
        ReliabilityFixture::SetUp();
        alarm(120); // a hang ends the test process instead of the whole suite's time
    }
    void TearDown() override {
        ReliabilityFixture::TearDown();
        alarm(0);
    }
    void writeDiary(const QString& text) {
        typeInto(form->Text1, text);
        clickInto(form->Text9[0]); // leaving the box saves it
    }
};

// ---- Regular files only ------------------------------------------------------------------

TEST_F(Reliability, FifosDevicesFoldersAndBrokenLinksNamedLikeFilesNeitherHangNorBreakTheWindow) {
    QDir().mkpath(data());
    for (const char* sub : {"dias", "fiestas", "recordatorio", "santoral", "notas", "direcciones/Todos"})
        QDir().mkpath(at(QString::fromLatin1(sub)));
    const QStringList fifos = {u("dias/") + kToday,           u("fiestas/15 de MARZO.txt"),
                               u("santoral/15 de MARZO.txt"), u("notas/2007-3-15--9-0"),
                               u("direcciones/Todos/García"), u("recordatorio/16 de MARZO.txt")};
    for (const QString& f : fifos)
        ASSERT_EQ(mkfifo(QFile::encodeName(at(f)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(u("/dev/zero"), at(u("dias/VIERNES, 16 de MARZO de 2007.txt"))));
    const QString nowhere = dir.path() + u("/fuera/no-existe.txt");
    ASSERT_TRUE(QFile::link(nowhere, at(u("dias/SÁBADO, 17 de MARZO de 2007.txt"))));
    QDir().mkpath(at(u("fiestas/17 de MARZO.txt")));

    open(); // reads today's page and day files
    EXPECT_EQ(form->Text1->text(), QString());
    EXPECT_EQ(form->Text9[0]->text(), QString());
    for (int d : {16, 17, 18})
        click(dayButton(d));
    for (int p : {1, 2, 3, 4, 5, 0})
        click(form->Command6[p]);
    EXPECT_EQ(form->File1->count(), 0); // the FIFO is no note
    EXPECT_EQ(form->File2->count(), 0); // nor a card

    // Saving where a FIFO, a device or a broken link stands is refused and told.
    click(dayButton(15));
    writeDiary(u("hoy"));
    EXPECT_TRUE(lastMessage().startsWith(u("No se ha podido guardar"))) << lastMessage().toStdString();
    EXPECT_EQ(form->Text1->text(), u("hoy"));
    click(dayButton(17));
    writeDiary(u("sábado"));
    EXPECT_TRUE(platform.messages.filter(u("enlace roto")).size() == 1) << lastMessage().toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(outside(), QStringList{});
    EXPECT_TRUE(QFileInfo(at(u("dias/VIERNES, 16 de MARZO de 2007.txt"))).isSymLink());
}

// ---- Any content ---------------------------------------------------------------------------

TEST_F(Reliability, APageOfEveryByteValueComesBackByteForByte) {
    QByteArray all;
    for (int r = 0; r < 4; ++r)
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
    putAt(u("dias/") + kToday, all);
    putAt(u("fiestas/15 de MARZO.txt"), all + "\r\n");
    open();
    EXPECT_EQ(form->Text1->text().size(), all.size());
    clickInto(form->Text1); // armed: leaving writes what the box holds
    clickInto(form->Text9[0]);
    click(form->Command11[0]);
    EXPECT_EQ(bytesAt(u("dias/") + kToday), all);
    EXPECT_EQ(bytesAt(u("fiestas/15 de MARZO.txt")), all + "\r\n");
    click(form->Command6[2]);
    EXPECT_TRUE(form->Text3->text().contains(store::decode(all)));
}

TEST_F(Reliability, AFiftyMegabytePageIsShownAndSavedWhole) {
    QByteArray big;
    big.reserve(50 << 20);
    const QByteArray line =
        cp1252("Una línea de un diario muy largo, con acentos: áéíóú ñ € y nada más.\r\n");
    while (big.size() + line.size() <= (50 << 20))
        big += line;
    putAt(u("dias/") + kToday, big);
    alarm(900); // slow, but it must end: about 20 s in a debug build
    open();
    EXPECT_EQ(form->Text1->text().size(), big.size());
    clickInto(form->Text1);
    pressKey(form->Text1, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text1, u("fin"));
    clickInto(form->Text9[0]);
    EXPECT_EQ(bytesAt(u("dias/") + kToday), big + "fin");
}

TEST_F(Reliability, AHugeSparsePageIsNeitherReadNorLostWhenWrittenOver) {
    QDir().mkpath(at(u("dias")));
    QFile page(at(u("dias/") + kToday));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    ASSERT_TRUE(page.resize(200LL << 30)); // 200 GB, no block of it on the disk
    page.close();
    open(); // no allocation of 200 GB: the box is empty and the program goes on
    EXPECT_EQ(form->Text1->text(), QString());
    clickInto(form->Text1);
    clickInto(form->Text9[0]); // a click alone does not arm a page that could not be read
    EXPECT_EQ(QFileInfo(at(u("dias/") + kToday)).size(), 200LL << 30);
    writeDiary(u("nuevo"));
    EXPECT_EQ(bytesAt(u("dias/") + kToday), QByteArray("nuevo"));
    const QStringList kept = QDir(at(u("dias"))).entryList(QDir::Files).filter(u("otra versión"));
    ASSERT_EQ(kept.size(), 1); // moved aside whole, not copied
    EXPECT_EQ(QFileInfo(at(u("dias/") + kept[0])).size(), 200LL << 30);
    click(form->Command6[3]); // the year read-out passes over it as well
    EXPECT_TRUE(form->Text5->text().contains(u("nuevo")));
}

TEST_F(Reliability, ACardOfOneEnormousLineAndTenThousandNotesAreShown) {
    const QByteArray huge(4 << 20, 'x');
    putAt(u("direcciones/Todos/Grande"), huge);
    for (int i = 0; i < 10000; ++i)
        putAt(u("notas/2006-1-1--%1-%2").arg(i / 60).arg(i % 60), "n");
    open();
    click(form->Command6[5]);
    const auto found = form->File2->findItems(u("Grande"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    QTest::mouseClick(form->File2->viewport(), Qt::LeftButton, Qt::NoModifier,
                      form->File2->visualItemRect(found[0]).center());
    settle();
    EXPECT_EQ(form->Text7[0]->text().size(), huge.size());
    click(form->Command6[4]);
    EXPECT_EQ(form->File1->count(), 10000);
}

// ---- Hostile names -----------------------------------------------------------------------------

QStringList hostileNames() {
    return {u("../x"),
            u("a/b"),
            u("a\\b"),
            u(".."),
            u("."),
            u("a") + QChar(0) + u("b"),
            QString(300, QLatin1Char('n')),
            u("nombre   "),
            u("nombre..."),
            u("CON"),
            u("NUL"),
            u("../../quelora_fuera"),
            u("../../../../../../../../../../../tmp/quelora_fuera"),
            u("/tmp/quelora_fuera")};
}

// Either the file is inside its folder under exactly that name, or the box took no
// input, or the user was told.
void expectSavedOrTold(const QString& folder, const QString& name, const QStringList& messages, int before,
                       const TextBox* box = nullptr) {
    if (store::isSafeName(name) && QFileInfo(folder + QLatin1Char('/') + name).isFile()) return;
    if (box && box->isReadOnly()) return;
    EXPECT_GT(messages.size(), before) << "refused without a word: " << name.toStdString();
}

TEST_F(Reliability, HostileNamesNeverReachOutsideTheirFolderAndARefusedSaveIsTold) {
    open();
    int tried = 0;
    for (const QString& h : hostileNames()) {
        // Month and year texts typed into their lists become the caption and the day file name.
        for (QComboBox* list : {form->Combo1, form->Combo2}) {
            click(form->Command6[0]);
            pickFromList(form->Combo1, 2);
            pickFromList(form->Combo2, 106);
            paste(list, h);
            click(dayButton(5));
            const QString caption = form->Label2->text();
            int before = platform.messages.size();
            writeDiary(u("texto"));
            expectSavedOrTold(at(u("dias")), caption + u(".txt"), platform.messages, before, form->Text1);
            before = platform.messages.size();
            retype(form->Text9[0], u("fiesta"));
            click(form->Command11[0]);
            expectSavedOrTold(at(u("fiestas")), u("5 de %1.txt").arg(form->Combo1->currentText()),
                              platform.messages, before, form->Text9[0]);
            tried += 2;
        }
        pickFromList(form->Combo1, 2);
        pickFromList(form->Combo2, 106);

        // APELLIDOS, group names and the search text.
        click(form->Command6[5]);
        int before = platform.messages.size();
        paste(form->Combo3, u("Todos"));
        paste(form->Text7[0], h);
        click(form->Command7[0]);
        expectSavedOrTold(at(u("direcciones/Todos")), h, platform.messages, before);
        before = platform.messages.size();
        paste(form->Combo3, h + u("-"));
        const QString group = form->Combo3->currentText();
        if (!group.isEmpty() && !QFileInfo(at(u("direcciones/") + group)).isDir()) {
            EXPECT_GT(platform.messages.size(), before)
                << "group refused without a word: " << h.toStdString();
        }
        before = platform.messages.size();
        paste(form->Combo3, h);
        paste(form->Text7[0], u("Ficha"));
        click(form->Command7[0]);
        expectSavedOrTold(at(u("direcciones/") + form->Combo3->currentText()), u("Ficha"), platform.messages,
                          before);
        paste(form->Text8, h);
        for (const QString& listed : form->File2->names())
            EXPECT_TRUE(QFileInfo(form->File2->path() + QLatin1Char('/') + listed).isFile());
        retype(form->Text8, QString());
        tried += 4;
    }
    EXPECT_EQ(outside(), QStringList{});
    EXPECT_FALSE(QFileInfo::exists(u("/tmp/quelora_fuera")));
    EXPECT_FALSE(QFileInfo::exists(u("/quelora_fuera")));
    std::printf("[ figures ] %d hostile names tried on %d paths: %d tries\n", int(hostileNames().size()), 6,
                tried);
}

// ---- Faults -----------------------------------------------------------------------------------

class FailedSave : public Reliability {
public:
    using FormFixture::click, FormFixture::clickInto, FormFixture::pressKey, FormFixture::dayButton,
        FormFixture::exists, FormFixture::typeInto, FormFixture::retype;
    using ReliabilityFixture::at, ReliabilityFixture::bytesAt;
    Form1& f() { return *form; }
    FakePlatform& desk() { return platform; }
};
using Step = void (*)(FailedSave&);

// How a save is made to fail: a write cut half-way (as on a full disk; a card's two
// copies both), the folder replaced by a file, or a folder standing where the file goes.
enum class Fault { WriteCut, TwoWritesCut, FolderIsAFile, FileIsAFolder };

// A save point: a file on disk before, what is typed into which box, how its save fails
// and the gesture that saves; the file written, its bytes after a cut write and after the
// next try.
struct SaveRow {
    const char* name;
    QDate today;
    const char* existing; // ("x/": a folder)
    QByteArray existingBytes;
    int panel;
    TextBox* (*box)(Form1&); // none: the export
    const char* typed;       // replaces the box's text
    Fault fault;
    Step save;
    const char* file;
    QByteArray before, after;
    Step between = nullptr;  // after the failure, before the way is cleared
    Step retry = nullptr;    // the next try, when it is not the same gesture
    bool leftTheBox = false; // the save's gesture put another text into the box
};
void PrintTo(const SaveRow& row, std::ostream* os) {
    *os << row.name;
}

const QDate kMarch15(2007, 3, 15), kJune5(2007, 6, 5);
const char* const kJune5Page = "dias/MARTES, 5 de JUNIO de 2007.txt";
const char* const kJune6Page = "dias/MIÉRCOLES, 6 de JUNIO de 2007.txt";
const char* const kTodayPage = "dias/JUEVES, 15 de MARZO de 2007.txt";
const char* const kFridayPage = "dias/VIERNES, 16 de MARZO de 2007.txt";
const char* const kNote = "notas/2007-3-15--10-0";
const QByteArray kRuiz = "Ruiz\r\n\r\n\r\n\r\n\r\n\r\n\r\n", kCanoEva = "Cano\r\nEva\r\n\r\n\r\n\r\n\r\n\r\n";

// The boxes, and the gestures that save them. A write cut half-way in each kind of box is a
// row of the box-life table (tests/app/box_life_test.cpp); here the other ways a save fails.
const auto diary = [](Form1& f) { return f.Text1; };
const auto holiday = [](Form1& f) { return f.Text9[0]; };
const auto friday = [](Form1& f) { return f.Text2[4]; };
const auto monday = [](Form1& f) { return f.Text2[0]; };
const auto note = [](Form1& f) { return f.Text6; };
const auto apellidos = [](Form1& f) { return f.Text7[0]; };
const auto nombre = [](Form1& f) { return f.Text7[1]; };
const auto intoHoliday = [](FailedSave& t) { t.clickInto(t.f().Text9[0]); };
void throughDiary(FailedSave& t) {
    t.clickInto(t.f().Text1);
    intoHoliday(t);
}
void throughDiaryAgain(FailedSave& t) {
    t.clickInto(t.f().Text9[1]);
    throughDiary(t);
}
const auto toJune6 = [](FailedSave& t) { t.click(t.dayButton(6)); };
const auto pressG = [](FailedSave& t) { t.click(t.f().Command11[0]); };
const auto intoSaturday = [](FailedSave& t) { t.clickInto(t.f().Text2[5]); };
const auto intoTuesday = [](FailedSave& t) { t.clickInto(t.f().Text2[1]); };
void throughMonday(FailedSave& t) {
    t.clickInto(t.f().Text2[0]);
    intoTuesday(t);
}
const auto toNoteList = [](FailedSave& t) { t.click(t.f().File1); };
const auto toDayPanel = [](FailedSave& t) { t.click(t.f().Command6[0]); };
void throughTheNote(FailedSave& t) {
    t.click(t.f().Command6[4]);
    t.clickInto(t.f().Text6);
    toDayPanel(t);
}
const auto saveCard = [](FailedSave& t) { t.click(t.f().Command7[0]); };
const auto exportPanel = [](FailedSave& t) { t.click(t.f().Command9); };

// What some rows check besides.
void anotherDayAndBack(FailedSave& t) { // the text comes back with its date
    const QString text = t.f().Text1->text();
    const int day = t.f().selectedDate().day();
    t.click(t.dayButton(day + 1));
    EXPECT_EQ(t.f().Text1->text(), QString());
    t.click(t.dayButton(day));
    EXPECT_EQ(t.f().Text1->text(), text);
}
void exitWritesTheHeldPage(FailedSave& t) {
    t.click(t.f().Command10);
    EXPECT_FALSE(t.exists(u(kJune6Page)));
    EXPECT_EQ(t.desk().endRequests, 1);
}
void theNextSaveWritesTheHeldPage(FailedSave& t) {
    t.typeInto(t.f().Text1, u("otro día"));
    intoHoliday(t);
    EXPECT_EQ(t.bytesAt(u(kJune6Page)), cp1252("otro día"));
}
const auto todosIsToldToo = [](FailedSave& t) {
    EXPECT_TRUE(t.desk().messages[1].contains(QDir::toNativeSeparators(t.at(u("direcciones/Todos/Ruiz")))));
};
void saveCardIntoBoth(FailedSave& t) {
    saveCard(t);
    EXPECT_EQ(t.bytesAt(u("direcciones/Todos/Ruiz")), kRuiz);
}
void saveCanoInItsGroup(FailedSave& t) {
    t.retype(t.f().Text7[0], u("Cano"));
    saveCard(t);
    EXPECT_EQ(t.bytesAt(u("direcciones/Amigos/Cano")), kCanoEva);
}
// Ł has no place in the files' code page: it is stored as "?" only once a save succeeds.
void saveRuizLucja(FailedSave& t) {
    t.retype(t.f().Text7[1], u("Łucja"));
    saveCard(t);
}
void lucjaIsKeptAsTyped(FailedSave& t) {
    EXPECT_EQ(t.f().Text7[1]->text(), u("Łucja"));
}
void saveRuizLucia(FailedSave& t) {
    t.retype(t.f().Text7[1], u("Lucía"));
    saveCard(t);
}

const SaveRow kSaveRows[] = {
    {"ADiaryPageWhoseFolderIsAFileComesBackWithItsDateAndIsWrittenOnceItIsMended", kJune5, nullptr, "", 0,
     diary, "no se pierde", Fault::FolderIsAFile, intoHoliday, kJune5Page, "", "no se pierde",
     anotherDayAndBack, throughDiaryAgain},
    {"ADiaryPageHeldWhileAnotherDateIsShownIsWrittenOnExit", kJune5, nullptr, "", 0, diary, "pendiente",
     Fault::FolderIsAFile, toJune6, kJune5Page, "", "pendiente", nullptr, exitWritesTheHeldPage, true},
    {"ADiaryPageHeldWhileAnotherDateIsShownIsWrittenByTheNextSaveThatSucceeds", kJune5, nullptr, "", 0, diary,
     "pendiente", Fault::FolderIsAFile, toJune6, kJune5Page, "", "pendiente", nullptr,
     theNextSaveWritesTheHeldPage, true},
    {"AFolderNamedLikeTheDiaryPageIsToldAndThePageWrittenOnceItIsGone", kMarch15, nullptr, "", 0, diary,
     "hoy", Fault::FileIsAFolder, intoHoliday, kTodayPage, "", "hoy", nullptr, throughDiary},
    {"AHolidayWhoseFolderIsAFileIsWrittenOnceItIsMended", kJune5, nullptr, "", 0, holiday, "Fiesta local",
     Fault::FolderIsAFile, pressG, "fiestas/5 de JUNIO.txt", "", "Fiesta local\r\n"},
    {"AWeekBoxWhoseFolderIsAFileIsWrittenOnTheNextLeave", kJune5, nullptr, "", 1, monday, "lunes",
     Fault::FolderIsAFile, intoTuesday, "dias/LUNES, 4 de JUNIO de 2007.txt", "", "lunes", nullptr,
     throughMonday},
    {"ANoteWhoseFolderIsAFileIsWrittenOnceItIsMended", kMarch15, nullptr, "", 4, note, "nota",
     Fault::FolderIsAFile, toDayPanel, kNote, "", "nota", nullptr, throughTheNote},
    {"ACardWrittenHalfWayInItsGroupAndInTodosIsToldTwice", kMarch15, "direcciones/Amigos/", "", 5, apellidos,
     "Ruiz", Fault::TwoWritesCut, saveCard, "direcciones/Amigos/Ruiz", "<missing>", kRuiz, todosIsToldToo,
     saveCardIntoBoth},
    {"ACardWhoseNameInTodosIsAFolderIsSavedInItsGroupAndToldForTodos", kMarch15, "direcciones/Amigos/", "", 5,
     nombre, "Eva", Fault::FileIsAFolder, saveCanoInItsGroup, "direcciones/Todos/Cano", "", kCanoEva, nullptr,
     saveCard},
    {"ACardOfTodosAloneWhoseNameIsAFolderIsWrittenOnceItIsGone", kMarch15, nullptr, "", 5, apellidos, "Ruiz",
     Fault::FileIsAFolder, saveCard, "direcciones/Todos/Ruiz", "", kRuiz},
    {"ACardThatCouldNotBeSavedKeepsLettersOutsideTheCodePageAndTellsNoReplacement", kMarch15, nullptr, "", 5,
     apellidos, "Ruiz", Fault::FileIsAFolder, saveRuizLucja, "direcciones/Todos/Ruiz", "",
     cp1252("Ruiz\r\nLucía\r\n\r\n\r\n\r\n\r\n\r\n"), lucjaIsKeptAsTyped, saveRuizLucia},
    {"AnExportWrittenHalfWayOpensNoEditor", kMarch15, nullptr, "", 0, nullptr, "", Fault::WriteCut,
     exportPanel, "texto.txt", " ", ""},
    {"AnExportNamedLikeAFolderOpensNoEditor", kMarch15, nullptr, "", 0, nullptr, "", Fault::FileIsAFolder,
     exportPanel, "texto.txt", "", ""},
};

class FailedSaves : public FailedSave, public ::testing::WithParamInterface<SaveRow> {};

// The user is told which file could not be saved and why, the old file stays whole, the
// text stays in its box, and the next try saves it.
TEST_P(FailedSaves, AreToldKeepTheirTextAndSucceedNextTime) {
    const SaveRow& row = GetParam();
    const QString file = u(row.file), folder = file.section(u'/', 0, -2);
    const bool cut = row.fault == Fault::WriteCut || row.fault == Fault::TwoWritesCut;
    const QString reason =
        cut ? u("disco lleno (prueba)")
            : u(row.fault == Fault::FolderIsAFile ? "La carpeta no existe" : "Ya existe una carpeta");
    if (row.existing && u(row.existing).endsWith(u'/')) QDir().mkpath(at(u(row.existing)));
    if (row.existing && !u(row.existing).endsWith(u'/')) putAt(u(row.existing), row.existingBytes);
    open(row.today);
    if (row.panel != 0) click(form->Command6[row.panel]);
    TextBox* box = row.box ? row.box(*form) : nullptr;
    if (box) retype(box, u(row.typed));
    const int told = row.fault == Fault::TwoWritesCut ? 2 : 1;
    if (cut) writeFaults.failNext(told, reason);
    if (row.fault == Fault::FolderIsAFile) {
        QDir(at(folder)).removeRecursively();
        putAt(folder, "no es una carpeta");
    } else if (row.fault == Fault::FileIsAFolder) {
        QFile::remove(at(file));
        QDir().mkpath(at(file));
    }
    row.save(*this);

    ASSERT_EQ(platform.messages.size(), told) << platform.messages.join(u" | ").toStdString();
    EXPECT_TRUE(platform.messages[0].startsWith(u("No se ha podido guardar")))
        << platform.messages[0].toStdString();
    EXPECT_TRUE(platform.messages[0].contains(QDir::toNativeSeparators(at(file))));
    for (const QString& m : platform.messages)
        EXPECT_TRUE(m.contains(reason)) << m.toStdString();
    switch (row.fault) { // whatever stood in the way is as it was, and so is the old file
    case Fault::WriteCut:
    case Fault::TwoWritesCut:
        EXPECT_EQ(bytesAt(file), row.before);
        break;
    case Fault::FolderIsAFile:
        EXPECT_EQ(bytesAt(folder), QByteArray("no es una carpeta"));
        break;
    case Fault::FileIsAFolder:
        EXPECT_TRUE(QFileInfo(at(file)).isDir());
        break;
    }
    if (box && !row.leftTheBox) {
        EXPECT_EQ(box->text(), u(row.typed));
    }
    if (!box) { // no editor on an old export
        EXPECT_TRUE(platform.editorRequests.isEmpty());
    }
    if (row.between) row.between(*this);

    if (row.fault == Fault::FolderIsAFile) QFile::remove(at(folder));
    if (row.fault == Fault::FileIsAFolder) QDir(at(file)).removeRecursively();
    QDir().mkpath(at(folder));
    (row.retry ? row.retry : row.save)(*this);
    EXPECT_EQ(bytesAt(file), row.after);
    EXPECT_EQ(platform.messages.size(), told); // nothing more to tell
    EXPECT_EQ(platform.editorRequests, box ? QStringList() : QStringList{at(file)});
    EXPECT_EQ(outside(), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(EverySavePoint, FailedSaves, ::testing::ValuesIn(kSaveRows),
                         [](const auto& row) { return std::string(row.param.name); });

// A real full disk, where the machine lets a test mount a small one.
TEST_F(Reliability, OnAFullDiskTheOldPageStaysWholeAndTheFailureIsTold) {
    QDir().mkpath(data());
    if (geteuid() != 0 || mount("tmpfs", QFile::encodeName(data()).constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here";
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount2(at.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(data())};
    QByteArray old(60000, 'a');
    putAt(u("dias/") + kToday, old);
    open();
    putAt(u("relleno"), QByteArray(300000, 'r')); // fills the disk to the last byte
    const QString page = u("dias/") + kToday;
    const int before = platform.messages.size();
    typeInto(form->Text1, u("más"));
    clickInto(form->Text9[0]);
    ASSERT_GT(platform.messages.size(), before);
    EXPECT_TRUE(platform.messages[before].startsWith(u("No se ha podido guardar")));
    EXPECT_EQ(bytesAt(page), old);
    EXPECT_EQ(store::listFiles(at(u("dias"))), QStringList{kToday});
    QFile::remove(at(u("relleno")));
    clickInto(form->Text1);
    clickInto(form->Text9[0]);
    EXPECT_TRUE(bytesAt(page).startsWith(cp1252("más"))); // saved with the next save
}

} // namespace
