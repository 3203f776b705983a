#pragma once
// Spanish spelling: which words of a text the dictionary does not know, and what it
// would write instead. Nothing here touches a widget; the boxes only mark what these
// functions find, and the dictionary is loaded off the UI thread.
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace quelora::spelling {

// A word of a text as the checking sees it.
struct Word {
    int start = 0;
    int length = 0;
    bool sentenceStart =
        false; // only blanks, opening marks (¿ ¡ « ") or nothing since . ! ? or a line's start
};

// The words of text that are checked: runs of letters (accented capitals, ü and ñ are
// letters) with the apostrophes between them. Words holding a digit, words in capitals
// only (captions, acronyms) and web or e-mail addresses are left out.
std::vector<Word> wordsToCheck(QStringView text);

// A loaded Spanish dictionary. Its questions are safe from any thread.
class Dictionary {
public:
    virtual ~Dictionary() = default;
    virtual bool knows(const QString& word) const = 0;
    // What it would write instead, best first (at most `most`).
    virtual QStringList suggest(const QString& word, int most) const = 0;
};

// The Spanish dictionary found first in the folders (es_ES before any other es_*), or
// nothing when none is there or it cannot be read. Slow (about a tenth of a second):
// never on the UI thread. A dictionary already loaded in this process is shared.
std::shared_ptr<const Dictionary> loadSpanish(const QStringList& folders);

// The folders the desktop keeps its spelling dictionaries in.
QStringList systemDictionaryFolders();

// The user's own words as their file keeps them: one a line, Windows-1252, CR LF.
QStringList readWordList(const QByteArray& bytes);
QString wordListText(const QStringList& words); // each word followed by CR LF

// Orders suggestions as a writer of Spanish expects, the closest first: those that differ
// from the word only in accents, ñ, ü or letter case, then a letter typed twice or a
// double typed once, then one letter replaced or two neighbours swapped, then another
// letter missing or extra, then the rest; the dictionary's order within each; no
// hyphenated splits, no repeats.
QStringList rankSuggestions(const QString& word, const QStringList& suggestions, int most);

// What every box asks when it marks its words: the dictionary once it is loaded, the
// user's words and the words ignored for this session. Lives on the UI thread.
class Speller : public QObject {
    Q_OBJECT
public:
    explicit Speller(QObject* parent = nullptr) : QObject(parent) {}
    bool ready() const { return dictionary_ != nullptr; }
    void setDictionary(std::shared_ptr<const Dictionary> dictionary);
    const std::shared_ptr<const Dictionary>& dictionary() const { return dictionary_; }
    // Whether the word is to be marked (nothing is marked before the dictionary is there).
    bool isUnknown(const QString& word, bool sentenceStart) const;
    void setOwnWords(const QStringList& words);
    const QStringList& ownWords() const { return own_; }
    void addOwnWord(const QString& word);
    void ignore(const QString& word);
    // A box has words to check and the dictionary is not there: asked to load it, once.
    // Until then (a window whose boxes are all empty) it costs no memory.
    void want();
    bool wanted() const { return wanted_; }

Q_SIGNALS:
    void changed(); // what is marked may differ: every box marks its words again
    void needed();  // the first want()

private:
    bool knows(const QString& word) const;
    std::shared_ptr<const Dictionary> dictionary_;
    QStringList own_;
    QSet<QString> accepted_; // own words and ignored ones
    mutable QHash<QString, bool> known_;
    bool wanted_ = false;
};

} // namespace quelora::spelling
