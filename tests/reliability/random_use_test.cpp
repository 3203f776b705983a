// Seeded random use of the real window. A model follows what must be on disk: after
// every step, each text that left its box (by a focus change, a save button or
// closing) is on disk under the name it had then, byte for byte; no other file of
// the data folder changed; nothing outside the data folder appeared. Besides the
// user's gestures, the world intrudes: another program rewrites, adds or deletes files
// between two gestures (a version it wrote under a box being typed into is kept beside
// at the leave), a save fails half-way (its text is held and saved by the next save),
// and the program is killed (the disk as it is at that moment is started again: every
// text of the last pause in typing comes back where it was meant, nothing else changes).
// No text typed or given back is ever dropped without a word: a holiday or reminder left
// without its G waits with its day until G (another program's version of that file is
// then kept beside), a card not saved keeps its fields until GUARDAR or NUEVO, through
// day clicks, other cards, exits, closes and crashes; a save never replaces another
// person's card of the same name.
//
//   QUELORA_RANDOM_ACTIONS  number of actions (default 3000)
//   QUELORA_RANDOM_SEED     seed (default 20070315)
#include "addresses/cards.h"
#include "app/boundbox.h"
#include "app/instancelock.h"
#include "notes/notes.h"
#include "reliability_fixture.h"
#include "store/codepage.h"
#include "store/layout.h"
#include "store/recovery.h"

#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QWindow>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>

using namespace quelora;
using namespace quelora::test;

namespace {

struct Stamp {
    ino_t ino = 0;
    off_t size = 0;
    long long mtime = 0;
    mode_t mode = 0;
    bool operator==(const Stamp&) const = default;
};
using Snapshot = std::map<QString, Stamp>;

// What a step must leave on disk: files with their bytes, files removed (nullopt).
using Effects = std::map<QString, std::optional<QByteArray>>;

class RandomUse : public ReliabilityFixture {
protected:
    Snapshot snapshot() const {
        Snapshot s;
        QDirIterator it(data(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            struct stat st {};
            if (::lstat(QFile::encodeName(p).constData(), &st) != 0) continue;
            // A folder changes whenever its files do: only its being there counts.
            if (S_ISDIR(st.st_mode))
                s[p.mid(data().size() + 1)] = {0, 0, 0, st.st_mode};
            else
                s[p.mid(data().size() + 1)] = {
                    st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec, st.st_mode};
        }
        return s;
    }

    // ---- the model ----
    bool diaryArmed = false;
    QString diaryCaption;
    bool noteChanged = false;
    std::set<const TextBox*> typed;     // typed into since they were last left
    QString noteName;                   // the note the editor holds: loaded or last saved; "" none
    bool noteStale = false;             // its file changed outside since
    std::map<QString, QByteArray> held; // pages whose save failed, by path, and their texts
    // Another program's version of the page of the box being typed into: kept beside it
    // when the box is left.
    std::optional<std::pair<QString, QByteArray>> besideOnLeave;
    QString faultOn; // the page whose save is made to fail at the next leave
    struct Beside {
        QString folder;
        QByteArray bytes;
    };
    std::vector<Beside> besides; // other versions the step under way keeps
    bool copiedFolder = false;   // the step started the program again on a copy of the disk
    bool byOtherProgram = false; // the step's own effects are another program's
    bool exitPressed = false;    // the exit button: it tries every held text again
    long long crashes = 0, outsideChanges = 0, faults = 0, kept = 0, recovered = 0, keptInHistory = 0;
    Snapshot last;
    std::map<QString, QByteArray> lastBytes; // the data files' bytes then: what the history may keep
    static bool inHistory(const QString& rel) {
        return rel == layout::kHistory || rel.startsWith(layout::kHistory + QLatin1Char('/'));
    }
    void remember(const Snapshot& s) {
        lastBytes.clear();
        for (const auto& [rel, stamp] : s)
            if (!S_ISDIR(stamp.mode) && !inHistory(rel)) lastBytes[rel] = bytesAt(rel);
    }
    long long steps = 0, writesChecked = 0;
    QString trace;          // the last actions, shown when a check fails
    Effects own;            // what the step under way writes by itself
    QStringList allowedNew; // folders a step may create
    bool allowExport = false;
    // Holiday and reminder texts typed and not saved by G, by day file, with what the file
    // held as they were first typed: each waits with its day until G saves it.
    struct Draft {
        QString text;
        std::optional<QByteArray> base;
    };
    std::map<QString, Draft> drafts;
    // The card files the fields were filled from or last saved into, which a save may
    // replace (letter case folded); nullopt once a crash gave a card back: whether its
    // save replaces or refuses is then read from what the program says.
    std::optional<std::set<QString>> cardKnown = std::set<QString>();
    long long draftsHeld = 0, cardsRefused = 0, cardsSaved = 0;

    const BoundBox* cardBox() const {
        for (const auto& b : form->boxes().boxes())
            if (b->fields().front() == form->Text7[0]) return b.get();
        return nullptr;
    }
    std::array<QString, 7> cardFields() const {
        std::array<QString, 7> out;
        for (int i = 0; i < 7; ++i)
            out[i] = form->Text7[i]->text();
        return out;
    }
    std::optional<QByteArray> bytesOrNone(const QString& rel) const {
        return QFileInfo(at(rel)).isFile() ? std::optional(bytesAt(rel)) : std::nullopt;
    }
    QString relOf(const store::BoxFile& f) const {
        return QDir(data()).relativeFilePath(f.folder) + QLatin1Char('/') + f.name;
    }

    // The drafts of the holiday and reminder boxes as they stand, and none of them lost:
    // each is in its box or waits with its day.
    void followDrafts() {
        for (const auto& b : form->boxes().boxes()) {
            if (b->kind().tag != QLatin1String("dia") || b->file.name.isEmpty() || !b->typed() ||
                !b->takesInput())
                continue;
            const QString rel = relOf(b->file);
            if (b->text().isEmpty()) {
                drafts.erase(rel); // emptied: nothing of it is to come back
            } else if (!drafts.count(rel)) {
                drafts[rel] = {b->text(), bytesOrNone(rel)};
                ++draftsHeld;
            } else {
                drafts[rel].text = b->text();
            }
        }
        const QList<BoxRegistry::Waiting> waiting = form->boxes().waitingTexts();
        for (const auto& [rel, draft] : drafts) {
            bool found = false;
            for (const BoxRegistry::Waiting& w : waiting)
                found = found || (relOf(w.file) == rel && w.text == draft.text);
            for (const auto& b : form->boxes().boxes())
                found = found || (b->kind().tag == QLatin1String("dia") && !b->file.name.isEmpty() &&
                                  relOf(b->file) == rel && b->text() == draft.text);
            ASSERT_TRUE(found) << "draft dropped: " << rel.toStdString() << " «" << draft.text.toStdString()
                               << "»\nafter:" << trace.toStdString();
        }
    }

    TextBox* focusedBox() const { return qobject_cast<TextBox*>(QApplication::focusWidget()); }

    static QString pageOf(const QString& caption) {
        return QStringLiteral("dias/") + caption + QStringLiteral(".txt");
    }
    // The page the box shows, when it is one that leaving it may write.
    QString pageOfBox(const TextBox* b) const {
        if (b == form->Text1) return diaryArmed ? pageOf(diaryCaption) : QString();
        for (int i = 0; i < 7; ++i)
            if (b == form->Text2[i] && !b->isReadOnly()) return pageOf(form->Label3[i]->text());
        return {};
    }

    // The name a note saved now gets: the current minute, unless that names another note.
    QString noteSaveName() const {
        for (int i = 0;; ++i) {
            const QString name = notes::noteFileName(platform.clock.addSecs(60 * i));
            if (!QFileInfo::exists(at(QStringLiteral("notas/") + name))) return name;
            if (name == noteName && !noteStale) return name;
        }
    }

    // What leaving box `b` now writes.
    Effects leaveEffects(TextBox* b) const {
        Effects e;
        if (!b) return e;
        const QString page = pageOfBox(b);
        const bool week = b != form->Text1 && b != form->Text6;
        // A week box is saved when left with text; an emptied one never clears its page.
        if (!page.isEmpty() && !(week && b->text().isEmpty())) e[page] = store::encode(b->text());
        if (b == form->Text6 && noteChanged && !b->text().isEmpty())
            e[QStringLiteral("notas/") + noteSaveName()] = store::encode(b->text());
        return e;
    }

    // b: the box left (perhaps gone with its window by now); page and empty: what it
    // showed as the step began.
    void left(const TextBox* b, const Effects& written, const QString& page, bool empty) {
        if (!b) return;
        if (b == form->Text1) diaryArmed = false;
        if (b == form->Text6 && noteChanged) {
            noteName.clear(); // an emptied editor starts a note of its own
            for (const auto& [rel, bytes] : written)
                if (rel.startsWith(QLatin1String("notas/"))) noteName = rel.mid(6);
            noteStale = false;
            noteChanged = false;
        }
        if (empty && typed.count(b) && b != form->Text1) held.erase(page); // emptied: the newest
        typed.erase(b);
        besideOnLeave.reset();
    }

    // One user gesture, checked against the model.
    void step(const QString& what, const std::function<void()>& gesture, bool closes = false) {
        trace = (trace + QLatin1Char('\n') + what).right(1500);
        if (qEnvironmentVariableIsSet("QUELORA_TRACE")) std::fprintf(stderr, "%s\n", qPrintable(what));
        TextBox* before = focusedBox();
        Effects onLeave = leaveEffects(before);
        const QString beforePage = before ? pageOfBox(before) : QString();
        const bool beforeEmpty = before && before->text().isEmpty();
        const auto beside = besideOnLeave;
        const int messages = platform.messages.size();
        const bool cardUnsaved = cardBox()->unsaved();
        const std::array<QString, 7> cardBefore = cardFields();
        const QString cardFileBefore = relOf(cardBox()->file);
        cardSaveStep = false;
        own.clear();
        allowedNew.clear();
        besides.clear();
        allowExport = false;
        copiedFolder = false;
        byOtherProgram = false;
        exitPressed = false;
        const bool faultArmed = !faultOn.isEmpty();
        gesture();
        const bool faulted = faultArmed && writeFaults.pending() == 0;
        if (faultArmed) writeFaults.failNext(0, QString()); // a fault the step did not meet goes
        Effects expected;
        if (copiedFolder) {
            // Killed: nothing left any box; what comes back is what the step says.
        } else if (closes || QApplication::focusWidget() != before) {
            if (faulted && onLeave.count(faultOn)) {
                // Not written: held, and written by the next save that succeeds.
                held[faultOn] = *onLeave[faultOn];
                onLeave.erase(faultOn);
                ++faults;
            } else if (beside && onLeave.count(beside->first) && *onLeave[beside->first] != beside->second) {
                besides.push_back({beside->first.section(QLatin1Char('/'), 0, 0), beside->second});
            }
            for (const auto& [rel, bytes] : onLeave)
                held.erase(rel); // a newer text of the page
            expected = onLeave;
            left(before, onLeave, beforePage, beforeEmpty);
        }
        faultOn.clear();
        for (const auto& [k, v] : own)
            expected[k] = v;
        // Every page save that succeeds writes the held texts too, and so does leaving.
        const bool pageWritten =
            !byOtherProgram && std::any_of(expected.begin(), expected.end(), [](const auto& e) {
                return e.first.startsWith(QLatin1String("dias/")) && e.second;
            });
        if (!copiedFolder && ((pageWritten && !faulted) || closes || exitPressed)) {
            for (const auto& [rel, bytes] : held)
                if (!expected.count(rel)) expected[rel] = bytes;
            held.clear();
        }
        verify(expected, what);
        for (int i = messages; i < platform.messages.size(); ++i)
            ASSERT_TRUE(
                !platform.messages[i].startsWith(QStringLiteral("No se ha")) ||
                platform.messages[i].contains(QStringLiteral("(prueba)")) ||
                platform.messages[i].contains(QStringLiteral("ya hay otra ficha")) ||
                platform.messages[i].startsWith(QStringLiteral("No se ha guardado la ficha: el apellido")))
                << platform.messages[i].toStdString() << "\nafter:" << trace.toStdString();
        // A card not saved changes only by typing, NUEVO or its own save.
        static const QStringList changesCard = {
            QStringLiteral("type"), QStringLiteral("APELLIDOS"), QStringLiteral("Nueva ficha"),
            QStringLiteral("Guardar ficha"), QStringLiteral("started again")};
        if (cardUnsaved && cardFields() != cardBefore && !copiedFolder &&
            std::none_of(changesCard.begin(), changesCard.end(),
                         [&](const QString& w) { return what.contains(w); }))
            ADD_FAILURE() << "card fields not saved were replaced (" << what.toStdString()
                          << ")\nafter:" << trace.toStdString();
        // A card opened (from its list or the search): its files are its own, and its copy
        // in "Todos" while that holds the same.
        if (const BoundBox* card = cardBox(); !cardSaveStep && !copiedFolder && !card->file.name.isEmpty() &&
                                              relOf(card->file) != cardFileBefore) {
            const QString rel = relOf(card->file);
            QString all = QStringLiteral("direcciones/Todos/") + card->file.name;
            for (const QString& n : QDir(at(QStringLiteral("direcciones/Todos"))).entryList(QDir::Files))
                if (n.toUpper() == card->file.name.toUpper() && !QFileInfo::exists(at(all)))
                    all = QStringLiteral("direcciones/Todos/") + n;
            cardKnown = std::set<QString>{rel.toUpper()};
            if (bytesOrNone(all) == bytesOrNone(rel)) cardKnown->insert(all.toUpper());
        }
        if (!copiedFolder) followDrafts(); // after a crash, once the drafts of the pause are back
        ++steps;
    }

    void verify(const Effects& expected, const QString& what) {
        Snapshot now = snapshot();
        // Other versions kept: new files beside, each with the bytes expected.
        for (const Beside& b : besides) {
            bool found = false;
            for (const auto& [rel, stamp] : now)
                if (!last.count(rel) && rel.startsWith(b.folder + QLatin1Char('/')) &&
                    rel.contains(QString::fromUtf8("(otra versión")) && bytesAt(rel) == b.bytes) {
                    last[rel] = stamp;
                    found = true;
                    ++kept;
                    break;
                }
            ASSERT_TRUE(found) << "no other version kept in " << b.folder.toStdString()
                               << "\nafter:" << trace.toStdString();
        }
        // After a copy of the disk the same files stand under other inodes.
        const auto same = [this](const Stamp& a, const Stamp& b) {
            return copiedFolder ? a.size == b.size && a.mtime == b.mtime && a.mode == b.mode : a == b;
        };
        for (const auto& [rel, bytes] : expected) {
            ++writesChecked;
            if (bytes) {
                ASSERT_EQ(bytesAt(rel), *bytes) << rel.toStdString() << "\nafter:" << trace.toStdString();
            } else {
                ASSERT_FALSE(now.count(rel))
                    << rel.toStdString() << " not removed\nafter:" << trace.toStdString();
            }
        }
        std::set<QString> names;
        for (const auto& [k, v] : last)
            names.insert(k);
        for (const auto& [k, v] : now)
            names.insert(k);
        for (const QString& rel : names) {
            const auto a = last.find(rel);
            const auto b = now.find(rel);
            if (a != last.end() && b != now.end() && same(a->second, b->second)) continue;
            if (inHistory(rel)) {
                // A kept text is never changed, only thinned away; a new one holds what its
                // file held before this step replaced or removed it (or tried to: a save that
                // fails after keeping leaves the file as it was).
                if (b == now.end() || S_ISDIR(b->second.mode)) continue;
                const QString of = rel.mid(layout::kHistory.size() + 1).section(QLatin1Char('/'), 0, -2);
                const auto before = lastBytes.find(of);
                EXPECT_TRUE(a == last.end() && before != lastBytes.end() && before->second == bytesAt(rel))
                    << "history: " << rel.toStdString() << " (" << what.toStdString()
                    << ")\nafter:" << trace.toStdString();
                ++keptInHistory;
                continue;
            }
            if (expected.count(rel) || allowedNew.contains(rel)) continue;
            if (allowExport && rel == QLatin1String("texto.txt")) continue;
            if (rel == recovery::fileNameOf(thisComputer()))
                continue; // checked when the program starts again after a crash
            if (copiedFolder && rel == QLatin1String(".quelora.lock")) continue;
            ADD_FAILURE() << "changed though no action named it: " << rel.toStdString() << " «"
                          << bytesAt(rel).left(80).toStdString() << "» (" << what.toStdString()
                          << ")\nafter:" << trace.toStdString();
        }
        ASSERT_EQ(outside(), QStringList{}) << trace.toStdString();
        last = now;
        remember(now);
    }

    // ---- random input ----
    QRandomGenerator rng;
    int pick(int n) { return static_cast<int>(rng.bounded(n)); }
    QString randomText(bool multiLine) {
        static const QString letters = QString::fromUtf8("abcdeghilmnoprstu ÁÉÍÓÚáéíóúñÑ¿¡€ü.,");
        QString t;
        const int n = pick(14);
        for (int i = 0; i < n; ++i) {
            const int r = pick(40);
            if (multiLine && r == 0)
                t += QLatin1Char('\n');
            else if (r == 1)
                t += QChar(0x0151); // ő: no place in Windows-1252, saved as "?"
            else
                t += letters[pick(letters.size())];
        }
        return t;
    }
    QString randomName() {
        static const QStringList names = {QString::fromUtf8("García"), QString::fromUtf8("Núñez"),
                                          QStringLiteral("Ruiz"),      QStringLiteral("Gallego"),
                                          QStringLiteral("ortega"),    QStringLiteral("Ortega")};
        return names[pick(names.size())];
    }

    void typeInto(TextBox* box, bool multiLine) {
        step(QStringLiteral("click into box"), [&] { clickInto(box); });
        if (!box->hasFocus()) return;
        if (box == form->Text1 && !box->isReadOnly()) {
            diaryArmed = true;
            diaryCaption = form->Label2->text();
        }
        typeHere(box, multiLine);
    }

    // Typing into the box that has the focus, however it got it.
    void typeHere(TextBox* box, bool multiLine) {
        const QString t = randomText(multiLine);
        const QString before = box->text();
        step(QStringLiteral("type «%1»").arg(t), [&] { typeText(box, t); });
        if (box->text() == before) return;
        if (box == form->Text1 && !diaryArmed) {
            diaryArmed = true; // typing arms the save as a click does
            diaryCaption = form->Label2->text();
        }
        if (box == form->Text6) noteChanged = true;
        typed.insert(box);
    }

    // What pressing button b writes by itself, taken as the press lands (after the box
    // that had the focus saved itself).
    void buttonEffects(FlatButton* b) {
        Form1& f = *form;
        for (int k = 0; k < 2; ++k) {
            if (b != f.Command11[k] || !b->isEnabled() || !f.Frame1[0]->isEnabled()) continue;
            // The day whose texts the box shows, whatever the month list says now.
            const QString name = dayFileOfCaption(k);
            const QString text = f.Text9[k]->text();
            own[name] = text.isEmpty() ? std::nullopt : std::optional(store::encode(text) + "\r\n");
            // Another program's version written since the draft was typed is kept beside.
            if (const auto d = drafts.find(name); d != drafts.end()) {
                if (const auto now = bytesOrNone(name); now && now != d->second.base)
                    besides.push_back({name.section(QLatin1Char('/'), 0, 0), *now});
                drafts.erase(d);
            }
        }
        if (b == f.Command13 && !f.File1->fileName().isEmpty())
            own[QStringLiteral("notas/") + f.File1->fileName()] = std::nullopt;
        // A surname no file name can hold (on Windows too) saves nothing, and says why.
        if (b == f.Command7[0] && !f.Text7[0]->text().isEmpty() &&
            addresses::cardNameProblem(f.Text7[0]->text()).isEmpty()) {
            // A card is named as stored: "?" for what Windows-1252 cannot hold.
            const QString name = store::storedForm(f.Text7[0]->text());
            QByteArray bytes;
            for (TextBox* t : f.Text7)
                bytes += store::encode(t->text()) + "\r\n";
            QString group;
            for (const QString& g :
                 QDir(at(QStringLiteral("direcciones"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (g.toUpper() == f.Combo3->currentText().toUpper()) group = g;
            // A card replaces the one whose name differs only in letter case.
            const auto stored = [&](const QString& folder) {
                const QStringList files = QDir(at(folder)).entryList(QDir::Files);
                if (files.contains(name)) return folder + QLatin1Char('/') + name;
                for (const QString& n : files)
                    if (n.toUpper() == name.toUpper()) return folder + QLatin1Char('/') + n;
                return folder + QLatin1Char('/') + name;
            };
            QStringList targets;
            if (!group.isEmpty()) targets << stored(QStringLiteral("direcciones/") + group);
            targets << stored(QStringLiteral("direcciones/Todos"));
            // Another person's card of that name is never replaced.
            bool another = false;
            for (const QString& rel : targets)
                if (const auto there = bytesOrNone(rel); there && *there != bytes)
                    another = another || (cardKnown && !cardKnown->count(rel.toUpper()));
            cardSave = {targets, bytes, another};
            for (const QString& rel : targets)
                own[rel] = bytes;
        }
        if (b == f.Command7[1]) cardKnown = std::set<QString>();
        if (b == f.Command7[2] && !f.File2->fileName().isEmpty())
            own[QDir(data()).relativeFilePath(f.File2->path()) + QLatin1Char('/') + f.File2->fileName()] =
                std::nullopt;
        if (b == f.Command9) allowExport = true;
        if (b == f.Command10) { // leaving writes what is held
            exitPressed = true;
            for (const auto& [rel, bytes] : held)
                own[rel] = bytes;
            held.clear();
        }
    }

    // The holiday (0) or reminder (1) file of the day the caption names.
    QString dayFileOfCaption(int k) const {
        const QStringList words =
            form->Label2->text().section(QStringLiteral(", "), 1).split(QLatin1Char(' '));
        if (words.size() < 3) return {};
        return QStringLiteral("%1/%2 de %3.txt")
            .arg(k ? QStringLiteral("recordatorio") : QStringLiteral("fiestas"), words[0], words[2]);
    }

    // The card save under way: its files, its bytes, and whether it must be refused.
    struct CardSave {
        QStringList targets;
        QByteArray bytes;
        bool refused = false;
    };
    std::optional<CardSave> cardSave;
    bool cardSaveStep = false; // the step saved the card (or was refused)
    // After the press: a refused save writes nothing and keeps the fields; a save made
    // makes its files the card's own.
    void cardSaved(int messagesBefore) {
        if (!cardSave) return;
        cardSaveStep = true;
        bool told = false;
        for (int i = messagesBefore; i < platform.messages.size(); ++i)
            told = told || platform.messages[i].contains(QStringLiteral("ya hay otra ficha"));
        if (cardKnown) {
            EXPECT_EQ(told, cardSave->refused)
                << "card refusal: " << cardSave->targets.join(u',').toStdString() << " known "
                << QStringList(cardKnown->begin(), cardKnown->end()).join(u',').toStdString()
                << "\nafter:" << trace.toStdString();
        }
        if (told) {
            ++cardsRefused;
            for (const QString& rel : cardSave->targets)
                own.erase(rel);
        } else {
            ++cardsSaved;
            cardKnown = std::set<QString>();
            for (const QString& rel : cardSave->targets)
                cardKnown->insert(rel.toUpper());
        }
        cardSave.reset();
    }

    // A button pressed with the mouse (through the window) or with Return.
    void pressButton(FlatButton* b, bool byKey) {
        const int editors = platform.editorRequests.size();
        const int messagesBefore = platform.messages.size();
        step(QStringLiteral("%1 %2").arg(byKey ? QStringLiteral("Return on") : QStringLiteral("click"),
                                         b->accessibleName()),
             [&] {
                 const bool deletes = b == form->Command7[2] && !cardBox()->unsaved();
                 if (byKey) {
                     buttonEffects(b);
                     pressKey(b, Qt::Key_Return);
                 } else {
                     QWindow* w = form->windowHandle();
                     const QPoint p = b->mapTo(form.get(), b->rect().center());
                     QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
                     buttonEffects(b);
                     QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
                     settle();
                 }
                 cardSaved(messagesBefore);
                 if (deletes && cardFields() == std::array<QString, 7>{}) cardKnown = std::set<QString>();
             });
        if (b == form->Command9) {
            ASSERT_EQ(platform.editorRequests.size(), editors + 1);
            ASSERT_EQ(bytesAt(QStringLiteral("texto.txt")), exportBytes()) << trace.toStdString();
        }
        if (b == form->Command12) { // minimised: the user brings the window back
            form->showNormal();
            QApplication::setActiveWindow(form.get());
            settle();
        }
    }

    // The control a point of the window belongs to.
    QWidget* controlAt(const QPoint& p) const {
        for (QWidget* w = form->childAt(p); w && w != form.get(); w = w->parentWidget())
            if (qobject_cast<FlatButton*>(w) || qobject_cast<TextBox*>(w) || qobject_cast<FileList*>(w) ||
                qobject_cast<QComboBox*>(w))
                return w;
        return nullptr;
    }

    // Input a person gives without looking: the wheel anywhere, Tab, Escape, Return,
    // clicks anywhere in the window.
    void blindAction() {
        Form1& f = *form;
        switch (pick(6)) {
        case 5: {
            // The search: opened with Ctrl+F from wherever the focus is, a word typed,
            // then closed with Escape or a result shown by Return or a click.
            static const QStringList words = {QStringLiteral("a"), QString::fromUtf8("mañana"),
                                              QStringLiteral("ruiz"), QStringLiteral("e"),
                                              QStringLiteral("zz")};
            const QString w = words[pick(words.size())];
            QWidget* from = focused() ? focused() : form.get();
            step(QStringLiteral("Ctrl+F"), [&] {
                pressKey(qobject_cast<QComboBox*>(from) ? static_cast<QComboBox*>(from)->lineEdit() : from,
                         Qt::Key_F, Qt::ControlModifier);
            });
            step(QStringLiteral("search «%1»").arg(w), [&] { typeText(f.SearchText, w); });
            const int how = pick(4);
            if (how == 3) {
                // Left by a click on the calendar or a panel button: it closes first.
                QList<QWidget*> targets;
                for (FlatButton* b : f.Command1)
                    if (b->isVisible()) targets << b;
                for (FlatButton* b : f.Command4)
                    targets << b;
                for (FlatButton* b : f.Command6)
                    targets << b;
                QWidget* target = targets[pick(targets.size())];
                step(QStringLiteral("click %1 over the search").arg(target->accessibleName()),
                     [&] { click(target); });
                ASSERT_FALSE(f.SearchPanel->isVisible()) << trace.toStdString();
            } else if (how == 0 || f.SearchResults->count() == 0)
                step(QStringLiteral("Escape the search"), [&] { pressKey(f.SearchText, Qt::Key_Escape); });
            else if (how == 1)
                step(QStringLiteral("Return on the first result"),
                     [&] { pressKey(f.SearchText, Qt::Key_Return); });
            else
                step(QStringLiteral("click on a result"), [&] {
                    const int row = pick(f.SearchResults->count());
                    clickRow(f.SearchResults, row);
                });
            // A note shown from the search was loaded into the editor: it counts as changed.
            if (f.Frame1[4]->isVisible() && QApplication::focusWidget() == f.File1) {
                noteChanged = true;
                noteName = f.File1->fileName();
                noteStale = false;
            }
            break;
        }
        case 0: {
            QList<QWidget*> shown;
            for (QWidget* w : f.findChildren<QWidget*>())
                if (w->isVisible() && controlAt(w->mapTo(form.get(), w->rect().center())) == w) shown << w;
            if (shown.isEmpty()) return;
            QWidget* w = shown[pick(shown.size())];
            const int notches = pick(2) ? 1 + pick(3) : -1 - pick(3);
            step(QStringLiteral("wheel %1 over %2").arg(notches).arg(w->accessibleName()),
                 [&] { wheel(w, notches); });
            break;
        }
        case 1: {
            QWidget* from = focused() ? focused() : form.get();
            const bool back = pick(2);
            step(back ? QStringLiteral("Shift+Tab") : QStringLiteral("Tab"), [&] {
                pressKey(from == f.Combo1 || from == f.Combo2 || from == f.Combo3
                             ? static_cast<QComboBox*>(from)->lineEdit()
                             : from,
                         back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            });
            if (auto* box = qobject_cast<TextBox*>(focused()); box && pick(2))
                typeHere(box, box->isMultiLine());
            break;
        }
        case 2:
            if (QWidget* w = focused()) step(QStringLiteral("Escape"), [&] { pressKey(w, Qt::Key_Escape); });
            break;
        case 3:
            if (auto* b = qobject_cast<FlatButton*>(focused()); b && b != f.Command10) pressButton(b, true);
            break;
        case 4: {
            const QPoint p(pick(f.width()), pick(f.height()));
            QWidget* c = controlAt(p);
            if (auto* b = qobject_cast<FlatButton*>(c)) {
                if (b != f.Command10) pressButton(b, false);
            } else if (auto* box = qobject_cast<TextBox*>(c)) {
                if (box->isEnabled()) typeInto(box, box->isMultiLine());
            } else if (!qobject_cast<FileList*>(c)) { // rows are clicked by their own actions
                step(QStringLiteral("click at %1,%2").arg(p.x()).arg(p.y()), [&] {
                    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, p);
                    settle();
                });
                if (QApplication::activePopupWidget())
                    step(QStringLiteral("Escape the drop-down"),
                         [&] { pressKey(QApplication::activePopupWidget(), Qt::Key_Escape); });
                if (f.SearchPanel &&
                    f.SearchPanel->isVisible()) // the click was on the date: the search opened
                    step(QStringLiteral("Escape the search"),
                         [&] { pressKey(f.SearchText, Qt::Key_Escape); });
            }
            break;
        }
        }
    }

    void action() {
        Form1& f = *form;
        switch (pick(34)) {
        case 0:
        case 1: {
            QList<FlatButton*> days;
            for (FlatButton* b : f.Command1)
                if (b->isVisible()) days << b;
            FlatButton* b = days[pick(days.size())];
            step(QStringLiteral("day %1").arg(b->text()), [&] { click(b); });
            break;
        }
        case 2: {
            const int m = pick(12);
            step(QStringLiteral("month button %1").arg(m), [&] { click(f.Command4[m]); });
            break;
        }
        case 3: {
            const int year = f.Command2[0]->text().toInt();
            const int arrow = year > 2030 ? 1 : year < 1985 ? 0 : pick(2);
            step(QStringLiteral("year arrow %1").arg(arrow), [&] { click(f.Command3[arrow]); });
            break;
        }
        case 4: {
            const int m = pick(12);
            step(QStringLiteral("month list %1").arg(m), [&] { pickFromList(f.Combo1, m); });
            break;
        }
        case 5: {
            const int y = 100 + pick(15);
            step(QStringLiteral("year list %1").arg(y), [&] { pickFromList(f.Combo2, y); });
            break;
        }
        case 6:
            step(QStringLiteral("HOY"), [&] { click(f.Command5); });
            break;
        case 7:
        case 8: {
            const int k = pick(6);
            step(QStringLiteral("panel %1").arg(k), [&] { click(f.Command6[k]); });
            break;
        }
        case 9:
        case 10:
            if (f.Frame1[0]->isVisible() && f.Text1->isEnabled()) typeInto(f.Text1, true);
            break;
        case 11:
            if (f.Frame1[0]->isVisible() && f.Frame1[0]->isEnabled()) {
                const int k = pick(2);
                typeInto(f.Text9[k], true);
                pressButton(f.Command11[k], false);
            }
            break;
        case 12:
        case 13:
            if (f.Frame1[1]->isVisible()) typeInto(f.Text2[pick(7)], true);
            break;
        case 14:
            if (f.Frame1[4]->isVisible()) typeInto(f.Text6, true);
            break;
        case 15:
            if (f.Frame1[4]->isVisible() && f.File1->count() > 0) {
                const int row = pick(f.File1->count());
                step(QStringLiteral("note %1").arg(row), [&] { clickRow(f.File1, row); });
                noteChanged = true;
                noteName = f.File1->fileName();
                noteStale = false;
            }
            break;
        case 16:
            if (f.Frame1[4]->isVisible() && pick(3) == 0) pressButton(f.Command13, false);
            break;
        case 17:
            platform.clock = platform.clock.addSecs(60 * pick(90));
            break;
        case 18:
        case 19:
            if (f.Frame1[5]->isVisible()) {
                const int i = pick(7);
                if (i == 0) {
                    const QString name = randomName();
                    step(QStringLiteral("click APELLIDOS"), [&] { clickInto(f.Text7[0]); });
                    step(QStringLiteral("APELLIDOS %1").arg(name), [&] {
                        pressKey(f.Text7[0], Qt::Key_A, Qt::ControlModifier);
                        typeText(f.Text7[0], name);
                    });
                } else {
                    typeInto(f.Text7[i], i == 6);
                }
                // Often saved at once, as a card is: in its group, or over another of its name.
                if (pick(2)) pressButton(f.Command7[0], false);
            }
            break;
        case 20:
            if (f.Frame1[5]->isVisible()) pressButton(f.Command7[pick(4)], false);
            break;
        case 21:
            if (f.Frame1[5]->isVisible()) {
                const int what = pick(3);
                if (what == 0 && f.File2->count() > 0) {
                    const int row = pick(f.File2->count());
                    step(QStringLiteral("card %1").arg(row), [&] { clickRow(f.File2, row); });
                } else if (what == 1) {
                    static const QStringList groups = {QStringLiteral("Amigos"), QStringLiteral("Trabajo"),
                                                       QString::fromUtf8("Familia Pérez")};
                    const QString g = groups[pick(groups.size())];
                    step(QStringLiteral("click group field"), [&] { click(f.Combo3); });
                    step(QStringLiteral("group %1-").arg(g), [&] {
                        allowedNew << QStringLiteral("direcciones/") + g;
                        pressKey(f.Combo3->lineEdit(), Qt::Key_A, Qt::ControlModifier);
                        typeText(f.Combo3->lineEdit(), g + QLatin1Char('-'));
                    });
                } else if (f.Combo3->count() > 0) {
                    const int row = pick(f.Combo3->count());
                    step(QStringLiteral("group list %1").arg(row), [&] { pickFromList(f.Combo3, row); });
                }
            }
            break;
        case 22:
            if (f.Frame1[5]->isVisible()) {
                static const QStringList searches = {QString(), QStringLiteral("g"), QStringLiteral("R"),
                                                     QString::fromUtf8("nú")};
                const QString s = searches[pick(searches.size())];
                step(QStringLiteral("click search"), [&] { clickInto(f.Text8); });
                step(QStringLiteral("search %1").arg(s), [&] {
                    pressKey(f.Text8, Qt::Key_A, Qt::ControlModifier);
                    pressKey(f.Text8, Qt::Key_Delete);
                    if (!s.isEmpty()) typeText(f.Text8, s);
                });
            }
            break;
        case 23: {
            const int r = pick(20);
            if (r == 0) {
                step(
                    QStringLiteral("close and start again"),
                    [&] {
                        allowExport = true;
                        // Held once for what is not saved, the second close keeps it for
                        // the next start.
                        if (!form->close()) form->close();
                        form.reset();
                        open(platform.clock.date(), platform.clock.time());
                    },
                    true);
                diaryArmed = noteChanged = noteStale = false;
                typed.clear();
                noteName.clear();
                startedAgain();
            } else if (r == 1) {
                pressButton(f.Command10, false);
            } else {
                pressButton(f.Command9, false);
            }
            break;
        }
        case 24:
        case 25:
            outsideChange();
            break;
        case 26:
            injectFault();
            break;
        case 27: {
            // Mostly while something is typed and unsaved: that is what a crash can cost.
            TextBox* box = focusedBox();
            const bool typing = box && typed.count(box);
            if (typing || !held.empty() || pick(8) == 0) crash();
            break;
        }
        case 28: {
            // A month or a year typed into its list, not picked: what follows is saved
            // where the boxes' texts came from, whatever the lists say.
            static const QStringList texts = {QStringLiteral("ABRIL"), QStringLiteral("MAYO"),
                                              QStringLiteral("2008"),  QStringLiteral("abc"),
                                              QStringLiteral("MARZO"), QStringLiteral("2007")};
            const QString text = texts[pick(texts.size())];
            QComboBox* list = text.at(0).isDigit() || text == QLatin1String("abc") ? f.Combo2 : f.Combo1;
            step(QStringLiteral("type «%1» into a list").arg(text), [&] { paste(list, text); });
            break;
        }
        default:
            blindAction();
            break;
        }
    }

    // ---- the world intrudes ----

    // The files that boxes the user has changed show: another program writing them now
    // would be a version a save keeps beside, which these changes leave to their own step.
    std::set<QString> editedFiles() const {
        std::set<QString> out;
        for (const TextBox* b : typed)
            if (const QString page = pageOfBox(b); !page.isEmpty()) out.insert(page);
        for (int k = 0; k < 2; ++k)
            if (form->Text9[k]->isModified()) out.insert(dayFileOfCaption(k));
        for (const auto& [rel, bytes] : held) // a text still to be saved there
            out.insert(rel);
        return out;
    }
    // The files boxes show: deleting one leaves its box as it is, which is the box's text then.
    std::set<QString> shownFiles() const {
        std::set<QString> out = editedFiles();
        out.insert(pageOf(form->Label2->text()));
        out.insert(pageOf(diaryCaption));
        for (const QLabel* l : form->Label3)
            out.insert(pageOf(l->text()));
        for (int k = 0; k < 2; ++k)
            out.insert(dayFileOfCaption(k));
        return out;
    }

    // Another program rewrites, adds or deletes a page, a note or a day text between two
    // gestures; or rewrites the very page being typed into, whose version the leave then
    // keeps beside.
    void outsideChange() {
        Form1& f = *form;
        const QByteArray bytes = QStringLiteral("de fuera %1").arg(outsideChanges + 1).toLatin1();
        TextBox* box = focusedBox();
        if (box && typed.count(box) && !pageOfBox(box).isEmpty() && faultOn.isEmpty() && pick(2) == 0) {
            const QString page = pageOfBox(box);
            ++outsideChanges;
            step(QStringLiteral("another program rewrites %1").arg(page), [&] {
                byOtherProgram = true;
                putAt(page, bytes);
                own[page] = bytes;
                settle();
            });
            besideOnLeave = std::make_pair(page, bytes);
            return;
        }
        QStringList candidates;
        for (const QString& folder : {QStringLiteral("dias"), QStringLiteral("notas"),
                                      QStringLiteral("fiestas"), QStringLiteral("recordatorio")})
            for (const QString& name : QDir(at(folder)).entryList(QDir::Files))
                candidates << folder + QLatin1Char('/') + name;
        // New files too: a page of the week on show, a note of this very minute.
        candidates << pageOf(f.Label3[pick(7)]->text())
                   << QStringLiteral("notas/") + notes::noteFileName(platform.clock);
        const QString rel = candidates[pick(candidates.size())];
        if (editedFiles().count(rel) || !calendarNamed(rel)) return;
        const bool remove = pick(3) == 0 && QFileInfo::exists(at(rel)) && !shownFiles().count(rel);
        ++outsideChanges;
        step(QStringLiteral("another program %1 %2")
                 .arg(remove ? QStringLiteral("deletes") : QStringLiteral("writes"), rel),
             [&] {
                 byOtherProgram = true;
                 if (remove) {
                     QFile::remove(at(rel));
                     own[rel] = std::nullopt;
                 } else {
                     putAt(rel, bytes);
                     own[rel] = bytes;
                 }
                 settle();
             });
        if (rel == QStringLiteral("notas/") + noteName) noteStale = true;
    }
    // A name of a real date's page or a note: the week labels before the first fill are none.
    static bool calendarNamed(const QString& rel) {
        return !rel.startsWith(QLatin1String("dias/")) || rel.contains(QLatin1String(" de "));
    }

    // The save of the page being typed into fails half-way at the next leave.
    void injectFault() {
        TextBox* box = focusedBox();
        if (!box || !typed.count(box) || pageOfBox(box).isEmpty() || besideOnLeave) return;
        faultOn = pageOfBox(box);
        writeFaults.failNext(1, QStringLiteral("disco lleno (prueba)"));
    }

    // Killed: the typing pauses, perhaps a few more letters are typed, and the program
    // starts again on the disk exactly as it is. What the pause kept comes back where it
    // was meant; the letters after it are lost; nothing else changes.
    void crash() {
        Form1& f = *form;
        if (!faultOn.isEmpty()) { // a fault meant for a page save, not for the pause
            faultOn.clear();
            writeFaults.failNext(0, QString());
        }
        step(QStringLiteral("the typing pauses"), [&] { f.KeepUnsavedTexts(); });
        Effects expected;
        std::vector<Beside> keptBeside;
        TextBox* box = focusedBox();
        for (const auto& [rel, bytes] : held)
            expected[rel] = bytes;
        if (box && typed.count(box)) {
            const Effects leave = leaveEffects(box);
            for (const auto& [rel, bytes] : leave) {
                if (rel.startsWith(QLatin1String("notas/")))
                    continue; // a note goes to the minute it comes back
                if (besideOnLeave && besideOnLeave->first == rel) {
                    // Changed on disk after it was typed: the page stays, the text goes beside.
                    keptBeside.push_back({QStringLiteral("dias"), *bytes});
                    continue;
                }
                expected[rel] = bytes;
            }
        }
        const bool note = box == f.Text6 && typed.count(box) && !box->text().isEmpty();
        const QByteArray noteBytes = note ? store::encode(box->text()) : QByteArray();
        const std::map<QString, Draft> draftsKept = drafts; // as the pause kept them
        bool card = false;
        std::array<QString, 7> fields;
        for (int i = 0; i < 7; ++i) {
            card = card || f.Text7[i]->isModified();
            fields[i] = f.Text7[i]->text();
        }
        if (box && pick(2)) {
            const QString lost = randomText(false);
            step(QStringLiteral("type «%1» after the pause").arg(lost), [&] { typeText(box, lost); });
        }
        const QString noteRel = QStringLiteral("notas/") + [&] {
            noteName.clear();
            return noteSaveName();
        }();
        step(QStringLiteral("killed, and started again"), [&] {
            crashAndRestart();
            copiedFolder = true;
            allowExport = true;
            besides = keptBeside;
            own = expected;
            if (note) own[noteRel] = noteBytes;
        });
        ++crashes;
        recovered += static_cast<long long>(expected.size()) + (note ? 1 : 0);
        // The drafts of the buttons' boxes are back, unsaved: shown in their boxes, or
        // waiting with their days (the letters after the pause are lost).
        drafts = draftsKept;
        startedAgain();
        followDrafts();
        for (int i = 0; card && i < 7; ++i)
            ASSERT_EQ(form->Text7[i]->text(), fields[i])
                << "card field " << i << "\nafter:" << trace.toStdString();
        diaryArmed = noteChanged = noteStale = false;
        typed.clear();
        noteName.clear();
        held.clear();
        besideOnLeave.reset();
    }

    // The program started again: a draft its file already holds was saved after all; a
    // card given back follows the program's own word on what its save may replace.
    void startedAgain() {
        for (auto it = drafts.begin(); it != drafts.end();)
            it = bytesOrNone(it->first) == store::encode(it->second.text) + "\r\n" ? drafts.erase(it)
                                                                                   : std::next(it);
        if (cardBox()->unsaved())
            cardKnown.reset();
        else
            cardKnown = std::set<QString>();
    }

    // The export of the panel on show, from what the boxes hold.
    QByteArray exportBytes() const {
        const Form1& f = *form;
        for (int k = 0; k < 6; ++k) {
            if (!f.Frame1[k]->isVisible()) continue;
            switch (k) {
            case 0:
                return store::encode(f.Text1->text());
            case 2:
                return store::encode(f.Text3->text());
            case 3:
                return store::encode(f.Text5->text());
            case 4:
                return store::encode(f.Text6->text());
            case 5:
                return QByteArray();
            case 1: {
                QByteArray out;
                for (int i = 0; i < 7; ++i)
                    out += store::encode(f.Label3[i]->text()) + "\r\n" + store::encode(f.Text2[i]->text()) +
                           "\r\n";
                return out;
            }
            }
        }
        return "<no panel>";
    }
};

TEST_F(RandomUse, ThousandsOfSeededActionsLoseNoWordAndTouchNothingElse) {
    const int actions = qEnvironmentVariableIsSet("QUELORA_RANDOM_ACTIONS")
                            ? qEnvironmentVariableIntValue("QUELORA_RANDOM_ACTIONS")
                            : 3000;
    const quint32 seed = qEnvironmentVariableIsSet("QUELORA_RANDOM_SEED")
                             ? static_cast<quint32>(qEnvironmentVariableIntValue("QUELORA_RANDOM_SEED"))
                             : 20070315u;
    rng.seed(seed);
    open();
    last = snapshot();
    remember(last);
    int done = 0;
    for (; done < actions && !HasFatalFailure() && !HasFailure(); ++done) {
        action();
        // Keep the notes folder from growing without end in long runs: saves then
        // fall on minutes that already have a note.
        if (form->File1->count() > 300)
            platform.clock = QDateTime(QDate(2007, 3, 15), QTime(10, 0)).addSecs(60 * pick(300));
        if (done % 10000 == 9999) std::fprintf(stderr, "%d actions, %d files\n", done + 1, int(last.size()));
    }
    std::printf(
        "[ figures ] seed %u: %d actions, %lld steps, %lld expected writes checked byte for byte, "
        "%d files in the data folder at the end; %lld crashes (%lld texts given back), %lld changes "
        "by another program (%lld versions kept beside), %lld failed saves held, %lld holiday or "
        "reminder drafts held with their days, %lld cards saved, %lld saves refused over another card, "
        "%lld earlier texts kept in the history\n",
        seed, done, steps, writesChecked, int(last.size()), crashes, recovered, outsideChanges, kept, faults,
        draftsHeld, cardsSaved, cardsRefused, keptInHistory);
}

} // namespace
