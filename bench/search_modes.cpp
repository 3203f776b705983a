// The search benchmark's single-process modes (--first, --huge) and its timing helpers.
#include "search_bench.h"

#include "calendar/calendar.h"
#include "records/records.h"
#include "search/search.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quelora::bench {

double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

long statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(std::strlen(field)) + 1).trimmed().split(' ')[0].toLong();
    return 0;
}

QStringList typing(const QString& text) {
    QStringList steps;
    for (qsizetype i = 1; i <= text.size(); ++i)
        if (!text[i - 1].isSpace()) steps << text.left(i);
    return steps;
}

int firstQuery(const QString& data, const QString& query, bool watch, bool typeOn, bool otherYears) {
    const long before = statusKb("VmHWM");
    QElapsedTimer t;
    t.start();
    search::Searcher s(data, search::kDefaultBudgetBytes, watch);
    QList<search::Hit> hits = otherYears ? s.otherYears(kThisDay) : s.find(query);
    const double first = ms(t);
    double after = 0;
    if (otherYears) {
        t.start();
        s.find(query);
        after = ms(t);
    }
    // Then the rest of the typing, for the peak of a whole search.
    if (typeOn)
        for (const QString& q : typing(kTyped))
            s.find(q);
    std::printf("%.3f %d %ld %ld %d %lld %d %d %.3f\n", first, static_cast<int>(hits.size()), before,
                statusKb("VmHWM"), s.lastStats().files, s.lastStats().kept, s.lastStats().watching ? 1 : 0,
                static_cast<int>(s.lastStats().matched), after);
    return 0;
}

int hugePage(const QString& data, bool sparse, int runs) {
    const QDate date(2030, 1, 1); // after every generated page
    const QString dias = store::joinPath(data, store::findFolder(data, layout::kPages));
    const QString page =
        store::joinPath(dias, records::pageName(calendar::dateCaption(date.dayOfWeek() - 1, date)));
    {
        QFile f(page);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "quelora_search_bench: cannot write %s\n", qPrintable(page));
            return 1;
        }
        if (sparse) {
            f.write("Disco enorme.");
            f.resize(200LL << 30);
        } else {
            // Written a megabyte at a time: the bench itself must not hold 300 MB.
            QByteArray chunk;
            const QByteArray line = store::encode(QString::fromUtf8(
                "El tren salió tarde de la estación y llovía sobre los campos de trigo.\r\n"));
            while (chunk.size() < (1 << 20))
                chunk += line;
            for (qint64 written = 0; written < 300LL * 1000 * 1000; written += chunk.size())
                f.write(chunk);
        }
    }
    const long before = statusKb("VmHWM");
    std::vector<double> first, typed, erased;
    search::Searcher::Stats stats;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        search::Searcher s(data);
        s.find(QStringLiteral("r"));
        first.push_back(ms(t));
        QStringList steps = typing(kTyped);
        for (const QString& q : std::as_const(steps)) {
            t.start();
            s.find(q);
            typed.push_back(ms(t));
        }
        // Erasing narrows nothing: every keystroke looks into the page again.
        std::reverse(steps.begin(), steps.end());
        for (qsizetype i = 1; i < steps.size(); ++i) {
            t.start();
            s.find(steps[i]);
            erased.push_back(ms(t));
        }
        stats = s.lastStats();
    }
    QFile::remove(page);
    const auto line = [](const char* what, const std::vector<double>& v) {
        std::printf("%-44s %9.2f %9.2f %9.2f\n", what, median(v), *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    std::printf("%s page of %s in %s; %d runs\n", sparse ? "sparse" : "dense", sparse ? "200 GB" : "300 MB",
                qPrintable(data), runs);
    std::printf("%-44s %9s %9s %9s\n", "ms", "median", "min", "max");
    line("first query \"r\" (a new Searcher)", first);
    line("keystroke, typing, all steps", typed);
    line("keystroke, erasing, all steps", erased);
    std::printf("files %d, cut %d, kept %.1f MB, peak of kept text %.1f MB, over budget %s, failed %s\n",
                stats.files, stats.cut, stats.kept / 1e6, stats.peak / 1e6, stats.overBudget ? "yes" : "no",
                stats.failed ? "yes" : "no");
    std::printf("VmHWM %.1f MB before the first query, %.1f MB at the end\n", before / 1024.0,
                statusKb("VmHWM") / 1024.0);
    return 0;
}

} // namespace quelora::bench
