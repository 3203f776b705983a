#include "spelling/spelling.h"
#include "store/codepage.h"
#include "support/formfixture.h"

#include <QCoreApplication>

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
    {"ÁNGEL Y MARÍA en la ONU", ""},               // all capitals: captions, acronyms
    {"Él llegó. Éramos tres; Ángel no.", ""},      // accented capitals are letters
    {"el 3er día, 2007, k2 y mp3", ""},            // words with digits
    {"www.ejemplo.es, https://x.org/dias y pepe@correo.es", ""},
    {"Casa grande. Madrid y madrid", "madrid"},    // a name is written with its capital
    {"l'Hospitalet d'Aro", "l'Hospitalet d'Aro"},  // an apostrophe inside a word belongs to it
    {"franco-mercadoo", "mercadoo"},               // a hyphen parts words
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

TEST(Spelling, SuggestionsPutTheAccentedFormFirst) {
    ASSERT_NE(spanish(), nullptr);
    EXPECT_EQ(spanish()->suggest(u("manana"), 6).value(0), u("mañana"));
    EXPECT_EQ(spanish()->suggest(u("telefono"), 6).value(0), u("teléfono"));
    const QStringList s = spanish()->suggest(u("mercadoo"), 6);
    EXPECT_TRUE(s.contains(u("mercado"))) << s.join(QLatin1Char(' ')).toStdString();
    EXPECT_LE(s.size(), 6);
}

TEST(Spelling, TheWordListIsOneWordALineInWindows1252) {
    EXPECT_EQ(store::encode(spelling::wordListText({u("Quelora"), u("Begoña")})), test::cp1252("Quelora\r\nBegoña\r\n"));
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
    for (const QTextEdit::ExtraSelection& s : box->extraSelections())
        if (s.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) words << s.cursor.selectedText();
    return words;
}

class SpellingWindow : public test::FormFixture {
protected:
    void startChecking() {
        platform.dictionaries = spelling::systemDictionaryFolders();
        start();
        ASSERT_TRUE(waitUntil([this] { return form->speller()->ready(); }));
        settle();
    }
};

} // namespace

TEST_F(SpellingWindow, Debug) {
    writeBytes(u("dias/JUEVES, 15 de MARZO de 2007.txt"), test::cp1252("Ayer fuí al mercadoo.\r\n"));
    startChecking();
    EXPECT_EQ(underlined(form->Text1), (QStringList{u("fuí"), u("mercadoo")}));
}
