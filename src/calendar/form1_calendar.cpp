// The calendar column: the month grid, the date lists, navigation, the date caption and
// the keys that move about the calendar.
#include "app/build.h"
#include "app/clicklabel.h"
#include "app/dropdown.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/look.h"
#include "app/pictures.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "store/folderindex.h"
#include "store/layout.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTextCursor>

#include <algorithm>

using namespace quelora;
using namespace quelora::build;
using calendar::DayMark;

namespace {

VbColor colorOf(DayMark mark) {
    switch (mark) {
    case DayMark::Weekday:
        return vb::White;
    case DayMark::Weekend:
        return vb::Green;
    case DayMark::Holiday:
        return vb::Yellow;
    case DayMark::Reminder:
        return vb::Blue;
    }
    return vb::White;
}

// The standing description of a calendar button, after what the caption says now.
const char* const kHint = "queloraHint";

// What a click does, keys included: the focus moves to the button first (which makes
// the box that had it save itself), then the button is pressed.
void pressAsClick(QAbstractButton* b) {
    if (!b->isVisibleTo(b->window()) || !b->isEnabled()) return;
    b->setFocus(Qt::ShortcutFocusReason);
    b->click();
}

} // namespace

void Form1::buildCalendarColumn() {
    ClickLabel* caption = clickLabel(this, QStringLiteral("Label2"), tw(240, 120, 5655, 375),
                                     QStringLiteral("Label2"), arial(14.25));
    describe(caption, QString(), QStringLiteral("Fecha del día elegido, o mes y año a la vista"));
    setForeColor(caption, vb::DarkRed);
    // A click on the date opens the search; it says so when the pointer rests on it.
    caption->setCursor(Qt::PointingHandCursor);
    caption->setToolTip(QStringLiteral("Buscar en todo lo escrito (Ctrl+F)"));
    connect(caption, &ClickLabel::clicked, this, [this] { OpenSearch(); });
    Label2 = caption;
    const QStringList letters = {QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Mi"),
                                 QStringLiteral("J"), QStringLiteral("V"), QStringLiteral("S"),
                                 QStringLiteral("D")};
    for (int i = 0; i < 7; ++i) {
        Label1[i] = label(this, indexed("Label1", i), tw(240 + 360 * i, 720, 375, 375), letters[i],
                          arial(14.25), calendar::weekdayName(i));
        Label1[i]->setAlignment(Qt::AlignCenter);
        if (i >= 5) setForeColor(Label1[i], vb::Magenta);
    }
    for (int i = 0; i < 42; ++i) {
        const int row = i / 7, column = i % 7;
        Command1[i] =
            button(this, indexed("Command1", i), tw(240 + 360 * column, 1200 + 360 * row, 375, 375),
                   QStringLiteral("1"), column >= 5 ? vb::Green : vb::White, arial(9.75), QString());
        // The focus comes with the click (the box that had it saves itself first), to a
        // button already named as the selected day: a screen reader hears the day as
        // the click leaves it, not as it was.
        Command1[i]->setFocusPolicy(Qt::TabFocus);
        connect(Command1[i], &QPushButton::clicked, this, [this, i] {
            DescribeDayButton(i, true);
            Command1[i]->setFocus(Qt::MouseFocusReason);
            Command1_Click(i);
        });
        connect(Command1[i], &FlatButton::toolTipWanted, this,
                [this, i] { showDayToolTip(*this, *Command1[i]); });
        Command1[i]->installEventFilter(this);
    }

    Combo1 = dropDown(this, QStringLiteral("Combo1"), tw(240, 3480, 2535, 315), QStringLiteral("Combo1"),
                      QStringLiteral("Mes"),
                      QStringLiteral("Lista de los meses: el mes que muestra el calendario"));
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    Combo2 = dropDown(this, QStringLiteral("Combo2"), tw(240, 3840, 2535, 315), QStringLiteral("Combo2"),
                      QStringLiteral("Año"),
                      QStringLiteral("Lista de los años: el año que muestra el calendario"));
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });

    Command2[0] = button(this, indexed("Command2", 0), tw(240, 4200, 2055, 495), QString(), vb::LightYellow,
                         arial(12), QStringLiteral("Año de las flechas"),
                         QStringLiteral("El año desde el que cuentan las flechas de año"));
    Command2[0]->setFocusPolicy(Qt::NoFocus); // shows the year; it has nothing to do on a click
    const QString arrows[2] = {QStringLiteral("Año siguiente"), QStringLiteral("Año anterior")};
    const QString steps[2] = {QStringLiteral("Muestra el mismo mes un año después"),
                              QStringLiteral("Muestra el mismo mes un año antes")};
    for (int i = 0; i < 2; ++i) {
        Command3[i] = pictureButton(this, indexed("Command3", i), tw(2400, 4200 + 240 * i, 375, 255),
                                    trianglePicture(i == 0), 0x00C0C0C0, arrows[i], steps[i]);
        connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    }
    for (int i = 0; i < 12; ++i) {
        const QString title = calendar::monthTitle(i + 1);
        Command4[i] = button(
            this, indexed("Command4", i), tw(i % 2 == 0 ? 240 : 1560, 4800 + 360 * (i / 2), 1215, 375), title,
            vb::Cyan, arial(8.25), title,
            QStringLiteral("Muestra %1 del año a la vista (teclas Re Pág y Av Pág: mes anterior y siguiente)")
                .arg(title.toLower()));
        connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    }
    Command5 =
        button(this, QStringLiteral("Command5"), tw(240, 7080, 2535, 495), QStringLiteral("HOY"), vb::Yellow,
               arial(12, true), QStringLiteral("Hoy"), QStringLiteral("Vuelve al día de hoy (tecla Inicio)"));
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    for (FlatButton* b : Command4)
        b->setProperty(kHint, b->accessibleDescription());
    for (FlatButton* b : {Command3[0], Command3[1], Command5})
        b->setProperty(kHint, b->accessibleDescription());
}

void Form1::ShowCaption(const QString& caption) {
    Label2->setText(caption);
    DescribeOnShow(caption);
}

void Form1::DescribeOnShow(const QString& caption) {
    const std::optional<QDate> date = calendar::captionDate(caption);
    const QString shown =
        QStringLiteral("A la vista: %1. ").arg(date ? calendar::spokenDate(*date) : caption.toLower());
    const auto describeFor = [&shown](FlatButton* b) {
        if (const QString said = shown + b->property(kHint).toString(); b->accessibleDescription() != said)
            b->setAccessibleDescription(said);
    };
    std::for_each(Command4.begin(), Command4.end(), describeFor);
    for (FlatButton* b : {Command3[0], Command3[1], Command5})
        describeFor(b);
    Command2[0]->setAccessibleName(QStringLiteral("Año de las flechas: ") + Command2[0]->text());
}

// Keys that do exactly what a click on their control does:
//   Re Pág / Av Pág   the month button of the month before / after the one on show
//   Inicio            "HOY"
// With Alt from anywhere, through the window's shortcuts; without Alt they reach the
// window from a button only (every box and list keeps them for itself): see keyPressEvent.
void Form1::installKeys() {
    const auto add = [this](QKeyCombination keys, auto action) {
        auto* s = new QShortcut(QKeySequence(keys), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, action);
    };
    for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home})
        add(Qt::AltModifier | key, [this, key] { CalendarKey(key); });
}

bool Form1::CalendarKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        PageMonth(-1);
        return true;
    case Qt::Key_PageDown:
        PageMonth(+1);
        return true;
    case Qt::Key_Home:
        pressAsClick(Command5);
        // The focus on today's day: Intro goes on into its page.
        if (QWidget* day = HomeFocus(); day != Command5) day->setFocus(Qt::ShortcutFocusReason);
        return true;
    default:
        return false;
    }
}

void Form1::PageMonth(int step) {
    // The same day of the other month (its last day when it is shorter) is chosen, as a
    // click on it: the focus stays on a day, whose name says the date.
    const int wanted = SelectedDate.isValid() ? SelectedDate.day() : 1;
    // From a day no box has anything to save: the buttons are pressed where they are, and
    // the focus goes from day to day.
    const bool fromDay = std::find(Command1.begin(), Command1.end(), focusWidget()) != Command1.end();
    const auto press = [fromDay](QAbstractButton* b) {
        if (fromDay && b->isVisibleTo(b->window()) && b->isEnabled())
            b->click();
        else
            pressAsClick(b);
    };
    int shown = calendar::monthNumber(Combo1->currentText());
    if (shown == 0) shown = SelectedMonth; // a typed text: the grid still shows that month
    if (shown < 1 || shown > 12) return;
    const calendar::MonthPage page = calendar::monthPage(shown, step);
    if (page.yearStep != 0) {
        const auto year = calendar::yearOf(Combo2->currentText());
        if (!year) return;
        if (calendar::leadingNumber(Command2[0]->text()) == *year) {
            press(Command3[page.yearStep > 0 ? 0 : 1]);
        } else {
            // The year was picked from the list, so the arrows would step from another
            // year: pick the neighbouring year from the list as the user would.
            const int index = Combo2->findText(QString::number(*year + page.yearStep));
            if (index < 0) return;
            Combo2->setFocus(Qt::ShortcutFocusReason);
            Combo2->setCurrentIndex(index);
            Combo2_Click();
        }
    }
    press(Command4[page.month - 1]);
    if (Grid.MonthLength > 0 && SelectedMonth == page.month)
        Command1[Grid.button(std::min(wanted, Grid.MonthLength))]->click();
}

bool Form1::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, e);
    auto* day = qobject_cast<FlatButton*>(watched);
    const auto at = std::find(Command1.begin(), Command1.end(), day);
    if (at == Command1.end()) return QWidget::eventFilter(watched, e);
    const int i = int(at - Command1.begin());
    const auto* key = static_cast<QKeyEvent*>(e);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // As a click, then on into the page, the cursor after its text.
        day->click();
        if (Frame1[0]->isEnabled() && Text1->isVisible() && !Text1->isReadOnly()) {
            Text1->setFocus(Qt::OtherFocusReason);
            Text1->moveCursor(QTextCursor::End);
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int to = i + (key->key() == Qt::Key_Up ? -7 : 7);
        if (to >= 0 && to < 42 && Command1[to]->isVisible()) Command1[to]->setFocus(Qt::OtherFocusReason);
        return true; // no way on: the focus stays in the grid
    }
    default:
        return false;
    }
}

void Form1::ShowMonth() {
    // The repaint empties the diary box: a text still in it (the box kept the focus while
    // the month changed) is saved under its own date first.
    SaveDiaryPage();
    // One listing per folder, however many days are probed. Before the window is first
    // shown the diary folder is not listed here: start-up lists it beside the window's
    // building (main), else only the exact names are looked for, and the days are marked
    // again once it is shown.
    const QString folder = DataPath(layout::kPages);
    const auto pages = isVisible() ? store::FolderIndex::current(folder) : store::FolderIndex::kept(folder);
    PaintMonthGrid(calendar::monthGrid(Grid, Combo1->currentText(), Combo2->currentText(),
                                       PreselectDone ? 0 : PreselectDay, DayFilesOnDisk(pages.get())));
}

calendar::DayFileTests Form1::DayFilesOnDisk(const store::FolderIndex* pages) const {
    const auto holidays = store::FolderIndex::current(DataPath(layout::kHolidays));
    const auto reminders = store::FolderIndex::current(DataPath(layout::kReminders));
    return {[holidays](const QString& name) { return holidays->contains(name); },
            [reminders](const QString& name) { return reminders->contains(name); },
            [this, pages](const QDate& date) { return PageHasText(date, pages); }};
}

void Form1::PaintMonthGrid(const calendar::MonthGrid& grid) {
    Grid = grid;
    for (int i = 0; i < 42; ++i) {
        FlatButton* b = Command1[i];
        // A button outside the month keeps the number it last had.
        if (Grid.shows(i)) b->setText(QString::number(Grid.day(i)));
        b->setBackColor(colorOf(Grid.marks[i]));
        b->setVisible(Grid.shows(i));
        SetDayHasPage(i, Grid.page[i]);
    }
    if (Grid.preselect >= 0) {
        MarkDay(Grid.preselect);
        PreselectDone = true;
    }
    DescribeDayButtons();
    // The boxes show no day now, so no file either: what the diary box held is nobody's,
    // and a holiday or reminder typed and not saved waits with its day.
    Diary->empty();
    for (BoundBox* box : DayTexts)
        box->empty();
    ShowUnsavedMarks();
    ShowVersionMarks(); // the days of this month, and no page on show
    Frame1[0]->setEnabled(false);
}

void Form1::FillDateLists() {
    Combo1->addItems(calendar::monthNames());
    QStringList years;
    for (int y = calendar::kFirstListYear; y <= calendar::kLastListYear; ++y)
        years << QString::number(y);
    Combo2->addItems(years);
    GoToToday();
    ShowPanel(Panel::Day);
    Frame1[0]->setEnabled(true);
}

void Form1::GoToToday() {
    const QDate today = platform().now().date(); // read once: a start at midnight stays one day
    SelectedMonth = today.month();
    Combo1->setText(calendar::monthName(SelectedMonth));
    PreselectDay = today.day();
    Combo2->setText(QString::number(today.year()));
    Command2[0]->setText(QString::number(today.year()));
    ShowMonth();
    LoadDiaryPage();
    ShowDayRecords();
}

void Form1::ShowDateCaption() {
    if (SelectedButton < 0 || SelectedButton > 41) return;
    const QString day = Command1[SelectedButton]->text();
    ShowCaption(calendar::dateCaption(selectedColumn(), day, Combo1->currentText(), Combo2->currentText()));
    SelectedDate = calendar::dateFromTexts(day, SelectedMonth, Combo2->currentText());
}

VbColor Form1::selectedButtonColor() const {
    return SelectedButton >= 0 && SelectedButton < 42 ? colorOf(Grid.marks[SelectedButton]) : 0;
}

void Form1::RestoreSelectedButtonColor() {
    // The grid's own colour for that place now: after a change of month the colour the
    // button had when it was marked belongs to another day.
    if (SelectedButton >= 0 && SelectedButton < 42)
        Command1[SelectedButton]->setBackColor(selectedButtonColor());
}

void Form1::ShowDaysWithPages(const store::FolderIndex* pages) {
    const std::array<bool, 42> now =
        calendar::daysWithPages(Grid, [this, pages](const QDate& d) { return PageHasText(d, pages); });
    for (int i = 0; i < 42; ++i)
        if (now[i] != Grid.page[i]) {
            SetDayHasPage(i, now[i]);
            DescribeDayButton(i);
        }
}

void Form1::SetDayHasPage(int i, bool page) {
    Grid.page[i] = page;
    if (Command1[i]->font().bold() == page) return;
    QFont f = Command1[i]->font();
    f.setBold(page);
    Command1[i]->setFont(f);
}

void Form1::ShowPageOnGrid(const QString& caption, bool hasText) {
    const std::optional<QDate> date = calendar::captionDate(caption);
    if (!date || !Grid.firstDay.isValid() || date->year() != Grid.firstDay.year() ||
        date->month() != Grid.firstDay.month())
        return;
    const int i = Grid.button(date->day());
    if (i < 0 || i >= 42) return;
    SetDayHasPage(i, hasText);
    DescribeDayButton(i);
}

void Form1::ShowDayTextOnGrid(int k, const QString& dayFileName, bool there) {
    const std::optional<calendar::DayOfYear> day = calendar::dayOfDayFileName(dayFileName);
    if (!day || !Grid.firstDay.isValid() || day->month != Grid.firstDay.month() || day->day > Grid.MonthLength)
        return;
    const int i = Grid.button(day->day);
    (k == 0 ? Grid.holiday : Grid.reminder)[i] = there;
    Grid.marks[i] = calendar::dayMark(i % 7, Grid.holiday[i], Grid.reminder[i]);
    if (i != SelectedButton || Command1[i]->backColor() != vb::Red) Command1[i]->setBackColor(colorOf(Grid.marks[i]));
    DescribeDayButton(i);
}

void Form1::MarkDay(int Index) {
    const int before = SelectedButton;
    RestoreSelectedButtonColor();
    Command1[Index]->setBackColor(vb::Red);
    SelectedButton = Index;
    ShowDateCaption();
    // Only the two buttons whose mark moved say something new.
    if (before >= 0 && before < 42) DescribeDayButton(before);
    DescribeDayButton(Index);
}

void Form1::Command1_Click(int Index) {
    ShowPanel(Panel::Day);
    MarkDay(Index);
    LoadDiaryPage();
    ShowDayRecords();
    Frame1[0]->setEnabled(true);
}

void Form1::Command4_Click(int Index) {
    SelectedMonth = Index + 1;
    Combo1->setText(Combo1->itemText(Index));
    RestoreSelectedButtonColor();
    ShowMonth();
    ShowCaption(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Command3_Click(int Index) {
    const long long y = calendar::leadingNumber(Command2[0]->text());
    if (Index == 0 && y > 0) Command2[0]->setText(QString::number(y + 1));
    if (Index == 1) Command2[0]->setText(QString::number(y - 1));
    Combo2->setText(Command2[0]->text());
    RestoreSelectedButtonColor();
    ShowMonth();
    ShowCaption(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Combo1_Click() {
    ShowMonth();
    SelectedMonth = Combo1->currentIndex() + 1;
    // The caption keeps the day chosen; the buttons say the month now on show.
    DescribeOnShow(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Combo2_Click() {
    ShowMonth();
    DescribeOnShow(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Command5_Click() {
    GoToToday();
    for (int i = 0; i < 42; ++i) {
        if (Command1[i]->isHidden() || calendar::leadingNumber(Command1[i]->text()) != PreselectDay) continue;
        MarkDay(i);
        LoadDiaryPage();
        ShowDayRecords();
        // As a click on today's button ends: the page on show can be written.
        Frame1[0]->setEnabled(true);
        return;
    }
}
