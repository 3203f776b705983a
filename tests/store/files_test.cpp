#include "store/files.h"
#include "store/folderindex.h"
#include "store/names.h"

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
