// Saves are atomic: a process rewriting large pages through the store is killed at
// random moments, and every page on disk is always one whole generation, never older
// than the last write the process finished, with no stray file the window would list.
#include "app/form1.h"
#include "app/instancelock.h"
#include "app/textbox.h"
#include "killpages.h"
#include "store/files.h"
#include "store/names.h"
#include "store/recovery.h"
#include "support/fakeplatform.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>

using namespace quelora;

namespace {

constexpr int kPageBytes = 256 << 10;

struct Page {
    QString path;
    qint64 onDisk = 0;   // generation found after the last kill (0: none yet)
    qint64 finished = 0; // last generation the child reported as written
};

// Every entry below the data folder, folders included, relative to it.
QStringList allEntries(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

TEST(KillDuringSaves, EveryPageIsAlwaysOneWholeGenerationAndNoTemporaryFileStays) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.path();
    std::vector<Page> pages;
    QStringList expected;
    for (int f = 0; f < test::killTestFolders().size(); ++f) {
        expected << test::killTestFolders()[f].split(QLatin1Char('/'))[0];
        if (f == 2) expected << test::killTestFolders()[f];
        for (const QString& name : test::killTestNames(f)) {
            const QString rel = test::killTestFolders()[f] + QLatin1Char('/') + name;
            pages.push_back({store::joinPath(data, rel)});
            expected << rel;
        }
    }
    expected.sort();

    const int kills = qEnvironmentVariableIntValue("QUELORA_KILLS") > 0
                          ? qEnvironmentVariableIntValue("QUELORA_KILLS")
                          : 25;
    QRandomGenerator rng(20070315);
    qint64 firstGen = 1;
    int killedMidWrite = 0;
    for (int round = 0; round < kills; ++round) {
        QProcess child;
        child.start(
            QStringLiteral(QUELORA_REL_HELPER),
            {QStringLiteral("rewrite"), data, QString::number(firstGen), QString::number(kPageBytes)});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Wait for the first finished write, then let it run a random while.
        ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
        QThread::usleep(rng.bounded(60000));
        child.kill(); // SIGKILL: no handler, no flush, no clean-up
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);

        // Everything the child printed before it died was written whole.
        qint64 lastGen = firstGen;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> w = line.split(' ');
            if (w.size() != 2) continue;
            const int p = w[0].toInt();
            pages[p].finished = w[1].toLongLong();
            lastGen = std::max(lastGen, pages[p].finished);
        }
        bool anyOld = false;
        for (int p = 0; p < static_cast<int>(pages.size()); ++p) {
            const store::ReadResult r = store::readFile(pages[p].path);
            if (!r.found && pages[p].onDisk == 0 && pages[p].finished == 0) continue; // not begun yet
            ASSERT_TRUE(r.ok) << pages[p].path.toStdString() << " is missing after kill " << round;
            const std::optional<qint64> gen = test::killTestGeneration(r.bytes, p, kPageBytes);
            ASSERT_TRUE(gen) << pages[p].path.toStdString() << " is torn after kill " << round;
            EXPECT_GE(*gen, pages[p].finished) << "a finished write was lost";
            EXPECT_GE(*gen, pages[p].onDisk) << "a page went back to an older text";
            EXPECT_LE(*gen, lastGen + 1);
            if (*gen < lastGen) anyOld = true;
            pages[p].onDisk = *gen;
        }
        if (anyOld) ++killedMidWrite; // the kill fell inside a generation
        // What the window lists is exactly the pages; a save cut short leaves at most
        // its own hidden file, which the next save of that page reuses.
        int leftovers = 0;
        for (const QString& e : allEntries(data)) {
            if (expected.contains(e)) continue;
            ASSERT_TRUE(store::isTemporaryName(QFileInfo(e).fileName())) << "stray " << e.toStdString();
            ++leftovers;
        }
        EXPECT_LE(leftovers, static_cast<int>(pages.size()));
        for (int f = 0; f < test::killTestFolders().size(); ++f) {
            QStringList listed = store::listFiles(store::joinPath(data, test::killTestFolders()[f]));
            listed.sort();
            QStringList names = test::killTestNames(f);
            names.sort();
            for (const QString& n : listed)
                ASSERT_TRUE(names.contains(n)) << "listed " << n.toStdString() << " after kill " << round;
        }
        firstGen = lastGen + 2;
    }
    // The kills must really have fallen between the saves, not only before the first.
    EXPECT_GT(killedMidWrite, kills / 4);
    std::printf("[ figures ] %d kills, %d inside a generation of %zu pages of %d bytes\n", kills,
                killedMidWrite, pages.size(), kPageBytes);
}

// The real window, typing into the diary, killed at random moments: at the next start
// today's page holds everything typed up to the last pause the child reported, and
// nothing that was never typed.
TEST(KillWhileTyping, TheTextOfTheLastPauseComesBackToItsPage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDate today(2007, 3, 15); // the child's fixed clock
    const QString page = dir.path() + QString::fromUtf8("/dias/JUEVES, 15 de MARZO de 2007.txt");
    const int kills =
        qEnvironmentVariableIntValue("QUELORA_KILLS") > 0 ? qEnvironmentVariableIntValue("QUELORA_KILLS") : 6;
    QRandomGenerator rng(20070316);
    int recovered = 0;
    for (int round = 0; round < kills; ++round) {
        QFile::remove(page);
        QProcess child;
        child.start(QStringLiteral(QUELORA_REL_HELPER), {QStringLiteral("type"), dir.path()});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().toStdString();
        QThread::usleep(rng.bounded(300000));
        child.kill(); // SIGKILL: no handler, no save on leaving
        ASSERT_TRUE(child.waitForFinished(10000));
        int kept = 0;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
            if (line.startsWith("kept ")) kept = line.mid(5).toInt();
        ASSERT_GT(kept, 0);
        EXPECT_FALSE(QFileInfo::exists(page)) << "nothing saves the box while it keeps the focus";

        test::FakePlatform platform;
        platform.clock = QDateTime(today, QTime(10, 0));
        {
            Form1 form(dir.path(), platform);
            form.setRecoveryDelay(-1);
            form.Form_Load();
            QString expected;
            for (int w = 1; expected.size() < kept; ++w)
                expected += QStringLiteral("palabra%1 ").arg(w);
            const QByteArray onDisk = store::readFile(page).bytes;
            EXPECT_TRUE(onDisk.startsWith(expected.toLatin1()))
                << onDisk.toStdString() << " after kill " << round;
            EXPECT_TRUE(
                QByteArray(expected.toLatin1() + "palabra").startsWith(onDisk.left(expected.size() + 7)));
            EXPECT_EQ(form.Text1->text().toLatin1(), onDisk);
            recovered += onDisk.size() >= expected.size();
            form.Command10_Click(); // leaves cleanly: nothing is given back twice
        }
        EXPECT_FALSE(QFileInfo::exists(dir.path() + QLatin1Char('/') + recovery::fileNameOf(thisComputer())));
    }
    std::printf("[ figures ] %d kills while typing, the text of the last pause given back %d times\n", kills,
                recovered);
}

} // namespace
