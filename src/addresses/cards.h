#pragma once
// Card files and groups of the address book, without widgets.
//
// A card is a file named by its APELLIDOS, holding its seven fields one per line,
// each followed by CR LF, in Windows-1252. A group is a subfolder of the
// address-book folder; "Todos" holds a copy of every card saved.
#include "store/boxfile.h"
#include "store/layout.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace quelora::addresses {

inline constexpr int kFieldCount = 7;
inline constexpr int kReferenceField = 6;
inline constexpr int kMailField = 5;
using Card = std::array<QString, kFieldCount>; // fields in the file form (CR LF line ends)

// The file text of a card: every field followed by CR LF.
QString cardFileText(const Card& card);
// The file bytes of a card: every field followed by CR LF. *lossy (if given) tells
// whether a character the code page cannot hold became "?".
QByteArray cardFileBytes(const Card& card, bool* lossy = nullptr);

// The fields of a card file. Missing lines leave their fields empty; every line
// after the sixth belongs to the reference (joined with CR LF, the file's last
// CR LF dropped), so a reference typed on several lines comes back whole.
Card cardFromFile(const QByteArray& bytes);

// The copy of a whole group for the clipboard: a heading, then one line per card
// made of its seven fields, each preceded by TAB. The only line end is a lone CR.
QString copyAllHeading(const QString& group); // TAB, group, CR, CR
QString copyAllColumns(const Card& card);     // TAB f1 .. TAB f7, no line end
inline const QString kCopyAllLineEnd = QStringLiteral("\r");

// A "-" in the group field ends the typing of a new group name: the text is cut
// one character at a time from its end until no "-" remains. Returns every cut,
// in order (the last one is the group name); empty when the text has no "-".
QStringList groupCommitCuts(const QString& text);

// The card-list pattern for a search text: names beginning with the text, letter
// case ignored, wildcards kept. A text that could name another folder ("/", "\",
// NUL, "." or "..") gets a pattern no file name matches.
QString searchPattern(const QString& text);

// The "mailto:" request for an e-mail text, passed on as typed.
QString mailRequest(const QString& email);

// The folder of a group inside the address-book folder, found without regard to
// letter case; empty when the group has no folder or its name is not a safe name.
QString groupFolder(const QString& bookFolder, const QString& group);

// Whether the address-book folder holds a file or folder of that name, letter case ignored.
bool bookHasEntry(const QString& bookFolder, const QString& name);

// ---- Saving a card ----------------------------------------------------------------------

// The card as its file keeps it: characters Windows-1252 has no place for are "?" in
// the file, and so in its name, which is its first line. *lossy tells whether any were.
Card storedCard(const Card& card, bool* lossy = nullptr);

// Why a typed APELLIDOS cannot name a card file, as told to the user; empty when it can.
// The file must work on Windows too, and its name is its first line as the file keeps it
// (so no letter Windows-1252 cannot hold, which would become "?").
QString cardNameProblem(const QString& typedName);

// How a card is saved, from its name and the group field alone.
struct CardSavePlan {
    bool nothing = false;   // no APELLIDOS: nothing written, nothing told
    QString refusal;        // told instead of writing anything
    bool intoGroup = false; // the group has a folder: the card goes into it
    bool intoAll = false;   // and into the all-cards group, unless that is the group itself
};
// name: the APELLIDOS as stored; groupStored / allStored: the stored names of the
// group's folder and of the all-cards folder, empty when there is none.
CardSavePlan planCardSave(const QString& name, const QString& group, const QString& groupStored,
                          const QString& allStored);
// Told after a save into a group that has no folder.
QString groupWithoutFolderMessage(const QString& group, bool savedInAll);

// Whether saving bytes into target would replace the card of another person: a file of
// that name is there that the fields were neither filled from nor last saved into (its
// version is unknown) and that does not already hold these bytes.
bool anotherCard(const store::BoxFile& target, const QByteArray& bytes);
// Told instead of replacing it; groups: the folders that hold another card of that name.
QString anotherCardMessage(const QString& name, const QStringList& groups);

} // namespace quelora::addresses
