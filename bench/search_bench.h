#pragma once
// The search benchmark's shared pieces: timing helpers and its two single-process modes
// (search_modes.cpp), used by its main run (search_bench.cpp).
#include <QDate>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <vector>

namespace quelora::bench {

double ms(const QElapsedTimer& t);
double median(std::vector<double> v);
// kB of a line of /proc/self/status ("VmHWM", "VmRSS"); 0 where there is none.
long statusKb(const char* field);
// One query typed letter by letter (the words as given), then erased letter by letter.
QStringList typing(const QString& text);

inline const QString kTyped = QString::fromUtf8("reunion médico mañana");
// The day the benchmarks' "this day in other years" lists: 29 other years of the 30.
inline const QDate kThisDay(2007, 3, 15);
inline const QDate kLeapDay(2008, 2, 29);

// --first: the first query of a fresh Searcher in this fresh process; with --other-years
// the list of this day in other years comes first (as when the search opens), and the
// time of the query after it is printed last.
int firstQuery(const QString& data, const QString& query, bool watch, bool typeOn, bool otherYears);
// --huge: one page far larger than any typed, in the diary of data for the run.
int hugePage(const QString& data, bool sparse, int runs);

} // namespace quelora::bench
