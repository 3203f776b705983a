// A second process for the reliability tests.
//   helper rewrite <data folder> <first generation> <page bytes>
//       rewrites the kill-test pages through the store, generation after generation,
//       printing "<page> <generation>" after each completed write, until killed.
//   helper type <data folder>
//       the real window on that folder types word after word into the diary box,
//       pausing after each as a person does, and prints "kept <n>" once the first n
//       characters are kept against a crash, until killed.
//   helper lock <data folder>
//       takes the data folder as the program does and prints "taken", "in-use" or
//       "unavailable"; holding it, waits until its standard input closes.
#include "app/form1.h"
#include "app/instancelock.h"
#include "app/textbox.h"
#include "killpages.h"
#include "store/files.h"
#include "store/names.h"
#include "store/recovery.h"
#include "support/fakeplatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

using namespace quelora;

namespace {

int rewrite(const QString& data, qint64 firstGen, int size) {
    const QStringList folders = test::killTestFolders();
    for (const QString& f : folders)
        QDir().mkpath(store::joinPath(data, f));
    for (qint64 gen = firstGen;; ++gen) {
        int page = 0;
        for (int f = 0; f < folders.size(); ++f) {
            const QString folder = store::joinPath(data, folders[f]);
            for (const QString& name : test::killTestNames(f)) {
                const QByteArray bytes = test::killTestPage(page, gen, size);
                // Both ways in: by full path and by a name looked up case-blind.
                const store::Status s = gen % 2 ? store::writeNamed(folder, name, bytes)
                                                : store::writeFile(store::joinPath(folder, name), bytes);
                if (!s) {
                    std::fprintf(stderr, "write failed: %s\n", qPrintable(s.reason));
                    return 2;
                }
                std::printf("%d %lld\n", page, static_cast<long long>(gen));
                std::fflush(stdout);
                ++page;
            }
        }
    }
}

int type(const QString& data) {
    test::FakePlatform platform;
    Form1 form(data, platform);
    form.setRecoveryDelay(20);
    form.Form_Load();
    form.show();
    form.Text1->setFocus(Qt::MouseFocusReason);
    QString typed;
    const QString kept = store::joinPath(data, recovery::fileNameOf(thisComputer()));
    for (int word = 1;; ++word) {
        const QString w = QStringLiteral("palabra%1 ").arg(word);
        for (QChar c : w) {
            form.Text1->insertPlainText(QString(c)); // as typing does: an edit of the user's
            QCoreApplication::processEvents();
        }
        typed += w;
        // The pause: until the hidden file holds the words typed.
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 2000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QFile f(kept);
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(typed.trimmed().toUtf8())) {
                std::printf("kept %d\n", static_cast<int>(typed.size()));
                std::fflush(stdout);
                break;
            }
        }
    }
}

int lock(const QString& data) {
    DataFolderLock l(data);
    const DataFolderLock::State s = l.take();
    std::puts(s == DataFolderLock::State::Taken   ? "taken"
              : s == DataFolderLock::State::InUse ? "in-use"
                                                  : "unavailable");
    std::fflush(stdout);
    if (s != DataFolderLock::State::Taken) return s == DataFolderLock::State::InUse ? 3 : 4;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool window = argc == 3 && std::string(argv[1]) == "type";
    if (window) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app =
        window ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (window) return type(args[2]);
    if (args.size() == 5 && args[1] == QLatin1String("rewrite"))
        return rewrite(args[2], args[3].toLongLong(), args[4].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("lock")) return lock(args[2]);
    std::fprintf(
        stderr,
        "usage: helper rewrite <folder> <gen> <bytes> | helper type <folder> | helper lock <folder>\n");
    return 1;
}
