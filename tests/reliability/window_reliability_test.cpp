// Files that are no regular files, any content, hostile names and
// failing saves, all through the window.
#include "reliability_fixture.h"
#include "store/files.h"
#include "store/names.h"
#include "support/gestures.h"

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

// Every save point, its save made to fail (a write cut half-way, or a folder or file that
// is no longer what it was): the user is told which file and why, the old file stays
// whole, the text stays in its box, and the next try saves it.
class FailedSave : public Reliability {
public:
    using FormFixture::click, FormFixture::clickInto, FormFixture::typeInto, FormFixture::retype,
        FormFixture::typeText, FormFixture::pressKey, FormFixture::dayButton, FormFixture::clickRow,
        FormFixture::exists, FormFixture::path, FormFixture::writeFaults;
    using ReliabilityFixture::open, ReliabilityFixture::at, ReliabilityFixture::bytesAt,
        ReliabilityFixture::putAt;
    Form1& f() { return *form; }
    QStringList& messages() { return platform.messages; }
    FakePlatform& desk() { return platform; }

    const QString reason = u("disco lleno (prueba)");
    void failNext(int count = 1) { writeFaults.failNext(count, reason); }
    // A file where the folder was, so that nothing can be written into it; and back.
    void breakFolder(const QString& folder) {
        QDir(at(folder)).removeRecursively();
        putAt(folder, "no es una carpeta");
    }
    void repairFolder(const QString& folder) {
        QFile::remove(at(folder));
        QDir().mkpath(at(folder));
    }
    // Appends to the text of a box.
    void append(TextBox* box, const QString& text) {
        clickInto(box);
        pressKey(box, Qt::Key_End, Qt::ControlModifier);
        typeText(box, text);
    }
    // One message more since `before`: the failed save, naming the file and the reason.
    void expectTold(qsizetype before, const QString& file, const QString& why) {
        ASSERT_EQ(messages().size(), before + 1) << messages().join(u" | ").toStdString();
        const QString& m = messages().last();
        EXPECT_TRUE(m.startsWith(u("No se ha podido guardar"))) << m.toStdString();
        EXPECT_TRUE(m.contains(QDir::toNativeSeparators(at(file)))) << m.toStdString();
        EXPECT_TRUE(m.contains(why)) << m.toStdString();
    }
};

using Save = Gesture<FailedSave>;
class FailedSaves : public FailedSave, public ::testing::WithParamInterface<Save> {};

TEST_P(FailedSaves, AreToldKeepTheirTextAndSucceedNextTime) {
    GetParam().run(*this);
    EXPECT_EQ(outside(), QStringList{});
}

const QString kJune5 = u("dias/MARTES, 5 de JUNIO de 2007.txt");
const QString kFriday = u("dias/VIERNES, 16 de MARZO de 2007.txt");

const Save kSaves[] = {
    // ---- Diary page ----------------------------------------------------------------------------
    {"ADiaryPageWrittenHalfWayStaysWholeAndItsTextComesBackWithItsDate",
     [](FailedSave& t) {
         t.putAt(u("dias/") + kToday, "antes");
         t.open();
         t.append(t.f().Text1, u(" y después"));
         t.failNext();
         t.clickInto(t.f().Text9[0]);
         t.expectTold(0, u("dias/") + kToday, t.reason);
         EXPECT_EQ(t.bytesAt(u("dias/") + kToday), QByteArray("antes"));
         EXPECT_EQ(t.f().Text1->text(), u("antes y después"));
         t.click(t.dayButton(20));
         t.click(t.dayButton(15));
         EXPECT_EQ(t.f().Text1->text(), u("antes y después"));
         t.clickInto(t.f().Text1);
         t.clickInto(t.f().Text9[0]);
         EXPECT_EQ(t.bytesAt(u("dias/") + kToday), cp1252("antes y después"));
         EXPECT_EQ(t.messages().size(), 1);
     }},
    {"ADiaryPageWhoseFolderIsGoneIsWrittenOnceItIsBack",
     [](FailedSave& t) {
         t.open(QDate(2007, 6, 5));
         t.breakFolder(u("dias"));
         t.typeInto(t.f().Text1, u("no se pierde"));
         t.clickInto(t.f().Text9[0]);
         t.expectTold(0, kJune5, u("La carpeta no existe"));
         EXPECT_EQ(t.f().Text1->text(), u("no se pierde"));
         // Another day and back: the unsaved text comes back with its date.
         t.click(t.dayButton(6));
         EXPECT_EQ(t.f().Text1->text(), QString());
         t.click(t.dayButton(5));
         EXPECT_EQ(t.f().Text1->text(), u("no se pierde"));
         EXPECT_EQ(t.messages().size(), 1);
         t.repairFolder(u("dias"));
         t.clickInto(t.f().Text9[1]);
         t.clickInto(t.f().Text1);
         t.clickInto(t.f().Text9[1]);
         EXPECT_EQ(t.bytesAt(kJune5), QByteArray("no se pierde"));
         EXPECT_EQ(t.messages().size(), 1);
     }},
    {"ADiaryPageHeldWhileAnotherDateIsShownIsWrittenOnExit",
     [](FailedSave& t) {
         t.open(QDate(2007, 6, 5));
         t.breakFolder(u("dias"));
         t.typeInto(t.f().Text1, u("pendiente"));
         t.click(t.dayButton(6));
         t.expectTold(0, kJune5, u("La carpeta no existe"));
         t.repairFolder(u("dias"));
         t.click(t.f().Command10);
         EXPECT_EQ(t.bytesAt(kJune5), QByteArray("pendiente"));
         EXPECT_FALSE(t.exists(u("dias/MIÉRCOLES, 6 de JUNIO de 2007.txt")));
         EXPECT_EQ(t.desk().endRequests, 1);
     }},
    {"AFolderNamedLikeTheDiaryPageIsToldAndThePageWrittenOnceItIsGone",
     [](FailedSave& t) {
         t.open();
         QDir().mkpath(t.at(u("dias/") + kToday));
         t.typeInto(t.f().Text1, u("hoy"));
         t.clickInto(t.f().Text9[0]);
         t.expectTold(0, u("dias/") + kToday, u("Ya existe una carpeta"));
         EXPECT_EQ(t.f().Text1->text(), u("hoy"));
         QDir(t.at(u("dias/") + kToday)).removeRecursively();
         t.clickInto(t.f().Text1);
         t.clickInto(t.f().Text9[0]);
         EXPECT_EQ(t.bytesAt(u("dias/") + kToday), QByteArray("hoy"));
     }},

    // ---- Holiday box -----------------------------------------------------------------------------
    {"AHolidayWrittenHalfWayStaysWhole",
     [](FailedSave& t) {
         t.putAt(u("fiestas/15 de MARZO.txt"), "fiesta antes\r\n");
         t.open();
         t.retype(t.f().Text9[0], u("fiesta nueva"));
         t.failNext();
         t.click(t.f().Command11[0]);
         t.expectTold(0, u("fiestas/15 de MARZO.txt"), t.reason);
         EXPECT_EQ(t.bytesAt(u("fiestas/15 de MARZO.txt")), QByteArray("fiesta antes\r\n"));
         EXPECT_EQ(t.f().Text9[0]->text(), u("fiesta nueva"));
         t.click(t.f().Command11[0]);
         EXPECT_EQ(t.bytesAt(u("fiestas/15 de MARZO.txt")), QByteArray("fiesta nueva\r\n"));
     }},
    {"AHolidayWhoseFolderIsGoneIsWrittenOnceItIsBack",
     [](FailedSave& t) {
         t.open(QDate(2007, 6, 5));
         t.breakFolder(u("fiestas"));
         t.typeInto(t.f().Text9[0], u("Fiesta local"));
         t.click(t.f().Command11[0]);
         t.expectTold(0, u("fiestas/5 de JUNIO.txt"), u("La carpeta no existe"));
         EXPECT_EQ(t.f().Text9[0]->text(), u("Fiesta local"));
         t.repairFolder(u("fiestas"));
         t.click(t.f().Command11[0]);
         EXPECT_EQ(t.bytesAt(u("fiestas/5 de JUNIO.txt")), QByteArray("Fiesta local\r\n"));
     }},

    // ---- Week box --------------------------------------------------------------------------------
    {"AWeekBoxWrittenHalfWayStaysWhole",
     [](FailedSave& t) {
         t.putAt(kFriday, "viernes antes");
         t.open();
         t.click(t.f().Command6[1]);
         t.retype(t.f().Text2[4], u("viernes nuevo"));
         t.failNext();
         t.clickInto(t.f().Text2[5]);
         t.expectTold(0, kFriday, t.reason);
         EXPECT_EQ(t.bytesAt(kFriday), QByteArray("viernes antes"));
         EXPECT_EQ(t.f().Text2[4]->text(), u("viernes nuevo"));
         t.clickInto(t.f().Text2[4]);
         t.clickInto(t.f().Text2[5]);
         EXPECT_EQ(t.bytesAt(kFriday), QByteArray("viernes nuevo"));
     }},
    {"AWeekBoxWhoseFolderIsGoneIsWrittenOnTheNextLeave",
     [](FailedSave& t) {
         t.open(QDate(2007, 6, 5));
         t.click(t.f().Command6[1]);
         t.breakFolder(u("dias"));
         t.typeInto(t.f().Text2[0], u("lunes"));
         t.clickInto(t.f().Text2[1]);
         t.expectTold(0, u("dias/LUNES, 4 de JUNIO de 2007.txt"), u("La carpeta no existe"));
         EXPECT_EQ(t.f().Text2[0]->text(), u("lunes"));
         t.repairFolder(u("dias"));
         t.clickInto(t.f().Text2[0]);
         t.clickInto(t.f().Text2[1]);
         EXPECT_EQ(t.bytesAt(u("dias/LUNES, 4 de JUNIO de 2007.txt")), QByteArray("lunes"));
     }},

    // ---- Note ------------------------------------------------------------------------------------
    {"ANoteWrittenHalfWayIsWrittenOnTheNextLeave",
     [](FailedSave& t) {
         t.open();
         t.click(t.f().Command6[4]);
         t.retype(t.f().Text6, u("nota"));
         t.failNext();
         t.click(t.f().File1);
         t.expectTold(0, u("notas/2007-3-15--10-0"), t.reason);
         EXPECT_FALSE(t.exists(u("notas/2007-3-15--10-0")));
         EXPECT_EQ(t.f().Text6->text(), u("nota"));
         t.clickInto(t.f().Text6);
         t.pressKey(t.f().Text6, Qt::Key_Tab);
         EXPECT_EQ(t.bytesAt(u("notas/2007-3-15--10-0")), QByteArray("nota"));
         EXPECT_EQ(t.messages().size(), 1);
     }},
    {"ANoteWhoseFolderIsAFileIsToldAndTheFileKept",
     [](FailedSave& t) {
         t.open();
         QDir(t.at(u("notas"))).removeRecursively();
         t.putAt(u("notas"), "no es una carpeta");
         t.click(t.f().Command6[4]);
         t.retype(t.f().Text6, u("nota"));
         t.click(t.f().Command6[0]);
         t.expectTold(0, u("notas/2007-3-15--10-0"), u("La carpeta no existe"));
         EXPECT_EQ(t.f().Text6->text(), u("nota"));
         EXPECT_EQ(t.bytesAt(u("notas")), QByteArray("no es una carpeta"));
     }},

    // ---- Card ------------------------------------------------------------------------------------
    {"ACardWrittenHalfWayInItsGroupAndInTodosIsToldTwice",
     [](FailedSave& t) {
         QDir().mkpath(t.at(u("direcciones/Amigos")));
         t.open();
         t.click(t.f().Command6[5]);
         t.f().Combo3->setEditText(u("Amigos"));
         t.retype(t.f().Text7[0], u("Ruiz"));
         t.failNext(2);
         t.click(t.f().Command7[0]);
         ASSERT_EQ(t.messages().size(), 2);
         EXPECT_TRUE(t.messages()[0].contains(QDir::toNativeSeparators(t.at(u("direcciones/Amigos/Ruiz")))));
         EXPECT_TRUE(t.messages()[1].contains(QDir::toNativeSeparators(t.at(u("direcciones/Todos/Ruiz")))));
         for (const QString& m : t.messages())
             EXPECT_TRUE(m.contains(t.reason)) << m.toStdString();
         EXPECT_FALSE(t.exists(u("direcciones/Amigos/Ruiz")));
         EXPECT_EQ(t.f().Text7[0]->text(), u("Ruiz"));
         t.click(t.f().Command7[0]);
         EXPECT_TRUE(t.bytesAt(u("direcciones/Todos/Ruiz")).startsWith("Ruiz\r\n"));
         EXPECT_TRUE(t.bytesAt(u("direcciones/Amigos/Ruiz")).startsWith("Ruiz\r\n"));
     }},
    {"ACardWhoseNameInTodosIsAFolderIsSavedInItsGroupAndToldForTodos",
     [](FailedSave& t) {
         QDir().mkpath(t.at(u("direcciones/Amigos")));
         QDir().mkpath(t.at(u("direcciones/Todos/Cano"))); // a folder where the card should go
         t.open();
         t.click(t.f().Command6[5]);
         t.retype(t.f().Text7[0], u("Cano"));
         t.retype(t.f().Text7[1], u("Eva"));
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.bytesAt(u("direcciones/Amigos/Cano")),
                   QByteArray("Cano\r\nEva\r\n\r\n\r\n\r\n\r\n\r\n"));
         t.expectTold(0, u("direcciones/Todos/Cano"), u("Ya existe una carpeta"));
         EXPECT_EQ(t.f().Text7[1]->text(), u("Eva"));
         QDir(t.at(u("direcciones/Todos/Cano"))).removeRecursively();
         t.click(t.f().Command7[0]);
         EXPECT_EQ(t.bytesAt(u("direcciones/Todos/Cano")), QByteArray("Cano\r\nEva\r\n\r\n\r\n\r\n\r\n\r\n"));
     }},
    {"ACardOfTodosAloneWhoseNameIsAFolderIsToldAndKept",
     [](FailedSave& t) {
         t.open();
         QDir().mkpath(t.at(u("direcciones/Todos/Ruiz")));
         t.click(t.f().Command6[5]);
         t.retype(t.f().Text7[0], u("Ruiz"));
         t.click(t.f().Command7[0]);
         t.expectTold(0, u("direcciones/Todos/Ruiz"), u("Ya existe una carpeta"));
         EXPECT_EQ(t.f().Text7[0]->text(), u("Ruiz"));
     }},

    // ---- Export ----------------------------------------------------------------------------------
    {"AnExportWrittenHalfWayOpensNoEditor",
     [](FailedSave& t) {
         t.open();
         t.failNext();
         t.click(t.f().Command9);
         t.expectTold(0, u("texto.txt"), t.reason);
         EXPECT_TRUE(t.desk().editorRequests.isEmpty()); // no editor on an old export
         t.click(t.f().Command9);
         EXPECT_EQ(t.desk().editorRequests, QStringList{t.at(u("texto.txt"))});
     }},
    {"AnExportNamedLikeAFolderIsToldAndOpensNoEditor",
     [](FailedSave& t) {
         t.open();
         ASSERT_TRUE(QFile::remove(t.at(u("texto.txt"))));
         QDir().mkpath(t.at(u("texto.txt")));
         t.click(t.f().Command9);
         EXPECT_TRUE(t.desk().editorRequests.isEmpty());
         t.expectTold(0, u("texto.txt"), u("Ya existe una carpeta"));
     }},
};

INSTANTIATE_TEST_SUITE_P(EverySavePoint, FailedSaves, ::testing::ValuesIn(kSaves), gestureName<FailedSave>);

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
