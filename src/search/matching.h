#pragma once
// Inside the search: matching works on the files' own Windows-1252 bytes, kept as
// read. Folding maps each byte to the byte of its folded character, one to one, so a
// hit's position is the same in the folded and in the real text, and the kept bytes
// serve both the matching and the excerpt.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace quelora::search::detail {

// Every byte of the code page mapped to the byte of its folded character.
const std::array<uchar, 256>& foldTable();

// One folded query word, looked for in file bytes.
class Word {
public:
    // A word with a character that has no byte in the code page matches nothing.
    explicit Word(const QString& foldedWord);
    // The first position where the file bytes fold to the word, or -1.
    qsizetype findIn(const char* bytes, qsizetype size) const;
    qsizetype length() const { return folded_.size(); }

    // The bytes that fold to one character, as tests "(byte | mask) - low <= span",
    // any of which may hold: a letter and its capital make one test, a vowel and its
    // marked forms two.
    struct Range {
        uchar mask = 0;
        uchar low = 0;
        uchar span = 0;
    };
    using Ranges = std::vector<Range>;
    static Ranges rangesFor(uchar folded);

private:
    bool verifyAt(const uchar* p, qsizetype start) const;

    QByteArray folded_;
    bool matchable_ = true;
    // Two positions of the word, the rarest letters, looked for first.
    qsizetype anchor1_ = 0, anchor2_ = 0;
    Ranges ranges1_, ranges2_;
};

// The words of a query, longest first (the likeliest to rule a text out soonest).
std::vector<Word> compileQuery(const QStringList& foldedWords);

// Where the earliest of the words stands; {-1, 0} when any word is missing.
struct Found {
    qsizetype at = -1;
    qsizetype length = 0;
};
Found findAll(const std::vector<Word>& words, const QByteArray& bytes);

// One line of about kExcerptLength characters of bytes around [at, at + length): cut
// at blanks, "…" where text was left out, every run of white space (line ends too)
// shown as one blank.
struct Excerpt {
    QString text;
    int start = 0;
    int length = 0;
};
Excerpt makeExcerpt(const QByteArray& bytes, qsizetype at, qsizetype length);

} // namespace quelora::search::detail
