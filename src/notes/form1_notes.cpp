// The notes panel: the note editor Text6, the note list File1 and "ELIMINAR".
#include "app/build.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "search/search.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>

using namespace quelora;
using namespace quelora::build;

void Form1::buildNotesPanel(QFrame* f) {
    Text6 =
        textBox(f, QStringLiteral("Text6"), tw(240, 360, 5655, 5775), TextBox::Lines::Multi, arial(9.75),
                QStringLiteral("Nota"), QStringLiteral("Texto de la nota; se guarda al salir de la casilla"));
    Text6->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxColors(Text6, 0x0080FFFF, 0x00400000);
    connect(Text6, &TextBox::changed, this, [this] { Text6_Change(); });
    connect(Text6, &TextBox::lostFocus, this, [this] { Text6_LostFocus(); });
    File1 = new FileList(f);
    File1->setObjectName(QStringLiteral("File1"));
    File1->setGeometry(tw(6000, 360, 1575, 5280));
    describe(File1, QStringLiteral("Lista de notas"), QStringLiteral("Notas guardadas, por fecha y hora"));
    connect(File1, &FileList::clicked, this, [this] { File1_Click(); });
    // A reader hears a note as the search names it; the list still shows its file's name.
    File1->speakNamesAs([](const QString& name) {
        const std::optional<QDateTime> when = notes::noteTimeOfName(name);
        return when ? search::noteCaption(*when) : QString();
    });
    Command13 = button(f, QStringLiteral("Command13"), tw(6000, 5760, 1575, 375), QStringLiteral("ELIMINAR"),
                       vb::Red, arial(9.75, true), QStringLiteral("Eliminar nota"),
                       QStringLiteral("Borra la nota que se ve en la lista"));
    connect(Command13, &QPushButton::clicked, this, [this] { Command13_Click(); });
    Note = Boxes.add(Boxes.kind(NoteKind()), {Text6});
}

BoxKind Form1::NoteKind() {
    // A note that could not be saved stays in the editor, which opens no other note until
    // it is saved.
    BoxKind k;
    k.tag = QStringLiteral("nota");
    k.format = BoxFormat::Note;
    k.spelled = {true};
    k.leave = [this](BoundBox&) { Text6_LostFocus(); };
    k.restore = [this](const recovery::Entry& e, QStringList* told) { RestoreNote(e, told); };
    return k;
}

void Form1::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    // A text the program could not save is never replaced in its box.
    if (Note->held && !Text6->text().isEmpty()) {
        ReportNotice(
            QStringLiteral("La nota de la casilla no se ha podido guardar y sigue ahí para que no se "
                           "pierda. Se guardará la próxima vez que salgas de la casilla; después podrás "
                           "abrir otra nota."));
        return;
    }
    const BoxFile before = Note->file;
    Note->file = BoxFile{File1->path(), name, {}, false};
    const store::ReadResult r = Note->read();
    if (!r.ok) {
        Note->file = before;
        if (!r.found) File1->refresh(); // gone meanwhile: the list shows what there is
        return;                         // the editor keeps what it had
    }
    Note->show(Note->textsOf(r.bytes)); // counts as a change: the next leave saves a copy
    ShowVersionMarks();
}

void Form1::Text6_Change() {
    Note->armed = true; // NoteChanged
}

QString Form1::NoteSaveName() {
    const QString folder = DataPath(layout::kNotes);
    const QDateTime now = platform().now();
    const BoxFile& loaded = Note->file;
    // A minute a day for a year ahead is more than any folder of notes holds.
    for (int i = 0; i < 366 * 24 * 60; ++i) {
        const QString name = notes::noteFileName(now.addSecs(60LL * i));
        const QFileInfo fi(store::joinPath(folder, name));
        if (!fi.exists() && !fi.isSymLink()) return name;
        // The same note saved again within its minute replaces itself.
        if (name == loaded.name && loaded.folder == folder && FileUnchanged(loaded)) return name;
    }
    return notes::noteFileName(now);
}

void Form1::Text6_LostFocus() {
    if (!Note->armed) return;
    const QString text = Text6->text();
    if (text.isEmpty()) {
        // Nothing to save; what is typed next is a note of its own.
        Note->armed = Note->held = false;
        Note->file = BoxFile();
        KeepUnsavedTexts();
        return;
    }
    const QString name = NoteSaveName();
    BoxFile target =
        name == Note->file.name ? Note->file : BoxFile{DataPath(layout::kNotes), name, {}, false};
    // The editor shows what the file kept: the user sees the "?".
    if (SaveBoxFile(target, text, QString(), QStringLiteral("La nota %1").arg(name), Text6) ==
        Saved::Failed) {
        Note->held = true; // still armed: the text is saved at the next chance
        KeepUnsavedTexts();
        return;
    }
    Note->held = Note->armed = false;
    Note->file = target;
    // The new note joins the list where it sorts; the note chosen stays chosen, so
    // "ELIMINAR" deletes what it deleted before the save.
    File1->addName(name);
}

void Form1::RestoreNote(const recovery::Entry& e, QStringList* told) {
    const QString text = e.texts.value(0);
    if (text.isEmpty()) return;
    // The note the editor had loaded (a copy kept by an older Quelora names it as its target).
    if (const QString loaded = e.file.isEmpty() ? e.target : e.file; !loaded.isEmpty()) {
        const store::ReadResult note = store::readNamed(DataPath(layout::kNotes), loaded);
        if (note.ok && note.bytes == store::encode(text)) return; // saved after all
    }
    const QString name = NoteSaveName(); // the editor holds no note yet: a minute of its own
    if (SaveText(DataPath(layout::kNotes), name, text) != Saved::Failed) {
        *told << QStringLiteral("• una nota: guardada como nota %1.").arg(name);
        return;
    }
    Text6->setText(text);
    Note->held = Note->armed = true;
    *told << QStringLiteral(
                 "• una nota: todavía no se ha podido guardar (%1); está en la casilla de las notas.")
                 .arg(LastFailureReason);
}

void Form1::Command13_Click() {
    const QString name = File1->fileName();
    const QString folder = File1->path();
    // Only the very file chosen: once it is gone, a note whose name differs only in
    // letter case is another note.
    if (name.isEmpty() || store::findNamed(folder, name) != name) {
        File1->refresh();
        return;
    }
    NoteOwnWrite(store::joinPath(folder, name));
    if (const store::Status s = RemoveText(folder, name); !s && !s.notFound())
        ReportFailure(QStringLiteral("No se ha podido eliminar la nota\n%1\n\n%2")
                          .arg(QDir::toNativeSeparators(store::joinPath(folder, name)), s.reason));
    else
        File1->removeName(name);
}
