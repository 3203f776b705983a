#include "app/look.h"

#include "app/flatbutton.h"
#include "app/form1.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/files.h"

#include <QTextDocument>
#include <algorithm>

namespace quelora {
namespace {

const char* const kDayFileProperty = "queloraDayFile";

} // namespace

void showDayToolTip(const Form1& form, FlatButton& day) {
    const QString file = day.property(kDayFileProperty).toString();
    if (day.isHidden() || file.isEmpty()) return;
    std::array<QString, 3> texts;
    for (int k = 0; k < records::kDayRecordKinds; ++k) {
        const store::ReadResult r = store::readNamed(form.DataPath(records::dayRecordFolder(k)), file);
        if (r.ok) texts[k] = records::dayFileText(r.bytes);
    }
    // The day texts are the user's: shown as the text they are, never read as markup.
    const QString tip = calendar::dayButtonToolTip(day.accessibleDescription(), texts);
    day.setToolTip(Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal) : tip);
}

QPoint windowPlace(const QRect& available, const QSize& frame) {
    const int x = available.x() + std::max(0, (available.width() - frame.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - frame.height()) / 2);
    return {x, y};
}

} // namespace quelora

void Form1::DescribeDayButtons() {
    for (int i = 0; i < 42; ++i)
        DescribeDayButton(i);
}

void Form1::DescribeDayButton(int i, bool selectedNow) {
    quelora::FlatButton* b = Command1[i];
    if (b->isHidden()) {
        b->setProperty(quelora::kDayFileProperty, QString());
        b->setAccessibleName(QStringLiteral("Casilla sin día"));
        b->setAccessibleDescription(QString());
        b->setToolTip(QString());
        return;
    }
    // The grid's month: the day files a tooltip reads are those of the days on show,
    // even when the month list is typed into before the next repaint.
    const bool selected = selectedNow || (i == SelectedButton && b->backColor() == quelora::vb::Red);
    const QString description =
        quelora::calendar::dayButtonDescription(Grid.marks[i], selected, Grid.page[i]);
    b->setProperty(quelora::kDayFileProperty, quelora::calendar::dayFileName(b->text(), Grid.month));
    b->setAccessibleName(
        quelora::calendar::dayButtonName(b->text(),
                                         {Grid.date(i), Grid.holiday[i], Grid.reminder[i], Grid.page[i], selected}) +
        (DayVersions[i] ? QStringLiteral(", con otra versión de su página") : QString()));
    b->setAccessibleDescription(description);
    b->setToolTip(description);
}
