// Session end, files that are no regular files, any content, hostile names and
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

const QString kToday = QString::fromUtf8("JUEVES, 15 de MARZO de 2007.txt");

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
        clickInto(form->Text1);
        typeText(form->Text1, text);
        clickInto(form->Text9[0]); // leaving the box saves it
    }
};

// ---- Session end ---------------------------------------------------------------------

TEST_F(Reliability, EverythingTheExitButtonSavesIsSavedWhenTheSessionEnds) {
    open();
    clickInto(form->Text1);
    typeText(form->Text1, QString::fromUtf8("Día de prueba"));
    EXPECT_TRUE(form->SaveOpenEdits()); // the focus never left the box
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), cp1252("Día de prueba"));

    click(form->Command6[1]);
    clickInto(form->Text2[4]);
    typeText(form->Text2[4], QStringLiteral("viernes"));
    EXPECT_TRUE(form->SaveOpenEdits());
    EXPECT_EQ(bytesAt(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt")), QByteArray("viernes"));

    click(form->Command6[4]);
    clickInto(form->Text6);
    typeText(form->Text6, QString::fromUtf8("nota\nsegunda línea"));
    EXPECT_TRUE(form->SaveOpenEdits());
    EXPECT_EQ(bytesAt(QStringLiteral("notas/2007-3-15--10-0")), cp1252("nota\r\nsegunda línea"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// ---- Regular files only ------------------------------------------------------------------

TEST_F(Reliability, FifosDevicesFoldersAndBrokenLinksNamedLikeFilesNeitherHangNorBreakTheWindow) {
    QDir().mkpath(data());
    for (const char* sub : {"dias", "fiestas", "recordatorio", "santoral", "notas", "direcciones/Todos"})
        QDir().mkpath(at(QString::fromLatin1(sub)));
    const QStringList fifos = {QStringLiteral("dias/") + kToday,
                               QStringLiteral("fiestas/15 de MARZO.txt"),
                               QStringLiteral("santoral/15 de MARZO.txt"),
                               QStringLiteral("notas/2007-3-15--9-0"),
                               QString::fromUtf8("direcciones/Todos/García"),
                               QStringLiteral("recordatorio/16 de MARZO.txt")};
    for (const QString& f : fifos)
        ASSERT_EQ(mkfifo(QFile::encodeName(at(f)).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"),
                            at(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt"))));
    const QString nowhere = dir.path() + QStringLiteral("/fuera/no-existe.txt");
    ASSERT_TRUE(QFile::link(nowhere, at(QString::fromUtf8("dias/SÁBADO, 17 de MARZO de 2007.txt"))));
    QDir().mkpath(at(QStringLiteral("fiestas/17 de MARZO.txt")));

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
    writeDiary(QStringLiteral("hoy"));
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("No se ha podido guardar")))
        << lastMessage().toStdString();
    EXPECT_EQ(form->Text1->text(), QStringLiteral("hoy"));
    click(dayButton(17));
    writeDiary(QStringLiteral("sábado"));
    EXPECT_TRUE(platform.messages.filter(QStringLiteral("enlace roto")).size() == 1)
        << lastMessage().toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_EQ(outside(), QStringList{});
    EXPECT_TRUE(QFileInfo(at(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt"))).isSymLink());
}

// ---- Any content ---------------------------------------------------------------------------

TEST_F(Reliability, APageOfEveryByteValueComesBackByteForByte) {
    QByteArray all;
    for (int r = 0; r < 4; ++r)
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
    putAt(QStringLiteral("dias/") + kToday, all);
    putAt(QStringLiteral("fiestas/15 de MARZO.txt"), all + "\r\n");
    open();
    EXPECT_EQ(form->Text1->text().size(), all.size());
    clickInto(form->Text1); // armed: leaving writes what the box holds
    clickInto(form->Text9[0]);
    click(form->Command11[0]);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), all);
    EXPECT_EQ(bytesAt(QStringLiteral("fiestas/15 de MARZO.txt")), all + "\r\n");
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
    putAt(QStringLiteral("dias/") + kToday, big);
    alarm(900); // slow, but it must end: about 20 s in a debug build
    open();
    EXPECT_EQ(form->Text1->text().size(), big.size());
    clickInto(form->Text1);
    pressKey(form->Text1, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text1, QStringLiteral("fin"));
    clickInto(form->Text9[0]);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), big + "fin");
}

TEST_F(Reliability, AHugeSparsePageIsNeitherReadNorLostWhenWrittenOver) {
    QDir().mkpath(at(QStringLiteral("dias")));
    QFile page(at(QStringLiteral("dias/") + kToday));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    ASSERT_TRUE(page.resize(200LL << 30)); // 200 GB, no block of it on the disk
    page.close();
    open(); // no allocation of 200 GB: the box is empty and the program goes on
    EXPECT_EQ(form->Text1->text(), QString());
    clickInto(form->Text1);
    clickInto(form->Text9[0]); // a click alone does not arm a page that could not be read
    EXPECT_EQ(QFileInfo(at(QStringLiteral("dias/") + kToday)).size(), 200LL << 30);
    writeDiary(QStringLiteral("nuevo"));
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), QByteArray("nuevo"));
    const QStringList kept =
        QDir(at(QStringLiteral("dias"))).entryList(QDir::Files).filter(u("otra versión"));
    ASSERT_EQ(kept.size(), 1); // moved aside whole, not copied
    EXPECT_EQ(QFileInfo(at(QStringLiteral("dias/") + kept[0])).size(), 200LL << 30);
    click(form->Command6[3]); // the year read-out passes over it as well
    EXPECT_TRUE(form->Text5->text().contains(QStringLiteral("nuevo")));
}

TEST_F(Reliability, ACardOfOneEnormousLineAndTenThousandNotesAreShown) {
    const QByteArray huge(4 << 20, 'x');
    putAt(QStringLiteral("direcciones/Todos/Grande"), huge);
    for (int i = 0; i < 10000; ++i)
        putAt(QStringLiteral("notas/2006-1-1--%1-%2").arg(i / 60).arg(i % 60), "n");
    open();
    click(form->Command6[5]);
    const auto found = form->File2->findItems(QStringLiteral("Grande"), Qt::MatchExactly);
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
    return {QStringLiteral("../x"),
            QStringLiteral("a/b"),
            QStringLiteral("a\\b"),
            QStringLiteral(".."),
            QStringLiteral("."),
            QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
            QString(300, QLatin1Char('n')),
            QStringLiteral("nombre   "),
            QStringLiteral("nombre..."),
            QStringLiteral("CON"),
            QStringLiteral("NUL"),
            QStringLiteral("../../quelora_fuera"),
            QStringLiteral("../../../../../../../../../../../tmp/quelora_fuera"),
            QStringLiteral("/tmp/quelora_fuera")};
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
            writeDiary(QStringLiteral("texto"));
            expectSavedOrTold(at(QStringLiteral("dias")), caption + QStringLiteral(".txt"), platform.messages,
                              before, form->Text1);
            before = platform.messages.size();
            retype(form->Text9[0], QStringLiteral("fiesta"));
            click(form->Command11[0]);
            expectSavedOrTold(at(QStringLiteral("fiestas")),
                              QStringLiteral("5 de %1.txt").arg(form->Combo1->currentText()),
                              platform.messages, before, form->Text9[0]);
            tried += 2;
        }
        pickFromList(form->Combo1, 2);
        pickFromList(form->Combo2, 106);

        // APELLIDOS, group names and the search text.
        click(form->Command6[5]);
        int before = platform.messages.size();
        paste(form->Combo3, QStringLiteral("Todos"));
        paste(form->Text7[0], h);
        click(form->Command7[0]);
        expectSavedOrTold(at(QStringLiteral("direcciones/Todos")), h, platform.messages, before);
        before = platform.messages.size();
        paste(form->Combo3, h + QStringLiteral("-"));
        const QString group = form->Combo3->currentText();
        if (!group.isEmpty() && !QFileInfo(at(QStringLiteral("direcciones/") + group)).isDir()) {
            EXPECT_GT(platform.messages.size(), before)
                << "group refused without a word: " << h.toStdString();
        }
        before = platform.messages.size();
        paste(form->Combo3, h);
        paste(form->Text7[0], QStringLiteral("Ficha"));
        click(form->Command7[0]);
        expectSavedOrTold(at(QStringLiteral("direcciones/") + form->Combo3->currentText()),
                          QStringLiteral("Ficha"), platform.messages, before);
        paste(form->Text8, h);
        for (const QString& listed : form->File2->names())
            EXPECT_TRUE(QFileInfo(form->File2->path() + QLatin1Char('/') + listed).isFile());
        retype(form->Text8, QString());
        tried += 4;
    }
    EXPECT_EQ(outside(), QStringList{});
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/quelora_fuera")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/quelora_fuera")));
    std::printf("[ figures ] %d hostile names tried on %d paths: %d tries\n", int(hostileNames().size()), 6,
                tried);
}

// ---- Faults -----------------------------------------------------------------------------------

// Each save is made to fail half-way, then done again: the old file stays whole, the
// user is told, the text stays in its box, and the next try saves it.
TEST_F(Reliability, EverySaveThatFailsIsToldKeepsItsTextAndSucceedsNextTime) {
    putAt(QStringLiteral("dias/") + kToday, "antes");
    putAt(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt"), "viernes antes");
    putAt(QStringLiteral("fiestas/15 de MARZO.txt"), "fiesta antes\r\n");
    open();
    const QString reason = QStringLiteral("disco lleno (prueba)");
    int injected = 0;
    const auto failOnce = [&] {
        writeFaults.failNext(1, reason);
        ++injected;
    };
    const auto expectTold = [&](int before) {
        ASSERT_GT(platform.messages.size(), before);
        EXPECT_TRUE(platform.messages[before].contains(reason)) << platform.messages[before].toStdString();
    };

    // Diary page.
    int before = platform.messages.size();
    clickInto(form->Text1);
    pressKey(form->Text1, Qt::Key_End, Qt::ControlModifier);
    typeText(form->Text1, QStringLiteral(" y después"));
    failOnce();
    clickInto(form->Text9[0]);
    expectTold(before);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), QByteArray("antes"));
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("antes y después"));
    click(dayButton(20));
    click(dayButton(15)); // the text comes back with its date and is saved at the next save
    EXPECT_EQ(form->Text1->text(), QString::fromUtf8("antes y después"));
    writeDiary(QString());
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), cp1252("antes y después"));

    // Holiday box.
    before = platform.messages.size();
    retype(form->Text9[0], QStringLiteral("fiesta nueva"));
    failOnce();
    click(form->Command11[0]);
    expectTold(before);
    EXPECT_EQ(bytesAt(QStringLiteral("fiestas/15 de MARZO.txt")), QByteArray("fiesta antes\r\n"));
    EXPECT_EQ(form->Text9[0]->text(), QStringLiteral("fiesta nueva"));
    click(form->Command11[0]);
    EXPECT_EQ(bytesAt(QStringLiteral("fiestas/15 de MARZO.txt")), QByteArray("fiesta nueva\r\n"));

    // Week box.
    click(form->Command6[1]);
    before = platform.messages.size();
    retype(form->Text2[4], QStringLiteral("viernes nuevo"));
    failOnce();
    clickInto(form->Text2[5]);
    expectTold(before);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt")), QByteArray("viernes antes"));
    EXPECT_EQ(form->Text2[4]->text(), QStringLiteral("viernes nuevo"));
    clickInto(form->Text2[4]);
    clickInto(form->Text2[5]);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/VIERNES, 16 de MARZO de 2007.txt")), QByteArray("viernes nuevo"));

    // Note.
    click(form->Command6[4]);
    before = platform.messages.size();
    retype(form->Text6, QStringLiteral("nota"));
    failOnce();
    click(form->File1);
    expectTold(before);
    EXPECT_FALSE(QFileInfo::exists(at(QStringLiteral("notas/2007-3-15--10-0"))));
    EXPECT_EQ(form->Text6->text(), QStringLiteral("nota"));
    clickInto(form->Text6);
    click(form->File1);
    EXPECT_EQ(bytesAt(QStringLiteral("notas/2007-3-15--10-0")), QByteArray("nota"));

    // Card: the group copy and the copy in "Todos" are each told.
    QDir().mkpath(at(QStringLiteral("direcciones/Amigos")));
    click(form->Command6[5]);
    form->Combo3->setEditText(QStringLiteral("Amigos"));
    retype(form->Text7[0], QStringLiteral("Ruiz"));
    before = platform.messages.size();
    writeFaults.failNext(2, reason);
    injected += 2;
    click(form->Command7[0]);
    EXPECT_EQ(platform.messages.size(), before + 2);
    EXPECT_FALSE(QFileInfo::exists(at(QStringLiteral("direcciones/Amigos/Ruiz"))));
    EXPECT_EQ(form->Text7[0]->text(), QStringLiteral("Ruiz"));
    click(form->Command7[0]);
    EXPECT_TRUE(bytesAt(QStringLiteral("direcciones/Todos/Ruiz")).startsWith("Ruiz\r\n"));
    EXPECT_TRUE(bytesAt(QStringLiteral("direcciones/Amigos/Ruiz")).startsWith("Ruiz\r\n"));

    // Export.
    before = platform.messages.size();
    const int editors = platform.editorRequests.size();
    failOnce();
    click(form->Command9);
    expectTold(before);
    EXPECT_EQ(platform.editorRequests.size(), editors); // no editor on an old export
    std::printf("[ figures ] %d write failures injected through the store\n", injected);
}

TEST_F(Reliability, AFolderInPlaceOfAFileOrOfAFolderIsToldAndTheProgramGoesOn) {
    open();
    QDir().mkpath(at(QStringLiteral("dias/") + kToday));
    int before = platform.messages.size();
    writeDiary(QStringLiteral("hoy"));
    EXPECT_GT(platform.messages.size(), before);
    EXPECT_EQ(form->Text1->text(), QStringLiteral("hoy"));
    QDir(at(QStringLiteral("dias/") + kToday)).removeRecursively();
    clickInto(form->Text1);
    clickInto(form->Text9[0]);
    EXPECT_EQ(bytesAt(QStringLiteral("dias/") + kToday), QByteArray("hoy"));

    // A card name taken by a folder in "Todos".
    QDir().mkpath(at(QStringLiteral("direcciones/Todos/Ruiz")));
    click(form->Command6[5]);
    retype(form->Text7[0], QStringLiteral("Ruiz"));
    before = platform.messages.size();
    click(form->Command7[0]);
    EXPECT_GT(platform.messages.size(), before);
    EXPECT_EQ(form->Text7[0]->text(), QStringLiteral("Ruiz"));

    // The notes folder replaced by a file.
    QDir(at(QStringLiteral("notas"))).removeRecursively();
    putAt(QStringLiteral("notas"), "no es una carpeta");
    click(form->Command6[4]);
    retype(form->Text6, QStringLiteral("nota"));
    before = platform.messages.size();
    click(form->Command6[0]);
    EXPECT_GT(platform.messages.size(), before);
    EXPECT_EQ(form->Text6->text(), QStringLiteral("nota"));
    EXPECT_EQ(bytesAt(QStringLiteral("notas")), QByteArray("no es una carpeta"));
    EXPECT_EQ(outside(), QStringList{});
}

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
    putAt(QStringLiteral("dias/") + kToday, old);
    open();
    putAt(QStringLiteral("relleno"), QByteArray(300000, 'r')); // fills the disk to the last byte
    const QString page = QStringLiteral("dias/") + kToday;
    const int before = platform.messages.size();
    clickInto(form->Text1);
    typeText(form->Text1, QStringLiteral("más"));
    clickInto(form->Text9[0]);
    ASSERT_GT(platform.messages.size(), before);
    EXPECT_TRUE(platform.messages[before].startsWith(QStringLiteral("No se ha podido guardar")));
    EXPECT_EQ(bytesAt(page), old);
    EXPECT_EQ(store::listFiles(at(QStringLiteral("dias"))), QStringList{kToday});
    QFile::remove(at(QStringLiteral("relleno")));
    clickInto(form->Text1);
    clickInto(form->Text9[0]);
    EXPECT_TRUE(bytesAt(page).startsWith(cp1252("más"))); // saved with the next save
}

} // namespace
