#pragma once
// Every text a save replaces or removes is kept first in a hidden history inside the data
// folder, so that no save is ever one click from losing what was there:
//
//   <data>/.historial/<folder below data>/<stored name>/<yyyy-mm-dd hh.mm.ss>[ (n)][ origin].txt
//
// for instance ".historial/dias/JUEVES, 15 de MARZO de 2007.txt/2007-03-15 10.05.00.txt" or
// ".historial/direcciones/Amigos/García/2007-03-15 10.05.00.txt". Each file holds the bytes
// the data file held (Windows-1252, as written), so a person can open it with any editor;
// the names are relative, so the history travels with the folder. No listing of the
// program looks into a hidden folder of the data folder's top, so nothing of it is taken
// for a page, a note, a card or a group, and the search never reads it.
//
// Bounded: every version of the last kRecentDays is kept, then the newest of each day up to
// kDailyDays, then the newest of each month; beyond sizeCap() bytes for the whole data
// folder the oldest versions go first. Nothing here throws or shows anything, and a failure
// to keep is returned, never in the way of the save that asked.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace quelora::history {

// A kept text, from the name of its file.
struct Kept {
    QString path;   // the file in the history, absolute
    QDateTime when; // when the text stopped being the file's (local time, to the second)
    QString origin; // where it came from, as the keeper said ("" for an earlier save)
};

inline constexpr int kRecentDays = 7; // every version younger than this is kept
inline constexpr int kDailyDays = 31; // then one a day up to this age, then one a month
inline constexpr qint64 kDefaultSizeCap = 5LL << 20;

// The most the history of one data folder holds; the oldest go first beyond it. Tests set a
// smaller one (<= 0: the default again).
qint64 sizeCap();
void setSizeCap(qint64 bytes);

// The folder that holds the versions of the file stored as storedName in folder (an
// absolute folder inside dataRoot, such as <data>/dias); empty when folder is not inside
// dataRoot.
QString versionsFolder(const QString& dataRoot, const QString& folder, const QString& storedName);

// Whether path lies inside a history folder.
bool isHistoryPath(const QString& path);

// The kept texts of storedName in folder (its other letter cases included), newest first.
QList<Kept> keptOf(const QString& dataRoot, const QString& folder, const QString& storedName);

// Keeps bytes as a text of storedName in folder that stopped being its text at when, from
// origin (a few words, "" for an earlier save; characters no file name takes become "_").
// Nothing is written when the newest kept text holds the same bytes. Thins that file's
// versions and holds the whole history within sizeCap(). False, with the reason in *why,
// when it could not be written.
bool keep(const QString& dataRoot, const QString& folder, const QString& storedName, const QByteArray& bytes,
          const QDateTime& when, const QString& origin = {}, QString* why = nullptr);

// Moves the file at path (a file of a data folder, such as another version of storedName
// beside it) into storedName's history: kept first, removed after, so it is never lost on
// the way; a file that cannot be read is renamed there whole. False when it is still in
// its place (it may then be in the history as well).
bool keepFileAway(const QString& dataRoot, const QString& path, const QString& storedName,
                  const QDateTime& when, const QString& origin, QString* why = nullptr);

// Bringing a kept text back is an ordinary save of its text (read with store::readFile),
// so the text it replaces is kept first like any other.

} // namespace quelora::history
