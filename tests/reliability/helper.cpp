// A second process for the reliability tests.
//   helper rewrite <data folder> <first generation> <page bytes>
//       rewrites the kill-test pages through the store, generation after generation,
//       printing "<page> <generation>" after each completed write, until killed.
//   helper lock <data folder>
//       takes the data folder as the program does and prints "taken", "in-use" or
//       "unavailable"; holding it, waits until its standard input closes.
#include "app/instancelock.h"
#include "killpages.h"
#include "store/files.h"
#include "store/names.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <iostream>
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
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("rewrite"))
        return rewrite(args[2], args[3].toLongLong(), args[4].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("lock")) return lock(args[2]);
    std::fprintf(stderr, "usage: helper rewrite <folder> <gen> <bytes> | helper lock <folder>\n");
    return 1;
}
