// One copy of the program per data folder, proven with two processes.
#include "app/instancelock.h"
#include "support/fakeplatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/mount.h>

using namespace quelora;

namespace {

class InstanceLock : public ::testing::Test {
protected:
    // A copy that holds the data folder, in a process of its own.
    std::unique_ptr<QProcess> startHolder() {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(QUELORA_REL_HELPER), {QStringLiteral("lock"), dir.path()});
        EXPECT_TRUE(p->waitForStarted(10000));
        EXPECT_TRUE(p->waitForReadyRead(10000));
        EXPECT_EQ(p->readLine().trimmed(), QByteArray("taken"));
        return p;
    }
    QString lockPath() const { return dir.path() + QLatin1Char('/') + kLockFileName; }
    void writeLock(const QByteArray& content, const QDateTime& written) {
        QFile f(lockPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.flush();
        ASSERT_TRUE(f.setFileTime(written, QFileDevice::FileModificationTime));
    }
    QByteArray lockBytes() const {
        QFile f(lockPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }

    QTemporaryDir dir;
    test::FakePlatform platform;
};

TEST_F(InstanceLock, ASecondCopySaysSoInSpanishAndEndsWhileTheFirstRuns) {
    auto first = startHolder();

    DataFolderLock second(dir.path());
    EXPECT_FALSE(takeDataFolder(second, dir.path(), platform));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0], folderInUseMessage(dir.path()));
    EXPECT_TRUE(platform.messages[0].startsWith(QString::fromUtf8("Quelora ya está abierto")));

    // A third process is refused as well.
    QProcess third;
    third.start(QStringLiteral(QUELORA_REL_HELPER), {QStringLiteral("lock"), dir.path()});
    ASSERT_TRUE(third.waitForFinished(10000));
    EXPECT_EQ(third.readAllStandardOutput().trimmed(), QByteArray("in-use"));
    EXPECT_EQ(third.exitCode(), 3);

    first->closeWriteChannel();
    ASSERT_TRUE(first->waitForFinished(10000));
}

TEST_F(InstanceLock, AnOldLockOfACopyStillRunningIsNotTakenOver) {
    auto first = startHolder();
    // Weeks old: age alone never frees the folder.
    QFile f(lockPath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-30), QFileDevice::FileModificationTime));
    f.close();
    DataFolderLock second(dir.path());
    EXPECT_EQ(second.take(), DataFolderLock::State::InUse);
    first->closeWriteChannel();
    ASSERT_TRUE(first->waitForFinished(10000));
}

TEST_F(InstanceLock, TheLockOfACopyThatWasKilledIsTakenOver) {
    auto first = startHolder();
    first->kill();
    ASSERT_TRUE(first->waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(lockPath())); // left behind by the dead copy

    DataFolderLock next(dir.path());
    EXPECT_TRUE(takeDataFolder(next, dir.path(), platform));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(InstanceLock, ACopyThatEndsFreesTheFolderAtOnce) {
    auto first = startHolder();
    first->closeWriteChannel();
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList()); // no lock of any name
    DataFolderLock next(dir.path());
    EXPECT_EQ(next.take(), DataFolderLock::State::Taken);
}

TEST_F(InstanceLock, ALockFileLeftEmptyOrUnreadableDoesNotShutTheUserOut) {
    // A machine that lost power while a copy was starting leaves an empty lock file.
    for (const QByteArray& content : {QByteArray(), QByteArray("basura\n"), QByteArray("\0\0\0", 3)}) {
        writeLock(content, QDateTime::currentDateTime().addSecs(-60));
        DataFolderLock next(dir.path());
        EXPECT_EQ(next.take(), DataFolderLock::State::Taken) << content.toStdString();
    }
    // Just written by a copy that is starting: not yet its to take.
    QFile f(lockPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.close();
    DataFolderLock next(dir.path());
    EXPECT_EQ(next.take(), DataFolderLock::State::InUse);
}

// Two computers that started a moment apart: the shared lock is this one's, yet the other's
// own lock, carried over by the sync engine, is named in the notice, and left as it came.
TEST_F(InstanceLock, AnotherComputersOwnLockIsNamedAsWell) {
    const QString theirs =
        dir.path() + QLatin1Char('/') + computerLockName(QStringLiteral("PORTATIL-5f0c3a9e"));
    const QByteArray bytes("4242\nquelora\nPORTATIL\n5f0c3a9e2b7d4e81a6c4f2d09b1e7a53\n");
    QFile f(theirs);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    DataFolderLock lock(dir.path());
    ASSERT_EQ(lock.take(), DataFolderLock::State::Taken);
    const QString notice = otherComputerNotice(lock, dir.path());
    EXPECT_TRUE(notice.contains(QStringLiteral("«PORTATIL»"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QFileInfo(theirs).fileName())) << notice.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
}

TEST_F(InstanceLock, AFolderWhereNoLockCanBeWrittenStillOpens) {
    // Nothing to protect there: the start-up write test tells the user about the folder.
    const QString missing = dir.path() + QStringLiteral("/no/existe");
    DataFolderLock lock(missing);
    EXPECT_TRUE(takeDataFolder(lock, missing, platform));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// What a copy finds in the folder as it starts. A lock of this computer's is seen through a
// read-only view of the folder (a stick remounted so after a power cut), where it cannot be
// removed; another computer's (carried over by a sync engine) is written as Qt writes one: a
// real lock taken here, with its pid, host, machine id and boot id replaced.
struct LeftRow {
    const char* name;
    enum Kind { KilledCopy, EmptyFile, LiveCopy, OtherComputer } kind;
    QString host = {};
    qint64 pid = 0;
};

class LockLeftInTheFolder : public InstanceLock, public ::testing::WithParamInterface<LeftRow> {};

TEST_P(LockLeftInTheFolder, OnlyALiveCopyOnThisComputerKeepsTheUserOut) {
    const LeftRow& row = GetParam();
    const bool other = row.kind == LeftRow::OtherComputer;
    QTemporaryDir view;
    const QByteArray at = QFile::encodeName(view.path());
    if (!other && mount(QFile::encodeName(dir.path()).constData(), at.constData(), nullptr, MS_BIND, nullptr))
        GTEST_SKIP() << "no read-only view of a folder can be mounted here (needs root)";
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount2(at.constData(), MNT_DETACH); }
    } unmount{other ? QByteArray() : at};
    if (!other) {
        ASSERT_EQ(mount(nullptr, at.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    }
    const QString folder = other ? dir.path() : view.path();

    std::unique_ptr<QProcess> holder;
    if (row.kind == LeftRow::KilledCopy || row.kind == LeftRow::LiveCopy) holder = startHolder();
    if (row.kind == LeftRow::KilledCopy) {
        holder->kill();
        ASSERT_TRUE(holder->waitForFinished(10000));
    }
    if (row.kind == LeftRow::EmptyFile) writeLock({}, QDateTime::currentDateTime().addSecs(-60));
    const QDateTime written = QDateTime::currentDateTime().addDays(-2);
    if (other) {
        QLockFile real(lockPath());
        ASSERT_TRUE(real.tryLock(0));
        QList<QByteArray> lines = lockBytes().split('\n');
        ASSERT_EQ(lines.mid(0, 5),
                  (QList<QByteArray>{QByteArray::number(QCoreApplication::applicationPid()), lines[1],
                                     QSysInfo::machineHostName().toUtf8(), QSysInfo::machineUniqueId(),
                                     QSysInfo::bootUniqueId()}));
        real.unlock();
        lines[0] = QByteArray::number(row.pid);
        lines[2] = row.host.toUtf8();
        lines[3] = "5f0c3a9e2b7d4e81a6c4f2d09b1e7a53";
        lines[4] = "c2a41e7f-8b3d-4f60-9a15-3e7d0b6c4f28";
        writeLock(lines.join('\n'), written);
    }
    const QByteArray left = lockBytes();
    {
        DataFolderLock lock(folder);
        EXPECT_EQ(takeDataFolder(lock, folder, platform), row.kind != LeftRow::LiveCopy);
        EXPECT_EQ(platform.messages.size(), row.kind == LeftRow::LiveCopy ? 1 : 0);
        const QString notice = otherComputerNotice(lock, folder);
        EXPECT_EQ(notice.isEmpty(), !other);
        if (other) {
            EXPECT_TRUE(notice.contains(QString::fromUtf8("«%1» (desde el %2")
                                            .arg(row.host, written.toString(QStringLiteral("d/M/yyyy")))))
                << notice.toStdString();
            QProcess second; // on this computer, while this copy runs
            second.start(QStringLiteral(QUELORA_REL_HELPER), {QStringLiteral("lock"), folder});
            second.closeWriteChannel();
            ASSERT_TRUE(second.waitForFinished(10000));
            EXPECT_EQ(second.readAllStandardOutput().trimmed(), QByteArray("in-use"));
        }
    }
    EXPECT_EQ(lockBytes(), left); // another computer's, rewritten, would travel back to it
    if (holder) {
        holder->closeWriteChannel();
        holder->waitForFinished(10000);
    }
}

const LeftRow kLeftRows[] = {
    {"KilledCopyReadOnly", LeftRow::KilledCopy},
    {"LeftEmptyByAPowerCutReadOnly", LeftRow::EmptyFile},
    {"LiveCopyReadOnly", LeftRow::LiveCopy},
    {"OtherComputerTwoDaysOld", LeftRow::OtherComputer, QStringLiteral("portatil-de-casa"), 4242},
    {"OtherComputerWhoseProcessNumberLivesHere", LeftRow::OtherComputer, QStringLiteral("portatil-de-casa"),
     QCoreApplication::applicationPid()},
    {"OtherComputerNamedLikeThisOne", LeftRow::OtherComputer, QSysInfo::machineHostName(), 4242},
};
INSTANTIATE_TEST_SUITE_P(Rows, LockLeftInTheFolder, ::testing::ValuesIn(kLeftRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
