// The search on a data folder of a lifetime, side by side with its floor, in one run.
//
//   quelora_search_bench [--data FOLDER] [--runs N]
//   quelora_search_bench --data FOLDER --huge dense|sparse [--runs N]
//   quelora_search_bench --first FOLDER QUERY watch|stat [--no-typing] [--other-years]
//
// Without --data a folder is generated first (30 years of pages, 2,000 cards, 10,000
// notes). Every figure is the median of N runs (default 15) in milliseconds; the first
// query is timed in a fresh process each run, as after start-up (the files are in the
// system's cache: they were read just before). The one-core row needs taskset.
// --huge puts one page of 300 MB of text (dense) or a sparse one of 200 GB into the
// folder's diary, times the first query and each keystroke of a typing with it, and
// takes the page away again; nothing else runs, so the process's peak memory (GNU time's
// maximum resident set size) is the search's.
#include "search_bench.h"
#include "datagen.h"

#include "calendar/calendar.h"
#include "notes/notes.h"
#include "records/records.h"
#include "search/background.h"
#include "search/search.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace quelora;
using namespace quelora::bench;

namespace {

// The files the search looks into, as paths (each page in one spelling: the generated
// folder has none in two).
QStringList searchedFiles(const QString& data) {
    QStringList paths;
    const auto add = [&](const QString& folder, const std::function<bool(const QString&)>& take) {
        for (const QString& n : store::listFiles(folder))
            if (!n.startsWith(QLatin1Char('.')) && !store::isSystemFileName(n) && take(n))
                paths << store::joinPath(folder, n);
    };
    const QString dias = store::joinPath(data, layout::kPages);
    add(dias, [](const QString& n) { return records::pageDateOfName(n).has_value(); });
    add(store::joinPath(data, layout::kNotes),
        [](const QString& n) { return notes::noteTimeOfName(n).has_value(); });
    for (int k = 0; k < 3; ++k)
        add(store::joinPath(data, records::dayRecordFolder(k)),
            [](const QString& n) { return calendar::dayOfDayFileName(n).has_value(); });
    // Every card, the copies in "Todos" too: a copy is read, and shows when its group's does not match.
    const QString book = store::joinPath(data, layout::kBook);
    for (const QString& g : store::listFolders(book))
        add(store::joinPath(book, g), [](const QString&) { return true; });
    return paths;
}

// As the window asks where no notices come: on the search's own thread, which checks the
// folders between requests while the search is open. A request is timed from its posting
// to its answer, taken in through this thread's event loop.
struct Threaded {
    QObject receiver;
    std::optional<search::SearchAnswer> answer;
    search::BackgroundSearch search;
    explicit Threaded(const QString& data)
        : search(data, &receiver, [this](const search::SearchAnswer& a) { answer = a; }, nullptr,
                 search::kDefaultBudgetBytes, false, search::kRecheckMs) {
        search.keepUp(true);
    }
    double ask(const std::function<quint64()>& post) {
        answer.reset();
        QElapsedTimer t;
        t.start();
        const quint64 request = post();
        while (!answer || answer->request != request)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return ms(t);
    }
};

struct Row {
    QString what;
    std::vector<double> times;
    QString note;
};

void print(const std::vector<Row>& rows) {
    std::printf("%-52s %9s %9s %9s  %s\n", "median of runs (ms)", "median", "min", "max", "");
    for (const Row& r : rows) {
        if (r.times.empty()) {
            std::printf("%-52s %9s %9s %9s  %s\n", qPrintable(r.what), "", "", "", qPrintable(r.note));
            continue;
        }
        std::printf("%-52s %9.2f %9.2f %9.2f  %s\n", qPrintable(r.what), median(r.times),
                    *std::min_element(r.times.begin(), r.times.end()),
                    *std::max_element(r.times.begin(), r.times.end()), qPrintable(r.note));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    QString data, huge;
    int runs = 15;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            data = args[++i];
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--huge") && i + 1 < args.size())
            huge = args[++i];
        else if (args[i] == QLatin1String("--first") && i + 3 < args.size())
            return firstQuery(args[i + 1], args[i + 2], args[i + 3] == QLatin1String("watch"),
                              !args.mid(i + 4).contains(QLatin1String("--no-typing")),
                              args.mid(i + 4).contains(QLatin1String("--other-years")));
    }

    if (!huge.isEmpty()) {
        if (data.isEmpty() || (huge != QLatin1String("dense") && huge != QLatin1String("sparse"))) {
            std::fprintf(stderr, "quelora_search_bench: --huge dense|sparse needs --data FOLDER\n");
            return 1;
        }
        return hugePage(data, huge == QLatin1String("sparse"), runs);
    }

    QTemporaryDir generated;
    if (data.isEmpty()) {
        bench::GenOptions o;
        o.shippedData = QStringLiteral(QUELORA_SHIPPED_DATA);
        o.diaryScale = 100;
        o.cards = 2000;
        o.notes = 10000;
        bench::GenSummary s;
        QString error;
        data = generated.path();
        if (!generated.isValid() || !bench::generateDataFolder(data, o, &s, &error)) {
            std::fprintf(stderr, "quelora_search_bench: %s\n", qPrintable(error));
            return 1;
        }
    }
    std::vector<Row> rows;

    // ---- The floor -------------------------------------------------------------------------
    const QStringList files = searchedFiles(data);
    qint64 bytes = 0;
    {
        Row list{QStringLiteral("floor: list the searched folders"), {}, {}};
        Row read{QStringLiteral("floor: read + decode every searched file (store)"), {}, {}};
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const QStringList again = searchedFiles(data);
            list.times.push_back(ms(t));
            t.start();
            qint64 total = 0;
            for (const QString& p : files) {
                const store::ReadResult rr = store::readFile(p);
                total += store::decode(rr.bytes).size();
            }
            read.times.push_back(ms(t));
            bytes = total;
        }
        read.note = QStringLiteral("%1 files, %2 MB").arg(files.size()).arg(bytes / 1e6, 0, 'f', 1);
        rows.push_back(list);
        rows.push_back(read);
    }
#ifdef Q_OS_UNIX
    {
        Row raw{QStringLiteral("floor: open + fstat + read + close (POSIX)"), {}, {}};
        Row st{QStringLiteral("floor: stat every searched file"), {}, {}};
        QByteArray buffer;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            for (const QString& p : files) {
                const int fd = ::open(QFile::encodeName(p).constData(), O_RDONLY | O_CLOEXEC);
                struct stat s {};
                ::fstat(fd, &s);
                buffer.resize(s.st_size);
                if (::read(fd, buffer.data(), static_cast<size_t>(s.st_size)) < 0) buffer.clear();
                ::close(fd);
            }
            raw.times.push_back(ms(t));
            t.start();
            for (const QString& p : files) {
                struct stat s {};
                ::stat(QFile::encodeName(p).constData(), &s);
            }
            st.times.push_back(ms(t));
        }
        rows.push_back(raw);
        rows.push_back(st);
    }
#endif
    {
        Row grep{QStringLiteral("reference: grep -ril zanahoria FOLDER"), {}, {}};
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            QProcess::execute(QStringLiteral("grep"),
                              {QStringLiteral("-ril"), QStringLiteral("zanahoria"), data});
            grep.times.push_back(ms(t));
        }
        grep.note = QStringLiteral("whole folder, process start included");
        rows.push_back(grep);
    }

    // ---- The first query after start-up: a fresh process per run ------------------------------
    struct First {
        const char* query;
        bool watch;
        bool oneCore; // the process held to one core: what the second one buys
        const char* what;
        bool otherYears = false; // this day in other years first, as the search opens; then query
    };
    const First firsts[] = {
        {"r", true, false, "first query \"r\" (fresh process)"},
        {"xilofono", true, false, "first query \"xilofono\", no hit (fresh process)"},
        {"r", false, false, "first query \"r\" (fresh process, stat checks)"},
        {"r", true, true, "first query \"r\" (fresh process, one core)"},
        {"r", true, false, "this day in other years, 15 March (fresh process)", true},
        {"r", false, false, "this day in other years, 15 March (fresh, stat checks)", true},
    };
    for (const First& f : firsts) {
        Row first{QString::fromUtf8(f.what), {}, {}};
        Row after{QStringLiteral("  then the first query \"%1\"").arg(QString::fromUtf8(f.query)), {}, {}};
        QString detail;
        for (int r = 0; r < runs; ++r) {
            QStringList arguments = {QStringLiteral("--first"), data, QString::fromUtf8(f.query),
                                     f.watch ? QStringLiteral("watch") : QStringLiteral("stat")};
            if (f.otherYears) arguments << QStringLiteral("--other-years") << QStringLiteral("--no-typing");
            QString program = QCoreApplication::applicationFilePath();
            if (f.oneCore) {
                arguments.prepend(program);
                arguments = QStringList{QStringLiteral("-c"), QStringLiteral("0")} + arguments;
                program = QStringLiteral("taskset");
            }
            QProcess p;
            p.start(program, arguments);
            p.waitForFinished(-1);
            const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
            if (out.size() < 9) continue;
            first.times.push_back(out[0].toDouble());
            after.times.push_back(out[8].toDouble());
            detail =
                QStringLiteral("%1 hits shown, %2 files, kept %3 MB; VmHWM %4 MB before, %5 MB after typing")
                    .arg(out[1])
                    .arg(out[4])
                    .arg(out[5].toLongLong() / 1e6, 0, 'f', 1)
                    .arg(out[2].toLong() / 1024.0, 0, 'f', 1)
                    .arg(out[3].toLong() / 1024.0, 0, 'f', 1);
        }
        first.note = first.times.empty() ? QStringLiteral("did not run") : detail;
        rows.push_back(first);
        if (f.otherYears) rows.push_back(after);
    }

    // ---- This day in other years, the memory warm, beside a query of one word ------------------
    {
        search::Searcher s(data);
        s.find(QStringLiteral("x")); // everything read once
        Row day{QStringLiteral("this day in other years, 15 March (warm)"), {}, {}};
        Row leap{QStringLiteral("this day in other years, 29 February (warm)"), {}, {}};
        Row word{QStringLiteral("floor: query \"zanahoria\" (warm, one word)"), {}, {}};
        Row changed{QStringLiteral("this day, after another program wrote one of its pages"), {}, {}};
        const QString dias = store::joinPath(data, store::findFolder(data, layout::kPages));
        const QDate written(2010, 3, 15);
        const QString page =
            store::joinPath(dias, records::pageName(calendar::dateCaption(written.dayOfWeek() - 1, written)));
        const store::ReadResult original = store::readFile(page);
        int days = 0, leaps = 0, found = 0;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            days = static_cast<int>(s.otherYears(kThisDay).size());
            day.times.push_back(ms(t));
            t.start();
            leaps = static_cast<int>(s.otherYears(kLeapDay).size());
            leap.times.push_back(ms(t));
            t.start();
            s.find(QStringLiteral("zanahoria"));
            word.times.push_back(ms(t));
            const QByteArray mark = "zanahoria" + QByteArray::number(r) + " ";
            if (!store::writeFile(page, mark + original.bytes))
                std::fprintf(stderr, "could not write the page\n");
            t.start();
            const QList<search::Hit> hits = s.otherYears(kThisDay);
            changed.times.push_back(ms(t));
            found += std::any_of(hits.begin(), hits.end(), [&](const search::Hit& h) {
                return h.date == written && h.excerpt.startsWith(QString::fromLatin1(mark.trimmed()));
            });
        }
        if (!store::writeFile(page, original.bytes)) std::fprintf(stderr, "could not restore the page\n");
        // Where no notices come, every file's stamp is compared first, as for a keystroke.
        search::Searcher checked(data, search::kDefaultBudgetBytes, false);
        checked.find(QStringLiteral("x"));
        Row stat{QStringLiteral("this day in other years, 15 March (warm, stat checks)"), {}, {}};
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            checked.otherYears(kThisDay);
            stat.times.push_back(ms(t));
        }
        // As the window asks it: on the search's thread, the folders checked at most a second
        // before each request, the day picked again a quarter of a second after the last time
        // (a click on another day and back).
        Threaded window(data);
        window.ask([&] { return window.search.find(QStringLiteral("x")); });
        Row paced{
            QStringLiteral("this day in other years, 15 March (warm, stat checks once a second)"), {}, {}};
        for (int r = 0; r < runs * 4; ++r) {
            QThread::msleep(250);
            paced.times.push_back(window.ask([&] { return window.search.otherYears(kThisDay); }));
        }
        paced.note = QStringLiteral("%1 calls, on the search's thread").arg(runs * 4);
        // The search closed for more than a second and opened again: nothing was checked
        // meanwhile, so this first request checks the diary itself.
        Row reopened{QStringLiteral("this day in other years as the search opens again (stat checks)"), {}, {}};
        for (int r = 0; r < runs; ++r) {
            window.search.keepUp(false);
            QThread::msleep(search::kRecheckMs + 100);
            window.search.keepUp(true);
            reopened.times.push_back(window.ask([&] { return window.search.otherYears(kThisDay); }));
        }
        day.note = QStringLiteral("%1 pages listed").arg(days);
        leap.note = QStringLiteral("%1 pages listed").arg(leaps);
        word.note = QStringLiteral("every file searched to its end");
        changed.note = QStringLiteral("the change listed in %1 of %2 runs").arg(found).arg(runs);
        rows.push_back(day);
        rows.push_back(leap);
        rows.push_back(word);
        rows.push_back(changed);
        rows.push_back(stat);
        rows.push_back(paced);
        rows.push_back(reopened);
    }

    // ---- Keystrokes ------------------------------------------------------------------------------
    for (const int how : {0, 1, 2}) { // notices, stat checks, stat checks once a second
        const bool watch = how == 0;
        search::Searcher s(data, search::kDefaultBudgetBytes, watch);
        std::unique_ptr<Threaded> window;
        if (how == 2) window = std::make_unique<Threaded>(data);
        QList<search::Hit> hits;
        int matches = 0;
        // One query: ms until its hits are at hand.
        const auto find = [&](const QString& query) {
            if (window) {
                const double took = window->ask([&] { return window->search.find(query); });
                hits = window->answer->hits;
                matches = window->answer->stats.matched;
                return took;
            }
            QElapsedTimer t;
            t.start();
            hits = s.find(query);
            const double took = ms(t);
            matches = s.lastStats().matched;
            return took;
        };
        find(QStringLiteral("x")); // everything read once
        const QStringList steps = typing(kTyped);
        QStringList erase = steps;
        std::reverse(erase.begin(), erase.end());
        erase.removeFirst();
        std::vector<std::vector<double>> typed(steps.size()), erased(erase.size());
        std::vector<int> matched(steps.size()), matchedErased(erase.size());
        std::vector<double> allTyped, allErased;
        for (int r = 0; r < runs; ++r) {
            find(QStringLiteral("zzz")); // not a prefix of anything typed: the first letter searches all
            for (qsizetype i = 0; i < steps.size(); ++i) {
                if (how == 2) QThread::msleep(150); // typing at some seven keys a second
                const double took = find(steps[i]);
                typed[i].push_back(took);
                allTyped.push_back(took);
                matched[i] = matches;
            }
            for (qsizetype i = 0; i < erase.size(); ++i) {
                if (how == 2) QThread::msleep(150);
                const double took = find(erase[i]);
                erased[i].push_back(took);
                allErased.push_back(took);
                matchedErased[i] = matches;
            }
        }
        const QString mode = how == 0   ? QStringLiteral("notices")
                             : how == 1 ? QStringLiteral("stat checks")
                                        : QStringLiteral("stat checks once a second");
        for (qsizetype i = 0; i < steps.size(); ++i)
            rows.push_back({QStringLiteral("  type \"%1\" (%2)").arg(steps[i], mode), typed[i],
                            QStringLiteral("%1 matches").arg(matched[i])});
        rows.push_back({QStringLiteral("keystroke typing, all steps (%1)").arg(mode), allTyped, {}});
        for (qsizetype i = 0; i < erase.size(); ++i)
            rows.push_back({QStringLiteral("  erase to \"%1\" (%2)").arg(erase[i], mode), erased[i],
                            QStringLiteral("%1 matches").arg(matchedErased[i])});
        rows.push_back({QStringLiteral("keystroke erasing, all steps (%1)").arg(mode), allErased, {}});

        // One page rewritten by another program, then the next keystroke.
        const QString dias = store::joinPath(data, store::findFolder(data, layout::kPages));
        const QString page = store::joinPath(dias, QStringLiteral("MARTES, 31 de DICIEMBRE de 2024.txt"));
        const store::ReadResult original = store::readFile(page);
        Row changed{QStringLiteral("query after a page was replaced (%1)").arg(mode), {}, {}};
        Row inPlace{QStringLiteral("query after a page was written in place (%1)").arg(mode), {}, {}};
        Row later{QStringLiteral("query a second after a page was written in place (%1)").arg(mode), {}, {}};
        int found = 0, foundInPlace = 0, foundLater = 0;
        const auto shows = [&](const QByteArray& word) {
            return hits.size() == 1 && hits[0].excerpt.contains(QString::fromLatin1(word.trimmed()));
        };
        const auto writeInPlace = [&](const QByteArray& text) {
            QFile f(page);
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(text);
        };
        for (int r = 0; r < runs; ++r) {
            find(QStringLiteral("zanahoria"));
            const QByteArray word = QByteArrayLiteral(" zanahoria") + QByteArray::number(r);
            if (!store::writeFile(page, original.bytes + word))
                std::fprintf(stderr, "could not write the page\n");
            changed.times.push_back(find(QStringLiteral("zanahoria")));
            found += shows(word);

            find(QStringLiteral("zanahoria"));
            writeInPlace(original.bytes + word + "x");
            inPlace.times.push_back(find(QStringLiteral("zanahoria")));
            foundInPlace += shows(word + "x");

            // What the window promises: every change made a second before a query shows in it.
            writeInPlace(original.bytes + word + "y");
            QThread::msleep(search::kRecheckMs + 10);
            later.times.push_back(find(QStringLiteral("zanahoria")));
            foundLater += shows(word + "y");
        }
        if (!store::writeFile(page, original.bytes)) std::fprintf(stderr, "could not restore the page\n");
        changed.note = QStringLiteral("the change found in %1 of %2 runs").arg(found).arg(runs);
        inPlace.note = QStringLiteral("the change found in %1 of %2 runs").arg(foundInPlace).arg(runs);
        later.note = QStringLiteral("the change found in %1 of %2 runs").arg(foundLater).arg(runs);
        rows.push_back(changed);
        rows.push_back(inPlace);
        rows.push_back(later);
    }

    // ---- Over the budget: nothing kept, every query reads -------------------------------------------
    {
        search::Searcher s(data, 16LL * 1024 * 1024);
        Row over{QStringLiteral("query \"reunion\" over a 16 MB budget (reads all)"), {}, {}};
        s.find(QStringLiteral("x"));
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            s.find(QStringLiteral("reunion"));
            over.times.push_back(ms(t));
            s.find(QStringLiteral("zzz"));
        }
        s.find(QStringLiteral("reunion"));
        over.note = QStringLiteral("over budget: %1, %2 matches")
                        .arg(s.lastStats().overBudget ? QStringLiteral("yes") : QStringLiteral("no"))
                        .arg(s.lastStats().matched);
        rows.push_back(over);
    }

    std::printf("data folder %s: %lld searched files, %.1f MB of text; %d runs\n", qPrintable(data),
                static_cast<long long>(files.size()), bytes / 1e6, runs);
    print(rows);
    std::printf("VmHWM of this process: %.1f MB\n", statusKb("VmHWM") / 1024.0);
    return 0;
}
