#pragma once
// Names that other programs leave beside the user's files. A folder kept in step between
// two computers by a sync engine holds, beside the pages, notes and cards, the engine's
// half-written files and its conflict copies: another computer's text of the same file,
// kept under a name of its own. None of them is a file of its own: a half-written file
// is nothing yet, and a conflict copy is another version of the file whose name it
// carries. The same holds for the program's own "(otra versión …)" copies.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

namespace quelora::store {

class FolderIndex;

// Files an engine writes while it brings a file over, and its own bookkeeping
// (".syncthing.García.tmp", "~syncthing~García.tmp", ".García.~1a2b", "García.partial",
// ".stfolder", ".stversions"), and the program's own hidden files of a save: never
// read, listed, searched, counted or shown.
bool isPassingName(QStringView name);

// Another version of a file, as its name tells.
struct VersionName {
    enum class From { Quelora, Syncthing, Nextcloud, Dropbox, OneDrive };
    QString base; // the name of the file it is a version of
    From from = From::Quelora;
    QString who;    // the device, user or computer the name gives, if any
    QDateTime when; // the time the name gives (its date alone for some engines), or invalid
};

// What name says of being another version of a file. Some engines only append a
// computer's name ("García-PORTATIL", "García-PORTATIL-2", "García-host-safeBackup-0001"),
// which an ordinary name may hold too: such a name is a version only where isFile says
// its base is a file of the same folder.
std::optional<VersionName> versionOfName(QStringView name,
                                         const std::function<bool(const QString&)>& isFile = {});

// Whether a listing of the folder shows name as one of its files: not a system's file,
// a passing file or a version of another file of the folder (isFile: whether a name is a
// file there, asked only of a name that may be one's version).
bool isListedName(QStringView name, const std::function<bool(const QString&)>& isFile);
bool isListedName(QStringView name, const FolderIndex& index);

// A version kept beside a file of the folder.
struct OtherVersion {
    QString name; // its stored name
    VersionName says;
};
// The versions of the file stored (as index lists it) beside it in its folder, newest first.
QList<OtherVersion> versionsBeside(const FolderIndex& index, const QString& stored);
// Every file of index that has a version beside it: its stored name.
QStringList filesWithVersions(const FolderIndex& index);

// Where a version came from, for the user: "otro ordenador (Syncthing, dispositivo
// R7HI5PD)", "otro ordenador (Dropbox, de Ana)", "Quelora, al no poder guardar encima".
QString originText(const VersionName& v);

} // namespace quelora::store
