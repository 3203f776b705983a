// The week panel: seven diary pages under the captions of their dates.
#include "app/form1.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/names.h"

#include <QLabel>

using namespace quelora;

void Form1::FillWeekView() {
    const std::array<QDate, 7> dates = records::weekDates(SelectedDate, SelectedColumn);
    // List texts that make no date leave the panel on the week it shows, each box
    // still under the caption of its own text.
    if (!dates[0].isValid()) return;
    const std::array<QString, 7> captions = records::weekCaptions(dates);
    const QString folder = DataPath(records::kPagesFolder);
    const auto pagesNow = store::FolderIndex::current(folder);
    const store::FolderIndex& pages = *pagesNow;
    for (int i = 0; i < 7; ++i) {
        Label3[i]->setText(captions[i]);
        store::ReadResult page;
        if (const QString stored = pages.find(records::pageName(captions[i])); !stored.isEmpty())
            page = store::readFile(store::joinPath(folder, stored));
        // Never the text of another week: an unreadable page gives an empty box, and
        // an empty box is never saved, so the page stays as it is unless the user types.
        Text2[i]->setText(page.ok ? records::pageText(page.bytes) : QString());
    }
}

// Nothing to arm: a week box is saved whenever it is left with text in it.
void Form1::Text2_Change(int) {}

void Form1::Text2_LostFocus(int Index) {
    WeekPageIndex = static_cast<std::uint8_t>(Index);
    SaveWeekPage();
}

void Form1::SaveWeekPage() {
    const int k = WeekPageIndex;
    if (k > 6) return;
    const QString text = Text2[k]->text();
    if (text.isEmpty()) return; // emptying a box never clears a stored page
    const QString folder = DataPath(records::kPagesFolder);
    const QString name = records::pageName(Label3[k]->text());
    const QString path = store::joinPath(folder, name);
    bool lossy = false;
    // A failure leaves the text in its box: the next leave tries again.
    if (const store::Status s = store::writeNamed(folder, name, records::pageBytes(text, &lossy)); !s) {
        ReportSaveFailure(path, s.reason);
        return;
    }
    if (lossy) {
        Text2[k]->setText(records::storedForm(text));
        ReportFailure(records::replacedCharactersMessage(path));
    }
}
