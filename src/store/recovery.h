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

inline const QString kFileName = QStringLiteral(".quelora-sin-guardar.json");

enum class Kind {
    Page,    // a diary page: target is its caption
    Note,    // the note editor: target is the note it was loaded from or last saved as, if any
    DayText, // a holiday (dayKind 0) or reminder (1): target is the day file's name
    Card,    // the card fields: target is the group field's text, file the card loaded
};

struct Entry {
    Kind kind = Kind::Page;
    QString target;
    int dayKind = 0;
    QString file;        // cards: the name of the card the fields were loaded from
    QStringList texts;   // the text; for a card its seven fields
    store::Version base; // what the file held when the box was filled (digest and size)
    bool operator==(const Entry&) const;
};

QByteArray encode(const QList<Entry>& entries, const QDateTime& written);
// nullopt for anything that is not such a file (a torn or foreign file is no crash).
std::optional<QList<Entry>> decode(const QByteArray& bytes);

} // namespace quelora::recovery
