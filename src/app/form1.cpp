#include "app/form1.h"

#include "addresses/cards.h"
#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/look.h"
#include "app/pictures.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "notes/notes.h"
#include "store/files.h"
#include "store/names.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <algorithm>

using namespace quelora;

namespace {

// Lengths are designed in twips; 15 twips make one device-independent pixel.
constexpr int px(int twips) {
    return (twips + 7) / 15;
}
QRect tw(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

QFont arial(qreal points, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void setForeColor(QWidget* w, VbColor c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colorFromVb(c));
    p.setColor(QPalette::Text, colorFromVb(c));
    w->setPalette(p);
}

void setBoxColors(TextBox* box, VbColor back, VbColor fore) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colorFromVb(back));
    p.setColor(QPalette::Text, colorFromVb(fore));
    box->setPalette(p);
}

FlatButton* button(QWidget* parent, const QRect& r, const QString& caption, VbColor back, const QFont& font) {
    auto* b = new FlatButton(parent);
    b->setGeometry(r);
    b->setText(caption);
    b->setBackColor(back);
    b->setFont(font);
    return b;
}

FlatButton* pictureButton(QWidget* parent, const QRect& r, const QIcon& icon, VbColor back) {
    auto* b = button(parent, r, QString(), back, arial(8.25));
    b->setIcon(icon);
    b->setIconSize(r.size() - QSize(6, 6));
    return b;
}

QLabel* label(QWidget* parent, const QRect& r, const QString& caption, const QFont& font) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(r);
    l->setFont(font);
    return l;
}

TextBox* textBox(QWidget* parent, const QRect& r, TextBox::Lines lines, const QFont& font) {
    auto* t = new TextBox(lines, parent);
    t->setGeometry(r);
    t->setFont(font);
    return t;
}

DropDown* comboBox(QWidget* parent, const QRect& r, const QString& text) {
    auto* c = new DropDown(parent);
    c->setGeometry(r);
    c->setFont(arial(8.25));
    c->setEditText(text);
    return c;
}

} // namespace

Form1::Form1(const QString& dataFolder, Platform& platform, QWidget* parent)
    : QWidget(parent), DataFolder_(dataFolder), Platform_(platform) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);
    setWindowIcon(programIcon());
    setFixedSize(px(10845), px(7620));
    setAutoFillBackground(true);
    setFont(arial(8.25));

    buildCalendarColumn();
    buildTopRow();
    for (int i = 0; i < 6; ++i) {
        Frame1[i] = new QFrame(this);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        Frame1[i]->setFrameStyle(QFrame::Box | QFrame::Sunken);
        Frame1[i]->setGeometry(tw(2880, 480, 7815, 6495));
        Frame1[i]->setAutoFillBackground(true);
        SetFrameBackColor(i, 0x00C0C0C0);
    }
    buildDayPanel(Frame1[0]);
    buildWeekPanel(Frame1[1]);
    buildReadOutPanel(Frame1[2], Picture3, Text3);
    buildReadOutPanel(Frame1[3], Picture2, Text5);
    buildNotesPanel(Frame1[4]);
    buildAddressPanel(Frame1[5]);
    buildBottomStrip();
    SetBackColor(0x00C0C0C0);
    connectControls();
    quelora::describeControls(*this);
    quelora::setTabOrder(*this);
    quelora::installShortcuts(*this);

    // Release events of any control tell when a click is complete (see ReportFailure).
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::buildCalendarColumn() {
    Label2 = label(this, tw(240, 120, 5655, 375), QStringLiteral("Label2"), arial(14.25));
    setForeColor(Label2, vb::DarkRed);
    const QStringList letters = {QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Mi"),
                                 QStringLiteral("J"), QStringLiteral("V"), QStringLiteral("S"),
                                 QStringLiteral("D")};
    for (int i = 0; i < 7; ++i) {
        Label1[i] = label(this, tw(240 + 360 * i, 720, 375, 375), letters[i], arial(14.25));
        Label1[i]->setAlignment(Qt::AlignCenter);
        if (i >= 5) setForeColor(Label1[i], vb::Magenta);
    }
    for (int i = 0; i < 42; ++i) {
        const int row = i / 7, column = i % 7;
        Command1[i] = button(this, tw(240 + 360 * column, 1200 + 360 * row, 375, 375), QStringLiteral("1"),
                             column >= 5 ? vb::Green : vb::White, arial(9.75));
        Command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
    }
    Combo1 = comboBox(this, tw(240, 3480, 2535, 315), QStringLiteral("Combo1"));
    Combo2 = comboBox(this, tw(240, 3840, 2535, 315), QStringLiteral("Combo2"));
    Command2[0] = button(this, tw(240, 4200, 2055, 495), QString(), vb::LightYellow, arial(12));
    Command2[0]->setFocusPolicy(Qt::NoFocus); // shows the year; it has nothing to do on a click
    Command3[0] = pictureButton(this, tw(2400, 4200, 375, 255), trianglePicture(true), 0x00C0C0C0);
    Command3[1] = pictureButton(this, tw(2400, 4440, 375, 255), trianglePicture(false), 0x00C0C0C0);
    const QStringList months = {
        QStringLiteral("Enero"),   QStringLiteral("Febrero"),   QStringLiteral("Marzo"),
        QStringLiteral("Abril"),   QStringLiteral("Mayo"),      QStringLiteral("Junio"),
        QStringLiteral("Julio"),   QStringLiteral("Agosto"),    QStringLiteral("Septiembre"),
        QStringLiteral("Octubre"), QStringLiteral("Noviembre"), QStringLiteral("Diciembre")};
    for (int i = 0; i < 12; ++i)
        Command4[i] = button(this, tw(i % 2 == 0 ? 240 : 1560, 4800 + 360 * (i / 2), 1215, 375), months[i],
                             vb::Cyan, arial(8.25));
    Command5 = button(this, tw(240, 7080, 2535, 495), QStringLiteral("HOY"), vb::Yellow, arial(12, true));
}

void Form1::buildTopRow() {
    const int lefts[6] = {6000, 6480, 6960, 7440, 8040, 8520};
    const QString captions[4] = {QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("M"),
                                 QStringLiteral("A")};
    const VbColor colors[6] = {0x00FFFFFF, 0x00C0FFC0, 0x00FFC0FF, 0x00FFFFC0, 0x00C0FFFF, 0x00FFC0FF};
    for (int i = 0; i < 4; ++i)
        Command6[i] = button(this, tw(lefts[i], 120, 495, 495), captions[i], colors[i], arial(18, true));
    Command6[4] = pictureButton(this, tw(lefts[4], 120, 495, 495), clipboardPicture(), colors[4]);
    Command6[5] = pictureButton(this, tw(lefts[5], 120, 495, 495), peoplePicture(), colors[5]);
    Command9 = pictureButton(this, tw(9000, 120, 495, 495), notepadPicture(), 0x00C0C0C0);
    Command12 = pictureButton(this, tw(9720, 120, 495, 495), downArrowPicture(), 0x00C0C0C0);
    Command10 = pictureButton(this, tw(10200, 120, 495, 495), doorPicture(), 0x00C0C0C0);
    Text4 = textBox(this, tw(0, 0, 15, 15), TextBox::Lines::Multi, arial(8.25));
    Text4->setText(QStringLiteral(" \r\n"));
    Text4->hide();
}

void Form1::buildDayPanel(QFrame* f) {
    Picture1 = new SpiralStrip(f);
    Picture1->setGeometry(tw(120, 240, 615, 6135));
    const QFont records = arial(9.75, true);
    Text9[0] = textBox(f, tw(840, 240, 6495, 330), TextBox::Lines::Multi, records);
    setBoxColors(Text9[0], 0x00FFC0FF, vb::DarkBlue);
    Command11[0] = button(f, tw(7320, 240, 255, 375), QStringLiteral("G"), vb::Green, arial(8.25, true));
    Text1 = textBox(f, tw(840, 600, 6735, 4455), TextBox::Lines::Multi, arial(12));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text9[1] = textBox(f, tw(840, 5160, 6495, 570), TextBox::Lines::Multi, records);
    setBoxColors(Text9[1], 0x0080FFFF, vb::DarkRed);
    Command11[1] = button(f, tw(7320, 5160, 255, 615), QStringLiteral("G"), vb::Green, arial(8.25, true));
    Text9[2] = textBox(f, tw(840, 5760, 6735, 570), TextBox::Lines::Multi, records);
    setBoxColors(Text9[2], 0x008080FF, 0x00008000);
    for (TextBox* t : Text9)
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void Form1::buildWeekPanel(QFrame* f) {
    const QStringList days = {QStringLiteral("Lunes"),        QStringLiteral("Martes"),
                              QString::fromUtf8("Miércoles"), QStringLiteral("Jueves"),
                              QStringLiteral("Viernes"),      QString::fromUtf8("Sábado"),
                              QStringLiteral("Domingo")};
    const VbColor colors[7] = {0x00800080, 0x000000C0, 0x0000C000, 0x0000C0C0,
                               0x00C00000, 0x000040C0, 0x00808000};
    for (int i = 0; i < 7; ++i) {
        Label3[i] = label(f, tw(240, 360 + 840 * i, 7335, 240), days[i], arial(9.75));
        setForeColor(Label3[i], colors[i]);
        Text2[i] = textBox(f, tw(240, 600 + 840 * i, 7335, 615), TextBox::Lines::Multi, arial(9.75));
        Text2[i]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        Text2[i]->setReadOnly(true); // no date yet: nothing typed here could be saved
        setForeColor(Text2[i], colors[i]);
    }
}

void Form1::buildReadOutPanel(QFrame* f, SpiralStrip*& strip, TextBox*& box) {
    strip = new SpiralStrip(f);
    strip->setGeometry(tw(120, 240, 615, 6015));
    box = textBox(f, tw(840, 240, 6735, 6015), TextBox::Lines::Multi, arial(12));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void Form1::buildNotesPanel(QFrame* f) {
    Text6 = textBox(f, tw(240, 360, 5655, 5775), TextBox::Lines::Multi, arial(9.75));
    Text6->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setBoxColors(Text6, 0x0080FFFF, 0x00400000);
    File1 = new FileList(f);
    File1->setGeometry(tw(6000, 360, 1575, 5280));
    Command13 = button(f, tw(6000, 5760, 1575, 375), QStringLiteral("ELIMINAR"), vb::Red, arial(9.75, true));
}

void Form1::buildAddressPanel(QFrame* f) {
    Combo3 = comboBox(f, tw(120, 240, 1935, 360), QString());
    File2 = new FileList(f);
    File2->setGeometry(tw(120, 720, 1935, 5070));
    const QStringList captions = {QStringLiteral("APELLIDOS"),     QStringLiteral("NOMBRE"),
                                  QString::fromUtf8("DIRECCIÓN"),  QString::fromUtf8("POBLACIÓN"),
                                  QString::fromUtf8("TELÉFONO/S"), QStringLiteral("E-MAIL"),
                                  QStringLiteral("REFERENCIA")};
    const VbColor colors[7] = {0x00400040, 0x00004000, 0x00000040, 0x00004040,
                               0x00008080, 0x00800000, 0x00404040};
    for (int i = 0; i < 7; ++i) {
        Label4[i] = label(f, tw(2160, 240 + 720 * i, 3000, 240), captions[i], arial(9.75, true));
        setForeColor(Label4[i], colors[i]);
        Text7[i] = textBox(f, tw(2160, 480 + 720 * i, 5415, i == 6 ? 930 : 330),
                           i == 6 ? TextBox::Lines::Multi : TextBox::Lines::Single, arial(9.75));
    }
    Text7[6]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Command8 =
        button(f, tw(5280, 3840, 2295, 255), QStringLiteral("Enviar mensaje"), vb::LightYellow, arial(8.25));
    const QStringList names = {QStringLiteral("GUARDAR"), QStringLiteral("NUEVO"), QStringLiteral("ELIMINAR"),
                               QStringLiteral("Copiar Todos")};
    const VbColor backs[4] = {vb::Green, vb::Blue, vb::Red, 0x0080FFFF};
    for (int i = 0; i < 4; ++i)
        Command7[i] = button(f, tw(2160 + 1360 * i, 5880, 1335, 495), names[i], backs[i], arial(9.75, true));
    Text8 = textBox(f, tw(120, 5880, 1935, 495), TextBox::Lines::Single, arial(14.25));
    Dir1 = new FolderList(f);
    Dir1->hide();
    File3 = new FileList(f);
    File3->hide();
}

void Form1::buildBottomStrip() {
    Label5[0] = label(this, tw(3120, 7080, 2800, 495), QStringLiteral("Quelora 1.1"), arial(18, true));
    QPalette p = Label5[0]->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
    Label5[0]->setPalette(p);
    Label5[1] = label(this, tw(9000, 7080, 1800, 240), QStringLiteral("Software gratuito"), arial(8.25));
    setForeColor(Label5[1], vb::DarkBlue);
    Label5[2] =
        label(this, tw(6360, 7320, 4215, 240),
              QString::fromUtf8("Tu diario, tus fechas y tus direcciones, en tu carpeta"), arial(8.25));
}

void Form1::connectControls() {
    for (int i = 0; i < 42; ++i)
        connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    for (int i = 0; i < 2; ++i)
        connect(Command3[i], &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
    for (int i = 0; i < 12; ++i)
        connect(Command4[i], &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    for (int i = 0; i < 6; ++i)
        connect(Command6[i], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });

    for (int i = 0; i < 2; ++i)
        connect(Command11[i], &QPushButton::clicked, this, [this, i] { Command11_Click(i); });
    connect(Text1, &TextBox::clicked, this, [this] { Text1_Click(); });
    connect(Text1, &TextBox::edited, this, [this] { Text1_Change(); });
    connect(Text1, &TextBox::lostFocus, this, [this] { Text1_LostFocus(); });
    for (int i = 0; i < 7; ++i) {
        connect(Text2[i], &TextBox::edited, this, [this, i] { Text2_Change(i); });
        connect(Text2[i], &TextBox::lostFocus, this, [this, i] { Text2_LostFocus(i); });
    }

    connect(Combo3, &DropDown::edited, this, [this] { Combo3_Change(); });
    connect(Combo3, &QComboBox::activated, this, [this] { Combo3_Click(); });
    connect(File2, &FileList::clicked, this, [this] { File2_Click(); });
    for (int i = 0; i < 4; ++i)
        connect(Command7[i], &QPushButton::clicked, this, [this, i] { Command7_Click(i); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Text8, &TextBox::changed, this, [this] { Text8_Change(); });

    connect(File1, &FileList::clicked, this, [this] { File1_Click(); });
    connect(Text6, &TextBox::changed, this, [this] { Text6_Change(); });
    connect(Text6, &TextBox::lostFocus, this, [this] { Text6_LostFocus(); });
    connect(Command13, &QPushButton::clicked, this, [this] { Command13_Click(); });
}

QString Form1::DataPath(const QString& relative) const {
    const qsizetype slash = relative.indexOf(QLatin1Char('/'));
    const QString first = slash < 0 ? relative : relative.left(slash);
    const QString stored = StoredFolderNames.value(first, first);
    return store::joinPath(DataFolder_, slash < 0 ? stored : stored + relative.mid(slash));
}

void Form1::SetBackColor(VbColor c) {
    FormBackColor = c;
    QPalette p = palette();
    p.setColor(QPalette::Window, colorFromVb(c));
    setPalette(p);
}

void Form1::SetFrameBackColor(int Index, VbColor c) {
    FrameBackColors[Index] = c;
    QPalette p = Frame1[Index]->palette();
    p.setColor(QPalette::Window, colorFromVb(c));
    Frame1[Index]->setPalette(p);
}

void Form1::Form_Load() {
    PlaceOnScreen();
    // A fresh data folder gets the folders every save needs; a folder already there in
    // another letter case (copied from Windows) is used as it is. A failure here is
    // reported by the write test below.
    store::Status folders;
    const auto need = [&folders](const QString& path) {
        if (const store::Status s = store::makeFolder(path); !s && folders)
            folders =
                store::Status::failure(QDir::toNativeSeparators(path) + QStringLiteral(": ") + s.reason);
    };
    for (const char* sub : {"dias", "fiestas", "recordatorio", "santoral", "notas", "direcciones"}) {
        const QString name = QString::fromLatin1(sub);
        const QString stored = store::findFolder(DataFolder_, name);
        if (!stored.isEmpty())
            StoredFolderNames.insert(name, stored);
        else if (name != QLatin1String("santoral")) // only read: never made empty
            need(DataPath(name));
    }
    if (addresses::groupFolder(DataPath(QStringLiteral("direcciones")), addresses::kAllCardsGroup).isEmpty())
        need(store::joinPath(DataPath(QStringLiteral("direcciones")), addresses::kAllCardsGroup));
    FillDateLists();
    LayoutWindow();
    File1->setPath(DataPath(QStringLiteral("notas")));
    LoadAddressBook();
    store::Status written = store::writeNamed(DataFolder_, notes::kExportFileName, QByteArrayLiteral(" "));
    if (written && !folders) written = folders;
    if (!written)
        ReportFailure(
            QStringLiteral(
                "Tu ordenador no me permite escribir datos en la carpeta del programa \r\nERROR: ") +
            written.reason);
}

void Form1::PlaceOnScreen() {
    if (const QScreen* s = screen()) move(windowPlace(s->availableGeometry(), frameGeometry().size()));
}

bool Form1::event(QEvent* e) {
    // The frame is known only once the window manager has framed the window: the
    // window is placed again then, once, so that the frame and not the inner window
    // is centred.
    if (!FramePlaced && isVisible() &&
        (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) &&
        frameGeometry().size() != size()) {
        FramePlaced = true;
        PlaceOnScreen();
    }
    return QWidget::event(e);
}

void Form1::LayoutWindow() {
    const QRect r = Frame1[1]->geometry();
    Frame1[0]->setGeometry(r);
    for (int i = 2; i <= 5; ++i)
        Frame1[i]->setGeometry(r);
    SetBackColor(Command6[0]->backColor());
    SetFrameBackColor(0, Command6[0]->backColor());
    for (FlatButton* b : Command6)
        b->move(b->x(), px(40));
    for (FlatButton* b : {Command9, Command10, Command12})
        b->move(b->x(), px(40));
}

void Form1::Command6_Click(int Index) {
    VisiblePanel = static_cast<std::uint8_t>(Index);
    for (int i = 0; i < 6; ++i)
        if (i != Index) Frame1[i]->hide();
    Frame1[Index]->show();
    switch (Index) {
    case 0:
        LoadDiaryPage();
        break;
    case 1:
        FillWeekView();
        break;
    case 2:
        FillMonthView();
        break;
    case 3:
        FillYearView();
        break;
    default:
        break;
    }
    SetBackColor(Command6[Index]->backColor());
    SetFrameBackColor(Index, BackColor());
}

bool Form1::SaveOpenEdits() {
    const int failures = FailuresReported;
    SaveDiaryPage();
    for (int i = 0; i < 7; ++i)
        if (Text2[i]->hasFocus()) Text2_LostFocus(i);
    // Only the editor still holding the focus has anything unsaved: once it is left it
    // has saved itself, and a note merely loaded is already on disk.
    if (NoteChanged && Text6->hasFocus()) Text6_LostFocus();
    RetryUnsavedPages();
    return FailuresReported == failures;
}

void Form1::Command10_Click() {
    if (!mayLeave()) return;
    ShowPendingMessages(); // what the last saves had to say is said before leaving
    Platform_.endProgram();
}

// Saves what the exit button saves. When something could not be saved (including a
// failure reported as the focus came here), the program stays open once and says so;
// asked again, it leaves: the user must never be locked in by a folder gone bad.
// A message that only informs never holds the exit.
bool Form1::mayLeave() {
    const bool pendingFailure = std::any_of(PendingMessages.cbegin(), PendingMessages.cend(),
                                            [](const Message& m) { return m.failure; });
    if (SaveOpenEdits() && !pendingFailure) {
        ExitWarned = false;
        return true;
    }
    if (ExitWarned) return true;
    ExitWarned = true;
    ReportFailure(
        QStringLiteral("Quelora sigue abierto para que no se pierda lo que no se ha podido guardar.\n"
                       "Si vuelves a salir, se cerrará sin guardarlo."));
    return false;
}

void Form1::Command12_Click() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void Form1::closeEvent(QCloseEvent* e) {
    if (mayLeave())
        e->accept();
    else
        e->ignore();
    ShowPendingMessages();
}

void Form1::ReportSaveFailure(const QString& path, const QString& reason) {
    ReportFailure(
        QStringLiteral("No se ha podido guardar el archivo\n%1\n\n%2\n\nEl texto sigue en su casilla.")
            .arg(QDir::toNativeSeparators(path), reason));
}

void Form1::ReportFailure(const QString& text) {
    ++FailuresReported;
    queueMessage(text, true);
}

void Form1::ReportNotice(const QString& text) {
    queueMessage(text, false);
}

void Form1::queueMessage(const QString& text, bool failure) {
    PendingMessages.append({text, failure});
    scheduleMessages();
}

void Form1::scheduleMessages() {
    if (MessagesScheduled) return;
    MessagesScheduled = true;
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        WaitingForRelease = true; // the click that moved the focus is not over yet
        return;
    }
    QMetaObject::invokeMethod(this, &Form1::ShowPendingMessages, Qt::QueuedConnection);
}

void Form1::ShowPendingMessages() {
    MessagesScheduled = false;
    WaitingForRelease = false;
    while (!PendingMessages.isEmpty())
        Platform_.message(this, PendingMessages.takeFirst().text);
}

bool Form1::eventFilter(QObject* watched, QEvent* e) {
    if (WaitingForRelease && e->type() == QEvent::MouseButtonRelease) {
        WaitingForRelease = false;
        QMetaObject::invokeMethod(this, &Form1::ShowPendingMessages, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, e);
}
