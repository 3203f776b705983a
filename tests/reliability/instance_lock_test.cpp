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
        QFile f(lockPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.flush();
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
        f.close();
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

} // namespace
