#pragma once
// A box bound to a file: filled from it, armed by typing, saved on leaving or by its
// button, held when its save fails, kept through a crash, following another program's
// change. Every box of the window that shows a file is one BoundBox, made by its panel's
// builder and registered in the window's BoxRegistry; a rule about every box (the exit,
// the copy of unsaved text and its recovery, other programs' changes, spelling) is a
// loop over the registry, never a list of boxes written by hand.
//
// A new kind of box is one registration: a BoxKind (its format, when it saves, its
// messages, how it takes back a text after a crash) and BoxRegistry::add with its fields.
#include "store/boxfile.h"
#include "store/files.h"
#include "store/recovery.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace quelora {

class TextBox;
class BoundBox;

// How a kind of file holds the texts of its box.
enum class BoxFormat {
    Page,    // exactly the box's text
    DayFile, // the text and one CR LF
    Note,    // exactly the text
    Card,    // seven fields, each followed by CR LF
};

// When a box's text goes to its file.
enum class Saving {
    OnLeaving, // whenever the focus leaves it (the diary, the week, the note)
    ByButton,  // by its button alone (the holiday, the reminder, a card)
    Never,     // it is only read (the saints)
};

// What the boxes of one kind share, given by the panel's builder.
struct BoxKind {
    QString tag;     // its name in the copy of unsaved text ("pagina", "dia", "nota", "ficha")
    int variant = 0; // which kind of one tag ("caja": the holiday 0, the reminder 1)
    BoxFormat format = BoxFormat::Page;
    Saving saving = Saving::OnLeaving;
    // A text it has not saved waits with its file in the registry and comes back whenever
    // that file is shown (a page, a day file); otherwise it waits in the box itself, which
    // takes no other file meanwhile (the note, a card).
    bool heldByFile = false;
    // An emptied box is still a text to save (the diary: an empty page); otherwise an
    // empty box has nothing to give back after a crash.
    bool savesEmpty = false;
    std::vector<bool> spelled; // per field: its words are checked (none when empty)
    // Saves the box that the focus has just left (OnLeaving kinds).
    std::function<void(BoundBox&)> leave;
    // A line for the user about a text of this kind not saved yet, bound to target (a
    // day file's name, a card's name): where it is and how to save it.
    std::function<QString(const QString& target, const QStringList& texts)> waiting;
    // Takes back an entry of the copy of unsaved text after a crash; appends what the
    // user is told of it to *told.
    std::function<void(const recovery::Entry&, QStringList* told)> restore;
};

class BoxRegistry;

class BoundBox {
public:
    BoundBox(BoxRegistry& registry, const BoxKind& kind, std::vector<TextBox*> fields);

    const BoxKind& kind() const { return kind_; }
    const std::vector<TextBox*>& fields() const { return fields_; }
    TextBox* box() const { return fields_.front(); }

    store::BoxFile file; // the file it shows and saves into, and what that held then
    QString target;      // what it is bound to: a page's caption, a day file's name, a card's group
    bool armed = false;  // leaving it saves it (the diary once clicked or typed into, the note once changed)
    bool unreadable = false; // its file is there but could not be read: a click alone never saves over it
    // It holds a text not saved yet (its save failed, or it came back after a crash) that
    // waits in the box: the box takes no other file until it is saved or cleared.
    bool held = false;
    QWidget* button = nullptr; // its save button, which shows whether its text is saved

    // ---- Its text
    QStringList texts() const;
    QString text() const { return texts().value(0); }
    // Set by the program: the box counts as unchanged.
    void show(const QStringList& texts);
    // The box's text has just been saved: it shows what its file keeps, unchanged.
    void showSaved(const QStringList& texts);
    bool typed() const; // changed by the user since the program set it or it was saved
    bool takesInput() const;
    bool hasFocus() const;
    // The texts a file's bytes show in the box, by its kind's format.
    QStringList textsOf(const QByteArray& bytes) const;

    // ---- Its life
    // Reads the file it is bound to, and knows it as what the box shows from now on.
    store::ReadResult read(store::Lookup lookup = store::Lookup::Keep);
    // Shows f's file, bound to target (nothing when f names no file). A text waiting for f
    // wins over the file. First, a text typed here and not saved waits with its own file
    // (heldByFile kinds).
    void fill(const store::BoxFile& f, const QString& target, store::Lookup lookup = store::Lookup::Keep);
    // Shows no file any more; a typed text waits with its file (heldByFile kinds).
    void empty();
    // A text typed and not saved waits with its file (heldByFile kinds saved by a button);
    // an emptied box lets a waiting one go: what is on disk stays as it is.
    void park();
    // Whether its file changed on disk since the box showed it, and is there.
    bool changedOnDisk() const;
    // Another program changed its file: a box with nothing unsaved shows it as it is now,
    // the cursor where it was. True when it did.
    bool follow();
    // It holds a text not saved yet: typed, held in it, or shown from a text waiting for
    // its file.
    bool unsaved() const;
    // And there is something in it to keep: words, or an emptied page (savesEmpty). The
    // copy of unsaved text, the exit and the save button's mark all ask this.
    bool holdsText() const;
    // Its text as an entry of the copy of unsaved text.
    recovery::Entry entry() const;

private:
    // Shows what a read gave: the cursor at the start, or where it was (following).
    void showRead(const store::ReadResult& r, bool following);
    BoxRegistry& registry_;
    const BoxKind& kind_;
    std::vector<TextBox*> fields_;
};

// Every bound box of the window, and the texts waiting with their files.
class BoxRegistry {
public:
    BoxRegistry();
    ~BoxRegistry();
    BoxRegistry(const BoxRegistry&) = delete;
    BoxRegistry& operator=(const BoxRegistry&) = delete;

    // A kind, kept for the life of the window; its boxes refer to it.
    const BoxKind& kind(BoxKind kind);
    // The first kind of that tag and variant, if any.
    const BoxKind* find(const QString& tag, int variant = 0) const;
    BoundBox* add(const BoxKind& kind, std::vector<TextBox*> fields);
    const std::vector<std::unique_ptr<BoundBox>>& boxes() const { return boxes_; }

    // A text not saved yet, waiting with its file: shown whenever that file is.
    struct Waiting {
        const BoxKind* kind = nullptr;
        QString target;
        store::BoxFile file; // file.base: what the file held when the text was typed
        QString text;
    };
    const Waiting* waiting(const store::BoxFile& f) const;
    void hold(const BoxKind& kind, const QString& target, const store::BoxFile& f, const QString& text);
    bool release(const store::BoxFile& f);
    QList<Waiting> waitingTexts() const { return waiting_.values(); }

    // Every text not saved yet, as entries of the copy of unsaved text: a box's own text
    // before an older one waiting for the same file.
    QList<recovery::Entry> unsavedEntries() const;
    // Lines for the user about the texts that wait for their button (the exit says them).
    QStringList waitingForButtons() const;
    // Takes an entry back through the kind of its tag; false when no kind knows it.
    bool restore(const recovery::Entry& e, QStringList* told) const;
    // The boxes that show f's file.
    std::vector<BoundBox*> showing(const store::BoxFile& f) const;

private:
    static QString key(const store::BoxFile& f);
    std::vector<std::unique_ptr<BoxKind>> kinds_;
    std::vector<std::unique_ptr<BoundBox>> boxes_;
    QMap<QString, Waiting> waiting_;
};

} // namespace quelora
