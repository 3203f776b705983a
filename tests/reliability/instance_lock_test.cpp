// One copy of the program per data folder, proven with two processes.
#include "app/instancelock.h"
#include "support/fakeplatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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
    EXPECT_FALSE(QFileInfo::exists(lockPath()));
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

TEST_F(InstanceLock, AFolderWhereNoLockCanBeWrittenStillOpens) {
    // Nothing to protect there: the start-up write test tells the user about the folder.
    const QString missing = dir.path() + QStringLiteral("/no/existe");
    DataFolderLock lock(missing);
    EXPECT_TRUE(takeDataFolder(lock, missing, platform));
    EXPECT_TRUE(platform.messages.isEmpty());
}

// The folder as a USB stick remounted read-only after a power cut shows it: a read-only view
// of it, where no lock can be removed. Only a live copy keeps a second one out there.
struct ReadOnlyRow {
    const char* name;
    enum Left { KilledCopy, EmptyFile, LiveCopy } left;
    bool refused;
};

class LockInAReadOnlyFolder : public InstanceLock, public ::testing::WithParamInterface<ReadOnlyRow> {};

TEST_P(LockInAReadOnlyFolder, OnlyALiveCopyKeepsTheUserOut) {
    const ReadOnlyRow& row = GetParam();
    QTemporaryDir view;
    const QByteArray at = QFile::encodeName(view.path());
    if (mount(QFile::encodeName(dir.path()).constData(), at.constData(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "no read-only view of a folder can be mounted here (needs root)";
    struct Unmount {
        QByteArray at;
        ~Unmount() { umount2(at.constData(), MNT_DETACH); }
    } unmount{at};
    ASSERT_EQ(mount(nullptr, at.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);

    std::unique_ptr<QProcess> holder;
    if (row.left == ReadOnlyRow::EmptyFile)
        writeLock({}, QDateTime::currentDateTime().addSecs(-60));
    else
        holder = startHolder();
    if (row.left == ReadOnlyRow::KilledCopy) {
        holder->kill();
        ASSERT_TRUE(holder->waitForFinished(10000));
    }
    const QByteArray left = lockBytes();

    DataFolderLock lock(view.path());
    EXPECT_EQ(takeDataFolder(lock, view.path(), platform), !row.refused);
    EXPECT_EQ(platform.messages.size(), row.refused ? 1 : 0);
    EXPECT_EQ(lockBytes(), left);
    if (row.left == ReadOnlyRow::LiveCopy) {
        holder->closeWriteChannel();
        ASSERT_TRUE(holder->waitForFinished(10000));
    }
}

const ReadOnlyRow kReadOnlyRows[] = {
    {"KilledCopy", ReadOnlyRow::KilledCopy, false},
    {"LeftEmptyByAPowerCut", ReadOnlyRow::EmptyFile, false},
    {"LiveCopy", ReadOnlyRow::LiveCopy, true},
};
INSTANTIATE_TEST_SUITE_P(Rows, LockInAReadOnlyFolder, ::testing::ValuesIn(kReadOnlyRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
