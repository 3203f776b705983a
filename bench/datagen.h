#pragma once
// Large data folders for the benchmarks, the same bytes for the same seed on every
// machine: the diary of up to 30 years, a holiday and a reminder for every day of
// the year, the shipped saints, an address book and a pile of notes.
#include <QDate>
#include <QString>
#include <QtGlobal>

namespace quelora::bench {

// 30 years of daily pages, 1 January 1995 to 31 December 2024: the 100x diary.
inline constexpr int kFullDiaryDays = 10958;
// The last day that has a page, and the day the benchmarks' clock shows.
inline const QDate kLastDiaryDay = QDate(2024, 12, 31);

struct GenOptions {
    quint64 seed = 20241231;
    // Diary size in percent of the 30 years: 1 (110 pages), 10 (1,096), 100 (10,958).
    int diaryScale = 100;
    int cards = 2000;
    int groups = 20;         // besides "Todos"
    int bigGroupCards = 500; // the group "Trabajo"; the rest share the other groups
    int notes = 10000;
    // A folder holding the shipped "santoral" day files (the source tree's data/).
    QString shippedData;
};

struct GenSummary {
    int pages = 0;
    int renamedPages = 0; // pages stored under a name in other letter case
    int holidays = 0;
    int reminders = 0;
    int saints = 0;
    int cards = 0;
    int groups = 0;
    int notes = 0;
    qint64 bytes = 0;
};

int diaryDaysForScale(int scalePercent);

// The group that holds bigGroupCards cards, and the first group in list order.
inline const QString kBigGroup = QStringLiteral("Trabajo");

// Fills folder (created if missing; existing files of the same names are replaced).
// Returns false with *error set when a file could not be written.
bool generateDataFolder(const QString& folder, const GenOptions& options, GenSummary* summary,
                        QString* error);

} // namespace quelora::bench
