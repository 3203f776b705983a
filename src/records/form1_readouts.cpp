// The month and year read-outs of the diary.
#include "app/form1.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/names.h"

#include "app/dropdown.h"

using namespace quelora;

namespace {

// One listing of "dias" per rebuild, however many dates are walked.
QString readOut(const Form1& form, const QStringList& captions) {
    const QString folder = form.DataPath(records::kPagesFolder);
    const auto pagesNow = store::FolderIndex::current(folder);
    const store::FolderIndex& pages = *pagesNow;
    const auto read = [&folder](const QString& stored) -> std::optional<QByteArray> {
        store::ReadResult page = store::readFile(store::joinPath(folder, stored));
        if (!page.ok) return std::nullopt;
        return std::move(page.bytes);
    };
    return records::readOutText(captions, pages, read, form.Text4->text());
}

} // namespace

void Form1::FillMonthView() {
    Text3->setText(QString());
    WeekdayCursor = static_cast<std::int16_t>(FirstDayColumn);
    const QStringList captions =
        records::monthCaptions(WeekdayCursor, MonthLength, Combo1->currentText(), Combo2->currentText());
    WeekdayCursor = static_cast<std::int16_t>((WeekdayCursor + captions.size()) % 7);
    Text3->setText(readOut(*this, captions));
}

void Form1::FillYearView() {
    Text5->setText(QString());
    WeekdayCursor = JanuaryFirstColumn;
    QStringList months;
    for (int m = 0; m < 12; ++m)
        months << Combo1->itemText(m);
    const QStringList captions =
        records::yearCaptions(WeekdayCursor, FebruaryLength, months, Combo2->currentText());
    WeekdayCursor = static_cast<std::int16_t>((WeekdayCursor + captions.size()) % 7);
    Text5->setText(readOut(*this, captions));
}
