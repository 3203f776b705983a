// The week panel: seven diary pages under the captions of their dates.
#include "app/build.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QFrame>
#include <QLabel>

using namespace quelora;
using namespace quelora::build;

void Form1::buildWeekPanel(QFrame* f) {
    const VbColor colors[7] = {0x00800080, 0x000000C0, 0x0000C000, 0x0000C0C0,
                               0x00C00000, 0x000040C0, 0x00808000};
    for (int i = 0; i < 7; ++i) {
        const QString day = calendar::weekdayName(i);
        Label3[i] = label(f, indexed("Label3", i), tw(240, 360 + 840 * i, 7335, 240), day, arial(9.75));
        setForeColor(Label3[i], colors[i]);
        Text2[i] = textBox(f, indexed("Text2", i), tw(240, 600 + 840 * i, 7335, 615), TextBox::Lines::Multi,
                           arial(9.75), QStringLiteral("Diario del ") + day.toLower(),
                           QStringLiteral("Se guarda al salir de la casilla"));
        Text2[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        Text2[i]->setReadOnly(true); // no date yet: nothing typed here could be saved
        setForeColor(Text2[i], colors[i]);
        connect(Text2[i], &TextBox::lostFocus, this, [this, i] { Text2_LostFocus(i); });
    }
    const BoxKind& kind = Boxes.kind(PageKind(true));
    for (int i = 0; i < 7; ++i)
        Week[i] = Boxes.add(kind, {Text2[i]});
}

void Form1::FillWeekView() {
    const std::array<QDate, 7> dates = records::weekDates(SelectedDate, selectedColumn());
    // List texts that make no date leave the panel on the week it shows, each box
    // still under the caption of its own date (or, never filled, taking no input).
    if (!dates[0].isValid()) return;
    const std::array<QString, 7> captions = records::weekCaptions(dates);
    for (int i = 0; i < 7; ++i) {
        Label3[i]->setText(captions[i]);
        // Named with the date the label shows, as a screen reader says it.
        const std::optional<QDate> date = calendar::captionDate(captions[i]);
        const QString spoken = date ? calendar::spokenDate(*date) : captions[i].toLower();
        Label3[i]->setAccessibleName(spoken);
        Text2[i]->setAccessibleName(QStringLiteral("Diario del ") + spoken);
        // A caption that names no real date (a year typed into its list, not picked) has
        // no page: its box takes no input, as the day panel's.
        // Never the text of another week: an unreadable page gives an empty box, and
        // an empty box is never saved, so the page stays as it is unless the user types.
        Week[i]->fill(date ? PageFile(captions[i]) : BoxFile(), captions[i]);
        Text2[i]->takeInput(date.has_value(), UndatedHint());
    }
}

// Nothing arms a week box: it is saved whenever it is left with text in it.
void Form1::Text2_LostFocus(int Index) {
    WeekPageIndex = Index;
    SaveWeekPage();
}

void Form1::SaveWeekPage() {
    const int k = WeekPageIndex;
    if (k > 6 || !Week[k]->takesInput()) return;
    const QString caption = Label3[k]->text();
    const QString text = Text2[k]->text();
    if (text.isEmpty()) {
        // Emptying a box never clears a stored page, but it is the newest thing done to
        // that page: a text held from an older save never comes back over it.
        if (Text2[k]->isModified() && Boxes.release(Week[k]->file)) KeepUnsavedTexts();
        return;
    }
    // A failure leaves the text in its box and holds it until it can be saved.
    if (!ShowsNewerFile(*Week[k])) SavePage(caption, text, Week[k]->file, Text2[k]);
}
