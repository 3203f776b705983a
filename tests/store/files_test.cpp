#include "store/files.h"
#include "store/folderindex.h"
#include "store/history.h"
#include "store/names.h"
#include "store/versions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

using namespace quelora::store;

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Folder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
};

} // namespace

TEST(SafeNames, NamesThatCouldLeaveTheirFolderAreRefused) {
    for (const QString& bad :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x"), QStringLiteral("a/b"),
          QStringLiteral("a\\b"), QString(QChar(0)) + QStringLiteral("x")})
        EXPECT_FALSE(isSafeName(bad)) << bad.toStdString();
    for (const QString& good :
         {QStringLiteral("García"), QStringLiteral("5 de MAYO.txt"), QStringLiteral("..x"),
          QStringLiteral("a.b"), QStringLiteral("MARTES, 5 de JUNIO de 2007.txt")})
        EXPECT_TRUE(isSafeName(good)) << good.toStdString();
}

TEST_F(Folder, LookupIgnoresLetterCaseAcrossAccentedCapitals) {
    put(at(QStringLiteral("5 de mayo.txt")), "x");
    put(at(QString::fromUtf8("miércoles, 1 de enero.txt")), "y");
    const FolderIndex index(dir.path());
    EXPECT_EQ(index.find(QStringLiteral("5 de MAYO.txt")), QStringLiteral("5 de mayo.txt"));
    EXPECT_EQ(index.find(QString::fromUtf8("MIÉRCOLES, 1 DE ENERO.txt")),
              QString::fromUtf8("miércoles, 1 de enero.txt"));
    EXPECT_TRUE(index.find(QStringLiteral("6 de MAYO.txt")).isEmpty());
}

TEST_F(Folder, TheExactSpellingWinsWhenSeveralDifferOnlyInCase) {
    put(at(QStringLiteral("Ana")), "1");
    put(at(QStringLiteral("ANA")), "2");
    const FolderIndex index(dir.path());
    EXPECT_EQ(index.find(QStringLiteral("ANA")), QStringLiteral("ANA"));
    EXPECT_EQ(index.find(QStringLiteral("Ana")), QStringLiteral("Ana"));
}

TEST_F(Folder, AWriteGoesToTheNameThatExistsInAnotherLetterCase) {
    put(at(QStringLiteral("25 de diciembre.txt")), "old");
    ASSERT_TRUE(writeNamed(dir.path(), QStringLiteral("25 de DICIEMBRE.txt"), "new"));
    EXPECT_EQ(get(at(QStringLiteral("25 de diciembre.txt"))), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(readNamed(dir.path(), QStringLiteral("25 DE DICIEMBRE.TXT")).bytes, QByteArray("new"));
}

TEST_F(Folder, WritesKeepExactBytesAndReplaceWholeFiles) {
    const QByteArray bytes("uno\r\ndos\x00tres\xFF", 13);
    ASSERT_TRUE(writeFile(at(QStringLiteral("p")), QByteArray(1000, 'x')));
    ASSERT_TRUE(writeFile(at(QStringLiteral("p")), bytes));
    EXPECT_EQ(get(at(QStringLiteral("p"))), bytes);
    const ReadResult r = readFile(at(QStringLiteral("p")));
    EXPECT_TRUE(r.found && r.ok);
    EXPECT_EQ(r.bytes, bytes);
}

TEST_F(Folder, RefusedNamesWriteNothingAnywhere) {
    QDir(dir.path()).mkdir(QStringLiteral("inner"));
    const QString inner = at(QStringLiteral("inner"));
    for (const QString& bad : {QStringLiteral("../escape"), QStringLiteral(".."), QStringLiteral("."),
                               QStringLiteral("a/b"), QStringLiteral("a\\b")}) {
        const Status s = writeNamed(inner, bad, "x");
        EXPECT_EQ(s.code, Status::Code::Refused) << bad.toStdString();
        EXPECT_FALSE(s.reason.isEmpty());
    }
    EXPECT_TRUE(QDir(inner).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("inner")});
}

TEST_F(Folder, AWriteThatCannotBeMadeSaysWhyAndLeavesTheOldFileWhole) {
    QDir(dir.path()).mkdir(QStringLiteral("taken"));
    put(at(QStringLiteral("locked")), "old");
    QFile::setPermissions(at(QStringLiteral("locked")), QFile::ReadOwner | QFile::ReadOther);
    const struct {
        Status status;
        Status::Code code;
    } rows[] = {
        {writeFile(at(QStringLiteral("taken")), "x"), Status::Code::Refused},  // a folder holds the name
        {writeFile(at(QStringLiteral("locked")), "x"), Status::Code::Refused}, // read-only, even for root
        {writeNamed(at(QStringLiteral("missing")), QStringLiteral("p"), "x"), Status::Code::NotFound},
        {writeFile(at(QStringLiteral("missing/p")), "x"), Status::Code::Failed},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(r.status.code, r.code) << r.status.reason.toStdString();
        EXPECT_FALSE(r.status.reason.isEmpty());
    }
    EXPECT_EQ(readFile(at(QStringLiteral("locked"))).bytes, QByteArray("old"));
}

TEST_F(Folder, OnlyRegularFilesAreReadOrListed) {
    QDir(dir.path()).mkdir(QStringLiteral("a folder.txt"));
    ASSERT_EQ(::mkfifo(at(QStringLiteral("fifo.txt")).toLocal8Bit().constData(), 0600), 0);
    QFile::link(at(QStringLiteral("nowhere")), at(QStringLiteral("dangling.txt")));
    put(at(QStringLiteral("real.txt")), "r");
    EXPECT_FALSE(readFile(at(QStringLiteral("a folder.txt"))).found);
    EXPECT_FALSE(readFile(at(QStringLiteral("fifo.txt"))).found); // would block if opened
    EXPECT_FALSE(readFile(at(QStringLiteral("dangling.txt"))).found);
    EXPECT_EQ(listFiles(dir.path()), QStringList{QStringLiteral("real.txt")});
    EXPECT_EQ(listFolders(dir.path()), QStringList{QStringLiteral("a folder.txt")});
}

TEST_F(Folder, RemovingFindsTheNameInAnyCase) {
    put(at(QStringLiteral("garcía")), "x");
    EXPECT_TRUE(removeNamed(dir.path(), QString::fromUtf8("GARCÍA")));
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("garcía"))));
    EXPECT_TRUE(removeNamed(dir.path(), QStringLiteral("nadie")).notFound());
}

TEST_F(Folder, OnePassFindsANameInAnotherLetterCase) {
    put(at(QString::fromUtf8("miércoles, 6 de junio de 2007.txt")), "x");
    put(at(QStringLiteral("JUEVES, 7 de JUNIO de 2007.txt")), "y");
    QDir(dir.path()).mkdir(QString::fromUtf8("SÁBADO, 9 de JUNIO de 2007.txt")); // a folder is no page
    EXPECT_EQ(scanFor(dir.path(), QString::fromUtf8("MIÉRCOLES, 6 de JUNIO de 2007.txt")),
              QString::fromUtf8("miércoles, 6 de junio de 2007.txt"));
    EXPECT_EQ(scanFor(dir.path(), QStringLiteral("JUEVES, 7 de JUNIO de 2007.txt")),
              QStringLiteral("JUEVES, 7 de JUNIO de 2007.txt"));
    EXPECT_EQ(scanFor(dir.path(), QString::fromUtf8("sábado, 9 de junio de 2007.txt")), QString());
    EXPECT_EQ(scanFor(dir.path(), QStringLiteral("VIERNES, 8 de JUNIO de 2007.txt")), QString());
    EXPECT_EQ(findNamed(dir.path(), QString::fromUtf8("MIÉRCOLES, 6 de JUNIO de 2007.txt"), Lookup::Once),
              QString::fromUtf8("miércoles, 6 de junio de 2007.txt"));
}

TEST_F(Folder, AWriteReplacesALinkAndNeverWritesWhereItLeads) {
    QTemporaryDir elsewhere;
    const QString outside = elsewhere.path() + QStringLiteral("/outside.txt");
    put(outside, "not ours");
    ASSERT_TRUE(QFile::link(outside, at(QStringLiteral("page.txt"))));
    ASSERT_TRUE(writeNamed(dir.path(), QStringLiteral("page.txt"), "ours"));
    EXPECT_EQ(get(outside), QByteArray("not ours"));
    EXPECT_FALSE(QFileInfo(at(QStringLiteral("page.txt"))).isSymLink());
    EXPECT_EQ(get(at(QStringLiteral("page.txt"))), QByteArray("ours"));
}

namespace {
void ageFolder(const QString& folder, int seconds) {
    struct timeval times[2];
    ::gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(::utimes(folder.toLocal8Bit().constData(), times), 0);
}
} // namespace

TEST_F(Folder, AKeptListingServesUntilTheFolderChanges) {
    put(at(QStringLiteral("5 de mayo.txt")), "x");
    ageFolder(dir.path(), 3600);
    const auto first = FolderIndex::current(dir.path());
    EXPECT_EQ(FolderIndex::current(dir.path()), first); // unchanged folder: no new listing
    EXPECT_EQ(findNamed(dir.path(), QStringLiteral("5 de MAYO.txt")), QStringLiteral("5 de mayo.txt"));

    put(at(QStringLiteral("6 de JUNIO.txt")), "y"); // the folder changes
    const auto fresh = FolderIndex::current(dir.path());
    EXPECT_NE(fresh, first);
    EXPECT_EQ(fresh->find(QStringLiteral("6 de junio.txt")), QStringLiteral("6 de JUNIO.txt"));
    // Changed just now: a change in the same timestamp tick could go unseen, so the
    // listing is not kept yet.
    EXPECT_NE(FolderIndex::current(dir.path()), fresh);

    QFile::remove(at(QStringLiteral("5 de mayo.txt")));
    EXPECT_TRUE(findNamed(dir.path(), QStringLiteral("5 de MAYO.txt")).isEmpty());
}

TEST(CaseBlindNames, EachCharacterIsFoldedOnItsOwnSoNoNameChangesLength) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"miércoles", "MIÉRCOLES", true},
        {"Núñez", "NÚÑEZ", true},
        {"Weiss", "Weiß", false},
        {"WEISS", "weiß", false},
        {"ﬁn", "FIN", false},
        {"ı", "I", false},
        {"İ", "i", false},
        {"e\u0301", "é", true}, // decomposed as macOS writes names: composed first
        {"MIE\u0301RCOLES", "miércoles", true},
        {"Ångström", "ÅNGSTRÖM", true},
        {"ẞ", "ß", true},
        {"a", "ab", false},
        {"𐐨", "𐐀", true}, // a pair beyond 16 bits
    };
    for (const auto& r : rows) {
        const QString a = QString::fromUtf8(r.a), b = QString::fromUtf8(r.b);
        EXPECT_EQ(sameName(a, b), r.same) << r.a << " / " << r.b;
        EXPECT_EQ(nameKey(a) == nameKey(b), r.same) << r.a << " / " << r.b;
        if (composedName(a) == a) EXPECT_EQ(nameKey(a).size(), a.size()) << r.a;
        EXPECT_EQ(NamePattern(a).matches(b), r.same) << r.a << " / " << r.b; // the file lists' patterns
    }
}

TEST(CaseBlindNames, FileListPatternsTakeAnyRunOrOneCharacterAndNothingOutsideTheFolder) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } rows[] = {
        {"*.*", "sin extensión", true},
        {"*.*", ".oculto", true},
        {"*.txt", "5 de MAYO.TXT", true},
        {"*.txt", "nota", false},
        {"mié*.*", "MIÉRCOLES", true},
        {"WEISS*.*", "weiß.txt", false},
        {"g?r*.*", "GÓRRIZ", true},
        {"g?r*.*", "Gracia", false},
        {"?", "𐐀", true},
        {"??", "𐐀", false},
        {"a.b", "aXb", false},
        {"(*)", "(1)", true},
        {"ı*.*", "Isabel", false},
        {"a/*.*", "a/b", false},
        {"..\\*.*", "..\\x", false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(NamePattern(QString::fromUtf8(r.pattern)).matches(QString::fromUtf8(r.name)), r.matches)
            << r.pattern << " / " << r.name;
}

TEST_F(Folder, TheIndexAndTheOnePassTakeTheSameVariantWhateverTheListingOrder) {
    // Neither is spelt as asked: both look-ups take the first variant in code-unit order.
    for (const char* n : {"weiß", "WEISS", "Weiss", "weiss"})
        put(at(QString::fromUtf8(n)), n);
    const FolderIndex index(dir.path());
    EXPECT_EQ(index.find(QStringLiteral("wEISS")), QStringLiteral("WEISS"));
    EXPECT_EQ(scanFor(dir.path(), QStringLiteral("wEISS")), QStringLiteral("WEISS"));
    EXPECT_EQ(index.find(QString::fromUtf8("WEIß")), QString::fromUtf8("weiß"));
    EXPECT_EQ(scanFor(dir.path(), QString::fromUtf8("WEIß")), QString::fromUtf8("weiß"));
    // A write never goes to a name that is only alike in a whole-text upper case.
    ASSERT_TRUE(writeNamed(dir.path(), QString::fromUtf8("Weiß"), "nuevo"));
    EXPECT_EQ(get(at(QStringLiteral("WEISS"))), QByteArray("WEISS"));
    EXPECT_EQ(get(at(QString::fromUtf8("weiß"))), QByteArray("nuevo"));
}

TEST(WindowsNames, WhatWindowsCannotHoldIsNamedInSpanish) {
    for (const char* bad : {"Ortiz: \"Pepe\" <casa>?", "a\tb", "a|b", "a*", "Ruiz.", "Ruiz ", "CON",
                            "con.txt", "Com1", "LPT9", "nul", "COM0", "lpt0.txt", "COM¹", "com².txt", "LPT³"})
        EXPECT_FALSE(windowsNameProblem(QString::fromUtf8(bad)).isEmpty()) << bad;
    for (const char* good :
         {"García", "Ruiz.Pérez", "COM", "COM10", "COM⁴", "Consuelo", "LPT", "Ana-Luis", "..x"})
        EXPECT_TRUE(windowsNameProblem(QString::fromUtf8(good)).isEmpty()) << good;
    EXPECT_TRUE(windowsNameProblem(QStringLiteral("a:b?")).contains(QStringLiteral("«:», «?»")));
    EXPECT_TRUE(windowsNameProblem(QString::fromUtf8("lpt².txt")).endsWith(QString::fromUtf8("(LPT²)")));
}

TEST_F(Folder, AVersionTellsAnotherProgramsChangeFromTheSameBytesWrittenAgain) {
    const QString f = at(QStringLiteral("p.txt"));
    put(f, "uno");
    const Version seen = versionAt(f);
    EXPECT_TRUE(stillIs(f, seen));
    put(f, "uno"); // rewritten with the same text: no change that matters
    EXPECT_TRUE(stillIs(f, seen));
    put(f, "dos");
    Version now;
    QByteArray bytes;
    EXPECT_FALSE(stillIs(f, seen, &now, &bytes));
    EXPECT_EQ(bytes, QByteArray("dos"));
    QFile::remove(f);
    EXPECT_FALSE(stillIs(f, seen));
    EXPECT_TRUE(stillIs(f, absentVersion()));
    EXPECT_TRUE(stillIs(f, Version())); // nothing seen: nothing to tell
    put(f, "");
    EXPECT_FALSE(stillIs(f, absentVersion())); // an empty file is a file
}

TEST_F(Folder, AnotherVersionGetsAFreeNameNoLookUpTakesForTheFile) {
    const QDateTime when(QDate(2007, 3, 15), QTime(10, 5));
    const QString page = QString::fromUtf8("JUEVES, 15 de MARZO de 2007.txt");
    const QString first = otherVersionName(dir.path(), page, when);
    EXPECT_EQ(first, QString::fromUtf8("JUEVES, 15 de MARZO de 2007 (otra versión 2007-3-15 10.05).txt"));
    put(at(first), "x");
    EXPECT_EQ(otherVersionName(dir.path(), page, when),
              QString::fromUtf8("JUEVES, 15 de MARZO de 2007 (otra versión 2007-3-15 10.05 2).txt"));
    EXPECT_EQ(otherVersionName(dir.path(), QString::fromUtf8("García"), when),
              QString::fromUtf8("García (otra versión 2007-3-15 10.05)"));
    EXPECT_TRUE(windowsNameProblem(first).isEmpty());
    EXPECT_TRUE(findNamed(dir.path(), page).isEmpty());
}

TEST_F(Folder, AFileAlreadyHoldingTheBytesIsLeftAsItIsEvenReadOnly) {
    const QString f = at(QStringLiteral("p.txt"));
    put(f, "igual");
    QFile::setPermissions(f, QFile::ReadOwner);
    EXPECT_TRUE(writeFile(f, "igual"));
    EXPECT_EQ(writeFile(f, "otro").code, Status::Code::Refused);
}

// What sync engines and the program leave beside the user's files, by their names: each
// row a name in a folder that also holds "García", a page and a note, and what it is.
TEST_F(Folder, EnginesFilesAreNeverDataAndTheirCopiesAreVersionsOfTheFileTheyName) {
    const QString page = QString::fromUtf8("MIÉRCOLES, 14 de MARZO de 2007.txt");
    for (const QString& n : {QString::fromUtf8("García"), page, QStringLiteral("2007-3-10--9-0"),
                             QStringLiteral("Ruiz-Picasso")})
        put(at(n), "x");
    struct Row {
        const char* name;
        const char* base; // "" passing (never listed), "-" an ordinary file
        VersionName::From from = VersionName::From::Quelora;
        const char* who = "";
        QDateTime when = {};
    };
    using F = VersionName::From;
    const Row rows[] = {
        {"MIÉRCOLES, 14 de MARZO de 2007.sync-conflict-20261210-140950-R7HI5PD.txt",
         "MIÉRCOLES, 14 de MARZO de 2007.txt", F::Syncthing, "R7HI5PD",
         QDateTime(QDate(2026, 12, 10), QTime(14, 9, 50))},
        {"García.sync-conflict-20070314-203000-ABCDEF1", "García", F::Syncthing, "ABCDEF1"},
        {"García (conflicted copy 2007-03-14 203000)", "García", F::Nextcloud, "",
         QDateTime(QDate(2007, 3, 14), QTime(20, 30))},
        {"García (conflicted copy ana 2007-03-14 203000)", "García", F::Nextcloud, "ana"},
        {"García_conflict-20070314-203000", "García", F::Nextcloud},
        {"MIÉRCOLES, 14 de MARZO de 2007 (Ana's conflicted copy 2007-03-14).txt",
         "MIÉRCOLES, 14 de MARZO de 2007.txt", F::Dropbox, "Ana", QDateTime(QDate(2007, 3, 14), QTime(0, 0))},
        {"García (Ana's conflicted copy 2007-03-14) (Luis's conflicted copy 2007-03-15) (1)", "García",
         F::Dropbox, "Luis"},
        {"García (Case Conflict)", "García", F::Dropbox},
        {"García (Unicode Encoding Conflict 2)", "García", F::Dropbox},
        {"García-PORTATIL", "García", F::OneDrive, "PORTATIL"},
        {"MIÉRCOLES, 14 de MARZO de 2007-PORTATIL-2.txt", "MIÉRCOLES, 14 de MARZO de 2007.txt", F::OneDrive},
        {"García-casa-safeBackup-0001", "García", F::OneDrive, "casa"},
        {"2007-3-10--9-0.sync-conflict-20070310-090000-ABCDEF1", "2007-3-10--9-0", F::Syncthing},
        {"García (otra versión 2007-3-15 10.05 2)", "García", F::Quelora, "",
         QDateTime(QDate(2007, 3, 15), QTime(10, 5))},
        {".syncthing.García.tmp", ""},
        {"~syncthing~García.tmp", ""},
        {".García.~1a2b3c", ""},
        {"García.partial", ""},
        {".stfolder", ""},
        {".stversions", ""},
        {"Ruiz-Picasso", "-"},         // the base "Ruiz" is no file here
        {"López-García", "-"},
        {"2007-3-10--9-0", "-"},
        {"Martín (conflicted)", "-"},
    };
    for (const Row& r : rows) put(at(QString::fromUtf8(r.name)), "x");
    const FolderIndex index(dir.path());
    for (const Row& r : rows) {
        const QString name = QString::fromUtf8(r.name);
        SCOPED_TRACE(r.name);
        const bool passing = !*r.base, ordinary = QByteArray(r.base) == "-";
        EXPECT_EQ(isPassingName(name), passing);
        EXPECT_EQ(isListedName(name, index), ordinary);
        EXPECT_EQ(index.names().contains(name), !passing) << "the store's listings leave passing files out";
        const auto v = versionOfName(name, [&index](const QString& b) { return index.contains(b); });
        ASSERT_EQ(v.has_value(), !passing && !ordinary);
        if (!v) continue;
        EXPECT_EQ(v->base, QString::fromUtf8(r.base));
        EXPECT_EQ(v->from, r.from);
        if (*r.who) EXPECT_EQ(v->who, QString::fromUtf8(r.who));
        if (r.when.isValid()) EXPECT_EQ(v->when, r.when);
        EXPECT_TRUE(originText(*v).startsWith(r.from == F::Quelora ? u"otro programa" : u"otro ordenador"));
    }
    // The versions of a file come newest first; a file without any has none.
    const QList<OtherVersion> ofGarcia = versionsBeside(index, QString::fromUtf8("García"));
    ASSERT_EQ(ofGarcia.size(), 10);
    EXPECT_EQ(ofGarcia.first().name, QString::fromUtf8("García (otra versión 2007-3-15 10.05 2)"));
    EXPECT_TRUE(versionsBeside(index, QStringLiteral("Ruiz-Picasso")).isEmpty());
    EXPECT_EQ(filesWithVersions(index).size(), 3); // García, the page, the note
}

// ---- The history of earlier texts -------------------------------------------------------

namespace {

QDateTime at2007(int month, int day, int hour = 10, int second = 0) {
    return QDateTime(QDate(2007, month, day), QTime(hour, 0, second));
}

QList<QDateTime> whens(const QList<quelora::history::Kept>& kept) {
    QList<QDateTime> out;
    for (const auto& k : kept)
        out << k.when;
    return out;
}

} // namespace

TEST_F(Folder, TheHistoryKeepsEachTextWhereAPersonFindsItAndNoListingShowsIt) {
    namespace h = quelora::history;
    const QString pages = at(QStringLiteral("dias")), group = at(QStringLiteral("direcciones/Amigos"));
    ASSERT_TRUE(QDir().mkpath(pages) && QDir().mkpath(group));
    const QString page = QString::fromUtf8("JUEVES, 15 de MARZO de 2007.txt");
    const QByteArray old("primero \xE9\r\n", 11); // as written, in Windows-1252
    ASSERT_TRUE(h::keep(dir.path(), pages, page, old, at2007(3, 15)));
    ASSERT_TRUE(
        h::keep(dir.path(), pages, page, "segundo", at2007(3, 15), QStringLiteral("otro ordenador: PC/2")));
    ASSERT_TRUE(h::keep(dir.path(), pages, page, "segundo", at2007(3, 15, 11))); // the newest again: nothing
    ASSERT_TRUE(h::keep(dir.path(), group, QString::fromUtf8("García"), "ficha", at2007(3, 15)));
    EXPECT_EQ(
        get(at(QString::fromUtf8(".historial/dias/JUEVES, 15 de MARZO de 2007.txt/2007-03-15 10.00.00.txt"))),
        old);
    EXPECT_EQ(get(at(QString::fromUtf8(".historial/direcciones/Amigos/García/2007-03-15 10.00.00.txt"))),
              QByteArray("ficha"));
    const QList<h::Kept> kept =
        h::keptOf(dir.path(), pages, QString::fromUtf8("jueves, 15 de marzo de 2007.txt"));
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0].origin, QStringLiteral("otro ordenador_ PC_2")); // second of the same second
    EXPECT_TRUE(kept[0].path.endsWith(QStringLiteral("10.00.00 (2) otro ordenador_ PC_2.txt")));
    EXPECT_EQ(get(kept[1].path), old);
    EXPECT_TRUE(listFiles(pages).isEmpty());
    EXPECT_EQ(listFolders(at(QStringLiteral("direcciones"))), QStringList{QStringLiteral("Amigos")});
    EXPECT_FALSE(h::keep(dir.path(), at(QStringLiteral("../fuera")), page, "x", at2007(3, 15)));

    // Moved away: kept first, then gone from its folder.
    const QString copy = pages + QStringLiteral("/otra copia.txt");
    put(copy, "de otro ordenador");
    ASSERT_TRUE(h::keepFileAway(dir.path(), copy, page, at2007(3, 16), QStringLiteral("Syncthing")));
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_EQ(get(h::keptOf(dir.path(), pages, page).front().path), QByteArray("de otro ordenador"));
}

TEST_F(Folder, TheHistoryThinsOutWithAgeAndStaysWithinItsCap) {
    namespace h = quelora::history;
    struct Row {
        const char* name;
        QList<QDateTime> saves; // oldest first; the last is now
        QList<QDateTime> left;  // newest first
    };
    const Row rows[] = {
        {"all of the last week",
         {at2007(3, 9), at2007(3, 9, 11), at2007(3, 15)},
         {at2007(3, 15), at2007(3, 9, 11), at2007(3, 9)}},
        {"then the newest of a day",
         {at2007(3, 1), at2007(3, 1, 11), at2007(3, 2), at2007(3, 15)},
         {at2007(3, 15), at2007(3, 2), at2007(3, 1, 11)}},
        {"then the newest of a month",
         {at2007(1, 3), at2007(1, 20), at2007(2, 1), at2007(3, 15)},
         {at2007(3, 15), at2007(2, 1), at2007(1, 20)}},
    };
    for (const Row& row : rows) {
        QTemporaryDir data;
        const QString pages = data.path() + QStringLiteral("/dias");
        int n = 0;
        for (const QDateTime& when : row.saves)
            ASSERT_TRUE(h::keep(data.path(), pages, QStringLiteral("p.txt"), QByteArray::number(++n), when));
        EXPECT_EQ(whens(h::keptOf(data.path(), pages, QStringLiteral("p.txt"))), row.left) << row.name;
    }

    // Beyond the cap the oldest go, whatever file they are of; the newest stays.
    h::setSizeCap(4000);
    QTemporaryDir data;
    const QString notes = data.path() + QStringLiteral("/notas");
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(h::keep(data.path(), notes, QStringLiteral("nota %1").arg(i % 3),
                            QByteArray(500, char('a' + i)), at2007(3, 15, 10, i)));
    h::setSizeCap(0);
    qint64 total = 0;
    QList<QDateTime> left;
    for (int i = 0; i < 3; ++i)
        for (const auto& k : h::keptOf(data.path(), notes, QStringLiteral("nota %1").arg(i))) {
            total += QFileInfo(k.path).size();
            left << k.when;
        }
    EXPECT_LE(total, 4000);
    EXPECT_TRUE(left.contains(at2007(3, 15, 10, 29)));
    EXPECT_FALSE(left.contains(at2007(3, 15, 10, 0)));
}
