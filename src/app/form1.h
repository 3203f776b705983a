#pragma once
// The one window of the program. Its controls and form-level variables carry the
// names used throughout the program. Each subsystem defines the members of its own
// part of the window in its folder — the builder of its panel (controls, their
// connections and their names for screen readers), its handlers and its routines:
//   src/calendar/form1_calendar.cpp    the calendar column, navigation and keys
//   src/records/form1_dayrecords.cpp   the day panel and its holiday, reminder, saint boxes
//   src/records/form1_diary.cpp        the diary box and the saving of diary pages
//   src/records/form1_week.cpp         the week panel
//   src/records/form1_readouts.cpp     the month and year panels
//   src/addresses/form1_addresses.cpp  the address book
//   src/notes/form1_notes.cpp          the notes panel
//   src/notes/form1_export.cpp         the export
//   src/search/form1_search.cpp        the search of everything written
// form1.cpp itself builds the window's frame and top row, starts the window up,
// switches the panels, saves what the user wrote and tells what went wrong.
#include "app/boundbox.h"
#include "app/colors.h"
#include "calendar/calendar.h"
#include "store/boxfile.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/recovery.h"

namespace quelora::spelling {
class Speller;
}

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWidget>
#include <array>
#include <future>
#include <memory>
#include <optional>

class QFrame;
class QKeyEvent;
class QTimer;
class QLabel;
class QLineEdit;
class QListWidget;

namespace quelora::store {
class FolderIndex;
class Watcher;
class WatchHub;
} // namespace quelora::store
namespace quelora::search {
struct SearchAnswer;
} // namespace quelora::search
namespace quelora {
class DropDown;
class FileList;
class FlatButton;
class FolderList;
class VersionsView;
struct VersionChoice;
enum class VersionAction;
class Platform;
class SpiralStrip;
class TextBox;
} // namespace quelora

class Form1 : public QWidget {
    Q_OBJECT
public:
    // dataFolder: the folder of the program, without a trailing separator.
    Form1(const QString& dataFolder, quelora::Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    using FlatButton = quelora::FlatButton;
    using TextBox = quelora::TextBox;
    using DropDown = quelora::DropDown;
    using VbColor = quelora::VbColor;

    // The six panels, by the index of their panel button.
    enum class Panel { Day, Week, Month, Year, Notes, Addresses };

    // ---- Other versions of what the boxes show (form1_versions.cpp) -----------------
    // A box whose file has another version beside it (another computer's, another
    // program's) says so under it, and a day whose page has one is marked on the grid.
    void ShowVersionMarks();
    // The versions of what box shows, newest first: those beside its file, then the texts
    // earlier saves replaced.
    QList<quelora::VersionChoice> VersionsOf(const quelora::BoundBox& box) const;
    // Opens the versions view of box (of the box with the focus, or the panel's, when
    // null); false when there is nothing to show.
    bool OpenVersions(quelora::BoundBox* box = nullptr);
    // What the user chose in the view: the box's text becomes the result, saved through
    // the box's own save, and a version beside its file goes to the history.
    void TakeVersion(quelora::BoundBox& box, const quelora::VersionChoice& v, quelora::VersionAction a);
    QPointer<quelora::VersionsView> Versions; // the view while it is open
    std::array<bool, 42> DayVersions{};       // the days of the grid whose page has another version

    // ---- The window (form1.cpp) --------------------------------------------------
    void Form_Load();
    void LayoutWindow();
    void Command6_Click(int Index);
    void Command10_Click();
    void Command12_Click();
    // Shows one panel, hides the others and dyes the window in its button's colour.
    void ShowPanel(Panel k);
    // Every panel built now. The window is first painted with the day panel and the
    // calendar alone; each other panel is built when first shown, or just after that
    // paint, one a turn of the event loop.
    void BuildPanels();
    bool panelBuilt(Panel k) const { return PanelBuilt[static_cast<int>(k)]; }
    // Everything the exit button saves: the box that has the focus (as leaving it would)
    // and the texts that leaving would have saved but could not. False when a save failed
    // (the text stays in its box).
    bool SaveOpenEdits();
    // The desktop session ends: everything is saved as the exit button saves it, and what
    // cannot be saved yet (or waits for its button) is kept for the next start. The window
    // then closes without holding the session up. False when a save failed.
    bool SessionEnds();
    // Centres the window's frame on the screen's free area; a window larger than that
    // area keeps its title bar and left edge on the screen.
    void PlaceOnScreen();

    // What became of a save.
    enum class Saved { Written, Lossy, Failed };
    // Writes text, then `ending`, in Windows-1252 into the file `name` of `folder` (a
    // file of that name in another letter case is the one replaced). A failure is
    // told ("No se ha podido guardar …"), and so are characters written as "?".
    // *path (if given) receives the file written, or that was to be; *written (if
    // given) what the file holds after a save that did not fail.
    Saved SaveText(const QString& folder, const QString& name, const QString& text,
                   const QString& ending = QString(),
                   quelora::store::Sync sync = quelora::store::Sync::Durable, QString* path = nullptr,
                   quelora::store::Version* written = nullptr);

    // The file a box's text goes to, and what that file held when the box was filled
    // from it or last saved into it.
    using BoxFile = quelora::store::BoxFile;
    using BoundBox = quelora::BoundBox;
    // Saves a box's text into f's file. When another program has changed the file since
    // f.base, its version is first kept beside it (store::otherVersionName) and the user
    // is told; if that cannot be done nothing is replaced. `what` names the file for the
    // user ("La página del diario del …"). On success f.base is what was written, and the
    // box the text came from (if given) shows it as the file keeps it and counts as saved.
    Saved SaveBoxFile(BoxFile& f, const QString& text, const QString& ending, const QString& what,
                      TextBox* shownIn = nullptr);
    // The same for removing f's file (an emptied holiday or reminder).
    bool RemoveBoxFile(BoxFile& f, const QString& what, TextBox* shownIn = nullptr);
    // Removes the file `name` of `folder` (in the letter case it is stored), after keeping
    // what it holds in the history as every save does. No message: the caller says what
    // failed.
    quelora::store::Status RemoveText(const QString& folder, const QString& name);
    // Before a save replaces (with `next`) or removes (nullptr) the file stored as `stored`
    // in `folder`: what it holds now goes to the history. A failure never stops the save;
    // it is told once a session.
    void KeepInHistory(const QString& folder, const QString& stored, const QByteArray* next);
    // A box left without typing whose file another program changed since it was filled
    // shows the file as it is now (and true), instead of saving its older text over it.
    bool ShowsNewerFile(BoundBox& box);
    // Whether f's file still holds what the box was filled from; *now (if given) what
    // it holds now.
    bool FileUnchanged(const BoxFile& f, quelora::store::Version* now = nullptr) const;
    // A failure to tell the user. Shown after the current click has been handled,
    // never from inside a lost-focus handler. A pending failure holds the exit once.
    void ReportFailure(const QString& text);
    // "No se ha podido guardar ..." with the file's path and the platform's reason.
    void ReportSaveFailure(const QString& path, const QString& reason);
    // Something the user should know that is no failure (characters saved as "?"):
    // shown like a failure, but it never holds the exit.
    void ReportNotice(const QString& text);
    // Listings start-up makes on another thread (main): kept at once when done before
    // Form_Load, else as soon as the window is on the screen.
    void TakeListings(std::future<quelora::store::FolderIndex::Listings> listed);
    void ShowPendingMessages();

    // ---- Other programs' changes (src/app/form1_changes.cpp) -------------------------------
    // Watches the folders of the files on show; where the system gives no notices, the
    // window checks when it becomes active again.
    void WatchFolders();
    // Every box that shows a file and holds no edit of the user's shows the file as it is
    // now; the note and card lists take in what another program added or removed.
    void CheckShownFiles();

    // ---- Unsaved text through a crash (src/app/form1_recovery.cpp) --------------------------
    // What the boxes hold that is not yet saved (and the texts held after failed saves)
    // goes to a hidden file of the data folder a moment after the typing pauses; a save
    // or a clean exit takes it out again. At the next start after a crash, the program
    // gives it back (RecoverUnsavedTexts) and tells the user what and where.
    void KeepUnsavedTexts();
    void RecoverUnsavedTexts();
    void RecoverCardDraft(); // once the address book is filled
    // Every box bound to a file, registered by its panel's builder, and the texts waiting
    // with their files: the exit, the copy of unsaved text, other programs' changes and
    // spelling loop over it.
    const quelora::BoxRegistry& boxes() const { return Boxes; }
    // Tests: the pause after which unsaved text is kept (ms); negative: only when
    // KeepUnsavedTexts is called.
    void setRecoveryDelay(int ms);
    // After a clean exit that saved everything: nothing is left to recover.
    void ForgetUnsavedTexts();

    // Full path of an entry below the data folder ("dias", "texto.txt", ...), in the
    // letter case the data folder spells it.
    QString DataPath(const QString& relative) const;
    const QString& DataFolder() const { return DataFolder_; }
    quelora::Platform& platform() { return Platform_; }
    quelora::spelling::Speller* speller() const { return Spelling; }

    VbColor BackColor() const { return FormBackColor; }
    void SetBackColor(VbColor c);
    void SetFrameBackColor(int Index, VbColor c);
    VbColor FrameBackColor(int Index) const { return FrameBackColors[Index]; }

    // ---- Calendar (src/calendar/form1_calendar.cpp) --------------------------------
    void ShowMonth();
    // Applies a grid to the 42 day buttons; the day panel shows no day after it.
    void PaintMonthGrid(const quelora::calendar::MonthGrid& grid);
    void FillDateLists();
    void GoToToday();
    void ShowDateCaption();
    void Command1_Click(int Index);
    void Command3_Click(int Index);
    void Command4_Click(int Index);
    void Command5_Click();
    void Combo1_Click();
    void Combo2_Click();
    // Marks day button Index as the selected day: the marked one before gets its grid
    // colour back, this one turns red, and the caption names its date.
    void MarkDay(int Index);

    // ---- Day records (src/records/) ----------------------------------------------
    void ShowDayRecords();
    void Command11_Click(int Index);
    void LoadDiaryPage();
    void SaveDiaryPage();
    void Text1_Click();
    void Text1_Change();
    void Text1_LostFocus();
    void FillWeekView();
    void Text2_LostFocus(int Index);
    void SaveWeekPage();
    void FillMonthView();
    void FillYearView();
    enum class PageSave { Written, Refused, Failed };
    // Writes one diary page under its caption (a real date only) through the box's file f,
    // holds the text when the write fails, tells the user what went wrong or what was
    // replaced; the box it came from (if given) then shows the page as written.
    PageSave SavePage(const QString& caption, const QString& text, BoxFile& f, TextBox* shownIn = nullptr);
    // The file of the page of a caption.
    BoxFile PageFile(const QString& caption) const;
    // Tries again the texts that leaving their boxes would have saved; false when one still
    // cannot be saved.
    bool RetryUnsavedPages();

    // ---- Address book (src/addresses/) ---------------------------------------------
    void LoadAddressBook(); // start-up: Dir1, the group field and the card list
    void Combo3_Change();
    void Combo3_Click();
    void File2_Click();
    void Command7_Click(int Index);
    void Command8_Click();
    void Text8_Change();
    // The address-book folder, as Dir1 lists it.
    QString BookFolder() const;
    // Its all-cards group's folder, in the letter case it is stored (or as it would be made).
    QString AllCardsFolder() const;
    // The four card buttons.
    void SaveCard();
    void ClearCard();
    void DeleteCard();
    void CopyAllCards();
    // Whether the fields may be given another card: not while they hold one that is not
    // saved (typed, or one whose save failed or that came back after a crash: the user
    // is told).
    bool MayReplaceCard();

    // ---- Notes and export (src/notes/) ---------------------------------------------
    void File1_Click();
    void Text6_Change();
    void Text6_LostFocus();
    void Command13_Click();
    void Command9_Click();

    // ---- Search (src/search/form1_search.cpp) -----------------------------------------
    void OpenSearch();  // Ctrl+F, or a click on the date caption
    void CloseSearch(); // Escape: the window as it was
    void SearchText_Change();
    // Shows result row where it lives: the day panel on its date, the note, the card.
    void SearchResult_Pick(int row);
    // The search's query of the text now in its field is still running on its thread.
    bool SearchBusy() const;

    // ---- Controls, in the order they stand on screen (which is the Tab order) ---------
    QLabel* Label2 = nullptr;
    std::array<QLabel*, 7> Label1{};
    std::array<FlatButton*, 42> Command1{};
    DropDown* Combo1 = nullptr;
    DropDown* Combo2 = nullptr;
    std::array<FlatButton*, 1> Command2{};
    std::array<FlatButton*, 2> Command3{};
    std::array<FlatButton*, 12> Command4{};
    FlatButton* Command5 = nullptr;
    std::array<FlatButton*, 6> Command6{};
    FlatButton* Command9 = nullptr;
    FlatButton* Command12 = nullptr;
    FlatButton* Command10 = nullptr;
    TextBox* Text4 = nullptr;
    std::array<QFrame*, 6> Frame1{};
    // day panel
    quelora::SpiralStrip* Picture1 = nullptr;
    std::array<TextBox*, 3> Text9{};
    std::array<FlatButton*, 2> Command11{};
    TextBox* Text1 = nullptr;
    // week panel
    std::array<QLabel*, 7> Label3{};
    std::array<TextBox*, 7> Text2{};
    // month and year panels
    quelora::SpiralStrip* Picture3 = nullptr;
    TextBox* Text3 = nullptr;
    quelora::SpiralStrip* Picture2 = nullptr;
    TextBox* Text5 = nullptr;
    // notes panel
    TextBox* Text6 = nullptr;
    quelora::FileList* File1 = nullptr;
    FlatButton* Command13 = nullptr;
    // address-book panel
    DropDown* Combo3 = nullptr;
    quelora::FileList* File2 = nullptr;
    std::array<QLabel*, 7> Label4{};
    std::array<TextBox*, 7> Text7{};
    FlatButton* Command8 = nullptr;
    TextBox* Text8 = nullptr;
    std::array<FlatButton*, 4> Command7{};
    quelora::FolderList* Dir1 = nullptr;
    quelora::FileList* File3 = nullptr;
    std::array<QLabel*, 3> Label5{};
    // laid over the panels while searching; made when the search is first opened
    QFrame* SearchPanel = nullptr;
    QLineEdit* SearchText = nullptr;
    QListWidget* SearchResults = nullptr;
    QLabel* SearchCount = nullptr;
    QLabel* SearchHeading = nullptr; // "Este día en otros años", over the list while the field is empty

    // ---- Form-level state, to read ----------------------------------------------------
    int selectedButton() const { return SelectedButton; } // -1 until a day is marked
    int selectedColumn() const { return SelectedButton < 0 ? -1 : SelectedButton % 7; }
    // The colour the selected button shows without its red mark.
    VbColor selectedButtonColor() const;
    int selectedMonth() const { return SelectedMonth; }
    QDate selectedDate() const { return SelectedDate; }
    const quelora::calendar::MonthGrid& grid() const { return Grid; }
    int januaryFirstColumn() const { return Grid.JanuaryFirstColumn; }
    int februaryLength() const { return Grid.FebruaryLength; }
    int monthLength() const { return Grid.MonthLength; }
    int firstDayColumn() const { return Grid.FirstDayColumn; }
    bool preselectDone() const { return PreselectDone; }
    bool diaryEdited() const { return Diary->armed; } // DiaryEdited: leaving the diary box saves it
    bool noteChanged() const { return Note && Note->armed; } // NoteChanged: leaving the note editor saves it
    Panel visiblePanel() const { return VisiblePanel; }
    int weekdayCursor() const { return WeekdayCursor; }

protected:
    bool event(QEvent* e) override;
    // The day buttons' keys: Intro goes into the day's page, ↑ and ↓ a week up or down.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The line under a box that says its file has another version, and opens them.
    struct VersionsBar {
        BoundBox* box = nullptr;
        FlatButton* button = nullptr;
        QRect full; // the box's place while the line is hidden
    };
    std::vector<VersionsBar> VersionsBars;
    VersionsBar& versionsBarOf(BoundBox* box);
    // Builders, in the order of the window; each connects and names its own controls.
    void buildCalendarColumn();
    void buildTopRow();
    void buildDayPanel(QFrame* f);
    void buildWeekPanel(QFrame* f);
    void buildReadOutPanels();
    void buildNotesPanel(QFrame* f);
    void buildAddressPanel(QFrame* f);
    void buildBottomStrip();
    std::array<bool, 6> PanelBuilt{};
    void BuildPanel(Panel k);
    void BuildNextPanel();
    // A panel built after the window takes its place in the Tab order, after the panel before it.
    void PlaceInTabOrder(int panel);
    // What every box registered since from is given: the copy of unsaved text and spelling.
    void TakeInBoxes(std::size_t from);
    void installSearch();    // Ctrl+F opens the search
    void buildSearchPanel(); // at the first opening: the search costs nothing until used
    // The search laid over the panels goes as soon as the focus leaves it.
    void SearchFocusChanged(QWidget* now);
    // Files changed by another program: the list of this day in other years follows them.
    void SearchFilesChanged();
    // The answer to the newest query: the list, its heading and the count.
    void SearchFound(const quelora::search::SearchAnswer& a);
    // Where the focus goes when nothing else is to have it: the day on show, or "HOY".
    QWidget* HomeFocus() const;
    // The calendar on the month of date, as the month and year lists would show it.
    void ShowCalendarMonth(const QDate& date);
    // A file the program has just written: the search reads it again.
    void SearchFileWritten(const QString& path);
    // The searcher, its results and where the focus was before the search: made with its
    // panel, and known to form1_search.cpp alone.
    struct SearchState;
    struct SearchStateDelete {
        void operator()(SearchState* s) const;
    };
    std::unique_ptr<SearchState, SearchStateDelete> Search_;
    void installKeys();
    // Re Pág / Av Pág: the month before / after the one on show, as its month button.
    void PageMonth(int step);
    // Re Pág, Av Pág and Inicio as the calendar takes them; false for any other key.
    bool CalendarKey(int key);

    // ---- Form-level variables ------------------------------------------------------
    // The selection: its column is SelectedButton mod 7, and the colour it shows without
    // its mark is the grid's.
    int SelectedButton = -1; // -1: no day marked yet
    int SelectedMonth = 0;
    QDate SelectedDate;
    int PreselectDay = 0;
    bool PreselectDone = false;
    Panel VisiblePanel = Panel::Day;
    int WeekPageIndex = 0;
    int WeekdayCursor = 0;
    // What the day buttons show: the month on show, its day files and its pages. Only
    // PaintMonthGrid replaces it; a page saved or found changes its day's bold number.
    quelora::calendar::MonthGrid Grid;
    // The day folders of the month text on show, asked by the grid; pages: the diary
    // folder's index (nullptr: the exact name of each page only).
    quelora::calendar::DayFileTests DayFilesOnDisk(const quelora::store::FolderIndex* pages) const;
    // pages: the diary folder's index (nullptr: the exact name only).
    bool PageHasText(const QDate& date, const quelora::store::FolderIndex* pages) const;
    // The days of the grid with a page of their own are bold.
    void ShowDaysWithPages(const quelora::store::FolderIndex* pages);
    // A page of that date was just saved: its day on the grid shows it.
    void ShowPageOnGrid(const QString& caption, bool hasText);
    // A holiday (k 0) or reminder (k 1) day file was just saved or removed: its day on the
    // grid shows it, in its colour and its words.
    void ShowDayTextOnGrid(int k, const QString& dayFileName, bool there);
    void SetDayHasPage(int i, bool page);
    // The boxes bound to files. Each one's state has the names the handlers use: the diary
    // box's DiaryEdited is Diary->armed and its caption Diary->target, the note editor's
    // NoteChanged is Note->armed.
    quelora::BoxRegistry Boxes;
    BoundBox* Diary = nullptr;
    std::array<BoundBox*, 7> Week{};
    // The holiday, reminder and saint boxes: their files are those of the day whose texts
    // they show (the saves go there, whatever the lists say by then).
    std::array<BoundBox*, 3> DayTexts{};
    BoundBox* Note = nullptr;
    BoundBox* Card = nullptr;                              // its file is the card in the listed group
    BoxFile CardCopyFile;                                  // the card's copy in the all-cards group
    std::optional<quelora::recovery::Entry> RecoveredCard; // a card draft back after a crash
    // The kinds of box, which their panels' builders register with their boxes.
    quelora::BoxKind PageKind(bool week);
    quelora::BoxKind DayTextKind(int k);
    quelora::BoxKind NoteKind();
    quelora::BoxKind CardKind();
    // Taking back, after a crash, a text of each kind.
    void RestorePage(const quelora::recovery::Entry& e, QStringList* told);
    void RestoreDayText(const quelora::recovery::Entry& e, QStringList* told);
    void RestoreNote(const quelora::recovery::Entry& e, QStringList* told);
    void RestoreCard(const quelora::recovery::Entry& e, QStringList* told);
    void ShowDayFile(int k, const QString& name);
    // The name a note saved now gets: the current minute, or the next minute that names
    // no other note (a save never replaces a different note).
    QString NoteSaveName();
    // The save buttons show whether their boxes hold a text not saved yet.
    void ShowUnsavedMarks();

    // Other programs' changes.
    // The program's one watch of the system's notices, shared with the search.
    std::shared_ptr<quelora::store::WatchHub> WatchHub_;
    std::shared_ptr<quelora::store::WatchHub> SharedWatch();
    std::unique_ptr<quelora::store::Watcher> Watcher_;
    QHash<QString, int> WatchedFolders; // path -> watch id
    QSet<QString> ChangedFolders;       // where notices told of changes since the last check
    bool ChangesPending = false;
    void TakeNotices();
    void WatchFolder(const QString& path);
    // Names the program itself has just written, whose notices tell nothing new.
    QSet<QString> OwnWrites;
    void NoteOwnWrite(const QString& path);

    // Unsaved text through a crash.
    QTimer* RecoveryTimer = nullptr;
    int RecoveryDelay = 1000;
    QElapsedTimer RecoveryWaiting;  // since the first change the timer waits to keep
    bool RecoveryFileThere = false; // the hidden file is on the disk
    QList<quelora::recovery::Entry> RecoveryEntries;
    bool RecoveryFailureTold = false;
    bool HistoryFailureTold = false;                  // the history could not keep a text, and the user knows
    QList<quelora::recovery::Entry> RecoveredEntries; // what the copy read at start-up held
    bool Restoring = false;        // giving back texts at start-up: their failures go in one list
    bool Leaving = false;          // the exit keeps what is unsaved, on purpose
    bool SessionEnding = false;    // the desktop session is ending: closing is never held
    bool RecoveryFileKept = false; // a copy that could not be read nor set aside: never written over
    QString LastFailureReason;     // the platform's reason of the last save that failed
    // Copies of unsaved text of another computer, or of an older Quelora, whose texts this
    // one gave back: removed once this computer's own copy holds them, or nothing is unsaved.
    QStringList AdoptedRecoveryFiles;
    void DropAdoptedCopies();
    // This computer's copy of unsaved text.
    QString RecoveryPath() const;
    // Gives back what the copy at path holds (own: this computer's), appending what the user
    // is told; *closedAll stays true while every copy read was kept by an exit, *read
    // becomes true when one could be read.
    void RecoverFrom(const QString& path, bool own, QStringList* told, bool* closedAll, bool* read);
    // Moves an unreadable copy of unsaved text aside (or copies it): what the user is told.
    QString SetRecoveryFileAside(const QString& path, const quelora::store::ReadResult& r, bool own);
    // A box's text changed (typed: by the user).
    void UnsavedTextChanged(bool typed);
    // A save succeeded: the hidden file, if any, follows as soon as the handler is over.
    void UnsavedTextSaved();
    bool KeepQueued = false;

    // The day panel's boxes take input only while the caption names a real date.
    void AllowDiaryInput();
    // What a box says while it takes no input for want of a date.
    QString UndatedHint() const;
    // Gives the marked button back the colour the grid painted it with.
    void RestoreSelectedButtonColor();
    // Names the day buttons for screen readers after their marks changed; selected: as
    // the selected day (a click names its button so before the focus arrives).
    void DescribeDayButtons();
    void DescribeDayButton(int i, bool selected = false);
    // Writes the date caption; the calendar's buttons tell a screen reader what it says
    // now (the one that has the focus is heard saying it), the year button its year.
    void ShowCaption(const QString& caption);
    // The calendar's buttons say what it shows ("A la vista: …"), after a caption's words.
    void DescribeOnShow(const QString& caption);

    QString DataFolder_;
    quelora::Platform& Platform_;
    VbColor FormBackColor = 0xFFFFFFFF; // no colour yet
    std::array<VbColor, 6> FrameBackColors{};
    struct Message {
        QString text;
        bool failure = true;
    };
    QList<Message> PendingMessages;
    int FailuresReported = 0;
    bool MessagesScheduled = false;
    void ShowMessagesAfterClick();
    // The user has been told that leaving now loses what could not be saved.
    bool ExitWarned = false;
    // Data folders found in another letter case (a folder copied from Windows as
    // "DIAS"), by the name the program uses.
    QHash<QString, QString> StoredFolderNames;
    bool FramePlaced = false;
    bool DiaryIndexWarmed = false;
    std::future<quelora::store::FolderIndex::Listings> PendingListings;
    bool Loaded = false; // Form_Load has run

    // Spelling: every box the user writes in marks the words the dictionary does not
    // know, once the dictionary has been loaded: after the first paint, when a box first
    // has words to check.
    quelora::spelling::Speller* Spelling = nullptr;
    void CheckSpelling(std::size_t from); // the prose boxes from that one on
    void StartSpelling();
    void LoadDictionary(const QStringList& folders); // on a worker thread
    // The words of the user's dictionary, with those another computer added beside it.
    // *read (if given): whether the list itself could be read.
    QStringList OwnWordsOfEveryCopy(bool* read);
    void AddOwnWord(const QString& word);

    void queueMessage(const QString& text, bool failure);
    void scheduleMessages();
    bool mayLeave();
};
