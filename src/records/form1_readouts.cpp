// The month and year read-outs of the diary.
#include "app/build.h"
#include "app/dropdown.h"
#include "app/form1.h"
#include "app/pictures.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/layout.h"
#include "store/names.h"

#include <QFrame>

using namespace quelora;
using namespace quelora::build;

namespace {

// One listing of "dias" per rebuild, however many dates are walked.
QString readOut(const Form1& form, const QStringList& captions) {
    const QString folder = form.DataPath(layout::kPages);
    const auto pages = store::FolderIndex::current(folder);
    const auto read = [&folder](const QString& stored) -> std::optional<QByteArray> {
        store::ReadResult page = store::readFile(store::joinPath(folder, stored));
        if (!page.ok) return std::nullopt;
        return std::move(page.bytes);
    };
    return records::readOutText(captions, *pages, read, form.Text4->text());
}

} // namespace

void Form1::buildReadOutPanels() {
    const struct {
        QFrame* frame;
        SpiralStrip*& strip;
        QString stripId;
        TextBox*& box;
        QString boxId;
        QString name;
        QString description;
    } panels[2] = {
        {Frame1[2], Picture3, QStringLiteral("Picture3"), Text3, QStringLiteral("Text3"),
         QStringLiteral("Diario del mes"),
         QStringLiteral("Todas las páginas del mes, una tras otra; lo que se escriba aquí no se guarda")},
        {Frame1[3], Picture2, QStringLiteral("Picture2"), Text5, QStringLiteral("Text5"),
         QStringLiteral("Diario del año"),
         QStringLiteral("Todas las páginas del año, una tras otra; lo que se escriba aquí no se guarda")},
    };
    for (const auto& p : panels) {
        p.strip = new SpiralStrip(p.frame);
        p.strip->setObjectName(p.stripId);
        p.strip->setGeometry(tw(120, 240, 615, 6015));
        describe(p.strip, QStringLiteral("Espiral del cuaderno"));
        p.box = textBox(p.frame, p.boxId, tw(840, 240, 6735, 6015), TextBox::Lines::Multi, arial(12), p.name,
                        p.description);
        p.box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

// Each read-out replaces its box's text once: emptying it first would build the box's
// document twice for the same result.
void Form1::FillMonthView() {
    WeekdayCursor = Grid.FirstDayColumn;
    const QStringList captions =
        records::monthCaptions(WeekdayCursor, Grid.MonthLength, Combo1->currentText(), Combo2->currentText());
    WeekdayCursor = static_cast<int>((WeekdayCursor + captions.size()) % 7);
    Text3->setText(readOut(*this, captions));
}

void Form1::FillYearView() {
    WeekdayCursor = Grid.JanuaryFirstColumn;
    QStringList months;
    for (int m = 0; m < 12; ++m)
        months << Combo1->itemText(m);
    const QStringList captions =
        records::yearCaptions(WeekdayCursor, Grid.FebruaryLength, months, Combo2->currentText());
    WeekdayCursor = static_cast<int>((WeekdayCursor + captions.size()) % 7);
    Text5->setText(readOut(*this, captions));
}
