#pragma once
// A real Form1 on the offscreen platform, on a temporary data folder, with a fixed clock.
#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "store/files.h"
#include "store/history.h"
#include "support/fakeplatform.h"
#include "support/text.h"

#include <QByteArray>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace quelora::test {

// Makes the next writes of the store fail half-way, as on a full disk: those of the data
// files, or those of the hidden history of earlier texts alone.
class FailingWrites : public store::WriteFaults {
public:
    enum class Of { Data, History };
    void failNext(int count, const QString& reason, Of of = Of::Data) {
        count_ = count;
        reason_ = reason;
        of_ = of;
    }
    int pending() const { return count_; }
    std::optional<QString> nextWriteFails(const QString& path) override {
        if (count_ <= 0 || history::isHistoryPath(path) != (of_ == Of::History)) return std::nullopt;
        --count_;
        return reason_;
    }

private:
    int count_ = 0;
    QString reason_;
    Of of_ = Of::Data;
};

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the window on the data folder, runs Form_Load, shows it and waits
    // until it is active (the focus moves only in an active window).
    void start(const QDate& today = QDate(2007, 3, 15), const QTime& time = QTime(10, 0));
    // The same, but returns as soon as the window is shown: nothing painted yet, only the
    // panels of the first paint built.
    void startShown(const QDate& today = QDate(2007, 3, 15), const QTime& time = QTime(10, 0));
    // A window of its own on another data folder (another computer's, say), built and
    // shown as start() builds `form`; activate() before giving it input.
    std::unique_ptr<Form1> openWindow(const QString& folder, FakePlatform& p, const QDate& today = QDate(2007, 3, 15),
                                      const QTime& time = QTime(10, 0));
    void activate(QWidget* window);
    // Runs the queued work (deferred messages), waits for the answer to a search still
    // running on its thread, and repaints.
    void settle();
    // Runs the event loop until done() holds (true) or ms have passed (false): for what
    // comes from outside, a notice of the system or a timer.
    static bool waitUntil(const std::function<bool()>& done, int ms = 5000);
    // A crash, a kill or a power cut now: the window ends without running anything of
    // its own, and the program starts again on the data folder exactly as the disk holds
    // it at this moment (a copy of it: the window left behind may still write into the
    // old one as it goes).
    void crashAndRestart();

    // Files below the data folder ("dias/x.txt").
    QString path(const QString& relative) const;
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    QByteArray readBytes(const QString& relative) const;
    bool exists(const QString& relative) const;
    QStringList filesIn(const QString& relative) const; // the regular files of a folder, by name
    void makeFolder(const QString& relative) const;

    // Input as a person gives it.
    void clickAt(QWidget* w, const QPoint& p);        // press and release at p of w
    void click(QWidget* w);                           // press and release at the centre
    void clickInto(TextBox* box);                     // a click into the text of a box
    void typeText(QWidget* w, const QString& text);   // accented letters and line breaks included
    void typeInto(TextBox* box, const QString& text); // a click into the box, then typing
    // Replaces the text of a box or of a drop-down's edit part as a user does: a click
    // into it, Ctrl+A, then typing (Delete when the new text is empty).
    void retype(QWidget* w, const QString& text);
    void pressKey(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    // Clicks into w (a box, or a drop-down's edit part), selects all and pastes text
    // from the clipboard with Ctrl+V.
    void paste(QWidget* w, const QString& text);
    // A click on a row of a list, by its place or by its text (which must be there once).
    void clickRow(QListWidget* list, int row);
    void clickRow(QListWidget* list, const QString& text);
    // Opens the drop-down with a click on its arrow, moves to the entry and clicks it.
    void pickFromList(QComboBox* combo, int index);
    // A right click at p of w opens its context menu; the entry named `pick` is clicked
    // once the menu has what it is going to show (nothing is picked when empty: the menu
    // is closed with Escape). The menu's entries as they were shown.
    QStringList contextMenu(QWidget* w, const QPoint& p, const QString& pick);
    // Delivers `open` (what opens a popup menu of w's) and, while a menu is up, gives it to
    // `act` every 10 ms until act says it is done with it (true).
    void whileMenuOpen(QWidget* w, const std::function<bool(QMenu*)>& act, const std::function<void()>& open);
    // Turns the mouse wheel over the centre of w, delivered to the window as the
    // window system does; notches > 0 away from the user (up).
    void wheel(QWidget* w, int notches);
    // The widget whose keys a keyboard user is typing into now.
    static QWidget* focused();
    // The day button showing day d of the month on show.
    FlatButton* dayButton(int d) const { return dayButton(*form, d); }
    static FlatButton* dayButton(const Form1& f, int d);

    // The data folder; nestDataFolder() moves it one level down, so that the test owns
    // its parent folder too and can see anything written beside it.
    void nestDataFolder();
    QString dataFolder() const { return dataFolder_.isEmpty() ? dir.path() : dataFolder_; }

    QTemporaryDir dir;
    QTemporaryDir crashes; // the data folders after each crash
    int crashCount = 0;
    QString dataFolder_;
    FailingWrites writeFaults; // installed for the whole test
    FakePlatform platform;
    // The pause in typing after which unsaved text is kept; negative (the default in
    // tests): only when the test calls form->KeepUnsavedTexts(), so that runs repeat.
    int recoveryDelay = -1;
    std::unique_ptr<Form1> form;
};

} // namespace quelora::test
