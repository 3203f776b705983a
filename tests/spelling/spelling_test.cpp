#include "spelling/marks.h"
#include "spelling/spelling.h"
#include "spelling/wordlist.h"
#include "store/codepage.h"
#include "support/formfixture.h"
#include "support/gestures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTextBlock>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QTimer>

#if __has_include(<nuspell/dictionary.hxx>)
#include <nuspell/dictionary.hxx>

#include <sstream>
#endif

using namespace quelora;
using quelora::test::u;

namespace {

std::shared_ptr<const spelling::Dictionary> spanish() {
    static auto d = spelling::loadSpanish(spelling::systemDictionaryFolders());
    return d;
}

// The words of a text that the boxes mark, in order.
QStringList marked(const QString& text) {
    spelling::Speller speller;
    speller.setDictionary(spanish());
    QStringList out;
    for (const spelling::Word& w : spelling::wordsToCheck(text)) {
        const QString word = text.mid(w.start, w.length);
        if (speller.isUnknown(word, w.sentenceStart)) out << word;
    }
    return out;
}

struct Marking {
    const char* text;
    const char* marked; // the marked words, joined by blanks
};

// On the dictionary the program finds on this machine (test.sh installs hunspell-es).
const Marking kMarkings[] = {
    {"El niño comió pingüe cordero con cigüeña.", ""},
    {"Ayer fuí al mercadoo.", "fuí mercadoo"},
    {"¿Qué tal? ¡Muy bien! «Claro», dijo.", ""},
    {"¿Qeu tal?", "Qeu"},
    {"ÁNGEL Y MARÍA en la ONU", ""},          // all capitals: captions, acronyms
    {"Él llegó. Éramos tres; Ángel no.", ""}, // accented capitals are letters
    {"el 3er día, 2007, k2 y mp3", ""},       // words with digits
    {"www.ejemplo.es, https://x.org/dias y pepe@correo.es", ""},
    {"Casa grande. Madrid y madrid", "madrid"},   // a name is written with its capital
    {"l'Hospitalet d'Aro", "l'Hospitalet d'Aro"}, // an apostrophe inside a word belongs to it
    {"franco-mercadoo", "mercadoo"},              // a hyphen parts words
    // stems with a prefix, one or two suffixes, pronouns after the verb
    {"Las fragmentaciones desaparecieron; díselo, reescribiríamos.", ""},
    {"organizasiones desaparesieron dísello", "organizasiones desaparesieron dísello"},
};

} // namespace

TEST(Spelling, TheDictionaryIsFoundAndLoaded) {
    ASSERT_NE(spanish(), nullptr) << "no Spanish dictionary in "
                                  << spelling::systemDictionaryFolders().join(QLatin1Char(' ')).toStdString();
}

TEST(Spelling, WhatIsMarked) {
    ASSERT_NE(spanish(), nullptr);
    for (const Marking& m : kMarkings)
        EXPECT_EQ(marked(u(m.text)).join(QLatin1Char(' ')), u(m.marked)) << m.text;
}

#if __has_include(<nuspell/dictionary.hxx>)
// The word list the boxes check with answers as the spelling library does, on words that
// take every way the affix rules combine, each also with a letter dropped and two swapped;
// and it suggests what the library does.
TEST(Spelling, TheWordListAnswersAsTheLibrary) {
    QString aff;
    for (const QString& folder : spelling::systemDictionaryFolders())
        if (QFileInfo::exists(folder + u("/es_ES.aff"))) aff = folder + u("/es_ES.aff");
    ASSERT_FALSE(aff.isEmpty());
    QFile affFile(aff), dicFile(aff.chopped(4) + u(".dic"));
    ASSERT_TRUE(affFile.open(QIODevice::ReadOnly) && dicFile.open(QIODevice::ReadOnly));
    const QByteArray affBytes = affFile.readAll(), dicBytes = dicFile.readAll();
    const auto words = spelling::WordList::read(aff);
    ASSERT_NE(words, nullptr);
    // As the program once loaded it: suggestions from small edits only.
    std::istringstream affText(affBytes.toStdString() + "\nMAXNGRAMSUGS 0\n"), dicText(dicBytes.toStdString());
    nuspell::Dictionary library;
    library.load_aff_dic(affText, dicText);
    QStringList probes;
    for (const QString& w :
         u("deshacer rehacemos deshicieron fragmentaciones puñetazos circunnavegaciones inmovilizaciones dámelo cómpratelo "
           "antinaturales relanzamientos imposibilidades niñas cantábamos cigüeñas pingüinos Mercado MERCADO "
           "Madrid MADRID madrid Mañana anticonstitucionalmente desaparecieron reescribiríamos inútilmente "
           "escribiéndoselo ilegalidades contraatacaban automovilistas")
             .split(u' ')) {
        probes << w;
        for (qsizetype i = 0; i < w.size(); ++i)
            probes << QString(w).remove(i, 1);
        for (qsizetype i = 0; i + 1 < w.size(); ++i)
            probes << w.left(i) + w[i + 1] + w[i] + w.mid(i + 2);
    }
    int known = 0;
    for (const QString& p : probes) {
        EXPECT_EQ(words->knows(p), library.spell(p.toStdString())) << p.toStdString();
        known += words->knows(p);
    }
    EXPECT_GT(known, 30); // the words themselves, and some of their changes, are words too
    // And the menu offers what the library would have offered.
    for (const QString& w : u("fuy qeremos Manana aceso porfavor vacacaciones dias Arbol haiga").split(u' ')) {
        std::vector<std::string> out;
        library.suggest(w.toStdString(), out);
        QStringList theirs;
        for (const std::string& x : out)
            theirs << QString::fromStdString(x);
        EXPECT_EQ(spelling::rankSuggestions(w, words->nearWords(w), 6), spelling::rankSuggestions(w, theirs, 6))
            << w.toStdString();
    }
}
#endif

TEST(Spelling, SuggestionsPutTheAccentedFormFirst) {
    ASSERT_NE(spanish(), nullptr);
    EXPECT_EQ(spanish()->suggest(u("manana"), 6).value(0), u("mañana"));
    EXPECT_EQ(spanish()->suggest(u("telefono"), 6).value(0), u("teléfono"));
    const QStringList s = spanish()->suggest(u("mercadoo"), 6);
    EXPECT_TRUE(s.contains(u("mercado"))) << s.join(QLatin1Char(' ')).toStdString();
    EXPECT_LE(s.size(), 6);
    // Nothing within a small edit: the whole dictionary is compared with it.
    EXPECT_EQ(spanish()->suggest(u("escrivi"), 6), QStringList{u("escribir")});
}

TEST(Spelling, SuggestionsComeClosestFirst) {
    // The word, the dictionary's suggestions in its order, the four the menu shows.
    const char* rows[][3] = {
        {"fuy", "uy fuy fu-y fu fue fue fui", "fue fui uy fu"},
        {"qeu", "queu qué que", "qué que queu"},
        {"muj", "mujer mu muy mujeres mus", "muy mus mu mujer"},
        {"mercadoo", "mercadeo mercados mercado", "mercado mercadeo mercados"},
        {"aceso", "ceso acenso acceso acaso", "acceso acaso ceso acenso"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(spelling::rankSuggestions(u(r[0]), u(r[1]).split(QLatin1Char(' ')), 4),
                  u(r[2]).split(QLatin1Char(' ')))
            << r[0];
}

TEST(Spelling, TheWordListIsOneWordALineInWindows1252) {
    EXPECT_EQ(store::encode(spelling::wordListText({u("Quelora"), u("Begoña")})),
              test::cp1252("Quelora\r\nBegoña\r\n"));
    EXPECT_EQ(spelling::readWordList(test::cp1252("Quelora\r\n\r\n  Begoña \nQuelora")),
              (QStringList{u("Quelora"), u("Begoña")}));
}

TEST(Spelling, NoDictionaryNoMarks) {
    EXPECT_EQ(spelling::loadSpanish({QCoreApplication::applicationDirPath()}), nullptr);
    spelling::Speller none;
    EXPECT_FALSE(none.isUnknown(u("mercadoo"), false));
}

namespace {

// The words a box shows with the wavy line.
QStringList underlined(TextBox* box) {
    QStringList words;
    for (const QTextCursor& c : box->spellMarks()->ranges())
        words << c.selectedText();
    return words;
}

class SpellingWindow : public test::FormFixture {
public:
    using FormFixture::click;
    using FormFixture::clickInto;
    using FormFixture::crashAndRestart;
    using FormFixture::dayButton;
    using FormFixture::exists;
    using FormFixture::form;
    using FormFixture::path;
    using FormFixture::platform;
    using FormFixture::pressKey;
    using FormFixture::readBytes;
    using FormFixture::settle;
    using FormFixture::start;
    using FormFixture::typeInto;
    using FormFixture::typeText;
    using FormFixture::waitUntil;
    using FormFixture::writeBytes;
    using FormFixture::writeFaults;
    const QString page = u("dias/JUEVES, 15 de MARZO de 2007.txt");
    void startChecking(bool dictionary = true) {
        if (dictionary) platform.dictionaries = spelling::systemDictionaryFolders();
        start();
        // Loaded once a box has words to check: here, what the window shows at start.
        if (dictionary && form->speller()->wanted()) {
            ASSERT_TRUE(waitUntil([this] { return form->speller()->ready(); }));
        }
        settle();
    }
    // The menu of a right click on the word's middle, and `pick` clicked in it.
    QStringList rightClick(TextBox* box, const QString& word, const QString& pick) {
        QTextCursor c(box->document());
        c.setPosition(int(box->document()->toRawText().indexOf(word)) + int(word.size()) / 2);
        return contextMenu(box->viewport(), box->cursorRect(c).center(), pick);
    }
    // The Menu key on the focused box (delivered as the X11 platform turns it into the
    // menu's event); in the menu ↓ until `pick` is active, then Intro. The entry active as
    // the menu opened, which a reader says at once.
    QString menuByKeys(TextBox* box, const QString& pick) {
        QString first;
        QElapsedTimer waited;
        waited.start();
        whileMenuOpen(
            box,
            [&](QMenu* menu) {
                if (!menu->activeAction() && waited.elapsed() > 5000) { // nothing said: closed unused
                    QTest::keyClick(menu, Qt::Key_Escape);
                    return true;
                }
                if (!menu->activeAction() || menu->actions().value(0)->text() == u("Buscando sugerencias…"))
                    return false;
                first = menu->activeAction()->text();
                for (int i = 0; i < 12 && menu->activeAction()->text() != pick; ++i)
                    QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, menu->activeAction()->text() == pick ? Qt::Key_Return : Qt::Key_Escape);
                return true;
            },
            [box] {
                QContextMenuEvent key(QContextMenuEvent::Keyboard, box->cursorRect().center());
                QApplication::sendEvent(box, &key);
            });
        return first;
    }
    // The page written, checking started, the day chosen by keys and F7 pressed in its
    // diary: the first marked word selected.
    TextBox* atFirstMarkedWord(const char* pageText) {
        writeBytes(page, test::cp1252(pageText));
        startChecking();
        pressKey(dayButton(15), Qt::Key_Return);
        pressKey(form->Text1, Qt::Key_F7);
        return form->Text1;
    }
};

using Row = test::Gesture<SpellingWindow>;

const Row kRows[] = {
    // By keys alone: F7 goes to the marked word and says it, the Menu key opens its
    // suggestions on the first one, and a reader finds the word in the text's attributes.
    {"FixAMisspeltWordBySuggestionByKeys",
     [](SpellingWindow& t) {
         TextBox* diary = t.atFirstMarkedWord("Ayer fui al mercadoo.\r\n");
         EXPECT_EQ(diary->textCursor().selectedText(), u("mercadoo"));
         QAccessibleInterface* said = QAccessible::queryAccessibleInterface(diary);
         EXPECT_TRUE(said->text(QAccessible::Description).startsWith(u("Palabra que el diccionario no conoce: «mercadoo»")));
         t.pressKey(diary, Qt::Key_F7); // the only one: found again from the start
         EXPECT_EQ(diary->textCursor().selectionStart(), 12);
         int from = -1, to = -1;
         EXPECT_EQ(said->textInterface()->attributes(14, &from, &to), u("invalid:spelling;"));
         EXPECT_EQ(std::pair(from, to), std::pair(12, 20));
         EXPECT_EQ(said->textInterface()->attributes(2, &from, &to), QString());
         EXPECT_EQ(std::pair(from, to), std::pair(0, 12));
         EXPECT_EQ(t.menuByKeys(diary, u("mercado")), u("mercado"));
         EXPECT_EQ(diary->toPlainText(), u("Ayer fui al mercado.\n"));
     }},
    {"AddAWordByKeys",
     [](SpellingWindow& t) {
         TextBox* diary = t.atFirstMarkedWord("Cena con Begoñita.\r\n");
         t.menuByKeys(diary, u("Añadir al diccionario"));
         EXPECT_TRUE(QAccessible::queryAccessibleInterface(diary)->text(QAccessible::Description).startsWith(
             u("«Begoñita» añadida al diccionario")));
         EXPECT_EQ(t.readBytes(u("diccionario.txt")), test::cp1252("Begoñita\r\n"));
     }},
    {"ASuggestionIsTheUsersOwnEditAndIsUndone",
     [](SpellingWindow& t) {
         t.writeBytes(t.page, test::cp1252("Ayer fui al mercadoo.\r\n"));
         t.startChecking();
         TextBox* diary = t.form->Text1;
         EXPECT_EQ(underlined(diary), QStringList{u("mercadoo")});
         const QStringList menu = t.rightClick(diary, u("mercadoo"), u("mercado"));
         ASSERT_GE(menu.size(), 3);
         EXPECT_EQ(menu.first(), u("mercado"));
         EXPECT_LT(menu.indexOf(u("Añadir al diccionario")), menu.indexOf(u("Ignorar")));
         EXPECT_EQ(diary->toPlainText(), u("Ayer fui al mercado.\n"));
         t.pressKey(diary, Qt::Key_Z, Qt::ControlModifier);
         EXPECT_EQ(diary->toPlainText(), u("Ayer fui al mercadoo.\n"));
         t.rightClick(diary, u("mercadoo"), u("mercado"));
         t.click(t.dayButton(16)); // leaving the box saves what the pick made of it
         EXPECT_EQ(t.readBytes(t.page), test::cp1252("Ayer fui al mercado.\r\n"));
     }},
    {"AWordAddedIsWrittenAndUnmarkedInEveryBox",
     [](SpellingWindow& t) {
         t.writeBytes(t.page, test::cp1252("Cena con Begoñita.\r\n"));
         t.writeBytes(u("recordatorio/15 de MARZO.txt"), test::cp1252("Llamar a Begoñita\r\n"));
         t.startChecking();
         EXPECT_EQ(underlined(t.form->Text9[1]), QStringList{u("Begoñita")});
         t.writeBytes(u("diccionario.txt"),
                      test::cp1252("Quelora\r\n")); // another copy of the folder added one
         // and another computer one more, kept beside by its sync engine
         const QString copy = u("diccionario.sync-conflict-20070315-100000-ABCDEF1.txt");
         t.writeBytes(copy, test::cp1252("Txema\r\n"));
         t.rightClick(t.form->Text1, u("Begoñita"), u("Añadir al diccionario"));
         EXPECT_EQ(t.readBytes(u("diccionario.txt")), test::cp1252("Quelora\r\nTxema\r\nBegoñita\r\n"));
         EXPECT_FALSE(t.exists(copy));
         t.settle();
         EXPECT_TRUE(underlined(t.form->Text1).isEmpty());
         EXPECT_TRUE(underlined(t.form->Text9[1]).isEmpty());
         // Kept in the folder: known again after a restart, in a week box too.
         t.crashAndRestart();
         t.platform.dictionaries = spelling::systemDictionaryFolders();
         ASSERT_TRUE(t.waitUntil([&t] { return t.form->speller()->ready(); }));
         t.click(t.form->Command6[1]);
         t.settle();
         EXPECT_EQ(t.form->Text2[3]->toPlainText(), u("Cena con Begoñita.\n"));
         EXPECT_TRUE(underlined(t.form->Text2[3]).isEmpty());
     }},
    {"AWordListThatCannotBeWrittenIsToldAndTheWordIgnored",
     [](SpellingWindow& t) {
         t.writeBytes(t.page, test::cp1252("Cena con Begoñita.\r\n"));
         t.startChecking();
         t.writeFaults.failNext(1, u("disco lleno"));
         t.rightClick(t.form->Text1, u("Begoñita"), u("Añadir al diccionario"));
         EXPECT_FALSE(t.exists(u("diccionario.txt")));
         t.waitUntil([&t] { return !t.platform.messages.isEmpty(); }, 1000);
         ASSERT_EQ(t.platform.messages.size(), 1);
         EXPECT_TRUE(t.platform.messages[0].contains(u("disco lleno")));
         t.settle();
         EXPECT_TRUE(underlined(t.form->Text1).isEmpty());
     }},
    {"APageShownAndLeftIsNotWrittenNorCountedAsChanged",
     [](SpellingWindow& t) {
         t.writeBytes(t.page,
                      test::cp1252("Ayer fui al mercadoo.\nSin CR.")); // a rewrite would change these bytes
         const QDateTime old(QDate(2001, 1, 1), QTime(0, 0));
         QFile f(t.path(t.page));
         ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(old, QFileDevice::FileModificationTime));
         f.close();
         t.platform.dictionaries = spelling::systemDictionaryFolders();
         t.start();
         QSignalSpy changed(t.form->Text1, &TextBox::changed);
         ASSERT_TRUE(t.waitUntil([&t] { return t.form->speller()->ready(); }));
         t.settle();
         EXPECT_EQ(underlined(t.form->Text1), QStringList{u("mercadoo")});
         EXPECT_EQ(changed.count(), 0);
         EXPECT_FALSE(t.form->Text1->isModified());
         EXPECT_FALSE(t.form->Text1->document()->isUndoAvailable());
         t.clickInto(t.form->Text1);
         t.click(t.dayButton(16));
         EXPECT_EQ(QFileInfo(t.path(t.page)).lastModified(), old);
         EXPECT_TRUE(t.platform.messages.isEmpty());
     }},
    {"AWordIsMarkedOnceItIsTypedToItsEnd",
     [](SpellingWindow& t) {
         t.startChecking();
         EXPECT_FALSE(t.form->speller()->ready()); // every box empty: no dictionary held
         t.click(t.form->Command6[4]);
         t.typeInto(t.form->Text6, u("Hola mercadoo"));
         ASSERT_TRUE(t.waitUntil([&t] { return t.form->speller()->ready(); })); // the first typing loads it
         t.settle();
         EXPECT_TRUE(underlined(t.form->Text6).isEmpty());
         t.typeText(t.form->Text6, u(" y"));
         EXPECT_EQ(underlined(t.form->Text6), QStringList{u("mercadoo")});
         t.rightClick(t.form->Text6, u("mercadoo"), u("Ignorar"));
         t.settle();
         EXPECT_TRUE(underlined(t.form->Text6).isEmpty());
         EXPECT_FALSE(t.exists(u("diccionario.txt")));
     }},
    {"WithoutADictionaryNothingIsMarkedAndTheMenuIsQtsOwn",
     [](SpellingWindow& t) {
         t.writeBytes(t.page, test::cp1252("Ayer fui al mercadoo.\r\n"));
         t.startChecking(false);
         t.waitUntil([] { return false; }, 300); // long enough for a dictionary to load
         EXPECT_TRUE(underlined(t.form->Text1).isEmpty());
         const QStringList menu = t.rightClick(t.form->Text1, u("mercadoo"), QString());
         EXPECT_FALSE(menu.isEmpty());
         EXPECT_FALSE(menu.contains(u("Ignorar")));
         t.typeInto(t.form->Text1, u("Hoy "));
         t.click(t.dayButton(16));
         EXPECT_EQ(t.readBytes(t.page), test::cp1252("Hoy Ayer fui al mercadoo.\r\n"));
     }},
};

class Rows : public SpellingWindow, public ::testing::WithParamInterface<Row> {};

TEST_P(Rows, Run) {
    GetParam().run(*this);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(SpellingWindow, Rows, ::testing::ValuesIn(kRows), test::gestureName<SpellingWindow>);
