#include "spelling/spelling.h"

#include "spelling/wordlist.h"
#include "store/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <array>
#include <mutex>
#include <utility>

#ifdef QUELORA_HAVE_NUSPELL
#include <nuspell/dictionary.hxx>
#include <nuspell/finder.hxx>

#include <sstream>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quelora::spelling {

namespace {

bool isWordChar(QChar c) {
    return c.isLetter() || c.isMark() || c.isDigit();
}

bool isApostrophe(QChar c) {
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

// An address, web or e-mail, is one run of non-blank characters.
bool isAddress(QStringView chunk) {
    return chunk.contains(QLatin1Char('@')) || chunk.contains(QLatin1String("://")) ||
           chunk.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
}

bool startsSentence(QStringView text, int at) {
    for (int i = at - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            return true;
        if (c.isSpace() || c == QChar(0x00BF) || c == QChar(0x00A1) || c == QChar(0x00AB) ||
            c == QLatin1Char('"') || c == QChar(0x201C) || c == QLatin1Char('(') || c == QChar(0x2014) ||
            c == QLatin1Char('-'))
            continue;
        return c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?') || c == QChar(0x2026);
    }
    return true;
}

void addWord(QStringView text, int start, int end, std::vector<Word>& out) {
    bool digit = false, lower = false;
    int letters = 0;
    for (int i = start; i < end; ++i) {
        const QChar c = text[i];
        if (c.isDigit()) digit = true;
        if (c.isLetter()) {
            ++letters;
            if (c.isLower()) lower = true;
        }
    }
    if (digit || letters == 0 || (letters > 1 && !lower)) return;
    out.push_back({start, end - start, startsSentence(text, start)});
}

} // namespace

std::vector<Word> wordsToCheck(QStringView text) {
    std::vector<Word> out;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        int chunkEnd = i;
        while (chunkEnd < n && !text[chunkEnd].isSpace())
            ++chunkEnd;
        const QStringView chunk = text.mid(i, chunkEnd - i);
        if (!isAddress(chunk)) {
            int j = i;
            while (j < chunkEnd) {
                while (j < chunkEnd && !isWordChar(text[j]))
                    ++j;
                const int start = j;
                while (j < chunkEnd && (isWordChar(text[j]) || (isApostrophe(text[j]) && j + 1 < chunkEnd &&
                                                                text[j + 1].isLetter() && j > start)))
                    ++j;
                if (j > start) addWord(text, start, j, out);
            }
        }
        i = chunkEnd;
    }
    return out;
}

QStringList readWordList(const QByteArray& bytes) {
    QStringList words;
    for (const QString& line : store::decodeText(bytes).split(QLatin1Char('\n'))) {
        const QString w = line.trimmed();
        if (!w.isEmpty() && !words.contains(w)) words << w;
    }
    return words;
}

QString wordListText(const QStringList& words) {
    QString text;
    for (const QString& w : words)
        text += w + QStringLiteral("\r\n");
    return text;
}

namespace {

// The word with its accents and the tilde of ñ taken off, in lower case: how close
// "manana" is to "mañana" and "telefono" to "teléfono".
QString bare(const QString& word) {
    QString out;
    for (QChar c : word.normalized(QString::NormalizationForm_D))
        if (!c.isMark()) out += c.toLower();
    return out;
}

// How far apart two bare words are in the slips a writer of Spanish makes: 0 the same,
// 1 a letter typed twice or a double typed once ("mercadoo", "aceso"), 2 one letter
// replaced or two neighbours swapped, 3 another letter missing or extra, 4 more.
int slips(QStringView a, QStringView b) {
    if (a == b) return 0;
    if (a.size() == b.size()) {
        qsizetype first = 0, last = a.size() - 1;
        while (a[first] == b[first])
            ++first;
        while (a[last] == b[last])
            --last;
        if (first == last) return 2;
        return last == first + 1 && a[first] == b[last] && a[last] == b[first] ? 2 : 4;
    }
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() != a.size() + 1) return 4;
    qsizetype i = 0;
    while (i < a.size() && a[i] == b[i])
        ++i;
    if (a.sliced(i) != b.sliced(i + 1)) return 4;
    return i > 0 && b[i] == b[i - 1] ? 1 : 3; // a double parts from its single at its second letter
}

} // namespace

QStringList rankSuggestions(const QString& word, const QStringList& suggestions, int most) {
    std::array<QStringList, 5> byRank;
    QSet<QString> seen;
    const QString wordBare = bare(word);
    for (const QString& s : suggestions) {
        if (s == word || s.contains(QLatin1Char('-')) || seen.contains(s)) continue;
        seen.insert(s);
        byRank[slips(wordBare, bare(s))] << s;
    }
    QStringList ranked;
    for (const QStringList& r : byRank)
        ranked += r;
    return ranked.mid(0, most);
}

void Speller::setDictionary(std::shared_ptr<const Dictionary> dictionary) {
    dictionary_ = std::move(dictionary);
    known_.clear();
    Q_EMIT changed();
}

bool Speller::knows(const QString& word) const {
    auto it = known_.constFind(word);
    if (it != known_.constEnd()) return *it;
    const bool k = dictionary_->knows(word);
    // Bounded: a year of typing meets far fewer words than this.
    if (known_.size() > 200000) known_.clear();
    known_.insert(word, k);
    return k;
}

bool Speller::isUnknown(const QString& word, bool sentenceStart) const {
    if (!dictionary_ || word.isEmpty()) return false;
    if (accepted_.contains(word)) return false;
    const QString lower = word.left(1).toLower() + word.mid(1);
    if (lower != word && accepted_.contains(lower)) return false;
    if (knows(word)) return false;
    return !(sentenceStart && lower != word && knows(lower));
}

void Speller::setOwnWords(const QStringList& words) {
    own_ = words;
    accepted_.unite(QSet<QString>(words.begin(), words.end()));
    Q_EMIT changed();
}

void Speller::addOwnWord(const QString& word) {
    if (!own_.contains(word)) own_ << word;
    accepted_.insert(word);
    Q_EMIT changed();
}

void Speller::want() {
    if (dictionary_ || wanted_) return;
    wanted_ = true;
    Q_EMIT needed();
}

void Speller::ignore(const QString& word) {
    accepted_.insert(word);
    Q_EMIT changed();
}

#ifdef QUELORA_HAVE_NUSPELL

namespace {

// What a large structure just freed held goes back to the system, not only to the heap.
void releaseFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Loads the dictionary of an affix file; without its n-gram pass if `quick`.
std::unique_ptr<nuspell::Dictionary> loadNuspell(const QString& aff, bool quick) {
    QFile affFile(aff), dicFile(aff.chopped(4) + QStringLiteral(".dic"));
    if (!affFile.open(QIODevice::ReadOnly) || !dicFile.open(QIODevice::ReadOnly)) return nullptr;
    std::istringstream affText(affFile.readAll().toStdString() + (quick ? "\nMAXNGRAMSUGS 0\n" : ""));
    std::istringstream dicText(dicFile.readAll().toStdString());
    auto d = std::make_unique<nuspell::Dictionary>();
    try {
        d->load_aff_dic(affText, dicText);
    } catch (...) {
        return nullptr;
    }
    return d;
}

QStringList fromStd(const std::vector<std::string>& out) {
    QStringList s;
    for (const std::string& x : out)
        s << QString::fromStdString(x);
    return s;
}

// For a word with nothing within a small edit ("escrivi"): the library compares it with the
// whole dictionary by n-grams, which takes a few tenths of a second (the menu waits for it
// with "Buscando sugerencias…") and 9 MB while it lasts; that copy is loaded for the word and
// let go after it.
QStringList comparedWithEveryWord(const QString& aff, const QString& word) {
    std::vector<std::string> out;
    try {
        if (auto full = loadNuspell(aff, false)) full->suggest(word.toStdString(), out);
    } catch (...) {
        out.clear();
    }
    releaseFreedMemory();
    return fromStd(out);
}

// Checking by the library itself: for dictionaries whose format the word list does not read.
class NuspellDictionary : public Dictionary {
public:
    NuspellDictionary(QString aff, std::unique_ptr<nuspell::Dictionary> quick)
        : aff_(std::move(aff)), quick_(std::move(quick)) {}
    bool knows(const QString& word) const override {
        try {
            return quick_->spell(word.toStdString());
        } catch (...) {
            return true; // a word the library cannot take is not marked
        }
    }
    QStringList suggest(const QString& word, int most) const override {
        std::vector<std::string> out;
        try {
            quick_->suggest(word.toStdString(), out);
        } catch (...) {
            out.clear();
        }
        return rankSuggestions(word, out.empty() ? comparedWithEveryWord(aff_, word) : fromStd(out), most);
    }

private:
    QString aff_;
    std::unique_ptr<nuspell::Dictionary> quick_;
};

// Checking by the compact word list, which is all that stays loaded (about 2 MB against the
// library's 9), and suggesting by it too; the library is loaded only for a word with nothing
// near it, on the menu's worker, and let go after.
class WordListDictionary : public Dictionary {
public:
    WordListDictionary(QString aff, std::unique_ptr<WordList> words) : aff_(std::move(aff)), words_(std::move(words)) {}
    bool knows(const QString& word) const override { return words_->knows(word); }
    QStringList suggest(const QString& word, int most) const override {
        const QStringList near = words_->nearWords(word);
        return rankSuggestions(word, near.isEmpty() ? comparedWithEveryWord(aff_, word) : near, most);
    }

private:
    QString aff_;
    std::unique_ptr<WordList> words_;
};

QString findAff(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (dir.exists(QStringLiteral("es_ES.aff")) && dir.exists(QStringLiteral("es_ES.dic")))
            return dir.filePath(QStringLiteral("es_ES.aff"));
    }
    for (const QString& folder : folders) {
        const QDir dir(folder);
        for (const QString& aff :
             dir.entryList({QStringLiteral("es.aff"), QStringLiteral("es_*.aff")}, QDir::Files, QDir::Name)) {
            const QString base = aff.chopped(4);
            if (dir.exists(base + QStringLiteral(".dic"))) return dir.filePath(aff);
        }
    }
    return {};
}

} // namespace

std::shared_ptr<const Dictionary> loadSpanish(const QStringList& folders) {
    const QString aff = findAff(folders);
    if (aff.isEmpty()) return nullptr;
    static std::mutex mutex;
    static QMap<QString, std::weak_ptr<const Dictionary>> loaded;
    std::lock_guard<std::mutex> lock(mutex);
    if (auto shared = loaded.value(aff).lock()) return shared;
    std::shared_ptr<const Dictionary> d;
    if (auto words = WordList::read(aff)) {
        d = std::make_shared<WordListDictionary>(aff, std::move(words));
    } else {
        // Suggestions come from small edits of the word first (accents, ñ, b/v, a letter
        // more or less, two words run together): comparing it with every word of the
        // dictionary took up to 700 ms a word, too slow for a context menu every time.
        auto quick = loadNuspell(aff, true);
        if (!quick) return nullptr;
        d = std::make_shared<NuspellDictionary>(aff, std::move(quick));
    }
    releaseFreedMemory(); // what reading the files took
    loaded.insert(aff, d);
    return d;
}

QStringList systemDictionaryFolders() {
    // The library names the dictionaries it finds there; their folders are what we need.
    QStringList folders;
    for (const auto& p : nuspell::search_default_dirs_for_dicts()) {
        const QString folder = QFileInfo(QString::fromStdString(p.string())).absolutePath();
        if (!folders.contains(folder)) folders << folder;
    }
    return folders;
}

#else

std::shared_ptr<const Dictionary> loadSpanish(const QStringList&) {
    return nullptr;
}

QStringList systemDictionaryFolders() {
    return {};
}

#endif

} // namespace quelora::spelling
