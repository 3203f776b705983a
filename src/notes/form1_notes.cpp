// The notes panel: the note editor Text6, the note list File1 and "ELIMINAR".
#include "app/build.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFrame>

using namespace quelora;
using namespace quelora::build;

void Form1::buildNotesPanel(QFrame* f) {
    Text6 = textBox(f, tw(240, 360, 5655, 5775), TextBox::Lines::Multi, arial(9.75), QStringLiteral("Nota"),
                    QStringLiteral("Texto de la nota; se guarda al salir de la casilla"));
    Text6->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxColors(Text6, 0x0080FFFF, 0x00400000);
    connect(Text6, &TextBox::changed, this, [this] { Text6_Change(); });
    connect(Text6, &TextBox::lostFocus, this, [this] { Text6_LostFocus(); });
    File1 = new FileList(f);
    File1->setGeometry(tw(6000, 360, 1575, 5280));
    describe(File1, QStringLiteral("Lista de notas"), QStringLiteral("Notas guardadas, por fecha y hora"));
    connect(File1, &FileList::clicked, this, [this] { File1_Click(); });
    Command13 = button(f, tw(6000, 5760, 1575, 375), QStringLiteral("ELIMINAR"), vb::Red, arial(9.75, true),
                       QStringLiteral("Eliminar nota"));
    connect(Command13, &QPushButton::clicked, this, [this] { Command13_Click(); });
}

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
    const QString name = notes::noteFileName(platform().now());
    if (!text.isEmpty()) {
        switch (SaveText(DataPath(layout::kNotes), name, text)) {
        case Saved::Failed:
            return; // NoteChanged stays set: the text is saved at the next chance
        case Saved::Lossy:
            // The editor shows what the file kept, so the user sees the "?" and is told once.
            Text6->setText(store::storedForm(text));
            break;
        case Saved::Written:
            break;
        }
    }
    NoteChanged = false;
    // The new note joins the list where it sorts; the note chosen stays chosen, so
    // "ELIMINAR" deletes what it deleted before the save.
    if (!text.isEmpty()) File1->addName(name);
}

void Form1::Command13_Click() {
    const QString name = File1->fileName();
    // A note already gone is no news; any other failure is.
    if (const store::Status s = name.isEmpty() ? store::Status{} : store::removeNamed(File1->path(), name);
        !s && !s.notFound())
        ReportFailure(QStringLiteral("No se ha podido eliminar la nota\n%1\n\n%2")
                          .arg(QDir::toNativeSeparators(store::joinPath(File1->path(), name)), s.reason));
    else if (!name.isEmpty())
        File1->removeName(name);
}
