// The diary page of the selected day in the diary box, and the saving of diary pages
// that the day and week panels share.
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/layout.h"
#include "store/names.h"

#include <QFileInfo>
#include <QLabel>

using namespace quelora;

Form1::BoxFile Form1::PageFile(const QString& caption) const {
    return BoxFile{DataPath(layout::kPages), records::pageName(caption), {}, false};
}

Form1::PageSave Form1::SavePage(const QString& caption, const QString& text, BoxFile& f, TextBox* shownIn) {
    // A page belongs to a date: never a file named after a caption the calendar has no
    // day for (a typed list text, a week panel that was never filled).
    if (!calendar::captionDate(caption)) {
        ReportFailure(QStringLiteral("No se ha guardado la página del diario: «%1» no es una fecha del "
                                     "calendario.\n\nEl texto sigue en su casilla.")
                          .arg(caption));
        return PageSave::Refused;
    }
    if (SaveBoxFile(f, text, QString(), QStringLiteral("La página del diario del %1").arg(caption),
                    shownIn) == Saved::Failed) {
        Diary.UnsavedPages.insert(caption, {text, f.base});
        KeepUnsavedTexts(); // what could not be saved survives a crash at once
        return PageSave::Failed;
    }
    // A newer text of the page is on disk: an older held one must never replace it.
    Diary.UnsavedPages.remove(caption);
    ShowPageOnGrid(caption, !text.isEmpty());
    // The folder takes files again: what it refused before goes now.
    RetryUnsavedPages();
    return PageSave::Written;
}

bool Form1::RetryUnsavedPages() {
    bool all = true;
    const QStringList held = Diary.UnsavedPages.keys();
    for (const QString& caption : held) {
        const HeldText* it = Diary.held(caption);
        if (!it) continue;
        BoxFile f = PageFile(caption);
        f.base = it->base;
        const QString text = it->text;
        if (SaveBoxFile(f, text, QString(), QStringLiteral("La página del diario del %1").arg(caption)) ==
            Saved::Failed) {
            all = false;
            continue;
        }
        Diary.UnsavedPages.remove(caption);
        ShowPageOnGrid(caption, !text.isEmpty());
        // A box that shows the held text now shows what its file holds.
        if (caption == Diary.DiaryCaption) {
            Diary.DiaryFile = f;
            Text1->markSaved();
        }
        for (int i = 0; i < 7; ++i)
            if (Label3[i]->text() == caption && !Text2[i]->isReadOnly()) {
                WeekFiles[i] = f;
                Text2[i]->markSaved();
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
    const bool dated = Diary.dated();
    Text1->takeInput(dated, UndatedHint());
    for (int k = 0; k < 2; ++k) {
        Text9[k]->takeInput(dated);
        Command11[k]->setEnabled(dated);
    }
}

void Form1::LoadDiaryPage() {
    // The caption moved on while the box kept the focus and an armed page: that page
    // still belongs to its own date.
    if (Diary.DiaryEdited && Diary.DiaryCaption != Label2->text()) SaveDiaryPage();
    Text1->setText(QString());
    Diary.load(Label2->text(), PageFile(Label2->text()));
    AllowDiaryInput();
    // A text that could not be saved comes back with its date, never the older page.
    if (const HeldText* held = Diary.held(Diary.DiaryCaption)) {
        Text1->setText(held->text);
        Diary.DiaryFile.base = held->base;
        return;
    }
    const store::ReadResult page =
        ReadBoxFile(Diary.DiaryFile,
                    // before the window is shown: one pass for today's page, no index yet
                    isVisible() ? store::Lookup::Keep : store::Lookup::Once);
    if (page.ok)
        Text1->setText(records::pageText(page.bytes));
    else
        Diary.DiaryUnreadable = page.found;
}

void Form1::SaveDiaryPage() {
    // Only a box loaded for the page of a date holds that page's text: a repaint of the
    // month unloads it, and a caption that names no date has no page.
    if (Diary.DiaryEdited && Diary.dated() && !ShowsNewerFile(Text1, Diary.DiaryFile) &&
        SavePage(Diary.DiaryCaption, Text1->text(), Diary.DiaryFile, Text1) == PageSave::Written)
        Diary.DiaryUnreadable = false;
    Diary.DiaryEdited = false;
}

bool Form1::ShowsNewerFile(TextBox* box, const BoxFile& f) {
    // Left without typing while the file changed elsewhere: the box shows the file as it
    // is now instead of writing its older text over it.
    if (box->isModified() || !f.fromFile || FileUnchanged(f)) return false;
    CheckShownFiles();
    return true;
}

void Form1::Text1_Click() {
    // A page that could not be read is not replaced by an empty box on a mere click.
    if (Diary.armsOnClick()) Diary.DiaryEdited = true;
}

void Form1::Text1_Change() {
    Diary.DiaryEdited = true;
}

void Form1::Text1_LostFocus() {
    SaveDiaryPage();
}
