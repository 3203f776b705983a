// The holiday, reminder and saint texts of the selected day.
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/files.h"
#include "store/names.h"

#include "app/dropdown.h"
#include <QDir>

using namespace quelora;

namespace {

// The day file name of the selected day; empty while no day is marked.
QString selectedDayFileName(const Form1& form) {
    if (form.SelectedButton < 0 || form.SelectedButton > 41) return {};
    return calendar::dayFileName(form.Command1[form.SelectedButton]->text(), form.Combo1->currentText());
}

} // namespace

void Form1::ShowDayRecords() {
    const QString name = selectedDayFileName(*this);
    for (int k = 0; k < records::kDayRecordKinds; ++k) {
        store::ReadResult file;
        if (!name.isEmpty()) file = store::readNamed(DataPath(records::dayRecordFolder(k)), name);
        // A file that cannot be read shows nothing rather than the day shown before.
        Text9[k]->setText(file.ok ? records::dayFileText(file.bytes) : QString());
    }
}

void Form1::Command11_Click(int Index) {
    if (Index != 0 && Index != 1) return;
    const QString name = selectedDayFileName(*this);
    // Only a day of the calendar has a day file: not one named after a typed list text.
    if (name.isEmpty() || Text9[Index]->isReadOnly()) return;
    const QString folder = DataPath(records::dayRecordFolder(Index));
    if (!store::isSafeName(name)) {
        ReportFailure(QStringLiteral("No se ha guardado el texto.\n\n") + store::unsafeNameReason(name));
        return;
    }
    const QString text = Text9[Index]->text();
    if (records::removesDayFile(text)) {
        const QString stored = store::findNamed(folder, name);
        if (stored.isEmpty()) return; // the day is not marked
        const QString path = store::joinPath(folder, stored);
        // An empty box over a file that could not be shown is no wish to remove it.
        if (const store::ReadResult file = store::readFile(path); file.found && !file.ok) {
            ReportFailure(QStringLiteral("No se ha podido leer el archivo\n%1\n\n%2\n\nNo se ha borrado.")
                              .arg(QDir::toNativeSeparators(path), file.reason));
            return;
        }
        if (const store::Status s = store::removeNamed(folder, name); !s)
            ReportFailure(QStringLiteral("No se ha podido borrar el archivo\n%1\n\n%2")
                              .arg(QDir::toNativeSeparators(path), s.reason));
        return;
    }
    bool lossy = false;
    const QString path = store::joinPath(folder, name);
    if (const store::Status s = store::writeNamed(folder, name, records::dayFileBytes(text, &lossy)); !s) {
        ReportSaveFailure(path, s.reason);
        return;
    }
    if (lossy) {
        Text9[Index]->setText(records::storedForm(text));
        ReportNotice(records::replacedCharactersMessage(path));
    }
}
