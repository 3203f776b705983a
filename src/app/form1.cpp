#include "app/form1.h"

#include "app/build.h"
#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/keys.h"
#include "app/look.h"
#include "app/pictures.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/history.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/watch.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <algorithm>

using namespace quelora;
using namespace quelora::build;

Form1::Form1(const QString& dataFolder, Platform& platform, QWidget* parent)
    : QWidget(parent), DataFolder_(dataFolder), Platform_(platform) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);
    setFixedSize(px(10845), px(7620));
    setAutoFillBackground(true);
    setFont(arial(8.25));
    setRole(this, QAccessible::Window); // before anything asks for its interface
    describe(this, QStringLiteral("Quelora"), QStringLiteral("Agenda y diario personal"));

    // Made in the order they stand on screen: that order is the Tab order.
    buildCalendarColumn();
    buildTopRow();
    const QString frames[6] = {QStringLiteral("Panel del día"),  QStringLiteral("Panel de la semana"),
                               QStringLiteral("Panel del mes"),  QStringLiteral("Panel del año"),
                               QStringLiteral("Panel de notas"), QStringLiteral("Panel de direcciones")};
    for (int i = 0; i < 6; ++i) {
        Frame1[i] = new QFrame(this);
        Frame1[i]->setObjectName(indexed("Frame1", i));
        Frame1[i]->setFrameStyle(QFrame::Box | QFrame::Sunken);
        Frame1[i]->setGeometry(tw(2880, 480, 7815, 6495));
        Frame1[i]->setAutoFillBackground(true);
        setRole(Frame1[i], QAccessible::Grouping);
        describe(Frame1[i], frames[i]);
        SetFrameBackColor(i, 0x00C0C0C0);
    }
    // Only what the first paint shows: the other panels are built when first shown, or
    // just after that paint (BuildNextPanel).
    BuildPanel(Panel::Day);
    buildBottomStrip();
    installSearch();
    SetBackColor(0x00C0C0C0);
    installKeys();
}

void Form1::BuildPanel(Panel k) {
    const int i = static_cast<int>(k);
    if (PanelBuilt[i]) return;
    const std::size_t boxes = Boxes.boxes().size();
    switch (k) {
    case Panel::Day:
        buildDayPanel(Frame1[0]);
        break;
    case Panel::Week:
        buildWeekPanel(Frame1[1]);
        break;
    case Panel::Month:
    case Panel::Year:
        buildReadOutPanels(); // both at once
        PanelBuilt[2] = PanelBuilt[3] = true;
        break;
    case Panel::Notes:
        buildNotesPanel(Frame1[4]);
        break;
    case Panel::Addresses:
        buildAddressPanel(Frame1[5]);
        break;
    }
    PanelBuilt[i] = true;
    TakeInBoxes(boxes);
    if (k == Panel::Day) return; // built with the window
    PlaceInTabOrder(i);
    if (k == Panel::Month || k == Panel::Year) PlaceInTabOrder(i == 2 ? 3 : 2);
    if (k == Panel::Addresses && Loaded) {
        // As start-up would have: the groups listed, the first one shown, its folder watched.
        LoadAddressBook();
        if (Watcher_) WatchFolders();
    }
}

void Form1::BuildPanels() {
    for (int i = 0; i < 6; ++i)
        BuildPanel(static_cast<Panel>(i));
}

void Form1::BuildNextPanel() {
    for (int i = 0; i < 6; ++i)
        if (!PanelBuilt[i]) {
            BuildPanel(static_cast<Panel>(i));
            // One panel a turn: a click or a key between two is served at once.
            QTimer::singleShot(0, this, &Form1::BuildNextPanel);
            return;
        }
}

void Form1::PlaceInTabOrder(int panel) {
    // The last control that takes the focus in the nearest built panel before it.
    const auto focusable = [](QWidget* w) { return w->focusPolicy() & Qt::TabFocus; };
    QWidget* after = nullptr;
    for (int j = panel - 1; j >= 0 && !after; --j) {
        if (!PanelBuilt[j]) continue;
        for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
            if (Frame1[j]->isAncestorOf(w) && focusable(w)) after = w;
    }
    if (!after) return;
    // Its own controls follow in the order they were made, each with its inner parts.
    QList<QWidget*> own;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (Frame1[panel]->isAncestorOf(w) && focusable(w) &&
            std::none_of(own.begin(), own.end(), [w](QWidget* o) { return o->isAncestorOf(w); }))
            own << w;
    for (QWidget* w : std::as_const(own)) {
        setTabOrder(after, w);
        after = w;
    }
}

void Form1::TakeInBoxes(std::size_t from) {
    // Every box whose text is saved: what it holds unsaved survives a crash.
    const auto& boxes = Boxes.boxes();
    for (std::size_t b = from; b < boxes.size(); ++b)
        if (boxes[b]->kind().saving != Saving::Never)
            for (TextBox* t : boxes[b]->fields()) {
                connect(t, &TextBox::edited, this, [this] { UnsavedTextChanged(true); });
                connect(t, &TextBox::changed, this, [this] { UnsavedTextChanged(false); });
            }
    CheckSpelling(from);
}

Form1::~Form1() = default;

void Form1::buildTopRow() {
    const int lefts[6] = {6000, 6480, 6960, 7440, 8040, 8520};
    const QString captions[4] = {QStringLiteral("D"), QStringLiteral("S"), QStringLiteral("M"),
                                 QStringLiteral("A")};
    const VbColor colors[6] = {0x00FFFFFF, 0x00C0FFC0, 0x00FFC0FF, 0x00FFFFC0, 0x00C0FFFF, 0x00FFC0FF};
    const QString names[6] = {QStringLiteral("Día"), QStringLiteral("Semana"), QStringLiteral("Mes"),
                              QStringLiteral("Año"), QStringLiteral("Notas"),  QStringLiteral("Direcciones")};
    const QString shows[6] = {QStringLiteral("Muestra la página del diario del día elegido"),
                              QStringLiteral("Muestra las siete páginas de la semana del día elegido"),
                              QStringLiteral("Muestra seguidas todas las páginas del mes"),
                              QStringLiteral("Muestra seguidas todas las páginas del año"),
                              QStringLiteral("Muestra las notas"),
                              QStringLiteral("Muestra la agenda de direcciones")};
    const QIcon pictures[6] = {QIcon(), QIcon(), QIcon(), QIcon(), clipboardPicture(), peoplePicture()};
    for (int i = 0; i < 6; ++i) {
        const QRect r = tw(lefts[i], 120, 495, 495);
        const QString id = indexed("Command6", i);
        Command6[i] = i < 4 ? button(this, id, r, captions[i], colors[i], arial(18, true), names[i], shows[i])
                            : pictureButton(this, id, r, pictures[i], colors[i], names[i], shows[i]);
        Command6[i]->setToolTip(names[i]);
        // The one of the panel on show is checked, which a screen reader says. Not an
        // exclusive set: Tab must reach all six, and arrows must not change the panel.
        Command6[i]->setCheckable(true);
        connect(Command6[i], &QPushButton::clicked, this, [this, i] { Command6_Click(i); });
    }
    Command9 = pictureButton(
        this, QStringLiteral("Command9"), tw(9000, 120, 495, 495), notepadPicture(), 0x00C0C0C0,
        QStringLiteral("Exportar"),
        QStringLiteral("Escribe lo que se ve en un archivo de texto y lo abre en el editor de textos"));
    Command9->setToolTip(QStringLiteral("Exportar al editor de textos"));
    connect(Command9, &QPushButton::clicked, this, [this] { Command9_Click(); });
    Command12 = pictureButton(this, QStringLiteral("Command12"), tw(9720, 120, 495, 495), downArrowPicture(),
                              0x00C0C0C0, QStringLiteral("Minimizar"),
                              QStringLiteral("Reduce la ventana a la barra de tareas"));
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
    Command10 =
        pictureButton(this, QStringLiteral("Command10"), tw(10200, 120, 495, 495), doorPicture(), 0x00C0C0C0,
                      QStringLiteral("Salir"), QStringLiteral("Guarda el diario y cierra el programa"));
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    Text4 = textBox(this, QStringLiteral("Text4"), tw(0, 0, 15, 15), TextBox::Lines::Multi, arial(8.25),
                    QStringLiteral("Separador de páginas"));
    Text4->setText(QStringLiteral(" \r\n"));
    Text4->hide();
}

void Form1::buildBottomStrip() {
    Label5[0] = label(this, indexed("Label5", 0), tw(3120, 7080, 2800, 495), QStringLiteral("Quelora 1.1"),
                      arial(18, true), QStringLiteral("Quelora 1.1"));
    QPalette p = Label5[0]->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Highlight));
    Label5[0]->setPalette(p);
    Label5[1] = label(this, indexed("Label5", 1), tw(9000, 7080, 1800, 240),
                      QStringLiteral("Software gratuito"), arial(8.25), QStringLiteral("Software gratuito"));
    setForeColor(Label5[1], vb::DarkBlue);
    const QString credit = QStringLiteral("Tu diario, tus fechas y tus direcciones, en tu carpeta");
    Label5[2] = label(this, indexed("Label5", 2), tw(6360, 7320, 4215, 240), credit, arial(8.25), credit);
}

QString Form1::DataPath(const QString& relative) const {
    const qsizetype slash = relative.indexOf(QLatin1Char('/'));
    const QString first = slash < 0 ? relative : relative.left(slash);
    const QString stored = StoredFolderNames.value(first, first);
    return store::joinPath(DataFolder_, slash < 0 ? stored : stored + relative.mid(slash));
}

void Form1::SetBackColor(VbColor c) {
    if (c == FormBackColor) return; // a new palette would repaint every control
    FormBackColor = c;
    QPalette p = palette();
    p.setColor(QPalette::Window, colorFromVb(c));
    setPalette(p);
}

void Form1::SetFrameBackColor(int Index, VbColor c) {
    if (c == FrameBackColors[Index] && Frame1[Index]->palette().color(QPalette::Window) == colorFromVb(c))
        return;
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
    for (const QString& name : {layout::kPages, layout::kHolidays, layout::kReminders, layout::kSaints,
                                layout::kNotes, layout::kBook}) {
        if (const QString stored = store::findFolder(DataFolder_, name); !stored.isEmpty())
            StoredFolderNames.insert(name, stored);
        else if (name != layout::kSaints) // only read: never made empty
            need(DataPath(name));
    }
    const QString book = DataPath(layout::kBook);
    if (store::findFolder(book, layout::kAllCards).isEmpty()) need(store::joinPath(book, layout::kAllCards));
    // What a crash left unsaved goes back first, so that today's page shows it.
    RecoverUnsavedTexts();
    FillDateLists();
    LayoutWindow();
    if (PanelBuilt[static_cast<int>(Panel::Addresses)]) { // else when it is built
        LoadAddressBook();
        RecoverCardDraft();
    }
    Loaded = true;
    // The focus starts on the day on show, as a keyboard user expects to find it.
    if (SelectedButton >= 0 && SelectedButton < 42) Command1[SelectedButton]->setFocus(Qt::OtherFocusReason);
    if (RecoveryFileThere) KeepUnsavedTexts(); // now only what is still unsaved
    ShowUnsavedMarks();
    // The export file is a scratch file: the test needs it written, not kept through a power cut.
    store::Status written =
        store::writeNamed(DataFolder_, layout::kExportFile, QByteArrayLiteral(" "), store::Sync::Scratch);
    if (written && !folders) written = folders;
    if (written) written = store::probeFolder(DataFolder_); // a folder gone read-only

    if (!written)
        ReportFailure(
            QStringLiteral(
                "Tu ordenador no me permite escribir datos en la carpeta del programa \r\nERROR: ") +
            written.reason);
    // What start-up has to say is said at once, in one message: what came back and
    // where, then what cannot be saved and why.
    if (PendingMessages.size() > 1) {
        Message one{QString(), false};
        for (const Message& m : std::as_const(PendingMessages)) {
            one.text += (one.text.isEmpty() ? QString() : QStringLiteral("\n\n")) + m.text;
            one.failure = one.failure || m.failure;
        }
        PendingMessages = {one};
    }
}

void Form1::TakeListings(std::future<store::FolderIndex::Listings> listed) {
    // Never waited for before the first paint: a listing not done yet would hold it.
    if (listed.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        store::FolderIndex::keep(listed.get());
    else
        PendingListings = std::move(listed);
}

void Form1::PlaceOnScreen() {
    if (const QScreen* s = screen()) move(windowPlace(s->availableGeometry(), frameGeometry().size()));
}

bool Form1::event(QEvent* e) {
    // Once the window is on the screen, the diary folder's index is made, so that the
    // first click on a day without a page finds it ready; start-up itself only looked
    // for today's page.
    if (!DiaryIndexWarmed && e->type() == QEvent::Paint) {
        DiaryIndexWarmed = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (PendingListings.valid()) store::FolderIndex::keep(PendingListings.get());
                // Pages stored in another letter case are found now: their days turn bold.
                ShowDaysWithPages(store::FolderIndex::current(DataPath(layout::kPages)).get());
                ShowVersionMarks();
                WatchFolders();
                StartSpelling();
                // Drawn in six sizes and handed to the window system: nothing the first
                // paint shows (about 1 ms).
                setWindowIcon(programIcon());
                BuildNextPanel();
            },
            Qt::QueuedConnection);
    }
    // Where the system gives no notices, coming back to the window is when other
    // programs' changes are looked for.
    if (e->type() == QEvent::WindowActivate && DiaryIndexWarmed && (!Watcher_ || !Watcher_->active()))
        CheckShownFiles();
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

void Form1::ShowPanel(Panel k) {
    BuildPanel(k); // while its frame is hidden: its controls show with it
    VisiblePanel = k;
    const int index = static_cast<int>(k);
    for (int i = 0; i < 6; ++i)
        if (i != index) Frame1[i]->hide();
    Frame1[index]->show();
    for (int i = 0; i < 6; ++i)
        Command6[i]->setChecked(i == index);
    // The colours are read from the buttons: they are the one place the panel colours live.
    SetBackColor(Command6[index]->backColor());
    SetFrameBackColor(index, BackColor());
}

void Form1::Command6_Click(int Index) {
    const auto k = static_cast<Panel>(Index);
    ShowPanel(k);
    switch (k) {
    case Panel::Day:
        LoadDiaryPage();
        break;
    case Panel::Week:
        FillWeekView();
        break;
    case Panel::Month:
        FillMonthView();
        break;
    case Panel::Year:
        FillYearView();
        break;
    case Panel::Notes:
        // The note list is read when the notes are first shown, not at start-up; from
        // then on it is refreshed by what changes it.
        if (File1->path().isEmpty())
            File1->setPath(DataPath(layout::kNotes));
        else
            File1->refresh(); // what another program added meanwhile; nothing when the folder is as it was
        break;
    case Panel::Addresses:
        break; // shown as it is
    }
}

bool Form1::SaveOpenEdits() {
    const int failures = FailuresReported;
    // Only the box still holding the focus has anything to save (once left, a box has
    // saved itself; a note merely loaded is already on disk), and a box whose save failed
    // tries again.
    for (const auto& box : Boxes.boxes())
        if (box->kind().leave && (box->hasFocus() || box->held)) box->kind().leave(*box);
    RetryUnsavedPages();
    return FailuresReported == failures;
}

bool Form1::SessionEnds() {
    SessionEnding = true;
    const bool saved = SaveOpenEdits();
    Leaving = true;
    KeepUnsavedTexts(); // nothing left: the copy goes
    Leaving = false;
    return saved;
}

void Form1::Command10_Click() {
    if (!mayLeave()) return;
    ShowPendingMessages(); // what the last saves had to say is said before leaving
    Platform_.endProgram();
}

void Form1::keyPressEvent(QKeyEvent* e) {
    // Every box and list keeps Re Pág, Av Pág and Inicio for itself: they arrive here
    // from a button, or with nothing focused, and change the month.
    if (isPageKey(*e) && CalendarKey(e->key())) return;
    // Ctrl+H: the versions of what the box with the focus (or the panel) shows.
    if (e->key() == Qt::Key_H && e->modifiers() == Qt::ControlModifier) {
        OpenVersions();
        return;
    }
    QWidget::keyPressEvent(e);
}

// Saves what the exit button saves. When something could not be saved (including a
// failure reported as the focus came here), or a text waits for its button (a holiday,
// reminder or card typed, or given back after a crash, and not saved), the program stays
// open once and says so; asked again, it leaves and keeps those texts for the next start:
// the user must never be locked in by a folder gone bad. A message that only informs
// never holds the exit.
bool Form1::mayLeave() {
    const bool pendingFailure = std::any_of(PendingMessages.cbegin(), PendingMessages.cend(),
                                            [](const Message& m) { return m.failure; });
    const bool saved = SaveOpenEdits();
    const QStringList waiting = Boxes.waitingForButtons();
    if (saved && !pendingFailure && waiting.isEmpty()) {
        ExitWarned = false;
        ForgetUnsavedTexts();
        return true;
    }
    if (ExitWarned || SessionEnding) {
        Leaving = true; // given back at the next start
        KeepUnsavedTexts();
        Leaving = false;
        return true;
    }
    ExitWarned = true;
    QString text =
        saved && !pendingFailure
            ? QStringLiteral("Quelora sigue abierto para que no se pierda lo que no está guardado.")
            : QStringLiteral("Quelora sigue abierto para que no se pierda lo que no se ha podido "
                             "guardar.");
    if (!waiting.isEmpty()) text += QStringLiteral("\n\nSin guardar:\n") + waiting.join(QLatin1Char('\n'));
    ReportFailure(text +
                  QStringLiteral("\n\nSi vuelves a salir, se cerrará, y lo que no se ha guardado te lo "
                                 "devolverá la próxima vez que lo abras."));
    return false;
}

void Form1::ShowUnsavedMarks() {
    for (const auto& box : Boxes.boxes()) {
        if (auto* button = qobject_cast<FlatButton*>(box->button)) button->setPending(box->holdsText());
    }
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

Form1::Saved Form1::SaveText(const QString& folder, const QString& name, const QString& text,
                             const QString& ending, store::Sync sync, QString* writtenPath,
                             store::Version* written) {
    bool lossy = false;
    const QByteArray bytes = store::encode(text, &lossy) + store::encode(ending);
    // A scratch file (the export) has no history; every file of the data has. The name
    // found for it is the one written: the folder is not looked through twice.
    QString stored;
    if (sync == store::Sync::Durable) {
        stored = store::findNamed(folder, name);
        if (!stored.isEmpty()) KeepInHistory(folder, stored, &bytes);
    }
    QString path;
    const store::Status s = store::writeNamed(folder, stored.isEmpty() ? name : stored, bytes, sync, &path);
    if (writtenPath) *writtenPath = path;
    NoteOwnWrite(path);
    if (!s) {
        ReportSaveFailure(path, s.reason);
        return Saved::Failed;
    }
    if (written) *written = store::versionOf(bytes, path);
    if (!lossy) return Saved::Written;
    ReportNotice(
        QStringLiteral("Algunos caracteres no caben en los archivos de texto (Windows-1252) y se han "
                       "guardado como «?» en el archivo\n%1")
            .arg(QDir::toNativeSeparators(path)));
    return Saved::Lossy;
}

void Form1::KeepInHistory(const QString& folder, const QString& stored, const QByteArray* next) {
    const QString path = store::joinPath(folder, stored);
    const store::ReadResult old = store::readFile(path);
    // What cannot be read is kept beside the file by the save itself (another version).
    if (!old.ok || (next && old.bytes == *next)) return;
    QString why;
    if (history::keep(DataFolder_, folder, stored, old.bytes, Platform_.now(), QString(), &why) ||
        HistoryFailureTold)
        return;
    HistoryFailureTold = true;
    ReportNotice(QStringLiteral("No se ha podido guardar en el historial de Quelora la versión anterior del "
                                "archivo\n%1\n\n%2\n\nLo que has escrito se ha guardado igualmente, pero la "
                                "versión anterior no se conserva. Hasta que vuelvas a abrir Quelora no se "
                                "volverá a avisar de esto, aunque siga pasando.")
                     .arg(QDir::toNativeSeparators(path), why));
}

store::Status Form1::RemoveText(const QString& folder, const QString& name) {
    if (const QString stored = store::findNamed(folder, name); !stored.isEmpty())
        KeepInHistory(folder, stored, nullptr);
    return store::removeNamed(folder, name);
}

void Form1::ReportSaveFailure(const QString& path, const QString& reason) {
    LastFailureReason = reason;
    ReportFailure(
        QStringLiteral("No se ha podido guardar el archivo\n%1\n\n%2\n\nEl texto sigue en su casilla.")
            .arg(QDir::toNativeSeparators(path), reason));
}

void Form1::ReportFailure(const QString& text) {
    ++FailuresReported;
    if (Restoring) return; // the list of what came back says it
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
    QMetaObject::invokeMethod(this, &Form1::ShowMessagesAfterClick, Qt::QueuedConnection);
}

void Form1::ShowMessagesAfterClick() {
    // The click that moved the focus is not over while a button is held: a box shown
    // now would take its release. Asked again shortly, until the button is up.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(20, this, &Form1::ShowMessagesAfterClick);
        return;
    }
    if (MessagesScheduled) ShowPendingMessages();
}

void Form1::ShowPendingMessages() {
    MessagesScheduled = false;
    while (!PendingMessages.isEmpty())
        Platform_.message(this, PendingMessages.takeFirst().text);
}
