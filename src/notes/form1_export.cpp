// The export button: the panel on show goes to "texto.txt", which opens in the text editor.
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QLabel>

using namespace quelora;

void Form1::Command9_Click() {
    QString text;
    switch (VisiblePanel) {
    case Panel::Day:
        text = Text1->text();
        break;
    case Panel::Week: {
        std::array<QString, 7> captions, texts;
        for (int i = 0; i < 7; ++i) {
            captions[i] = Label3[i]->text();
            texts[i] = Text2[i]->text();
        }
        text = notes::weekExportText(captions, texts);
        break;
    }
    case Panel::Month:
        text = Text3->text();
        break;
    case Panel::Year:
        text = Text5->text();
        break;
    case Panel::Notes:
        text = Text6->text();
        break;
    case Panel::Addresses:
        break; // the file is left empty
    }
    // The editor would only show an old export as if it were this one.
    QString path;
    if (SaveText(DataFolder(), layout::kExportFile, text, QString(), store::Sync::Scratch, &path) ==
        Saved::Failed)
        return;
    if (!platform().openTextEditor(path))
        ReportFailure(QStringLiteral("No se ha podido abrir el editor de textos con el archivo\n%1")
                          .arg(QDir::toNativeSeparators(path)));
}
