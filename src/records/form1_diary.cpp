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

Form1::PageSave Form1::SavePage(const QString& caption, const QString& text) {
    // A page belongs to a date: never a file named after a caption the calendar has no
    // day for (a typed list text, a week panel that was never filled).
    if (!calendar::captionDate(caption)) {
        ReportFailure(QStringLiteral("No se ha guardado la página del diario: «%1» no es una fecha del "
                                     "calendario.\n\nEl texto sigue en su casilla.")
                          .arg(caption));
        return PageSave::Refused;
    }
    if (SaveText(DataPath(layout::kPages), records::pageName(caption), text) == Saved::Failed) {
        UnsavedPages.insert(caption, text);
        return PageSave::Failed;
    }
    // A newer text of the page is on disk: an older held one must never replace it.
    UnsavedPages.remove(caption);
    ShowPageOnGrid(caption, !text.isEmpty());
    // The folder takes files again: what it refused before goes now.
    RetryUnsavedPages();
    return PageSave::Written;
}

bool Form1::RetryUnsavedPages() {
    bool all = true;
    const QStringList held = UnsavedPages.keys();
    for (const QString& caption : held) {
        if (SaveText(DataPath(layout::kPages), records::pageName(caption), UnsavedPages.value(caption)) ==
            Saved::Failed) {
            all = false;
            continue;
        }
        ShowPageOnGrid(caption, !UnsavedPages.value(caption).isEmpty());
        UnsavedPages.remove(caption);
    }
    return all;
}

bool Form1::PageHasText(const QDate& date, const store::FolderIndex* kept) const {
    // No listing of the diary per repaint: the exact name, or the kept index when there
    // is one (a page stored in another letter case shows once the index is made).
    const QString folder = DataPath(layout::kPages);
    QString name = records::pageName(calendar::dateCaption(date.dayOfWeek() - 1, date));
    if (kept) name = kept->find(name);
    if (name.isEmpty()) return false;
    const QFileInfo page(store::joinPath(folder, name));
    return page.isFile() && page.size() > 0;
}

void Form1::AllowDiaryInput() {
    const bool dated = calendar::captionDate(Label2->text()).has_value();
    if (Text1->isReadOnly() == dated) Text1->setReadOnly(!dated); // every call restyles the box
    Text1->setPlaceholderText(dated ? QString()
                                    : QStringLiteral("Esta fecha no está en el calendario: elige un día "
                                                     "en la cuadrícula para escribir en su página."));
    for (int k = 0; k < 2; ++k) {
        if (Text9[k]->isReadOnly() == dated) Text9[k]->setReadOnly(!dated);
        Command11[k]->setEnabled(dated);
    }
}

void Form1::LoadDiaryPage() {
    // The caption moved on while the box kept the focus and an armed page: that page
    // still belongs to its own date.
    if (DiaryEdited && !DiaryCaption.isEmpty() && DiaryCaption != Label2->text()) SaveDiaryPage();
    Text1->setText(QString());
    DiaryEdited = false;
    DiaryUnreadable = false;
    DiaryCaption = Label2->text();
    AllowDiaryInput();
    // A text that could not be saved comes back with its date, never the older page.
    if (const auto held = UnsavedPages.constFind(DiaryCaption); held != UnsavedPages.constEnd()) {
        Text1->setText(*held);
        return;
    }
    const store::ReadResult page =
        store::readNamed(DataPath(layout::kPages), records::pageName(DiaryCaption),
                         // before the window is shown: one pass for today's page, no index yet
                         isVisible() ? store::Lookup::Keep : store::Lookup::Once);
    if (page.ok)
        Text1->setText(records::pageText(page.bytes));
    else
        DiaryUnreadable = page.found;
}

void Form1::SaveDiaryPage() {
    // A repaint of the month empties and locks the box: what it holds then is not the user's.
    if (DiaryEdited && Text1->isEnabled() && !Text1->isReadOnly() && !DiaryCaption.isEmpty()) {
        const QString text = Text1->text();
        if (SavePage(DiaryCaption, text) == PageSave::Written) {
            DiaryUnreadable = false;
            // The box shows the page as it now is on disk.
            if (!store::fitsCodePage(text)) Text1->setText(store::storedForm(text));
        }
    }
    DiaryEdited = false;
}

void Form1::Text1_Click() {
    // A page that could not be read is not replaced by an empty box on a mere click.
    if (!DiaryUnreadable && !Text1->isReadOnly()) DiaryEdited = true;
}

void Form1::Text1_Change() {
    DiaryEdited = true;
}

void Form1::Text1_LostFocus() {
    SaveDiaryPage();
}
