#pragma once
// Whole-file reads and writes of the data folder. Failures come back as values
// carrying the platform's reason; nothing here throws or shows anything.
#include "store/watch.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QDateTime;

namespace quelora::store {

// What became of an operation on the disk. Ignoring one is a fault: a save that fails
// must be told.
struct [[nodiscard]] Status {
    enum class Code {
        Ok,
        NotFound, // the file or folder is not there
        Refused,  // not even tried: an unsafe name, a read-only file, something else in its place
        Failed,   // tried, and the platform said no
    };
    Code code = Code::Ok;
    QString reason; // the platform's description, or ours, when not Ok
    explicit operator bool() const { return code == Code::Ok; }
    bool notFound() const { return code == Code::NotFound; }
    static Status failure(QString why) { return {Code::Failed, std::move(why)}; }
    static Status refused(QString why) { return {Code::Refused, std::move(why)}; }
    static Status missing(QString why) { return {Code::NotFound, std::move(why)}; }
};

struct ReadResult {
    bool found = false; // a regular file was there
    bool ok = false;    // and it was read whole
    QByteArray bytes;
    QString reason;
};

// Regular files only: a folder, FIFO, device or dangling link counts as no file,
// so nothing the program reads can block it.
bool isRegularFile(const QString& path);
// Files longer than kLargestRead are found but not read (ok false, with the reason).
inline constexpr qint64 kLargestRead = 256LL << 20;
ReadResult readFile(const QString& path);

// Whether a write waits until the new text is on the disk itself before it replaces
// the old file. Only a scratch file that nothing reads back (the export) goes without.
enum class Sync { Durable, Scratch };

// Atomic: the old file stays whole until the new one is complete on disk. A file the
// user made read-only is never replaced, whoever runs the program. A file that already
// holds exactly these bytes is left as it is: that is no failure, even when it is
// read-only.
Status writeFile(const QString& path, const QByteArray& bytes, Sync sync = Sync::Durable);

// Whether folder takes a new file now (the hidden file a save goes through): a file
// that already holds what is written is never written again, so a write alone does
// not tell.
Status probeFolder(const QString& folder);

// The hidden file a write of path goes through before it replaces path; the lists
// never show such names.
QString temporaryNameFor(const QString& path);
bool isTemporaryName(const QString& name);

// A way for tests to make writes fail half-way through, as on a full disk: before
// each write the store asks the installed faults about the file it writes (a probe:
// about the folder), and a reason makes that write fail after half of its bytes. The
// program never installs any.
class WriteFaults {
public:
    virtual ~WriteFaults() = default;
    virtual std::optional<QString> nextWriteFails(const QString& path) = 0;
};
void setWriteFaults(WriteFaults* faults); // nullptr: none

// The same operations on a user-visible name inside folder: the name must pass
// isSafeName, and an existing file whose name differs only in letter case is the
// one read, replaced or removed.
// How a name stored in another letter case is looked for when the exact name is not
// there: through the folder's index, made and kept for the look-ups to come (Keep), or
// by one pass over the folder for this name alone (Once), which costs a third of
// indexing it. Either way an index kept from before answers at once.
enum class Lookup { Keep, Once };
ReadResult readNamed(const QString& folder, const QString& name, Lookup lookup = Lookup::Keep);
// *path (if given) receives the path written, or that would have been.
Status writeNamed(const QString& folder, const QString& name, const QByteArray& bytes,
                  Sync sync = Sync::Durable, QString* path = nullptr);
Status removeNamed(const QString& folder, const QString& name);
QString findNamed(const QString& folder, const QString& name, Lookup lookup = Lookup::Keep); // or empty

// The subfolder of parent named name, letter case ignored (the exact spelling wins, then
// store::takenBefore): its stored name, or empty when there is none.
QString findFolder(const QString& parent, const QString& name);

// Creates folder (and missing parents); ok when it already exists as a folder.
Status makeFolder(const QString& path);

// The stored name of the regular file of folder that is the same name as name, letter
// case ignored, found by one pass over the folder: the variant a FolderIndex would take
// (store::takenBefore); empty when there is none.
QString scanFor(const QString& folder, const QString& name);

// Regular files / subfolders of folder, hidden ones included, in no set order.
QStringList listFiles(const QString& folder);
QStringList listFolders(const QString& folder);

// ---- Another program's changes ----------------------------------------------------------

// What a file held when the program last read or wrote it, so that a later save can tell
// whether another program has changed it since.
struct Version {
    bool known = false;      // nothing seen yet: nothing to compare with
    bool exists = false;     // there was a regular file
    bool unreadable = false; // there was one, but it could not be read
    qint64 size = 0;
    QByteArray digest; // of its bytes
    Stamp stamp;       // as seen then: while it stays the same, the file need not be read
    bool sameContent(const Version& other) const {
        return exists == other.exists && unreadable == other.unreadable &&
               (!exists || (size == other.size && digest == other.digest));
    }
};
// The version of these bytes (stamp: the file's at path, if given).
Version versionOf(const QByteArray& bytes, const QString& path = QString());
Version absentVersion();
// The version of the file at path now; *bytes (if given) receives what it holds.
Version versionAt(const QString& path, QByteArray* bytes = nullptr);
// Whether the file at path still is v: an unchanged stamp says so at once, else its bytes
// are read and compared; *now (if given) receives the version found, and *bytes what the
// file holds when it had to be read. Always true when v is not known.
bool stillIs(const QString& path, const Version& v, Version* now = nullptr, QByteArray* bytes = nullptr);

// A free name beside stored in folder for another version of it, saying so and when:
// "JUEVES, 15 de MARZO de 2007 (otra versión 2007-3-15 10.05).txt", "García (otra versión
// 2007-3-15 10.05)", then " 2", " 3", ... No look-up of the program takes it for the file.
QString otherVersionName(const QString& folder, const QString& stored, const QDateTime& when);
// store/versions.h tells such a name.

// The message for a user name refused by isSafeName.
QString unsafeNameReason(const QString& name);

} // namespace quelora::store
