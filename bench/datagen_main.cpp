// quelora_datagen FOLDER [--scale 1|10|100] [--seed N] [--cards N] [--groups N]
//                        [--big-group N] [--notes N] [--shipped DATA_DIR]
// Writes a large data folder for the benchmarks; the same options give the same bytes.
#include "datagen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

using namespace quelora::bench;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: quelora_datagen FOLDER [--scale 1|10|100] [--seed N] [--cards N] [--groups N]\n"
                 "                       [--big-group N] [--notes N] [--shipped DATA_DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    GenOptions o;
    o.shippedData = QStringLiteral(QUELORA_SHIPPED_DATA);
    QString folder;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&](bool* ok) -> qlonglong {
            if (i + 1 >= args.size()) {
                *ok = false;
                return 0;
            }
            return args[++i].toLongLong(ok);
        };
        bool ok = true;
        if (a == QLatin1String("--scale"))
            o.diaryScale = static_cast<int>(value(&ok));
        else if (a == QLatin1String("--seed"))
            o.seed = static_cast<quint64>(value(&ok));
        else if (a == QLatin1String("--cards"))
            o.cards = static_cast<int>(value(&ok));
        else if (a == QLatin1String("--groups"))
            o.groups = static_cast<int>(value(&ok));
        else if (a == QLatin1String("--big-group"))
            o.bigGroupCards = static_cast<int>(value(&ok));
        else if (a == QLatin1String("--notes"))
            o.notes = static_cast<int>(value(&ok));
        else if (a == QLatin1String("--shipped") && i + 1 < args.size())
            o.shippedData = args[++i];
        else if (!a.startsWith(QLatin1String("--")) && folder.isEmpty())
            folder = a;
        else
            return usage();
        if (!ok) return usage();
    }
    if (folder.isEmpty() || o.diaryScale <= 0 || o.cards < 0 || o.notes < 0) return usage();

    QElapsedTimer t;
    t.start();
    GenSummary s;
    QString error;
    if (!generateDataFolder(folder, o, &s, &error)) {
        std::fprintf(stderr, "quelora_datagen: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %d diary pages (%d in other letter case, diary %dx), %d holidays, %d reminders, "
                "%d saints, %d cards in %d groups + Todos, %d notes, %.1f MB in %.1f s\n",
                qPrintable(folder), s.pages, s.renamedPages, o.diaryScale, s.holidays, s.reminders, s.saints,
                s.cards, s.groups, s.notes, s.bytes / 1e6, t.elapsed() / 1000.0);
    return 0;
}
