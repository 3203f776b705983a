// The life of every box bound to a file, as one table: each kind of box (the diary, a
// week box, the holiday and the reminder, the note, a card) through each moment of its
// life (filled, typed, left, crashed, deleted or changed by another program, the exit),
// all through real input, the files checked byte for byte. No text typed or given back
// after a crash is ever dropped without a word.
#include "app/instancelock.h"
#include "store/history.h"
#include "store/recovery.h"
#include "support/formfixture.h"

#include <QDir>
#include <QFile>
#include <tuple>

using namespace quelora;
using namespace quelora::test;

namespace {

class BoxLife;

// One kind of box, as a person reaches it on 15 March 2007.
struct Kind {
    const char* name;
    const char* file;  // where its text comes from
    const char* saved; // where a save puts it
    QByteArray (*bytes)(const QString& text);
    void (*reach)(BoxLife&);       // brings the box on screen
    void (*fill)(BoxLife&);        // and fills it from its file, where a click does
    TextBox* (*box)(Form1&);       // where the user types
    void (*save)(BoxLife&);        // its button, or leaving it
    void (*awayAndBack)(BoxLife&); // another day, panel or card, and back to it
    bool byButton;                 // saved by a button, not by leaving it
};

void PrintTo(const Kind& k, std::ostream* os) {
    *os << k.name;
}

QByteArray pageBytes(const QString& text) {
    return store::encode(text);
}
QByteArray dayBytes(const QString& text) {
    return store::encode(text) + "\r\n";
}
QByteArray cardBytes(const QString& name) {
    return "Ruiz\r\n" + store::encode(name) + "\r\n\r\n\r\n\r\n\r\n\r\n";
}

class BoxLife : public FormFixture {
public:
    using FormFixture::click;
    using FormFixture::clickInto;
    using FormFixture::clickRow;
    using FormFixture::dayButton;
    Form1& f() { return *form; }

    // The window on 15 March, the box on screen filled with "antes" from its file.
    void open(const Kind& k) {
        writeBytes(u(k.file), k.bytes(u("antes")));
        writeBytes(u("direcciones/Amigos/Bravo"), "Bravo\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
        makeFolder(u("direcciones/Todos"));
        start();
        k.reach(*this);
        k.fill(*this);
    }
    void type(const Kind& k, const QString& text) {
        TextBox* box = k.box(*form);
        clickInto(box);
        pressKey(box, Qt::Key_End, Qt::ControlModifier);
        typeText(box, text);
    }
    bool exitEnds() {
        const int before = platform.endRequests;
        click(form->Command10);
        return platform.endRequests > before;
    }
    QStringList others(const QString& folder) const { return filesIn(folder).filter(u("(otra versión")); }
    QString folderOf(const Kind& k) const { return u(k.file).section(u'/', 0, -2); }
    QString shown(const Kind& k) { return k.box(*form)->text(); }
    // The earlier texts of the file a save puts k's text in, newest first.
    QList<QByteArray> history(const Kind& k) const {
        QList<QByteArray> out;
        for (const auto& kept :
             history::keptOf(dataFolder(), path(folderOf(k)), u(k.saved).section(u'/', -1))) {
            QFile f(kept.path);
            out << (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ilegible>"));
        }
        return out;
    }
    // What the save of k replaced, if it replaced a file (a note is saved as a note of its own).
    QList<QByteArray> replaced(const Kind& k, const QString& text) const {
        return u(k.saved) == u(k.file) ? QList<QByteArray>{k.bytes(text)} : QList<QByteArray>{};
    }
};

const Kind kKinds[] = {
    {"Diary", "dias/JUEVES, 15 de MARZO de 2007.txt", "dias/JUEVES, 15 de MARZO de 2007.txt", pageBytes,
     [](BoxLife&) {}, [](BoxLife&) {}, [](Form1& f) { return f.Text1; },
     [](BoxLife& t) { t.click(t.dayButton(16)); },
     [](BoxLife& t) {
         t.click(t.dayButton(16));
         t.click(t.dayButton(15));
     },
     false},
    {"WeekBox", "dias/VIERNES, 16 de MARZO de 2007.txt", "dias/VIERNES, 16 de MARZO de 2007.txt", pageBytes,
     [](BoxLife& t) { t.click(t.f().Command6[1]); }, [](BoxLife&) {}, [](Form1& f) { return f.Text2[4]; },
     [](BoxLife& t) { t.clickInto(t.f().Text2[5]); },
     [](BoxLife& t) {
         t.click(t.f().Command6[0]);
         t.click(t.f().Command6[1]);
     },
     false},
    {"Holiday", "fiestas/15 de MARZO.txt", "fiestas/15 de MARZO.txt", dayBytes, [](BoxLife&) {},
     [](BoxLife&) {}, [](Form1& f) { return f.Text9[0]; }, [](BoxLife& t) { t.click(t.f().Command11[0]); },
     [](BoxLife& t) {
         t.click(t.dayButton(16));
         t.click(t.dayButton(15));
     },
     true},
    {"Reminder", "recordatorio/15 de MARZO.txt", "recordatorio/15 de MARZO.txt", dayBytes, [](BoxLife&) {},
     [](BoxLife&) {}, [](Form1& f) { return f.Text9[1]; }, [](BoxLife& t) { t.click(t.f().Command11[1]); },
     [](BoxLife& t) {
         t.click(t.f().Command4[3]); // another month, and back to the day
         t.click(t.f().Command4[2]);
         t.click(t.dayButton(15));
     },
     true},
    {"Note", "notas/2007-3-1--9-0", "notas/2007-3-15--10-0", pageBytes,
     [](BoxLife& t) { t.click(t.f().Command6[4]); },
     [](BoxLife& t) { t.clickRow(t.f().File1, u("2007-3-1--9-0")); }, [](Form1& f) { return f.Text6; },
     [](BoxLife& t) { t.click(t.f().Command6[0]); },
     [](BoxLife& t) {
         t.click(t.f().Command6[0]);
         t.click(t.f().Command6[4]);
     },
     false},
    {"Card", "direcciones/Amigos/Ruiz", "direcciones/Amigos/Ruiz", cardBytes,
     [](BoxLife& t) { t.click(t.f().Command6[5]); }, [](BoxLife& t) { t.clickRow(t.f().File2, u("Ruiz")); },
     [](Form1& f) { return f.Text7[1]; }, [](BoxLife& t) { t.click(t.f().Command7[0]); },
     [](BoxLife& t) { t.clickRow(t.f().File2, u("Bravo")); }, true},
};

enum class Moment {
    Saved,
    SaveFailed,
    LeftUnsaved,
    SessionEnd,
    Crash,
    DeletedBeforeRestart,
    FollowedUnedited,
    KeptBesideEdited,
    HistoryCannotKeep
};
const char* const kMomentNames[] = {"TypedAndSaved",
                                    "TypedAndItsSaveFailed",
                                    "TypedAndLeftWithoutItsSave",
                                    "TypedWhenTheSessionEnds",
                                    "TypedThenACrash",
                                    "TypedThenACrashAndItsFileDeleted",
                                    "ChangedByAnotherProgramUnedited",
                                    "ChangedByAnotherProgramWhileEdited",
                                    "SavedWhenTheHistoryCannotKeep"};

class BoxLives : public BoxLife, public ::testing::WithParamInterface<std::tuple<Kind, Moment>> {};

TEST_P(BoxLives, LoseNoWord) {
    const auto& [k, moment] = GetParam();
    open(k);
    ASSERT_EQ(shown(k), u("antes"));
    const QByteArray before = readBytes(u(k.saved));
    switch (moment) {
    case Moment::Saved:
        type(k, u(" y después"));
        k.save(*this);
        EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes y después")));
        EXPECT_EQ(history(k), replaced(k, u("antes"))); // kept first
        EXPECT_TRUE(exitEnds());
        break;
    case Moment::HistoryCannotKeep:
        // Saved all the same, and said once a session however often it happens.
        writeFaults.failNext(100, u("disco lleno (prueba)"), FailingWrites::Of::History);
        type(k, u(" uno"));
        k.save(*this);
        if (!k.byButton) k.awayAndBack(*this); // back to the box its leaving saved
        type(k, u(" dos"));
        k.save(*this);
        EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes uno dos")));
        EXPECT_EQ(platform.messages.filter(u("historial")).size(), 1)
            << platform.messages.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(history(k).isEmpty());
        EXPECT_TRUE(exitEnds());
        break;
    case Moment::SaveFailed:
        // Kept in its box, and saved at the next chance: the exit tries again what leaving
        // saves, and waits once for what waits for its button.
        type(k, u(" otra vez"));
        writeFaults.failNext(1, u("disco lleno (prueba)"));
        k.save(*this);
        ASSERT_FALSE(platform.messages.isEmpty()); // which file and why
        EXPECT_TRUE(platform.messages.last().contains(u("disco lleno (prueba)")));
        EXPECT_TRUE(platform.messages.last().contains(QDir::toNativeSeparators(path(u(k.saved)))));
        EXPECT_EQ(readBytes(u(k.saved)), before); // the old file whole
        k.awayAndBack(*this);                     // the text in its box, or back with its day
        EXPECT_EQ(shown(k), u("antes otra vez"));
        if (k.byButton) {
            EXPECT_FALSE(exitEnds());
            k.save(*this);
        }
        EXPECT_TRUE(exitEnds());
        EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes otra vez")));
        break;
    case Moment::LeftUnsaved:
        // Saved by leaving, or held with its file and shown again, never dropped.
        type(k, u(" sin guardar"));
        k.awayAndBack(*this);
        EXPECT_EQ(shown(k), u("antes sin guardar"));
        if (!k.byButton) {
            EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes sin guardar")));
            break;
        }
        EXPECT_EQ(readBytes(u(k.saved)), before);
        ASSERT_FALSE(exitEnds()); // said once
        ASSERT_FALSE(platform.messages.isEmpty());
        EXPECT_TRUE(platform.messages.last().contains(u("Si vuelves a salir")))
            << platform.messages.last().toStdString();
        EXPECT_TRUE(exitEnds());
        crashAndRestart(); // the next start, on the disk as the exit left it
        k.reach(*this);
        EXPECT_EQ(shown(k), u("antes sin guardar"));
        break;
    case Moment::SessionEnd:
        // The desktop logs out: nothing holds it up, and nothing typed is lost.
        type(k, u(" al salir"));
        EXPECT_TRUE(f().SessionEnds());
        EXPECT_TRUE(form->close());
        crashAndRestart();
        k.reach(*this);
        if (k.byButton)
            EXPECT_EQ(shown(k), u("antes al salir"));
        else
            EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes al salir")));
        break;
    case Moment::Crash:
    case Moment::DeletedBeforeRestart:
        type(k, u(" y más"));
        f().KeepUnsavedTexts(); // the typing pauses
        if (moment == Moment::DeletedBeforeRestart) QFile::remove(path(u(k.file)));
        crashAndRestart();
        k.reach(*this);
        if (!k.byButton) { // written where leaving the box would have written it
            EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes y más")));
            EXPECT_EQ(others(folderOf(k)), QStringList{});
            EXPECT_TRUE(exitEnds());
            EXPECT_FALSE(exists(recovery::fileNameOf(thisComputer())));
            break;
        }
        EXPECT_EQ(shown(k), u("antes y más")); // back in its box, unsaved
        EXPECT_FALSE(exitEnds());              // the exit holds for it as for a failed save
        k.save(*this);
        EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes y más")));
        EXPECT_TRUE(exitEnds());
        EXPECT_FALSE(exists(recovery::fileNameOf(thisComputer())));
        break;
    case Moment::FollowedUnedited:
        writeBytes(u(k.file), k.bytes(u("de fuera")));
        EXPECT_TRUE(waitUntil([&] { return shown(k) == u("de fuera"); })) << shown(k).toStdString();
        break;
    case Moment::KeptBesideEdited: {
        type(k, u(" mío"));
        writeBytes(u(k.file), k.bytes(u("de fuera")));
        settle();
        EXPECT_EQ(shown(k), u("antes mío"));
        k.save(*this);
        EXPECT_EQ(readBytes(u(k.saved)), k.bytes(u("antes mío")));
        if (u(k.saved) != u(k.file)) { // a note is saved as a note of its own: nothing replaced
            EXPECT_EQ(readBytes(u(k.file)), k.bytes(u("de fuera")));
            break;
        }
        const QStringList kept = others(folderOf(k));
        ASSERT_EQ(kept.size(), 1);
        ASSERT_FALSE(platform.messages.isEmpty());
        EXPECT_EQ(readBytes(folderOf(k) + QLatin1Char('/') + kept[0]), k.bytes(u("de fuera")));
        EXPECT_TRUE(platform.messages.last().contains(kept[0]));
        EXPECT_EQ(history(k), replaced(k, u("de fuera")));
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, BoxLives,
    ::testing::Combine(::testing::ValuesIn(kKinds),
                       ::testing::Values(Moment::Saved, Moment::SaveFailed, Moment::LeftUnsaved,
                                         Moment::SessionEnd, Moment::Crash, Moment::DeletedBeforeRestart,
                                         Moment::FollowedUnedited, Moment::KeptBesideEdited,
                                         Moment::HistoryCannotKeep)),
    [](const auto& row) {
        return std::string(std::get<0>(row.param).name) + kMomentNames[int(std::get<1>(row.param))];
    });

// Deleting is replacing with nothing: the text goes to the history first.
TEST_F(BoxLife, WhatIsDeletedGoesToTheHistoryFirst) {
    writeBytes(u("notas/2007-3-1--9-0"), "nota vieja");
    writeBytes(u("direcciones/Amigos/Ruiz"), cardBytes(u("Ana")));
    writeBytes(u("fiestas/15 de MARZO.txt"), dayBytes(u("San Nadie")));
    makeFolder(u("direcciones/Todos"));
    start();
    retype(f().Text9[0], QString()); // the holiday emptied and saved
    click(f().Command11[0]);
    click(f().Command6[4]); // a note, ELIMINAR
    clickRow(f().File1, u("2007-3-1--9-0"));
    click(f().Command13);
    click(f().Command6[5]); // a card, ELIMINAR
    clickRow(f().File2, u("Ruiz"));
    click(f().Command7[2]);
    const std::tuple<const char*, const char*, QByteArray> gone[] = {
        {"fiestas", "15 de MARZO.txt", dayBytes(u("San Nadie"))},
        {"notas", "2007-3-1--9-0", "nota vieja"},
        {"direcciones/Amigos", "Ruiz", cardBytes(u("Ana"))}};
    for (const auto& [folder, name, bytes] : gone) {
        EXPECT_FALSE(exists(u(folder) + QLatin1Char('/') + u(name))) << name;
        const auto kept = history::keptOf(dataFolder(), path(u(folder)), u(name));
        ASSERT_EQ(kept.size(), 1) << name;
        QFile file(kept[0].path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes) << name;
    }
}

// The copy of unsaved text travels with the folder: another computer's comes back here
// only once Quelora has ended there (its lock gone), never while it may still be running.
struct LeftCopy {
    const char* name;
    const char* file;
    bool lockThere; // the other computer's lock came with it
};
void PrintTo(const LeftCopy& c, std::ostream* os) {
    *os << c.name;
}
class LeftCopies : public BoxLife, public ::testing::WithParamInterface<LeftCopy> {};

TEST_P(LeftCopies, AreGivenBackOnlyWhenNoOneElseWill) {
    const LeftCopy& c = GetParam();
    recovery::Entry e;
    e.kind = u("pagina");
    e.target = u("JUEVES, 15 de MARZO de 2007");
    e.texts = {u("escrito en el portátil")};
    e.base = store::absentVersion();
    const QByteArray copy = recovery::encode({e}, platform.clock, false, u("PORTATIL-1a2b3c4d"));
    writeBytes(u(c.file), copy);
    if (c.lockThere) writeBytes(computerLockName(u("PORTATIL-1a2b3c4d")), "4242\nquelora\nPORTATIL\n");
    start();
    const QString page = u("dias/JUEVES, 15 de MARZO de 2007.txt");
    ASSERT_EQ(platform.messages.size(), 1);
    if (!c.lockThere) {
        EXPECT_EQ(readBytes(page), store::encode(u("escrito en el portátil")));
        EXPECT_FALSE(exists(u(c.file))); // given back once, here
        return;
    }
    EXPECT_FALSE(exists(page));
    EXPECT_TRUE(platform.messages[0].contains(u("«PORTATIL»"))) << platform.messages[0].toStdString();
    typeInto(f().Text1, u("aquí"));
    f().KeepUnsavedTexts(); // this computer's copy beside the other's, which stays as it came
    EXPECT_EQ(readBytes(u(c.file)), copy);
    EXPECT_TRUE(readBytes(recovery::fileNameOf(thisComputer())).contains("aqu"));
}

INSTANTIATE_TEST_SUITE_P(
    FromAnotherComputer, LeftCopies,
    ::testing::Values(LeftCopy{"StillOpenThere", ".quelora-sin-guardar-PORTATIL-1a2b3c4d.json", true},
                      LeftCopy{"EndedThere", ".quelora-sin-guardar-PORTATIL-1a2b3c4d.json", false},
                      LeftCopy{"ByAnOlderQuelora", ".quelora-sin-guardar.json", false}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
