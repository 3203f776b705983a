// The search of a small data folder: what it finds, in what order, and how it keeps up
// with files changed behind its back.
#include "calendar/calendar.h"
#include "search/background.h"
#include "search/search.h"
#include "store/codepage.h"
#include "support/text.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace quelora;
using search::Kind;

namespace {

using quelora::test::u;

QDateTime at(int y, int m, int d, int h = 12, int min = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

// A data folder in a temporary folder; text is written in Windows-1252.
class Folder {
public:
    QString root() const { return dir_.path(); }
    QString path(const QString& rel) const { return dir_.path() + QLatin1Char('/') + rel; }

    void bytes(const QString& rel, const QByteArray& content, const QDateTime& modified = {}) {
        const QString p = path(rel);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.flush(); // else the close writes, and the time set is lost
        if (modified.isValid()) {
            ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }
    void text(const QString& rel, const QString& content, const QDateTime& modified = {}) {
        bool lossy = false;
        bytes(rel, store::encode(content, &lossy), modified);
        ASSERT_FALSE(lossy) << rel.toStdString();
    }
    void remove(const QString& rel) { ASSERT_TRUE(QFile::remove(path(rel))); }
#ifdef Q_OS_UNIX
    // A link at rel to target (a path of its own, or below the data folder when relative).
    void link(const QString& rel, const QString& target) {
        QDir().mkpath(QFileInfo(path(rel)).path());
        ASSERT_TRUE(QFile::link(QDir::isAbsolutePath(target) ? target : path(target), path(rel)));
    }
#endif
    // A folder beside the data folder, not in it.
    QString outside(const QString& rel) const {
        return outside_.path() + QLatin1Char('/') + rel;
    }
    void outsideBytes(const QString& rel, const QByteArray& content) {
        QDir().mkpath(QFileInfo(outside(rel)).path());
        QFile f(outside(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

private:
    QTemporaryDir dir_;
    QTemporaryDir outside_;
};

// Kind and caption of each hit, one line each, for readable failures.
QStringList listed(const QList<search::Hit>& hits) {
    static const char* kinds[] = {"page", "note", "card", "holiday", "reminder", "saint"};
    QStringList out;
    for (const search::Hit& h : hits)
        out << QString::fromLatin1(kinds[static_cast<int>(h.kind)]) + QStringLiteral(": ") + h.caption;
    return out;
}

QStringList lines(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* s : list)
        out << u(s);
    return out;
}

const char* kMarch15 = "page: JUEVES, 15 de MARZO de 2007";
const char* kMay24 = "page: JUEVES, 24 de mayo de 2007";
const char* kJune24 = "page: DOMINGO, 24 de JUNIO de 2007";
const char* kJanuary1 = "page: LUNES, 1 de ENERO de 2007";
const char* kNoteJune = "note: Nota del 24/6/2007, 9:05";
const char* kNoteMarch = "note: Nota del 15/3/2007, 21:30";
const char* kGarcia = "card: GARCÍA PÉREZ — Amigos";
const char* kNunez = "card: NÚÑEZ — Todos";
const char* kLopez = "card: LÓPEZ — Trabajo";
const char* kBirthday = "reminder: Recordatorio: 24 de JUNIO";

// The folder every query of the table runs on; `pages` is the diary folder's spelling.
void fill(Folder& f, const QString& pages) {
    const QString d = pages + QLatin1Char('/');
    f.text(d + u("JUEVES, 15 de MARZO de 2007.txt"),
           u("Hoy fui al médico con Ana.\r\nDespués, café en la Plaza Mayor: 3 €."));
    // No page under the caption's own spelling: the first in code-unit order is the one opened.
    f.text(d + u("JUEVES, 24 de mayo de 2007.txt"), u("El año pasado llovió mucho.\r\nMañana, reunión."));
    f.text(d + u("jueves, 24 de mayo de 2007.txt"), u("clandestino"));
    f.text(d + u("domingo, 24 de junio de 2007.txt"), u("clandestino")); // beside the caption's spelling
    f.text(d + u("DOMINGO, 24 de JUNIO de 2007.txt"), u("Pingüino en el zoo."));
    f.text(d + u("LUNES, 1 de ENERO de 2007.txt"), u("Año nuevo: pagué 20€ por la cena.\r\nNADA MÁS."));
    // Nothing a search shows, though each holds the word.
    f.text(d + u(".oculto.txt"), u("clandestino"));
    f.text(d + u("notas sueltas.txt"), u("clandestino"));
    f.text(d + u("LUNES, 15 de MARZO de 2007.txt"), u("clandestino")); // not the weekday of that date
    f.text(d + u(".~quelora-0123456789abcdef.tmp"), u("clandestino"));
    f.text(d + u("desktop.ini"), u("clandestino"));
    // What sync engines leave: another computer's version is searched on its day, and says
    // so; a file on its way is nothing yet. A page from elsewhere in UTF-8 reads as written.
    f.text(d + u("JUEVES, 15 de MARZO de 2007.sync-conflict-20070315-203000-ABCDEF1.txt"),
           u("Desde el portátil."));
    f.text(d + u(".syncthing.LUNES, 1 de ENERO de 2007.txt.tmp"), u("clandestino"));
    f.bytes(d + u("MARTES, 2 de ENERO de 2007.txt"), "Montserrat, en Catalu\xC3\xB1" "a");
    QDir().mkpath(f.path(d + u("MARTES, 16 de MARZO de 2007.txt"))); // a folder, not a page
#ifdef Q_OS_UNIX
    // A FIFO under a page's name: a search that opened it for reading would hang here.
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(f.path(d + u("MIÉRCOLES, 14 de MARZO de 2007.txt"))).constData(), 0600),
        0);
    // 200 GB, nearly all of it a hole: only its first part is searched.
    const QString sparse = f.path(d + u("VIERNES, 16 de MARZO de 2007.txt"));
    f.bytes(d + u("VIERNES, 16 de MARZO de 2007.txt"), "Disco enorme.");
    const int fd = ::open(QFile::encodeName(sparse).constData(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::pwrite(fd, " profundo", 9, search::kFileCapBytes + 1000), 9);
    EXPECT_EQ(::ftruncate(fd, 200LL << 30), 0);
    ::close(fd);
    // Links out of the data folder (one inside is followed: see the changes below).
    f.outsideBytes(u("s.txt"), "clandestino");
    f.link(d + u("SÁBADO, 17 de MARZO de 2007.txt"), f.outside(u("s.txt")));
    f.outsideBytes(u("grupo/ROMERO"), "ROMERO\r\nclandestino\r\n");
    f.link(u("direcciones/Fuera"), f.outside(u("grupo")));
#endif

    f.text(u("notas/2007-6-24--9-5"), u("Comprar pingüino de peluche\r\npara el cumpleaños de María"));
    f.text(u("notas/2007-3-15--21-30"), u("Llamar al médico mañana.\r\nVacaciones de verano."));
    f.text(u("notas/lista"), u("clandestino"));
    f.text(u("notas/Thumbs.db"), u("clandestino"));
    f.text(u("notas/2007-6-24--9-5 (conflicted copy 2007-06-24 100000)"), u("Otro ordenador lo escribió"));
    f.text(u("notas/2005-5-5--5-5"), u("Billete a ISTANBUL.\r\nHotel en la Straße 5"));

    const auto card = [](std::initializer_list<const char*> fields) {
        QString s;
        for (const char* field : fields)
            s += u(field) + u("\r\n");
        return s;
    };
    const QString garcia = card({"GARCÍA PÉREZ", "Ana", "C/ Mayor, 3", "Logroño", "941 000 000",
                                 "ana@correo.es", "Amiga del colegio\r\nvive cerca del río"});
    f.text(u("direcciones/Amigos/GARCÍA PÉREZ"), garcia, at(2007, 5, 1));
    f.text(u("direcciones/Todos/GARCÍA PÉREZ"), garcia, at(2007, 5, 2));
    const QString lopez = card({"LÓPEZ", "Luis", "", "Madrid", "", "", "Proveedor"});
    f.text(u("direcciones/Trabajo/LÓPEZ"), lopez, at(2006, 3, 1));
    // The copy, in another letter case, with a line of its own.
    f.text(u("direcciones/Todos/López"), lopez + u("tornillos\r\n"), at(2006, 3, 1));
    // Not the same name: "ß" is no "SS".
    f.text(u("direcciones/Amigos/WEISS"), card({"WEISS", "Hans", "", "Berlín", "", "", "Greta"}),
           at(2005, 1, 1));
    f.text(u("direcciones/Todos/WEIß"), card({"WEIß", "Greta", "", "Viena", "", "", ""}), at(2005, 2, 1));
    f.text(u("direcciones/Amigos/desktop.ini"), u("clandestino"));
    f.text(u("direcciones/Todos/desktop.ini"), u("clandestino"));
    f.text(u("direcciones/Amigos/GARCÍA PÉREZ.sync-conflict-20070501-100000-ABCDEF1"), u("clandestino"));
    f.text(u("direcciones/Todos/NÚÑEZ"),
           card({"NÚÑEZ", "Pedro", "Plaza España 1", "Cádiz", "", "",
                 "Compañero de trabajo\r\ndel año 1999\r\nmédico"}),
           at(2006, 1, 1));
    f.text(u("direcciones/.viejas/ROMERO"), card({"ROMERO", "clandestino", "", "", "", "", ""}));

    f.text(u("fiestas/25 de DICIEMBRE.txt"), u("Navidad\r\n"), at(2006, 12, 1));
    f.text(u("fiestas/6 de enero.txt"), u("Reyes Magos\r\n"), at(2006, 11, 1));
    f.text(u("fiestas/05 de MAYO.txt"), u("clandestino\r\n"));
    f.text(u("fiestas/25 de diciembre.txt"), u("clandestino\r\n")); // beside the name looked for
    f.text(u("recordatorio/24 de JUNIO.txt"), u("Cumpleaños de María\r\n"), at(2007, 6, 24, 10, 0));
    f.text(u("santoral/24 de JUNIO.txt"), u("San Juan Bautista\r\n"), at(2006, 6, 1));
    f.text(u("santoral/31 de FEBRERO.txt"), u("clandestino\r\n"));
    f.text(u("texto.txt"), u("clandestino médico"));
    // The history of earlier texts: a page, a card and a holiday as they were.
    f.text(u(".historial/dias/JUEVES, 15 de MARZO de 2007.txt/2007-03-15 10.05.00.txt"), u("clandestino"));
    f.text(u(".historial/direcciones/Amigos/GARCÍA PÉREZ/2007-03-15 10.05.00.txt"), u("clandestino"));
    f.text(u(".historial/fiestas/25 de DICIEMBRE.txt/2007-03-15 10.05.00.txt"), u("clandestino\r\n"));
}

struct Query {
    const char* query;
    std::initializer_list<const char*> expected;
};

const Query kQueries[] = {
    // Accents, capitals and ñ.
    {"médico", {kNoteMarch, kMarch15, kNunez}},
    {"MEDICO", {kNoteMarch, kMarch15, kNunez}},
    {"ano", {kNoteMarch}},                                      // "verano"; never "año"
    {"año", {kBirthday, kNoteJune, kMay24, kJanuary1, kNunez}}, // "cumpleaños" too
    {"AÑO", {kBirthday, kNoteJune, kMay24, kJanuary1, kNunez}},
    {"manana", {}},
    {"mañana", {kMay24, kNoteMarch}},
    {"pinguino", {kNoteJune, kJune24}},
    {"PINGÜINO", {kNoteJune, kJune24}},
    // Windows-1252 beyond Latin-1: "€" is byte 0x80.
    {"€", {kMarch15, kJanuary1}},
    // Every word, in any order, anywhere inside words.
    {"cafe plaza", {kMarch15}},
    {"plaza  café", {kMarch15}},
    {"cafe zoo", {}},
    {"reu", {kMay24}},
    {"ción", {kNoteMarch}}, // "Vacaciones"
    // Cards: the whole file, a reference on several lines, "Todos" copies once.
    {"rio", {kGarcia}},
    {"lopez", {kLopez}},
    {"logroño 941", {kGarcia}},
    {"tornillos", {"card: LÓPEZ — Todos"}}, // only in the copy
    {"greta", {"card: WEIß — Todos", "card: WEISS — Amigos"}},
    {"ana", {kMay24, kGarcia, kNoteMarch, kMarch15}}, // "Mañana", "Ana", "mañana", "Ana"
    // Day texts, in names of any letter case.
    {"navidad", {"holiday: Fiesta: 25 de DICIEMBRE"}},
    {"reyes", {"holiday: Fiesta: 6 de enero"}},
    {"juan", {"saint: Santo: 24 de JUNIO"}},
    {"cumpleaños maria", {kBirthday, kNoteJune}},
    // Another computer's version, on its day; a page in UTF-8.
    {"portatil", {"page: JUEVES, 15 de MARZO de 2007 (otra versión, de otro ordenador (Syncthing, "
                  "dispositivo ABCDEF1))"}},
    {"otro ordenador", {"note: Nota del 24/6/2007, 9:05 (otra versión, de otro ordenador (Nextcloud))"}},
    {"cataluña", {"page: MARTES, 2 de ENERO de 2007"}},
    // Hidden, temporary, misnamed, not regular, a system's, another spelling of a page or
    // day file, outside the searched folders or behind a link out of the data folder.
    {"clandestino", {}},
#ifdef Q_OS_UNIX
    // A file of 200 GB: its first part only.
    {"enorme", {"page: VIERNES, 16 de MARZO de 2007"}},
    {"profundo", {}},
#endif
    {"", {}},
    {"   ", {}},
};

// Each query on the folder with its diary folder spelled both ways, with the notices
// and with the file-by-file checks.
class QueryTable : public ::testing::TestWithParam<std::tuple<const char*, bool>> {};

TEST_P(QueryTable, FindsEveryFileWithAllTheWordsNewestFirst) {
    Folder f;
    fill(f, u(std::get<0>(GetParam())));
    search::Searcher searcher(f.root(), search::kDefaultBudgetBytes, std::get<1>(GetParam()));
    for (const Query& q : kQueries) {
        QStringList expected;
        for (const char* e : q.expected)
            expected << u(e);
        EXPECT_EQ(listed(searcher.find(u(q.query))), expected) << "query: " << q.query;
    }
}

INSTANTIATE_TEST_SUITE_P(Search, QueryTable,
                         ::testing::Combine(::testing::Values("dias", "DIAS"), ::testing::Bool()));

TEST(Search, AFolderOverTheBudgetKeepsNothingAndFindsTheSame) {
    Folder f;
    fill(f, u("dias"));
    search::Searcher kept(f.root());
    search::Searcher tight(f.root(), 1000); // fewer bytes than the files take
#ifdef Q_OS_UNIX
    const int cut = 1; // the sparse page
#else
    const int cut = 0;
#endif
    for (const Query& q : kQueries) {
        EXPECT_EQ(listed(tight.find(u(q.query))), listed(kept.find(u(q.query)))) << "query: " << q.query;
        if (!QString::fromUtf8(q.query).trimmed().isEmpty()) {
            EXPECT_TRUE(tight.lastStats().overBudget);
            EXPECT_EQ(tight.lastStats().kept, 0);
            EXPECT_LE(tight.lastStats().peak, 1000);
            EXPECT_FALSE(kept.lastStats().overBudget);
            EXPECT_EQ(tight.lastStats().cut, cut);
            EXPECT_EQ(kept.lastStats().cut, cut);
        }
    }
}

TEST(Search, EachHitSaysWhereItLives) {
    Folder f;
    fill(f, u("DIAS"));
    search::Searcher searcher(f.root());

    const QList<search::Hit> pages = searcher.find(u("pagué"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].kind, Kind::Page);
    EXPECT_EQ(pages[0].folder, u("DIAS"));
    EXPECT_EQ(pages[0].file, u("LUNES, 1 de ENERO de 2007.txt"));
    EXPECT_EQ(pages[0].path, f.path(u("DIAS/LUNES, 1 de ENERO de 2007.txt")));
    EXPECT_EQ(pages[0].date, QDate(2007, 1, 1));
    EXPECT_EQ(pages[0].when, at(2007, 1, 1, 0, 0));

    const QList<search::Hit> notes = searcher.find(u("peluche"));
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0].folder, u("notas"));
    EXPECT_EQ(notes[0].file, u("2007-6-24--9-5"));
    EXPECT_EQ(notes[0].noteTime, at(2007, 6, 24, 9, 5));

    const QList<search::Hit> cards = searcher.find(u("colegio"));
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].folder, u("direcciones"));
    EXPECT_EQ(cards[0].group, u("Amigos"));
    EXPECT_EQ(cards[0].file, u("GARCÍA PÉREZ"));
    EXPECT_EQ(cards[0].when, at(2007, 5, 1));

    const QList<search::Hit> days = searcher.find(u("magos"));
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days[0].folder, u("fiestas"));
    EXPECT_EQ(days[0].file, u("6 de enero.txt"));
    EXPECT_EQ(days[0].day, 6);
    EXPECT_EQ(days[0].month, 1);
}

TEST(Search, TheExcerptShowsTheFirstHitAsWritten) {
    Folder f;
    fill(f, u("dias"));
    search::Searcher searcher(f.root());
    const struct {
        const char* query;
        const char* excerpt;
        const char* hit;
    } rows[] = {
        {"mayor cafe", "Hoy fui al médico con Ana. Después, café en la Plaza Mayor: 3 €.", "café"},
        {"mas nada", "Año nuevo: pagué 20€ por la cena. NADA MÁS.", "NADA"},
        // Near the end: the context comes from before it.
        {"rio", "…3 Logroño 941 000 000 ana@correo.es Amiga del colegio vive cerca del río", "río"},
        // Query words the code page cannot hold as typed.
        {"İstanbul", "Billete a ISTANBUL. Hotel en la Straße 5", "ISTANBUL"},
        {"5 STRAẞE", "Billete a ISTANBUL. Hotel en la Straße 5", "Straße"},
        {"ista\xcc\xb1nbul", "Billete a ISTANBUL. Hotel en la Straße 5", "ISTANBUL"},
    };
    for (const auto& r : rows) {
        const QList<search::Hit> hits = searcher.find(u(r.query));
        ASSERT_EQ(hits.size(), 1) << r.query;
        EXPECT_EQ(hits[0].excerpt, u(r.excerpt)) << r.query;
        EXPECT_EQ(hits[0].excerpt.mid(hits[0].hitStart, hits[0].hitLength), u(r.hit)) << r.query;
    }
}

TEST(Search, TheLimitKeepsTheNewest) {
    Folder f;
    fill(f, u("dias"));
    search::Searcher searcher(f.root());
    EXPECT_EQ(listed(searcher.find(u("ana"), 2)), lines({kMay24, kGarcia}));
    EXPECT_EQ(searcher.lastStats().matched, 4);
    EXPECT_EQ(searcher.find(u("ana"), 0).size(), 4);
}

// Changes made by another program, seen at the next query, with the notices and without.
class Changes : public ::testing::TestWithParam<bool> {
protected:
    Changes() {
        fill(f, u("dias"));
        searcher = std::make_unique<search::Searcher>(f.root(), search::kDefaultBudgetBytes, GetParam());
    }
    QStringList find(const char* q) { return listed(searcher->find(u(q))); }

    Folder f;
    std::unique_ptr<search::Searcher> searcher;
    const QString page = u("dias/DOMINGO, 24 de JUNIO de 2007.txt");
};

TEST_P(Changes, APageChangedOnDiskIsSeen) {
    EXPECT_EQ(find("zoo"), lines({kJune24}));
    f.text(page, u("Pingüino en la playa, con su abuela."));
    EXPECT_EQ(find("zoo"), QStringList());
    EXPECT_EQ(find("playa"), lines({kJune24}));
}

TEST_P(Changes, AChangeOfTheSameSizeAndTimeIsSeen) {
    // An old time on both versions: no granularity of the file system can help here.
    f.text(page, u("Pingüino en el zoo."), at(2007, 6, 24));
    EXPECT_EQ(find("zoo"), lines({kJune24}));
    f.text(page, u("Pingüino en el bar."), at(2007, 6, 24));
    EXPECT_EQ(find("bar"), lines({kJune24}));
    EXPECT_EQ(find("zoo"), QStringList());
}

TEST_P(Changes, ANarrowerQuerySeesChangesToo) {
    // "play" only narrows "pla", yet the page that now has "playa" counts.
    EXPECT_EQ(find("pla"), lines({kMarch15, kNunez}));
    f.text(page, u("Pingüino en la playa."));
    EXPECT_EQ(find("play"), lines({kJune24}));
    EXPECT_EQ(find("playa"), lines({kJune24}));
}

TEST_P(Changes, DeletedAndNewFilesAndFolders) {
    EXPECT_EQ(find("pinguino"), lines({kNoteJune, kJune24}));
    f.remove(page);
    EXPECT_EQ(find("pinguino"), lines({kNoteJune}));
    f.text(u("dias/VIERNES, 1 de ENERO de 2010.txt"), u("Otro pingüino."));
    f.text(u("direcciones/Vecinos/PINGÜINO"), u("PINGÜINO\r\n\r\n\r\n\r\n\r\n\r\n\r\n"), at(2001, 1, 1));
    EXPECT_EQ(find("pinguino"),
              lines({"page: VIERNES, 1 de ENERO de 2010", kNoteJune, "card: PINGÜINO — Vecinos"}));
    // The whole diary folder renamed in another letter case, as copied from elsewhere.
    ASSERT_TRUE(QDir(f.root()).rename(u("dias"), u("DIAS")));
    EXPECT_EQ(find("pinguino"),
              lines({"page: VIERNES, 1 de ENERO de 2010", kNoteJune, "card: PINGÜINO — Vecinos"}));
    EXPECT_EQ(searcher->find(u("otro"))[0].folder, u("DIAS"));
}

#ifdef Q_OS_UNIX
TEST_P(Changes, APageThatIsALinkFollowsWhatItLeadsTo) {
    // The file itself lives outside the watched folders, in the data folder.
    const QString target = u("archivo/page.txt");
    f.text(target, u("Cometa Halley"));
    const QString link = u("dias/VIERNES, 1 de ENERO de 2010.txt");
    f.link(link, target);
    EXPECT_EQ(find("cometa"), lines({"page: VIERNES, 1 de ENERO de 2010"}));
    f.text(target, u("Eclipse de luna"));
    EXPECT_EQ(find("cometa"), QStringList());
    EXPECT_EQ(find("eclipse"), lines({"page: VIERNES, 1 de ENERO de 2010"}));
    // Led out of the data folder, it is searched no more.
    f.outsideBytes(u("page.txt"), "Eclipse de sol");
    f.remove(link);
    f.link(link, f.outside(u("page.txt")));
    EXPECT_EQ(find("eclipse"), QStringList());
}
#endif

TEST_P(Changes, ACardLeavingItsGroupShowsUnderTodos) {
    EXPECT_EQ(find("colegio"), lines({kGarcia}));
    f.remove(u("direcciones/Amigos/GARCÍA PÉREZ"));
    EXPECT_EQ(find("colegio"), lines({"card: GARCÍA PÉREZ — Todos"}));
}

TEST_P(Changes, TheBudgetIsLeftAndTakenUpAgain) {
    // About 2 kB of files and the sparse page's first part: a budget of 64 kB more holds
    // them, not a page of 100 kB more, which is never read to be kept.
    const qint64 budget = search::kFileCapBytes + 64 * 1024;
    searcher = std::make_unique<search::Searcher>(f.root(), budget, GetParam());
    EXPECT_EQ(find("zoo"), lines({kJune24}));
    EXPECT_FALSE(searcher->lastStats().overBudget);
    const QString big = u("dias/MARTES, 1 de ENERO de 2008.txt");
    f.text(big, QString(100000, QLatin1Char('x')) + u(" zoo"));
    EXPECT_EQ(find("zoo"), lines({"page: MARTES, 1 de ENERO de 2008", kJune24}));
    EXPECT_TRUE(searcher->lastStats().overBudget);
    EXPECT_LE(searcher->lastStats().peak, budget);
    EXPECT_EQ(find("pinguino"), lines({kNoteJune, kJune24}));
    f.remove(big);
    EXPECT_EQ(find("zoo"), lines({kJune24}));
    EXPECT_FALSE(searcher->lastStats().overBudget);
    EXPECT_GT(searcher->lastStats().kept, 0);
}

TEST_P(Changes, AWriteTheProgramReportsIsTakenAsItIs) {
    EXPECT_EQ(find("zoo"), lines({kJune24}));
    f.text(page, u("Pingüino en el bar."));
    searcher->fileWritten(f.path(page));
    searcher->fileWritten(f.path(u("texto.txt"))); // not searched: nothing happens
    EXPECT_EQ(find("bar"), lines({kJune24}));
}

INSTANTIATE_TEST_SUITE_P(Search, Changes, ::testing::Bool());

TEST(Search, ThousandsOfPagesGiveTheSameHitsKeptReadOrChecked) {
    // Enough files for the work to be shared between threads.
    Folder f;
    QList<QDate> expected;
    for (QDate d(2000, 1, 1); d < QDate(2007, 3, 1); d = d.addDays(1)) {
        const bool hit = d.dayOfYear() % 7 == 0;
        f.text(u("dias/") + calendar::dateCaption(d.dayOfWeek() - 1, d) + u(".txt"),
               u("Día %1 del año.\r\n").arg(d.dayOfYear()) + (hit ? u("Vi un ZAFIRO azul.") : u("Nada.")));
        if (hit) expected.prepend(d);
    }
    const auto dates = [](const QList<search::Hit>& hits) {
        QList<QDate> out;
        for (const search::Hit& h : hits)
            out << h.date;
        return out;
    };
    search::Searcher kept(f.root());
    search::Searcher overBudget(f.root(), 64 * 1024);
    search::Searcher checked(f.root(), search::kDefaultBudgetBytes, false);
    for (search::Searcher* s : {&kept, &overBudget, &checked}) {
        EXPECT_EQ(dates(s->find(u("zafir"), 0)), expected);
        EXPECT_LE(s->lastStats().peak, s == &overBudget ? 64 * 1024 : search::kDefaultBudgetBytes);
        EXPECT_EQ(dates(s->find(u("zafiro azul"), 0)), expected);
        EXPECT_EQ(s->lastStats().matched, expected.size());
    }
    EXPECT_TRUE(overBudget.lastStats().overBudget);

    const QDate changed(2001, 1, 1);
    f.text(u("dias/") + calendar::dateCaption(changed.dayOfWeek() - 1, changed) + u(".txt"),
           u("Otro zafiro azul"));
    expected.insert(
        std::find_if(expected.begin(), expected.end(), [&](const QDate& d) { return d < changed; }), changed);
    for (search::Searcher* s : {&kept, &overBudget, &checked})
        EXPECT_EQ(dates(s->find(u("zafiro azul"), 0)), expected);
}

TEST(Search, LaterKeystrokesReadNothingAndLookOnlyAtThePreviousHits) {
    Folder f;
    fill(f, u("dias"));
    search::Searcher searcher(f.root());
    searcher.find(u("m"));
    const int files = searcher.lastStats().files;
    EXPECT_EQ(searcher.lastStats().searched, files);
    EXPECT_EQ(searcher.lastStats().read, files);

    searcher.find(u("me"));
    const int matchedMe = searcher.lastStats().matched;
    EXPECT_LT(searcher.lastStats().searched, files);
    searcher.find(u("med"));
    EXPECT_EQ(searcher.lastStats().searched, matchedMe);
    searcher.find(u("zoo med"));
    EXPECT_EQ(searcher.lastStats().matched, 0);
    searcher.find(u("me")); // erasing: a wider query looks at everything again
    EXPECT_EQ(searcher.lastStats().searched, files);
    EXPECT_EQ(searcher.lastStats().matched, matchedMe);
#ifdef Q_OS_LINUX
    EXPECT_TRUE(searcher.lastStats().watching);
    EXPECT_EQ(searcher.lastStats().read, 0);
#endif
}

// A query given up for a newer one (typing on) leaves nothing that changes what the next
// finds, wherever it stopped: the next is as a fresh search's.
TEST(Search, AQueryGivenUpAnywhereLeavesTheNextAsAFreshOnes) {
    Folder f;
    for (QDate d(2006, 1, 1); d < QDate(2006, 12, 1); d = d.addDays(1))
        f.text(u("dias/") + calendar::dateCaption(d.dayOfWeek() - 1, d) + u(".txt"),
               d.day() % 3 ? u("Vi una garza.") : u("Vi un gato."), at(2006, 12, 1));
    const QStringList fresh = listed(search::Searcher(f.root()).find(u("ga"), 0));
    // Given up at the first question whether to go on, then at the second, and so on, until
    // a query asks fewer times than that and ends whole. (How often a query asks depends on
    // which files it reads again while their stamps settle: not counted beforehand.)
    int givenUp = 0;
    for (int stop = 1; stop < 100000; ++stop) {
        search::Searcher s(f.root(), search::kDefaultBudgetBytes, false);
        s.find(u("g"));
        std::atomic<int> asked{0};
        s.setCancel([&] { return ++asked >= stop; });
        EXPECT_TRUE(s.find(u("zoo")).isEmpty());
        const bool cut = s.lastStats().cancelled;
        s.setCancel(nullptr);
        EXPECT_EQ(listed(s.find(u("ga"), 0)), fresh) << "given up at " << stop;
        if (!cut) break;
        ++givenUp;
    }
    EXPECT_GT(givenUp, 3);
}

// Where no notices come, the window's queries take a folder checked within the interval
// as it was then, but never what the program itself wrote. The check done between queries
// is given up at any question for a query; done whole, it finds a page another program
// rewrote in place, and is not due again for three quarters of the interval.
TEST(Search, ARecentCheckIsTrustedButNotForWhatTheProgramWrote) {
    Folder f;
    const QString page = u("dias/JUEVES, 15 de MARZO de 2007.txt");
    f.text(page, u("uno"), at(2007, 3, 15));
    for (QDate d(2006, 1, 1); d < QDate(2006, 7, 1); d = d.addDays(1))
        f.text(u("dias/") + calendar::dateCaption(d.dayOfWeek() - 1, d) + u(".txt"), u("otro"), at(2006, 7, 1));
    search::Searcher s(f.root(), search::kDefaultBudgetBytes, false);
    s.setRecheckInterval(60000);
    EXPECT_EQ(s.find(u("uno")).size(), 1);
    f.text(page, u("dos"), at(2007, 3, 16));
    EXPECT_TRUE(s.find(u("dos")).isEmpty()); // checked less than a minute ago
    int givenUp = 0;
    for (int stop = 1; stop < 1000; ++stop, ++givenUp) {
        std::atomic<int> asked{0};
        s.setCancel([&] { return ++asked >= stop; });
        if (s.recheckAhead()) break;
    }
    s.setCancel(nullptr);
    EXPECT_GT(givenUp, 1);
    EXPECT_GT(s.msUntilRecheck(), 40000);
    EXPECT_EQ(s.find(u("dos")).size(), 1);
    f.text(page, u("tres"), at(2007, 3, 17));
    s.fileWritten(f.path(page));
    EXPECT_EQ(s.find(u("tres")).size(), 1);
}

// On its own thread: of queries asked one after the other before any answer came, only
// the newest is answered, through the receiver's event loop; the folders, checked between
// requests without end (no notices, a check wanted at once), never hold one.
TEST(Search, OnItsThreadOnlyTheNewestQueryIsAnswered) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    Folder f;
    fill(f, u("dias"));
    const QStringList expected = listed(search::Searcher(f.root()).find(u("med")));
    ASSERT_FALSE(expected.isEmpty());
    QObject receiver;
    std::vector<search::BackgroundSearch::Answer> answers;
    search::BackgroundSearch s(
        f.root(), &receiver, [&](const search::BackgroundSearch::Answer& a) { answers.push_back(a); }, nullptr,
        search::kDefaultBudgetBytes, false, 1);
    s.keepUp(true);
    s.find(u("m"));
    QThread::msleep(300); // answered by now, most likely, but not yet taken in
    s.otherYears(QDate(2007, 3, 15));
    const quint64 newest = s.find(u("med"));
    EXPECT_TRUE(s.busy());
    QElapsedTimer waited;
    waited.start();
    while ((s.busy() || waited.elapsed() < 200) && waited.elapsed() < 30000) { // late answers come too
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].request, newest);
    EXPECT_FALSE(answers[0].otherYears);
    EXPECT_EQ(listed(answers[0].hits), expected);
}

// This day in other years: the day's pages with text, the selected year's left out,
// newest first from their first word; only they are read; kept, over the budget or checked alike.
TEST(Search, ThisDayInOtherYearsIsTheSameKeptReadOrChecked) {
    Folder f;
    const auto page = [&](const QDate& d, const char* text) {
        f.text(u("dias/") + calendar::dateCaption(d.dayOfWeek() - 1, d) + u(".txt"), u(text));
    };
    page(QDate(2006, 3, 15), "\r\n\r\nAna se casó\r\nen Sevilla.");
    page(QDate(2004, 3, 15), "Nevó.");
    page(QDate(1999, 3, 15), ""); // nothing written
    page(QDate(2007, 3, 15), "Hoy.");
    page(QDate(2006, 3, 16), "Otro día.");
    const auto shown = [](const QList<search::Hit>& hits) {
        QStringList out;
        for (const search::Hit& h : hits)
            out << h.caption + u("|") + h.excerpt;
        return out;
    };
    search::Searcher fresh(f.root()), kept(f.root()), over(f.root(), 100);
    search::Searcher checked(f.root(), search::kDefaultBudgetBytes, false);
    kept.find(u("x"));
    EXPECT_EQ(shown(fresh.otherYears(QDate(2007, 3, 15))),
              lines({"MIÉRCOLES, 15 de MARZO de 2006|Ana se casó en Sevilla.",
                     "LUNES, 15 de MARZO de 2004|Nevó."}));
    EXPECT_EQ(fresh.lastStats().read, 3);
    EXPECT_TRUE(fresh.otherYears(QDate()).isEmpty());
    page(QDate(2001, 3, 15), "Nuevo.");
    page(QDate(2004, 3, 15), "");
    for (search::Searcher* s : {&fresh, &kept, &over, &checked})
        EXPECT_EQ(shown(s->otherYears(QDate(2007, 3, 15))),
                  lines({"MIÉRCOLES, 15 de MARZO de 2006|Ana se casó en Sevilla.",
                         "JUEVES, 15 de MARZO de 2001|Nuevo."}));
}

} // namespace
