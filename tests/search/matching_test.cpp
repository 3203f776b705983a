// Folding, the captions of hits, the matcher and the excerpt.
#include "search/matching.h"
#include "search/search.h"
#include "store/codepage.h"
#include "support/text.h"

#include <QDate>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace quelora;
using search::detail::Word;

namespace {

using quelora::test::u;

TEST(Fold, CaseAndVowelMarksGoButEnneStays) {
    const struct {
        const char* text;
        const char* folded;
    } rows[] = {
        {"ÁÉÍÓÚÜ áéíóúü", "aeiouu aeiouu"},
        {"àâäã èêë ìîï òôöõ ùû", "aaaa eee iii oooo uu"},
        {"Ñ ñ AÑO", "ñ ñ año"},
        {"Ç ç Œ Š Ž Ÿ", "ç ç œ š ž ÿ"},
        {"e\xcc\x81", "e"}, // e + combining acute, as some keyboards send it
        {"n\xcc\x83", "ñ"}, // n + combining tilde
        {"3 € ¿Qué?", "3 € ¿que?"},
        // Vowels the code page lacks, and marks that compose with nothing.
        {"İSTANBUL İ", "istanbul i"},
        {"Ā ǎ ő Ů ǖ", "a a o u u"},
        {"a\xcc\xb1 e\xcc\x81\xcc\x81", "a e"}, // a + macron below, e + two acutes
        // Letters of their own, whatever the case: no match in the files' code page.
        {"ß ẞ ı ﬁ ń n\xcc\x81", "ß ß ı ﬁ ń ń"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(search::fold(u(r.text)), u(r.folded)) << r.text;
}

TEST(Fold, QueryWordsSplitOnAnyWhiteSpace) {
    EXPECT_EQ(search::queryWords(u("  Año\tNUEVO\r\n café ")),
              QStringList({u("año"), u("nuevo"), u("cafe")}));
    EXPECT_EQ(search::queryWords(u("uno\u00A0dos")), QStringList({u("uno"), u("dos")}));
    EXPECT_TRUE(search::queryWords(u(" \t\n")).isEmpty());
    EXPECT_TRUE(search::queryWords(QString()).isEmpty());
}

TEST(Fold, EveryByteFoldsAsItsCharacter) {
    // The byte table and the character folding agree on all 256 bytes.
    const auto& table = search::detail::foldTable();
    for (int b = 0; b < 256; ++b) {
        const QString c = store::decode(QByteArray(1, static_cast<char>(b)));
        const QString folded = search::fold(c);
        const QByteArray back = store::encode(folded);
        EXPECT_EQ(static_cast<uchar>(back[0]), table[b]) << "byte " << b;
    }
}

TEST(Names, Captions) {
    EXPECT_EQ(search::noteCaption(QDateTime(QDate(2007, 6, 24), QTime(9, 5))), u("Nota del 24/6/2007, 9:05"));
    EXPECT_EQ(search::noteCaption(QDateTime(QDate(2007, 12, 1), QTime(21, 30))),
              u("Nota del 1/12/2007, 21:30"));
    EXPECT_EQ(search::dayTextCaption(search::Kind::Holiday, u("25 de DICIEMBRE.txt")),
              u("Fiesta: 25 de DICIEMBRE"));
    EXPECT_EQ(search::dayTextCaption(search::Kind::Reminder, u("1 de mayo.TXT")),
              u("Recordatorio: 1 de mayo"));
    EXPECT_EQ(search::dayTextCaption(search::Kind::Saint, u("24 de JUNIO.txt")), u("Santo: 24 de JUNIO"));
}

// The plain way: fold every byte, compare at every position.
qsizetype naiveFind(const QByteArray& bytes, const QByteArray& folded) {
    const auto& fold = search::detail::foldTable();
    for (qsizetype s = 0; s + folded.size() <= bytes.size(); ++s) {
        qsizetype k = 0;
        while (k < folded.size() && fold[static_cast<uchar>(bytes[s + k])] == static_cast<uchar>(folded[k]))
            ++k;
        if (k == folded.size()) return s;
    }
    return -1;
}

TEST(Matcher, FindsWhatFoldingEveryByteFinds) {
    // Random texts and words over a small alphabet full of capitals, marked vowels and
    // ñ, of every length around the sixteen-byte blocks the matcher scans.
    const QByteArray alphabet = store::encode(u("aAáÁàäeEéÉiIíoOóÖuUúüÜnNñÑ €\r\n"));
    std::mt19937 random(20241231);
    const auto pick = [&](int n) {
        QByteArray s;
        for (int i = 0; i < n; ++i)
            s += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
        return s;
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray text = pick(static_cast<int>(random() % 70));
        QByteArray word = pick(1 + static_cast<int>(random() % 4));
        // Half the words taken from the text itself, so that many are there.
        if (round % 2 && text.size() > 4)
            word = text.mid(static_cast<qsizetype>(random() % (text.size() - 4)), 1 + round % 4);
        const QString folded = search::fold(store::decode(word));
        const qsizetype expected = naiveFind(text, store::encode(folded));
        ASSERT_EQ(Word(folded).findIn(text.constData(), text.size()), expected)
            << "text " << text.toHex().toStdString() << " word " << folded.toStdString();
        found += expected >= 0;
    }
    EXPECT_GT(found, 5000); // the table did test hits, not only misses
}

TEST(Matcher, TheRangesOfACharacterHoldExactlyTheBytesFoldingToIt) {
    const auto& fold = search::detail::foldTable();
    for (int c = 0; c < 256; ++c) {
        if (fold[c] != c) continue; // only folded characters are looked for
        const Word::Ranges ranges = Word::rangesFor(static_cast<uchar>(c));
        for (int v = 0; v < 256; ++v) {
            const bool passes = std::any_of(ranges.begin(), ranges.end(), [&](const Word::Range& r) {
                return static_cast<uchar>((v | r.mask) - r.low) <= r.span;
            });
            ASSERT_EQ(passes, fold[v] == c) << "character " << c << " byte " << v;
        }
    }
    EXPECT_EQ(Word::rangesFor('a').size(), 2u); // a A, and à..å À..Å
    EXPECT_EQ(Word::rangesFor('m').size(), 1u); // m M
}

TEST(Matcher, WordsTheFilesCannotHoldMatchNothing) {
    const QByteArray text = store::encode(u("Ωmega ω")); // "?mega ?" on disk
    EXPECT_EQ(Word(search::fold(u("ω"))).findIn(text.constData(), text.size()), -1);
    EXPECT_EQ(Word(search::fold(u("mega"))).findIn(text.constData(), text.size()), 1);
    const std::vector<Word> words = search::detail::compileQuery({u("mega"), u("ω")});
    EXPECT_EQ(search::detail::findAll(words, text).at, -1);
}

TEST(Matcher, FindAllGivesTheEarliestWord) {
    const QByteArray text = store::encode(u("Hoy fui al MÉDICO y después al café"));
    const auto found = search::detail::findAll(search::detail::compileQuery({u("cafe"), u("medico")}), text);
    EXPECT_EQ(found.at, 11);
    EXPECT_EQ(found.length, 6);
}

TEST(Excerpt, OneLineAroundTheHitCutAtBlanks) {
    const QString longText =
        u("Primera línea del día.\r\nSegunda línea con más palabras que contar aquí mismo,\r\n\r\n"
          "y la tercera trae por fin al MÉDICO de cabecera, que llegó tarde otra vez como siempre "
          "hace los jueves por la tarde.");
    const struct {
        QString text;
        const char* hit;
        const char* excerpt;
    } rows[] = {
        {u("Fui al MÉDICO."), "MÉDICO", "Fui al MÉDICO."},
        {u("MÉDICO\r\nhoy"), "MÉDICO", "MÉDICO hoy"},
        {u("\r\n\r\n  Fui\tal\r\nMÉDICO  \r\n"), "MÉDICO", "Fui al MÉDICO"},
        // A quarter of the line before the hit, the rest after it.
        {longText, "MÉDICO",
         "…trae por fin al MÉDICO de cabecera, que llegó tarde otra vez como siempre hace…"},
        {longText, "Primera",
         "Primera línea del día. Segunda línea con más palabras que contar aquí mismo,…"},
        {longText, "jueves",
         "…de cabecera, que llegó tarde otra vez como siempre hace los jueves por la tarde."},
    };
    for (const auto& r : rows) {
        const QByteArray bytes = store::encode(r.text);
        const qsizetype at = bytes.indexOf(store::encode(u(r.hit)));
        ASSERT_GE(at, 0);
        const auto ex = search::detail::makeExcerpt(bytes, at, u(r.hit).size());
        EXPECT_EQ(ex.text, u(r.excerpt)) << r.hit;
        EXPECT_EQ(ex.text.mid(ex.start, ex.length), u(r.hit));
        EXPECT_LE(ex.text.size(), search::kExcerptLength + 2);
    }
}

} // namespace
