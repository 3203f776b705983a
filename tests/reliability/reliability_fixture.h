#pragma once
// A window on a data folder "datos" inside a scratch folder of its own, so that
// anything written beside or above the data folder shows in that scratch folder.
#include "store/codepage.h"
#include "support/formfixture.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>

namespace quelora::test {

class ReliabilityFixture : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        dataFolder_ = dir.path() + QStringLiteral("/datos");
    }
    QString data() const { return dataFolder(); }
    // A path below the data folder.
    QString at(const QString& relative) const { return data() + QLatin1Char('/') + relative; }
    QByteArray bytesAt(const QString& relative) const { return readBytes(relative); }
    void putAt(const QString& relative, const QByteArray& bytes) const { writeBytes(relative, bytes); }

    void open(const QDate& today = QDate(2007, 3, 15), const QTime& time = QTime(10, 0)) {
        QDir().mkpath(data());
        start(today, time);
    }

    // Every entry of the scratch folder outside the data folder.
    QStringList outside() const {
        QStringList out;
        const QString scratch = QFileInfo(data()).path();
        QDirIterator it(scratch, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString rel = QDir(scratch).relativeFilePath(it.next());
            if (rel != QLatin1String("datos") && !rel.startsWith(QLatin1String("datos/"))) out << rel;
        }
        out.sort();
        return out;
    }

    QString lastMessage() const { return platform.messages.isEmpty() ? QString() : platform.messages.last(); }
};

} // namespace quelora::test
