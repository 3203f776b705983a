// The diary page of the selected day in the diary box.
#include "app/form1.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/names.h"

#include <QLabel>

using namespace quelora;

namespace {

enum class PageSave { Written, Refused, Failed };

// Writes one page and tells the user what went wrong or what was replaced.
PageSave writePage(Form1& form, const QString& caption, const QString& text) {
    const QString folder = form.DataPath(records::kPagesFolder);
    const QString name = records::pageName(caption);
    const QString path = store::joinPath(folder, name);
    if (!store::isSafeName(name)) {
        // No later attempt can succeed under this caption: the text stays in the box only.
        form.ReportFailure(QStringLiteral("No se ha guardado la página del diario.\n\n") +
                           store::unsafeNameReason(name));
        return PageSave::Refused;
    }
    bool lossy = false;
    const store::Status s = store::writeNamed(folder, name, records::pageBytes(text, &lossy));
    if (!s) {
        form.ReportSaveFailure(path, s.reason);
        return PageSave::Failed;
    }
    if (lossy) form.ReportFailure(records::replacedCharactersMessage(path));
    return PageSave::Written;
}

} // namespace

void Form1::LoadDiaryPage() {
    // The caption moved on while the box kept the focus and an armed page: that page
    // still belongs to its own date.
    if (DiaryEdited && !DiaryCaption.isEmpty() && DiaryCaption != Label2->text()) SaveDiaryPage();
    Text1->setText(QString());
    DiaryEdited = false;
    DiaryUnreadable = false;
    DiaryCaption = Label2->text();
    // A text that could not be saved comes back with its date, never the older page.
    if (const auto held = UnsavedDiaryPages.constFind(DiaryCaption); held != UnsavedDiaryPages.constEnd()) {
        Text1->setText(*held);
        return;
    }
    const store::ReadResult page =
        store::readNamed(DataPath(records::kPagesFolder), records::pageName(DiaryCaption));
    if (page.ok)
        Text1->setText(records::pageText(page.bytes));
    else
        DiaryUnreadable = page.found;
}

void Form1::SaveDiaryPage() {
    QString attempted;
    // A repaint of the month empties and locks the box: what it holds then is not the user's.
    if (DiaryEdited && Text1->isEnabled() && !DiaryCaption.isEmpty()) {
        const QString text = Text1->text();
        attempted = DiaryCaption;
        switch (writePage(*this, DiaryCaption, text)) {
        case PageSave::Written:
            UnsavedDiaryPages.remove(DiaryCaption);
            DiaryUnreadable = false;
            // The box shows the page as it now is on disk.
            if (!store::fitsCodePage(text)) Text1->setText(records::storedForm(text));
            break;
        case PageSave::Refused:
            UnsavedDiaryPages.remove(DiaryCaption);
            break;
        case PageSave::Failed:
            UnsavedDiaryPages.insert(DiaryCaption, text);
            break;
        }
    }
    DiaryEdited = false;
    const QStringList held = UnsavedDiaryPages.keys();
    for (const QString& caption : held) {
        if (caption == attempted) continue;
        if (writePage(*this, caption, UnsavedDiaryPages.value(caption)) != PageSave::Failed)
            UnsavedDiaryPages.remove(caption);
    }
}

void Form1::Text1_Click() {
    // A page that could not be read is not replaced by an empty box on a mere click.
    if (!DiaryUnreadable) DiaryEdited = true;
}

void Form1::Text1_Change() {
    DiaryEdited = true;
}

void Form1::Text1_LostFocus() {
    SaveDiaryPage();
}
