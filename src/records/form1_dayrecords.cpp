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
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(tw(120, 240, 615, 6135));
    describe(Picture1, QStringLiteral("Espiral del cuaderno"));
    const QFont records = arial(9.75, true);
    const auto saveButton = [&](int k, const QRect& r, const QString& name) {
        Command11[k] =
            button(f, indexed("Command11", k), r, QStringLiteral("G"), vb::Green, arial(8.25, true), name,
                   k == 0 ? QStringLiteral("Guarda el texto de fiesta de este día, para todos los años")
                          : QStringLiteral("Guarda el recordatorio de este día, para todos los años"));
        Command11[k]->setToolTip(name);
        connect(Command11[k], &QPushButton::clicked, this, [this, k] { Command11_Click(k); });
    };
    Text9[0] = textBox(f, indexed("Text9", 0), tw(840, 240, 6495, 330), TextBox::Lines::Multi, records,
                       QStringLiteral("Festivo"),
                       QStringLiteral("Texto de fiesta del día; se guarda con su botón G"));
    setBoxColors(Text9[0], 0x00FFC0FF, vb::DarkBlue);
    saveButton(0, tw(7320, 240, 255, 375), QStringLiteral("Guardar festivo"));
    Text1 = textBox(f, QStringLiteral("Text1"), tw(840, 600, 6735, 4455), TextBox::Lines::Multi, arial(12),
                    QStringLiteral("Diario"),
                    QStringLiteral("Página del diario del día elegido; se guarda al salir de la casilla"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(Text1, &TextBox::clicked, this, [this] { Text1_Click(); });
    connect(Text1, &TextBox::edited, this, [this] { Text1_Change(); });
    connect(Text1, &TextBox::lostFocus, this, [this] { Text1_LostFocus(); });
    Text9[1] = textBox(f, indexed("Text9", 1), tw(840, 5160, 6495, 570), TextBox::Lines::Multi, records,
                       QStringLiteral("Recordatorio"),
                       QStringLiteral("Recordatorio del día; se guarda con su botón G"));
    setBoxColors(Text9[1], 0x0080FFFF, vb::DarkRed);
    saveButton(1, tw(7320, 5160, 255, 615), QStringLiteral("Guardar recordatorio"));
    Text9[2] = textBox(f, indexed("Text9", 2), tw(840, 5760, 6735, 570), TextBox::Lines::Multi, records,
                       QStringLiteral("Santoral"),
                       QStringLiteral("Santos del día, del santoral del programa: solo para leer"));
    Text9[2]->setReadOnly(true); // nothing saves it: typing there would be lost
    setBoxColors(Text9[2], 0x008080FF, 0x00008000);
    for (TextBox* t : Text9)
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Diary = Boxes.add(Boxes.kind(PageKind(false)), {Text1});
    for (int k = 0; k < records::kDayRecordKinds; ++k) {
        DayTexts[k] = Boxes.add(Boxes.kind(DayTextKind(k)), {Text9[k]});
        if (k < 2) DayTexts[k]->button = Command11[k];
    }
}

namespace {

QString dayTextName(int k) {
    return k == 0 ? QStringLiteral("el texto de fiesta") : QStringLiteral("el recordatorio");
}

QString dayOfFile(const QString& dayFileName) {
    QString day = dayFileName;
    if (day.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) day.chop(4);
    return day;
}

} // namespace

BoxKind Form1::DayTextKind(int k) {
    BoxKind kind;
    kind.format = BoxFormat::DayFile;
    kind.variant = k;
    if (k == 2) { // the saints: only read
        kind.tag = QStringLiteral("santoral");
        kind.saving = Saving::Never;
        return kind;
    }
    // A holiday or reminder not saved yet waits with its day, shown whenever the day is,
    // until its G saves it.
    kind.tag = QStringLiteral("dia");
    kind.saving = Saving::ByButton;
    kind.heldByFile = true;
    kind.spelled = {true};
    kind.waiting = [k](const QString& name, const QStringList&) {
        return QStringLiteral("• %1 del %2: está en su casilla al elegir ese día; pulsa su botón G para "
                              "guardarlo.")
            .arg(dayTextName(k), dayOfFile(name));
    };
    kind.restore = [this](const recovery::Entry& e, QStringList* told) { RestoreDayText(e, told); };
    return kind;
}

void Form1::ShowDayRecords() {
    const QString name = selectedDayFileName(*this);
    for (int k = 0; k < records::kDayRecordKinds; ++k)
        ShowDayFile(k, name);
}

void Form1::ShowDayFile(int k, const QString& name) {
    DayTexts[k]->fill(
        name.isEmpty() ? BoxFile() : BoxFile{DataPath(records::dayRecordFolder(k)), name, {}, false}, name);
    ShowUnsavedMarks();
}

void Form1::Command11_Click(int Index) {
    if (Index != 0 && Index != 1) return;
    BoundBox& box = *DayTexts[Index];
    // The file of the day whose texts the box shows, whatever the month list says now.
    BoxFile& f = box.file;
    // Only a day of the calendar has a day file: not one named after a typed list text.
    if (f.name.isEmpty() || !box.takesInput()) return;
    const QString text = Text9[Index]->text();
    const QString what =
        QStringLiteral("%1 del %2")
            .arg(Index == 0 ? QStringLiteral("El texto de fiesta") : QStringLiteral("El recordatorio"),
                 dayOfFile(f.name));
    bool done = false;
    if (!records::removesDayFile(text)) {
        done = SaveBoxFile(f, text, records::kDayFileEnding, what, Text9[Index]) != Saved::Failed;
    } else if (const store::ReadResult file = store::readNamed(f.folder, f.name); file.found && !file.ok) {
        // An empty box over a file that could not be shown is no wish to remove it.
        ReportFailure(QStringLiteral("No se ha podido leer el archivo\n%1\n\n%2\n\nNo se ha borrado.")
                          .arg(QDir::toNativeSeparators(f.path()), file.reason));
    } else {
        done = RemoveBoxFile(f, what, Text9[Index]);
    }
    if (done) {
        Boxes.release(f);
        ShowDayTextOnGrid(Index, f.name, !records::removesDayFile(text));
    } else if (!text.isEmpty()) {
        // Not saved: the text waits with its day, shown again whenever the day is.
        Boxes.hold(box.kind(), box.target, f, text);
    }
    KeepUnsavedTexts();
    ShowUnsavedMarks();
}

void Form1::RestoreDayText(const recovery::Entry& e, QStringList* told) {
    const QString text = e.texts.value(0);
    const QString folder = DataPath(records::dayRecordFolder(e.dayKind));
    // Only the file of a day of the year: a copy edited by hand names no other file.
    if (folder.isEmpty() || !calendar::dayOfDayFileName(e.target) || text.isEmpty()) return;
    const store::ReadResult file = store::readNamed(folder, e.target);
    if (file.ok && file.bytes == records::dayFileBytes(text)) return; // saved after all
    const BoxKind* kind = Boxes.find(QStringLiteral("dia"), e.dayKind);
    Boxes.hold(*kind, e.target, BoxFile{folder, e.target, e.base, false}, text);
    *told << kind->waiting(e.target, {text});
}
