#pragma once
#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <optional>

namespace quelora::store {

// A name that comes from the user may only ever name an entry of its own folder:
// it is refused when empty, when it holds a path separator or a NUL, or is "." or "..".
bool isSafeName(const QString& name);

// folder + "/" + name, without doubling a separator already at the end of folder.
QString joinPath(const QString& folder, const QString& name);

// ---- Letter case ------------------------------------------------------------------------
// Two names are the same name, letter case ignored, when their characters are equal one
// by one once each is case folded on its own: "miércoles" is "MIÉRCOLES", but "Weiss" is
// not "Weiß", "ﬁn" is not "FIN" and "ı" is not "I" (no character ever turns into two, as
// a whole-text upper case turns ß into SS). The one comparison of names in the program.
bool sameName(QStringView a, QStringView b);
// A name with its combining marks composed ("E" + U+0301 is "É"); most names are returned as
// they are.
QString composedName(QStringView name);
// The folded form sameName compares: a key for hashing names.
QString nameKey(QStringView name);
// Of several stored names that are the same name, the one every look-up takes when the
// name asked for is not among them spelt exactly: the first in code-unit order, so the
// choice never depends on the order a folder happens to list its entries.
bool takenBefore(QStringView a, QStringView b);
// A file-list pattern: "*" stands for any characters, "?" for any one, and "*.*" at the end
// for a name without an extension too; letter case is ignored as sameName ignores it. A
// pattern holding a path separator or a NUL matches nothing: it could name another folder.
class NamePattern {
public:
    explicit NamePattern(const QString& pattern);
    bool matches(QStringView name) const;

private:
    bool everything_ = false;
    std::optional<QRegularExpression> folded_; // of nameKey(name)
};
// name less its ending extension, letter case ignored as above ("x.TXT" less ".txt" is "x");
// a null view when name has not that ending after at least one character.
QStringView withoutExtension(QStringView name, QStringView extension);

// ---- Names that travel ------------------------------------------------------------------
// What keeps a name from being a file or folder name on Windows too (the characters
// \ / : * ? " < > |, control characters, a trailing dot or blank, CON, PRN, AUX, NUL,
// COM0..COM9, LPT0..LPT9, COM¹..COM³, LPT¹..LPT³ with or without an extension), in Spanish;
// empty when nothing does.
QString windowsNameProblem(const QString& name);

// Files a system leaves in folders for itself (desktop.ini, Thumbs.db, .DS_Store): no
// card, no note, nothing to show or search.
bool isSystemFileName(QStringView name);

} // namespace quelora::store
