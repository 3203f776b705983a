// The notes panel: the note editor Text6, the note list File1 and "ELIMINAR".
#include "app/filelist.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/names.h"

using namespace quelora;

namespace {

// Re-reads the list and selects again the name that was selected, so that a save,
// which adds a name to the list, does not change which note "ELIMINAR" deletes.
void refreshKeepingSelection(FileList* list) {
    const QString selected = list->fileName();
    list->refresh();
    if (selected.isEmpty()) return;
    const QList<QListWidgetItem*> found = list->findItems(selected, Qt::MatchExactly);
    if (!found.isEmpty()) list->setCurrentItem(found.first());
}

} // namespace

void Form1::File1_Click() {
    const QString name = File1->fileName();
    if (name.isEmpty()) return;
    const store::ReadResult r = store::readNamed(File1->path(), name);
    if (!r.ok) return;                      // the editor keeps what it had
    Text6->setText(store::decode(r.bytes)); // counts as a change: the next leave saves a copy
}

void Form1::Text6_Change() {
    NoteChanged = true;
}

void Form1::Text6_LostFocus() {
    if (!NoteChanged) return;
    const QString text = Text6->text();
    if (!text.isEmpty()) {
        const QString folder = DataPath(QStringLiteral("notas"));
        const QString name = notes::noteFileName(platform().now());
        bool lossy = false;
        const store::Status s = store::writeNamed(folder, name, store::encode(text, &lossy));
        if (!s) {
            // NoteChanged stays set: the text is saved at the next chance.
            ReportSaveFailure(store::joinPath(folder, name), s.reason);
            return;
        }
        if (lossy) {
            // The editor shows what the file kept, so the user sees the "?" and is told once.
            Text6->setText(store::decode(store::encode(text)));
            ReportNotice(notes::replacedCharactersMessage(store::joinPath(folder, name)));
        }
    }
    NoteChanged = false;
    refreshKeepingSelection(File1);
}

void Form1::Command13_Click() {
    const QString name = File1->fileName();
    if (!name.isEmpty()) store::removeNamed(File1->path(), name); // a note already gone is no news
    File1->refresh();
}
