// The day panel, and in it the holiday, reminder and saint texts of the selected day.
#include "app/build.h"
#include "app/dropdown.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/pictures.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/names.h"

#include <QDir>
#include <QFrame>

using namespace quelora;
using namespace quelora::build;

namespace {

// The day file name of the selected day; empty while no day is marked.
QString selectedDayFileName(const Form1& form) {
    const int b = form.selectedButton();
    if (b < 0 || b > 41) return {};
    return calendar::dayFileName(form.Command1[b]->text(), form.Combo1->currentText());
}

} // namespace

void Form1::buildDayPanel(QFrame* f) {
    Picture1 = new SpiralStrip(f);
    Picture1->setGeometry(tw(120, 240, 615, 6135));
    describe(Picture1, QStringLiteral("Espiral del cuaderno"));
    const QFont records = arial(9.75, true);
    const auto saveButton = [&](int k, const QRect& r, const QString& name) {
        Command11[k] = button(f, r, QStringLiteral("G"), vb::Green, arial(8.25, true), name);
        Command11[k]->setToolTip(name);
        connect(Command11[k], &QPushButton::clicked, this, [this, k] { Command11_Click(k); });
    };
    Text9[0] = textBox(f, tw(840, 240, 6495, 330), TextBox::Lines::Multi, records, QStringLiteral("Festivo"),
                       QStringLiteral("Texto de fiesta del día; se guarda con su botón G"));
    setBoxColors(Text9[0], 0x00FFC0FF, vb::DarkBlue);
    saveButton(0, tw(7320, 240, 255, 375), QStringLiteral("Guardar festivo"));
    Text1 = textBox(f, tw(840, 600, 6735, 4455), TextBox::Lines::Multi, arial(12), QStringLiteral("Diario"),
                    QStringLiteral("Página del diario del día elegido; se guarda al salir de la casilla"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(Text1, &TextBox::clicked, this, [this] { Text1_Click(); });
    connect(Text1, &TextBox::edited, this, [this] { Text1_Change(); });
    connect(Text1, &TextBox::lostFocus, this, [this] { Text1_LostFocus(); });
    Text9[1] =
        textBox(f, tw(840, 5160, 6495, 570), TextBox::Lines::Multi, records, QStringLiteral("Recordatorio"),
                QStringLiteral("Recordatorio del día; se guarda con su botón G"));
    setBoxColors(Text9[1], 0x0080FFFF, vb::DarkRed);
    saveButton(1, tw(7320, 5160, 255, 615), QStringLiteral("Guardar recordatorio"));
    Text9[2] = textBox(f, tw(840, 5760, 6735, 570), TextBox::Lines::Multi, records,
                       QStringLiteral("Santoral"), QStringLiteral("Santos del día"));
    setBoxColors(Text9[2], 0x008080FF, 0x00008000);
    for (TextBox* t : Text9)
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

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
    const QString text = Text9[Index]->text();
    if (!records::removesDayFile(text)) {
        if (SaveText(folder, name, text, records::kDayFileEnding) == Saved::Lossy)
            Text9[Index]->setText(store::storedForm(text));
        return;
    }
    const QString stored = store::findNamed(folder, name);
    if (stored.isEmpty()) return; // the day is not marked
    const QString path = store::joinPath(folder, stored);
    // An empty box over a file that could not be shown is no wish to remove it.
    if (const store::ReadResult file = store::readFile(path); file.found && !file.ok) {
        ReportFailure(QStringLiteral("No se ha podido leer el archivo\n%1\n\n%2\n\nNo se ha borrado.")
                          .arg(QDir::toNativeSeparators(path), file.reason));
        return;
    }
    if (const store::Status s = store::removeNamed(folder, name); !s && !s.notFound())
        ReportFailure(QStringLiteral("No se ha podido borrar el archivo\n%1\n\n%2")
                          .arg(QDir::toNativeSeparators(path), s.reason));
}
