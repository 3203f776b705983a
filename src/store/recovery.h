#pragma once
// The hidden file that keeps what the boxes hold and is not yet saved, so that a crash,
// a kill or a power cut loses at most the last moment of typing. It lives in the data
// folder beside the lock; the program writes it a moment after the typing pauses and
// removes it once everything is saved. Its text is UTF-8 (JSON), so that it holds any
// character a box can, also those the code page of the data files cannot.
#include "store/files.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace quelora::recovery {

// Each computer keeps its own copy, named after it (thisComputer()), so that a sync engine
// that carries the folder never puts one computer's copy over another's, and no computer
// takes another's texts for its own: ".quelora-sin-guardar-<computer>.json".
QString fileNameOf(const QString& computer);
// The computer a copy's name says wrote it; nullopt for any other name.
std::optional<QString> computerOfFileName(const QString& name);
// The one copy earlier versions wrote, for whichever computer; still read.
inline const QString kOlderFileName = QStringLiteral(".quelora-sin-guardar.json");
// The host name in a computer's name (without the start of its id).
QString hostOf(const QString& computer);

// One text not saved yet. Its kind is the tag of the kind of box it was typed into
// ("pagina", "nota", "dia", "ficha"): the window's boxes know what each means, this file
// only keeps it.
struct Entry {
    QString kind;
    QString target;      // what the box was bound to: a page's caption, a day file's name, a card's group
    int dayKind = 0;     // of the kinds of one tag, which (the holiday 0, the reminder 1)
    QString file;        // the file the box showed (a note, a card), if any
    QStringList texts;   // the text; for a card its seven fields
    store::Version base; // what the file held when the box was filled (digest and size)
    bool operator==(const Entry&) const;
};

// closed: kept by an exit the user chose while texts were still unsaved, not by a crash.
// computer: the one that wrote it, also kept inside.
QByteArray encode(const QList<Entry>& entries, const QDateTime& written, bool closed = false,
                  const QString& computer = {});
// nullopt for anything that is not such a file of this version (a torn file, a newer
// program's). An entry without a kind or a text is left out. *closed (if given): whether
// an exit kept it.
std::optional<QList<Entry>> decode(const QByteArray& bytes, bool* closed = nullptr);

// The name a copy that could not be read is moved to, beside it in the data folder: in
// plain sight, saying what it is and when it was put aside; n > 1 for the next free one.
QString setAsideName(const QDateTime& when, int n = 1);

} // namespace quelora::recovery
