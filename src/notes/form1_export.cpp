// The export button: the panel on show goes to "texto.txt", which opens in the text editor.
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/codepage.h"
#include "store/files.h"

#include <QLabel>

using namespace quelora;

void Form1::Command9_Click() {
    notes::PanelTexts texts;
    switch (VisiblePanel) {
    case notes::DayPanel:
        texts.text = Text1->text();
        break;
    case notes::WeekPanel:
        for (int i = 0; i < 7; ++i) {
            texts.weekCaptions[i] = Label3[i]->text();
            texts.weekTexts[i] = Text2[i]->text();
        }
        break;
    case notes::MonthPanel:
        texts.text = Text3->text();
        break;
    case notes::YearPanel:
        texts.text = Text5->text();
        break;
    case notes::NotesPanel:
        texts.text = Text6->text();
        break;
    default:
        break;
    }
    const QString path = DataPath(notes::kExportFileName);
    bool lossy = false;
    const store::Status s =
        store::writeFile(path, store::encode(notes::exportText(VisiblePanel, texts), &lossy));
    if (!s) {
        // The editor would only show an old export as if it were this one.
        ReportSaveFailure(path, s.reason);
        return;
    }
    if (lossy) ReportFailure(notes::replacedCharactersMessage(path));
    platform().openTextEditor(path);
}
