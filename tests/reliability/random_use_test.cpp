// Seeded random use of the real window. A model follows what must be on disk: after
// every step, each text that left its box (by a focus change, a save button or
// closing) is on disk under the name it had then, byte for byte; no other file of
// the data folder changed; nothing outside the data folder appeared.
//
//   QUELORA_RANDOM_ACTIONS  number of actions (default 3000)
//   QUELORA_RANDOM_SEED     seed (default 20070315)
#include "notes/notes.h"
#include "reliability_fixture.h"
#include "store/codepage.h"

#include <QDirIterator>
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
    Snapshot last;
    long long steps = 0, writesChecked = 0;
    QString trace;          // the last actions, shown when a check fails
    Effects own;            // what the step under way writes by itself
    QStringList allowedNew; // folders a step may create
    bool allowExport = false;

    TextBox* focusedBox() const { return qobject_cast<TextBox*>(QApplication::focusWidget()); }

    // What leaving box `b` now writes.
    Effects leaveEffects(TextBox* b) const {
        Effects e;
        if (!b) return e;
        if (b == form->Text1 && diaryArmed)
            e[QStringLiteral("dias/") + diaryCaption + QStringLiteral(".txt")] = store::encode(b->text());
        for (int i = 0; i < 7; ++i)
            if (b == form->Text2[i] && !b->isReadOnly() && !b->text().isEmpty())
                e[QStringLiteral("dias/") + form->Label3[i]->text() + QStringLiteral(".txt")] =
                    store::encode(b->text());
        if (b == form->Text6 && noteChanged && !b->text().isEmpty())
            e[QStringLiteral("notas/") + notes::noteFileName(platform.clock)] = store::encode(b->text());
        return e;
    }

    void left(TextBox* b) {
        if (b == form->Text1) diaryArmed = false;
        if (b == form->Text6) noteChanged = false;
    }

    // One user gesture, checked against the model.
    void step(const QString& what, const std::function<void()>& gesture, bool closes = false) {
        trace = (trace + QLatin1Char('\n') + what).right(1500);
        if (qEnvironmentVariableIsSet("QUELORA_TRACE")) std::fprintf(stderr, "%s\n", qPrintable(what));
        TextBox* before = focusedBox();
        const Effects onLeave = leaveEffects(before);
        const int messages = platform.messages.size();
        own.clear();
        allowedNew.clear();
        allowExport = false;
        gesture();
        Effects expected;
        if (closes || QApplication::focusWidget() != before) {
            expected = onLeave;
            left(before);
        }
        for (const auto& [k, v] : own)
            expected[k] = v;
        verify(expected, what);
        for (int i = messages; i < platform.messages.size(); ++i)
            ASSERT_FALSE(platform.messages[i].startsWith(QStringLiteral("No se ha")))
                << platform.messages[i].toStdString() << "\nafter:" << trace.toStdString();
        ++steps;
    }

    void verify(const Effects& expected, const QString& what) {
        const Snapshot now = snapshot();
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
            if (a != last.end() && b != now.end() && a->second == b->second) continue;
            if (expected.count(rel) || allowedNew.contains(rel)) continue;
            if (allowExport && rel == QLatin1String("texto.txt")) continue;
            ADD_FAILURE() << "changed though no action named it: " << rel.toStdString() << " ("
                          << what.toStdString() << ")\nafter:" << trace.toStdString();
        }
        ASSERT_EQ(outside(), QStringList{}) << trace.toStdString();
        last = now;
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

    void clickListItem(FileList* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
        settle();
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
    }

    // What pressing button b writes by itself, taken as the press lands (after the box
    // that had the focus saved itself).
    void buttonEffects(FlatButton* b) {
        Form1& f = *form;
        for (int k = 0; k < 2; ++k) {
            if (b != f.Command11[k] || !b->isEnabled() || !f.Frame1[0]->isEnabled()) continue;
            const QString caption = f.Label2->text();
            const QString day = caption.section(QStringLiteral(", "), 1).section(QLatin1Char(' '), 0, 0);
            const QString name = QStringLiteral("%1/%2 de %3.txt")
                                     .arg(k ? QStringLiteral("recordatorio") : QStringLiteral("fiestas"), day,
                                          f.Combo1->currentText());
            const QString text = f.Text9[k]->text();
            own[name] = text.isEmpty() ? std::nullopt : std::optional(store::encode(text) + "\r\n");
        }
        if (b == f.Command13 && !f.File1->fileName().isEmpty())
            own[QStringLiteral("notas/") + f.File1->fileName()] = std::nullopt;
        if (b == f.Command7[0] && !f.Text7[0]->text().isEmpty()) {
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
            if (!group.isEmpty()) own[stored(QStringLiteral("direcciones/") + group)] = bytes;
            own[stored(QStringLiteral("direcciones/Todos"))] = bytes;
        }
        if (b == f.Command7[2] && !f.File2->fileName().isEmpty())
            own[QDir(data()).relativeFilePath(f.File2->path()) + QLatin1Char('/') + f.File2->fileName()] =
                std::nullopt;
        if (b == f.Command9) allowExport = true;
    }

    // A button pressed with the mouse (through the window) or with Return.
    void pressButton(FlatButton* b, bool byKey) {
        const int editors = platform.editorRequests.size();
        step(QStringLiteral("%1 %2").arg(byKey ? QStringLiteral("Return on") : QStringLiteral("click"),
                                         b->accessibleName()),
             [&] {
                 if (byKey) {
                     buttonEffects(b);
                     pressKey(b, Qt::Key_Return);
                     return;
                 }
                 QWindow* w = form->windowHandle();
                 const QPoint p = b->mapTo(form.get(), b->rect().center());
                 QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
                 buttonEffects(b);
                 QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
                 settle();
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
            const int how = pick(3);
            if (how == 0 || f.SearchResults->count() == 0)
                step(QStringLiteral("Escape the search"), [&] { pressKey(f.SearchText, Qt::Key_Escape); });
            else if (how == 1)
                step(QStringLiteral("Return on the first result"),
                     [&] { pressKey(f.SearchText, Qt::Key_Return); });
            else
                step(QStringLiteral("click on a result"), [&] {
                    const int row = pick(f.SearchResults->count());
                    f.SearchResults->scrollToItem(f.SearchResults->item(row)); // as the user scrolls to it
                    clickAt(f.SearchResults->viewport(),
                            f.SearchResults->visualItemRect(f.SearchResults->item(row)).center());
                });
            // A note shown from the search was loaded into the editor: it counts as changed.
            if (f.Frame1[4]->isVisible() && QApplication::focusWidget() == f.File1) noteChanged = true;
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
        switch (pick(30)) {
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
                step(QStringLiteral("note %1").arg(row), [&] { clickListItem(f.File1, row); });
                noteChanged = true;
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
                    step(QStringLiteral("card %1").arg(row), [&] { clickListItem(f.File2, row); });
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
                        form->close();
                        form.reset();
                        open(platform.clock.date(), platform.clock.time());
                    },
                    true);
                diaryArmed = noteChanged = false;
            } else if (r == 1) {
                pressButton(f.Command10, false);
            } else {
                pressButton(f.Command9, false);
            }
            break;
        }
        default:
            blindAction();
            break;
        }
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
    int done = 0;
    for (; done < actions && !HasFatalFailure() && !HasFailure(); ++done) {
        action();
        // Keep the notes folder from growing without end in long runs: saves then
        // fall on minutes that already have a note.
        if (form->File1->count() > 300)
            platform.clock = QDateTime(QDate(2007, 3, 15), QTime(10, 0)).addSecs(60 * pick(300));
        if (done % 10000 == 9999) std::fprintf(stderr, "%d actions, %d files\n", done + 1, int(last.size()));
    }
    std::printf("[ figures ] seed %u: %d actions, %lld steps, %lld expected writes checked byte for byte, "
                "%d files in the data folder at the end\n",
                seed, done, steps, writesChecked, int(last.size()));
}

} // namespace
