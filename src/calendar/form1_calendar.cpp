// The month grid, the date lists, navigation and the date caption.
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/look.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "store/folderindex.h"

#include "app/dropdown.h"
#include <QFrame>
#include <QLabel>

using namespace quelora;

void Form1::ShowMonth() {
    if (const auto year = calendar::yearOf(Combo2->currentText()))
        JanuaryFirstColumn = static_cast<std::uint8_t>(calendar::januaryFirstColumn(*year));
    PaintMonthGrid();
}

void Form1::PaintMonthGrid() {
    // The repaint empties the diary box: a text still in it (the box kept the focus
    // while the month changed) is saved under its own date first.
    SaveDiaryPage();
    // A year text that is no year counts as year 0, which is divisible by 4.
    const auto year = calendar::yearOf(Combo2->currentText());
    FebruaryLength = static_cast<std::uint8_t>(year ? calendar::februaryLength(*year) : 29);
    const QString monthText = Combo1->currentText();
    // A typed text that names no month keeps the last month's length and starts
    // from the last first column.
    int before = FirstDayColumn - JanuaryFirstColumn;
    if (const int month = calendar::monthNumber(monthText)) {
        MonthLength = static_cast<std::int16_t>(calendar::monthLength(month, FebruaryLength));
        before = calendar::daysBeforeMonth(month, FebruaryLength);
    }
    FirstDayColumn = ((before + JanuaryFirstColumn) % 7 + 7) % 7;

    for (int i = 0; i < 42; ++i)
        GridColors[i] = i % 7 >= 5 ? vb::Green : vb::White;
    for (int i = 0; i < FirstDayColumn; ++i)
        Command1[i]->hide();

    // One listing per folder, however many days are probed.
    const auto holidaysNow = store::FolderIndex::current(DataPath(QStringLiteral("fiestas")));
    const auto remindersNow = store::FolderIndex::current(DataPath(QStringLiteral("recordatorio")));
    const store::FolderIndex& holidays = *holidaysNow;
    const store::FolderIndex& reminders = *remindersNow;
    for (int d = 1; d <= MonthLength; ++d) {
        const int j = FirstDayColumn + d - 1;
        FlatButton* b = Command1[j];
        b->setText(QString::number(d));
        const QString name = calendar::dayFileName(QString::number(d), monthText);
        if (holidays.contains(name)) GridColors[j] = vb::Yellow;
        if (reminders.contains(name)) GridColors[j] = vb::Blue;
        b->setBackColor(GridColors[j]);
        b->show();
        if (d == PreselectDay && !PreselectDone) {
            SelectedButtonColor = GridColors[j];
            b->setBackColor(vb::Red);
            SelectedColumn = j % 7;
            SelectedButton = j;
            ShowDateCaption();
            PreselectDone = true;
        }
    }
    for (int i = FirstDayColumn + MonthLength; i < 42; ++i)
        Command1[i]->hide();
    for (int i = 0; i < 42; ++i)
        if (Command1[i]->isHidden()) Command1[i]->setBackColor(GridColors[i]);

    describeDayButtons(*this);
    Text1->setText(QString());
    for (TextBox* t : Text9)
        t->setText(QString());
    Frame1[0]->setEnabled(false);
}

void Form1::FillDateLists() {
    Combo1->addItems(calendar::monthNames());
    QStringList years;
    for (int y = calendar::kFirstListYear; y <= calendar::kLastListYear; ++y)
        years << QString::number(y);
    Combo2->addItems(years);
    GoToToday();
    VisiblePanel = 0;
    for (int i = 1; i < 6; ++i)
        Frame1[i]->hide();
    Frame1[0]->show();
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
    if (SelectedColumn < 0 || SelectedColumn > 6 || SelectedButton < 0) return;
    const QString day = Command1[SelectedButton]->text();
    Label2->setText(calendar::dateCaption(SelectedColumn, day, Combo1->currentText(), Combo2->currentText()));
    SelectedDate = calendar::dateFromTexts(day, SelectedMonth, Combo2->currentText());
}

void Form1::RestoreSelectedButtonColor() {
    // The grid's own colour for that place now: after a change of month the saved
    // colour belongs to another day.
    if (SelectedButton >= 0 && SelectedButton < 42)
        Command1[SelectedButton]->setBackColor(GridColors[SelectedButton]);
}

void Form1::Command1_Click(int Index) {
    VisiblePanel = 0;
    SetBackColor(Command6[0]->backColor());
    SetFrameBackColor(0, Command6[0]->backColor());
    for (int i = 1; i < 6; ++i)
        Frame1[i]->hide();
    Frame1[0]->show();
    RestoreSelectedButtonColor();
    SelectedButtonColor = Command1[Index]->backColor();
    Command1[Index]->setBackColor(vb::Red);
    SelectedButton = Index;
    SelectedColumn = Index % 7;
    ShowDateCaption();
    LoadDiaryPage();
    ShowDayRecords();
    Frame1[0]->setEnabled(true);
}

void Form1::Command4_Click(int Index) {
    SelectedMonth = Index + 1;
    Combo1->setText(Combo1->itemText(Index));
    RestoreSelectedButtonColor();
    ShowMonth();
    Label2->setText(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Command3_Click(int Index) {
    const long long y = calendar::leadingNumber(Command2[0]->text());
    if (Index == 0 && y > 0) Command2[0]->setText(QString::number(y + 1));
    if (Index == 1) Command2[0]->setText(QString::number(y - 1));
    Combo2->setText(Command2[0]->text());
    RestoreSelectedButtonColor();
    ShowMonth();
    Label2->setText(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::Combo1_Click() {
    ShowMonth();
    SelectedMonth = Combo1->currentIndex() + 1;
}

void Form1::Combo2_Click() {
    ShowMonth();
}

void Form1::Command5_Click() {
    GoToToday();
    int today = -1;
    for (int i = 0; i < 42 && today < 0; ++i)
        if (!Command1[i]->isHidden() && calendar::leadingNumber(Command1[i]->text()) == PreselectDay)
            today = i;
    if (today < 0) return;
    RestoreSelectedButtonColor();
    SelectedButtonColor = Command1[today]->backColor();
    Command1[today]->setBackColor(vb::Red);
    SelectedButton = today;
    SelectedColumn = today % 7;
    ShowDateCaption();
    LoadDiaryPage();
    ShowDayRecords();
}
