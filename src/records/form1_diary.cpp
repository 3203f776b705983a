// The diary page of the selected day in the diary box, and the saving of diary pages
// that the day and week panels share.
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>

using namespace quelora;

BoxKind Form1::PageKind(bool week) {
    // A diary text not saved yet waits with its page, from the day or the week panel.
    BoxKind k;
    k.tag = QStringLiteral("pagina");
    k.format = BoxFormat::Page;
    k.heldByFile = true;
    k.spelled = {true};
    if (!week) {
        k.savesEmpty = true; // an emptied page is saved as an empty page
        k.leave = [this](BoundBox&) { Text1_LostFocus(); };
        k.restore = [this](const recovery::Entry& e, QStringList* told) { RestorePage(e, told); };
        return k;
    }
    // A week box is saved whenever it is left with text in it; emptied, it writes nothing.
    // What it leaves unsaved comes back as the diary's.
    k.leave = [this](BoundBox& box) {
        for (int i = 0; i < 7; ++i)
            if (Week[i] == &box) Text2_LostFocus(i);
    };
    return k;
}

Form1::BoxFile Form1::PageFile(const QString& caption) const {
    return BoxFile{DataPath(layout::kPages), records::pageName(caption), {}, false};
}

namespace {

QString pageWhat(const QString& caption) {
    return QStringLiteral("La página del diario del %1").arg(caption);
}

} // namespace

Form1::PageSave Form1::SavePage(const QString& caption, const QString& text, BoxFile& f, TextBox* shownIn) {
    // A page belongs to a date: never a file named after a caption the calendar has no
    // day for (a typed list text, a week panel that was never filled).
    if (!calendar::captionDate(caption)) {
        ReportFailure(QStringLiteral("No se ha guardado la página del diario: «%1» no es una fecha del "
                                     "calendario.\n\nEl texto sigue en su casilla.")
                          .arg(caption));
        return PageSave::Refused;
    }
    if (SaveBoxFile(f, text, QString(), pageWhat(caption), shownIn) == Saved::Failed) {
        Boxes.hold(Diary->kind(), caption, f, text);
        KeepUnsavedTexts(); // what could not be saved survives a crash at once
        return PageSave::Failed;
    }
    // A newer text of the page is on disk: an older held one must never replace it.
    Boxes.release(f);
    ShowPageOnGrid(caption, !text.isEmpty());
    // The folder takes files again: what it refused before goes now.
    RetryUnsavedPages();
    return PageSave::Written;
}

bool Form1::RetryUnsavedPages() {
    bool all = true;
    for (const BoxRegistry::Waiting& w : Boxes.waitingTexts()) {
        // Only what leaving its box would have saved: a text waiting for its button waits.
        if (w.kind->saving != Saving::OnLeaving) continue;
        BoxFile f = w.file;
        if (SaveBoxFile(f, w.text, QString(), pageWhat(w.target)) == Saved::Failed) {
            all = false;
            continue;
        }
        Boxes.release(f);
        ShowPageOnGrid(w.target, !w.text.isEmpty());
        // A box that shows the held text now shows what its file holds.
        for (BoundBox* box : Boxes.showing(f))
            if (box->takesInput()) {
                box->file = f;
                box->box()->markSaved();
            }
    }
    return all;
}

bool Form1::PageHasText(const QDate& date, const store::FolderIndex* pages) const {
    // The index finds a page stored in another letter case; without one, the exact name.
    const QString folder = DataPath(layout::kPages);
    QString name = records::pageName(calendar::dateCaption(date.dayOfWeek() - 1, date));
    if (pages) name = pages->find(name);
    if (name.isEmpty()) return false;
    const QFileInfo page(store::joinPath(folder, name));
    return page.isFile() && page.size() > 0;
}

QString Form1::UndatedHint() const {
    return QStringLiteral("El mes o el año escrito en su lista no es el que muestra el calendario: elígelo "
                          "de la lista, o pulsa un botón de mes o las flechas del año, y luego un día, "
                          "para escribir en su página.");
}

void Form1::AllowDiaryInput() {
    const std::optional<QDate> date = calendar::captionDate(Diary->target);
    const bool dated = date.has_value();
    // Named with its date, as the week's boxes: a reader knows which page it is in.
    Text1->setAccessibleName(dated ? QStringLiteral("Diario del ") + calendar::spokenDate(*date)
                                   : QStringLiteral("Diario"));
    Text1->takeInput(dated, UndatedHint());
    for (int k = 0; k < 2; ++k) {
        Text9[k]->takeInput(dated);
        Command11[k]->setEnabled(dated);
    }
}

void Form1::LoadDiaryPage() {
    // The caption moved on while the box kept the focus and an armed page: that page
    // still belongs to its own date.
    if (Diary->armed && Diary->target != Label2->text()) SaveDiaryPage();
    const QString caption = Label2->text();
    Diary->armed = false;
    // A text that could not be saved comes back with its date, never the older page.
    Diary->fill(PageFile(caption), caption,
                // before the window is shown: the listing start-up made, else one pass for
                // today's page alone
                isVisible() ? store::Lookup::Keep : store::Lookup::Once);
    AllowDiaryInput();
    ShowVersionMarks();
}

void Form1::SaveDiaryPage() {
    // Only a box loaded for the page of a date holds that page's text: a repaint of the
    // month empties it, and a caption that names no date has no page.
    if (Diary->armed && calendar::captionDate(Diary->target) && !ShowsNewerFile(*Diary) &&
        SavePage(Diary->target, Text1->text(), Diary->file, Text1) == PageSave::Written)
        Diary->unreadable = false;
    Diary->armed = false;
}

bool Form1::ShowsNewerFile(BoundBox& box) {
    // Left without typing while the file changed elsewhere: the box shows the file as it
    // is now instead of writing its older text over it.
    if (box.typed() || !box.file.fromFile || FileUnchanged(box.file)) return false;
    CheckShownFiles();
    return true;
}

void Form1::Text1_Click() {
    // A page that could not be read is not replaced by an empty box on a mere click.
    if (calendar::captionDate(Diary->target) && !Diary->unreadable) Diary->armed = true;
}

void Form1::Text1_Change() {
    Diary->armed = true;
}

void Form1::Text1_LostFocus() {
    SaveDiaryPage();
}

void Form1::RestorePage(const recovery::Entry& e, QStringList* told) {
    if (!calendar::captionDate(e.target)) return;
    const QString text = e.texts.value(0);
    BoxFile f = PageFile(e.target);
    f.base = e.base;
    const store::ReadResult page = store::readNamed(f.folder, f.name, store::Lookup::Once);
    if (page.ok && page.bytes == records::pageBytes(text)) return; // it was saved after all
    const QString what = QStringLiteral("la página del diario del %1").arg(e.target);
    store::Version now;
    // As leaving its box would have saved it: over the page it was typed into, or where
    // that page is gone (deleted meanwhile, by another program or computer).
    if (FileUnchanged(f, &now) || !now.exists) {
        if (SavePage(e.target, text, f) == PageSave::Written)
            *told << QStringLiteral("• %1: guardada en su página.").arg(what);
        else
            *told << QStringLiteral(
                         "• %1: todavía no se ha podido guardar (%2); se muestra al elegir su día.")
                         .arg(what, LastFailureReason);
        return;
    }
    // The page changed after the text was typed: it stays, and the text goes beside it.
    const QString stored = store::findNamed(f.folder, f.name, store::Lookup::Once);
    const QString beside =
        store::otherVersionName(f.folder, stored.isEmpty() ? f.name : stored, Platform_.now());
    QString written;
    if (SaveText(f.folder, beside, text, QString(), store::Sync::Durable, &written) != Saved::Failed)
        *told << QStringLiteral(
                     "• %1: la página cambió fuera de Quelora después; lo que escribiste está en el "
                     "archivo\n   %2")
                     .arg(what, QDir::toNativeSeparators(written));
    else
        Boxes.hold(Diary->kind(), e.target, f, text);
}
