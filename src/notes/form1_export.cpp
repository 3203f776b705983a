// The export button: the panel on show goes to "texto.txt", which opens in the text editor.
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/names.h"

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
    bool lossy = false;
    // "TEXTO.TXT" of a folder copied from Windows is the export file too.
    const store::Status s = store::writeNamed(DataFolder(), notes::kExportFileName,
                                              store::encode(notes::exportText(VisiblePanel, texts), &lossy));
    QString path = store::findNamed(DataFolder(), notes::kExportFileName);
    path = store::joinPath(DataFolder(), path.isEmpty() ? notes::kExportFileName : path);
    if (!s) {
        // The editor would only show an old export as if it were this one.
        ReportSaveFailure(path, s.reason);
        return;
    }
    if (lossy) ReportNotice(notes::replacedCharactersMessage(path));
    platform().openTextEditor(path);
}
