#include "spelling/wordlist.h"

#include <QFile>
#include <QList>
#include <QSet>
#include <QString>

#include <algorithm>
#include <functional>
#include <unordered_map>

namespace quelora::spelling {

namespace {

using Text = std::u16string;
using View = std::u16string_view;

View viewOf(const QString& s) {
    return View(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

std::uint32_t hashOf(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (char c : s) {
        h ^= std::uint8_t(c);
        h *= 16777619u;
    }
    return h;
}

std::uint32_t hashStep(std::uint32_t h, char16_t c) {
    return (h ^ c) * 16777619u;
}
constexpr std::uint32_t kHashStart = 2166136261u;

// The longest word a stem is looked for as; longer ones are nobody's words.
constexpr std::size_t kLongest = 100;

// UTF-8 of a word of at most kLongest characters, into a buffer of 3 bytes a character.
std::string_view utf8Of(View s, char* out) {
    char* o = out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), s[++i]);
        if (c < 0x80) {
            *o++ = char(c);
        } else if (c < 0x800) {
            *o++ = char(0xC0 | (c >> 6));
            *o++ = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *o++ = char(0xE0 | (c >> 12));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        } else {
            *o++ = char(0xF0 | (c >> 18));
            *o++ = char(0x80 | ((c >> 12) & 0x3F));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
        }
    }
    return std::string_view(out, std::size_t(o - out));
}

// A root made of part of the word and an affix's strip, on the stack.
class Root {
public:
    Root(View a, View b) : size_(a.size() + b.size()) {
        if (size_ > kLongest) return;
        std::copy(a.begin(), a.end(), buf_);
        std::copy(b.begin(), b.end(), buf_ + a.size());
    }
    bool fits() const { return size_ <= kLongest; }
    View view() const { return View(buf_, size_); }

private:
    std::size_t size_;
    char16_t buf_[kLongest];
};

bool hasFlag(View flags, char16_t f) {
    return flags.find(f) != View::npos;
}

// The characters a condition tests, one a position: "[^cn]er" is three.
int conditionLength(View cond) {
    int n = 0;
    for (std::size_t i = 0; i < cond.size(); ++i, ++n)
        if (cond[i] == u'[') i = std::min(cond.find(u']', i), cond.size());
    return n;
}

// Whether `text` (already at least as long as the condition) matches it from `at` on.
bool conditionMatches(View cond, View text, std::size_t at) {
    for (std::size_t i = 0; i < cond.size(); ++i, ++at) {
        const char16_t c = text[at];
        if (cond[i] == u'.') continue;
        if (cond[i] != u'[') {
            if (cond[i] != c) return false;
            continue;
        }
        const std::size_t end = std::min(cond.find(u']', i), cond.size());
        const bool negated = i + 1 < end && cond[i + 1] == u'^';
        const View set = cond.substr(i + (negated ? 2 : 1), end - i - (negated ? 2 : 1));
        if ((set.find(c) != View::npos) == negated) return false;
        i = end;
    }
    return true;
}

// Each line of a file, from the byte `from` on.
template <typename Each>
void eachLine(const QByteArray& bytes, qsizetype from, Each&& each) {
    for (qsizetype to = 0; from >= 0 && from < bytes.size(); from = to + 1) {
        to = bytes.indexOf('\n', from);
        if (to < 0) to = bytes.size();
        if (!each(QByteArrayView(bytes).sliced(from, to - from))) return;
    }
}

// A line split at blanks.
QList<QStringView> fieldsOf(QStringView line) {
    QList<QStringView> fields;
    for (QStringView f : line.split(u' ', Qt::SkipEmptyParts))
        for (QStringView g : f.split(u'\t', Qt::SkipEmptyParts))
            if (!g.trimmed().isEmpty()) fields << g.trimmed();
    return fields;
}

} // namespace

struct WordList::Order {
    const WordList* w;
    bool suffixes;
    bool less(View a, View b) const {
        return suffixes ? std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend()) : a < b;
    }
    // The word's first or last `n` characters against an affix's append.
    bool operator()(const Affix& a, const Affix& b) const { return less(w->piece(a.append), w->piece(b.append)); }
    bool operator()(const Affix& a, View key) const { return less(w->piece(a.append), key); }
    bool operator()(View key, const Affix& b) const { return less(key, w->piece(b.append)); }
};

std::unique_ptr<WordList> WordList::read(const QString& affPath) {
    QFile affFile(affPath), dic(affPath.chopped(4) + QStringLiteral(".dic"));
    if (!affFile.open(QIODevice::ReadOnly) || !dic.open(QIODevice::ReadOnly)) return nullptr;
    QByteArray aff = affFile.readAll();
    // The encoding first: the rest of the files is read in it.
    QString set;
    eachLine(aff, 0, [&set](QByteArrayView line) {
        if (line.startsWith("SET ")) set = QString::fromLatin1(line.sliced(4)).trimmed();
        return set.isEmpty();
    });
    QString (*decode)(QByteArrayView) = nullptr;
    if (set == QLatin1String("UTF-8"))
        decode = [](QByteArrayView b) { return QString::fromUtf8(b); };
    else if (set == QLatin1String("ISO8859-1"))
        decode = [](QByteArrayView b) { return QString::fromLatin1(b); };
    else
        return nullptr;

    // Read a line at a time, and nothing kept twice: what reading takes is let go at once,
    // so that loading costs hardly more memory than what stays.
    std::unique_ptr<WordList> w(new WordList);
    std::unordered_map<Text, Piece> kept; // each text once in the pool
    auto keep = [&w, &kept](View s) {
        auto [it, added] = kept.try_emplace(Text(s));
        if (added) {
            it->second = {std::uint32_t(w->pool_.size()), std::uint16_t(s.size())};
            w->pool_ += s;
        }
        return it->second;
    };

    bool utf8Flags = false, readable = true;
    // What checking does not use: the suggestions' tables (TRY, REP and MAP are read below), names.
    static const QStringList kLeftToTheLibrary = {
        QStringLiteral("SET"),          QStringLiteral("TRY"),         QStringLiteral("REP"),
        QStringLiteral("MAP"),          QStringLiteral("KEY"),         QStringLiteral("PHONE"),
        QStringLiteral("WORDCHARS"),    QStringLiteral("NAME"),        QStringLiteral("VERSION"),
        QStringLiteral("HOME"),         QStringLiteral("LANG"),        QStringLiteral("MAXNGRAMSUGS"),
        QStringLiteral("NOSPLITSUGS"),  QStringLiteral("ONLYMAXDIFF"), QStringLiteral("MAXDIFF"),
        QStringLiteral("SUGSWITHDOTS"), QStringLiteral("MAXCPDSUGS"),  QStringLiteral("NOSUGGEST")};
    static const QStringList kTables = {QStringLiteral("REP"), QStringLiteral("MAP"), QStringLiteral("PHONE")};
    int tableRows = 0;     // rows of a table of the suggestions still to pass
    int affixRows = 0;     // rows of the affix class below still to read
    QString kind, flag;    // PFX or SFX, and its flag
    bool cross = false;
    eachLine(aff, 0, [&](QByteArrayView bytes) {
        const QString text = decode(bytes);
        const QList<QStringView> f = fieldsOf(text);
        if (f.isEmpty() || f[0].startsWith(u'#')) return true;
        if (tableRows > 0) {
            --tableRows;
            // "REP from to" ("_" a blank; ^ and $ tie it to the word's ends, not taken here)
            // and "MAP letters" (a group in brackets is more than a letter: not taken).
            if (f[0] == u"REP" && f.size() >= 3 && !f[1].contains(u'^') && !f[1].contains(u'$'))
                w->replacements_.emplace_back(viewOf(f[1].toString().replace(u'_', u' ')),
                                              viewOf(f[2].toString().replace(u'_', u' ')));
            else if (f[0] == u"MAP" && f.size() >= 2 && !f[1].contains(u'('))
                w->related_.emplace_back(viewOf(f[1].toString()));
            return true;
        }
        if (affixRows > 0) {
            --affixRows;
            if (f.size() < 4 || f[0] != kind || f[1] != flag) return readable = false;
            Affix a;
            a.flag = flag[0].unicode();
            a.cross = cross;
            if (f[2] != u"0") a.strip = keep(viewOf(f[2].toString()));
            QStringView append = f[3];
            if (const qsizetype slash = append.indexOf(u'/'); slash >= 0) {
                const QString cont = append.mid(slash + 1).toString();
                a.cont = keep(viewOf(cont));
                for (QChar c : cont)
                    if (!hasFlag(w->continuing_, c.unicode())) w->continuing_ += c.unicode();
                append = append.left(slash);
            }
            if (append != u"0") a.append = keep(viewOf(append.toString()));
            const QString cond = f.size() > 4 ? f[4].toString() : QStringLiteral(".");
            a.cond = keep(viewOf(cond));
            const int conds = conditionLength(viewOf(cond));
            if (conds > 255) return readable = false;
            a.conds = std::uint8_t(conds);
            (kind == u"PFX" ? w->prefixes_ : w->suffixes_).push_back(a);
            return true;
        }
        if (f[0] == u"FLAG") {
            utf8Flags = f.size() >= 2 && f[1] == u"UTF-8";
            return readable = utf8Flags;
        }
        if (f[0] == u"TRY" && f.size() >= 2) w->try_ = Text(viewOf(f[1].toString()));
        if (kLeftToTheLibrary.contains(f[0].toString())) {
            // A table's rows follow its count line; none of them is ours.
            if (kTables.contains(f[0].toString()) && f.size() == 2) tableRows = f[1].toInt();
            return true;
        }
        if (f[0] != u"PFX" && f[0] != u"SFX") return readable = false; // something this does not do
        bool counted = false;
        affixRows = f.size() >= 4 ? f[3].toInt(&counted) : 0;
        if (!counted || f[1].size() != 1 || (f[2] != u"Y" && f[2] != u"N")) return readable = false;
        kind = f[0].toString();
        flag = f[1].toString();
        cross = f[2] == u"Y";
        return true;
    });
    aff = QByteArray();
    if (!readable) return nullptr;
    std::sort(w->prefixes_.begin(), w->prefixes_.end(), Order{w.get(), false});
    std::sort(w->suffixes_.begin(), w->suffixes_.end(), Order{w.get(), true});
    w->prefixGroups_ = groupsOf(w->prefixes_, *w, false);
    w->suffixGroups_ = groupsOf(w->suffixes_, *w, true);
    for (const Affix& a : w->prefixes_)
        w->longestPrefix_ = std::max<std::size_t>(w->longestPrefix_, a.append.length);
    for (const Affix& a : w->suffixes_)
        w->longestSuffix_ = std::max<std::size_t>(w->longestSuffix_, a.append.length);

    // The stems: "word/flags", the first line their count; a tab starts fields not read here.
    std::vector<Stem>& stems = w->stems_;
    stems.reserve(std::size_t(std::max(0, dic.readLine().trimmed().toInt())));
    w->text_.reserve(std::size_t(dic.size()));
    std::unordered_map<Text, std::uint16_t> sets;
    // A line at a time from the file into one buffer: the whole of it is never held, and
    // nothing is left between the stems as they are kept.
    QByteArray buffer(1 << 14, Qt::Uninitialized);
    QByteArrayView bytes;
    auto stem = [&]() {
        const QString decoded = decode(bytes);
        QStringView line = decoded;
        if (const qsizetype tab = line.indexOf(u'\t'); tab >= 0) line = line.left(tab);
        line = line.trimmed();
        if (line.isEmpty()) return true;
        if (line.contains(u'\\')) return readable = false; // an escaped slash: not read here
        const qsizetype slash = line.indexOf(u'/', 1);
        const QStringView word = slash < 0 ? line : line.left(slash);
        Text flags = slash < 0 ? Text() : Text(viewOf(line.mid(slash + 1).toString()));
        for (char16_t c : flags)
            if (QChar::isSurrogate(c) || (!utf8Flags && c > 127)) return readable = false;
        std::sort(flags.begin(), flags.end());
        flags.erase(std::unique(flags.begin(), flags.end()), flags.end());
        auto [it, added] = sets.try_emplace(flags, std::uint16_t(w->flagSets_.size()));
        if (added) {
            if (w->flagSets_.size() == 0xFFFF) return readable = false;
            w->flagSets_.push_back(keep(flags));
        }
        if (word.size() > qsizetype(kLongest)) return true; // never asked
        const QByteArray utf8 = word.toUtf8();
        stems.push_back({std::uint32_t(w->text_.size()), std::uint16_t(utf8.size()), it->second});
        w->text_.append(utf8.constData(), std::size_t(utf8.size()));
        return true;
    };
    while (readable && !dic.atEnd()) {
        const qint64 n = dic.readLine(buffer.data(), buffer.size());
        bytes = QByteArrayView(buffer.constData(), std::max<qint64>(n, 0));
        // A line longer than the buffer is no stem this reads.
        readable = n >= 0 && (n < buffer.size() - 1 || bytes.endsWith('\n')) && stem();
    }
    readable = readable && dic.error() == QFileDevice::NoError;
    dic.close();
    if (!readable || stems.empty()) return nullptr;
    kept = {};
    sets = {};
    w->text_.shrink_to_fit();
    w->buildTable();
    w->pool_.shrink_to_fit();
    w->flagSets_.shrink_to_fit();
    w->prefixes_.shrink_to_fit();
    w->suffixes_.shrink_to_fit();
    return w;
}

std::vector<WordList::Group> WordList::groupsOf(const std::vector<Affix>& all, const WordList& w, bool suffixes) {
    std::vector<Group> groups;
    for (std::uint32_t i = 0; i < all.size(); ++i) {
        const View append = w.piece(all[i].append);
        if (i > 0 && append == w.piece(all[i - 1].append)) {
            ++groups.back().count;
            continue;
        }
        std::uint32_t h = kHashStart;
        for (std::size_t k = 0; k < append.size(); ++k)
            h = hashStep(h, suffixes ? append[append.size() - 1 - k] : append[k]);
        groups.push_back({h, i, 1});
    }
    std::sort(groups.begin(), groups.end(), [](const Group& a, const Group& b) { return a.hash < b.hash; });
    return groups;
}

// The stems ordered by the bucket their hash falls in, about two a bucket; moved into
// that order where they are, so that building the table takes no second copy of them.
void WordList::buildTable() {
    std::size_t buckets = 1;
    while (buckets * 2 < stems_.size())
        buckets *= 2;
    auto bucketOf = [&](const Stem& s) {
        return hashOf(std::string_view(text_).substr(s.at, s.length)) & (buckets - 1);
    };
    buckets_.assign(buckets + 1, 0);
    for (const Stem& s : stems_)
        ++buckets_[bucketOf(s) + 1];
    for (std::size_t b = 1; b <= buckets; ++b)
        buckets_[b] += buckets_[b - 1];
    // Where each stem goes, then each cycle of that permutation followed once.
    std::vector<std::uint32_t> to(stems_.size());
    {
        std::vector<std::uint32_t> next(buckets_.begin(), buckets_.end() - 1);
        for (std::size_t i = 0; i < stems_.size(); ++i)
            to[i] = next[bucketOf(stems_[i])]++;
    }
    for (std::size_t i = 0; i < stems_.size(); ++i) {
        while (to[i] != i) {
            const std::uint32_t j = to[i];
            std::swap(stems_[i], stems_[j]);
            std::swap(to[i], to[j]);
        }
    }
}

// Whether some entry of the stem `root` (a stem may have several, each with its flags)
// passes `test`.
template <typename Test>
bool WordList::anyStem(View root, Test&& test) const {
    if (root.size() > kLongest) return false;
    char buf[kLongest * 3];
    const std::string_view key = utf8Of(root, buf);
    const std::uint32_t b = hashOf(key) & std::uint32_t(buckets_.size() - 2);
    for (std::uint32_t i = buckets_[b]; i < buckets_[b + 1]; ++i) {
        const Stem& s = stems_[i];
        if (std::string_view(text_).substr(s.at, s.length) == key && test(piece(flagSets_[s.flags]))) return true;
    }
    return false;
}

bool WordList::knows(QStringView word) const {
    if (word.isEmpty()) return true;
    bool upper = false, lower = false, restUpper = false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i].isUpper()) {
            upper = true;
            if (i > 0) restUpper = true;
        } else if (word[i].isLower()) {
            lower = true;
        }
    }
    const View asWritten(reinterpret_cast<const char16_t*>(word.utf16()), std::size_t(word.size()));
    if (checkWord(asWritten)) return true;
    if (!upper) return false;
    const bool capitalised = word[0].isUpper() && !restUpper;
    if (!capitalised && lower) return false; // mixed capitals are taken only as written
    if (!lower) { // all capitals: as a name is written, then in small letters
        const QString title = word.left(1).toString() + word.mid(1).toString().toLower();
        if (checkWord(viewOf(title))) return true;
    }
    return checkWord(viewOf(word.toString().toLower()));
}

bool WordList::checkWord(View word) const {
    if (anyStem(word, [](View) { return true; })) return true;
    return suffixed(word, nullptr, 0) || prefixed(word) || twoSuffixes(word, nullptr);
}

// The affixes whose text the word begins (prefixes) or ends (suffixes) with, leaving at
// least one character of it.
template <typename Each>
bool WordList::affixesOf(View word, bool prefixes, Each&& each) const {
    const std::vector<Affix>& all = prefixes ? prefixes_ : suffixes_;
    const std::vector<Group>& groups = prefixes ? prefixGroups_ : suffixGroups_;
    const std::size_t longest = prefixes ? longestPrefix_ : longestSuffix_;
    std::uint32_t h = kHashStart;
    for (std::size_t n = 0; n <= longest && n < word.size(); ++n) {
        if (n > 0) h = hashStep(h, prefixes ? word[n - 1] : word[word.size() - n]);
        const View key = prefixes ? word.substr(0, n) : word.substr(word.size() - n);
        auto g = std::lower_bound(groups.begin(), groups.end(), h,
                                  [](const Group& a, std::uint32_t x) { return a.hash < x; });
        for (; g != groups.end() && g->hash == h; ++g) {
            if (piece(all[g->first].append) != key) continue;
            for (std::uint32_t a = g->first; a < g->first + g->count; ++a)
                if (each(all[a])) return true;
        }
    }
    return false;
}

// The word as a stem with one suffix taken off. With `prefix`, the stem had that prefix
// too (both must allow it, and the stem have both flags); with `outer`, the suffix is the
// inner of two and must let `outer` follow it.
bool WordList::suffixed(View word, const Affix* prefix, char16_t outer) const {
    return affixesOf(word, false, [&](const Affix& e) {
        const View cont = piece(e.cont);
        if ((prefix && !e.cross) || (outer && !hasFlag(cont, outer))) return false;
        const Root root(word.substr(0, word.size() - e.append.length), piece(e.strip));
        const View r = root.view();
        if (!root.fits() || r.size() < e.conds || !conditionMatches(piece(e.cond), r, r.size() - e.conds))
            return false;
        return anyStem(r, [&](View flags) {
            const bool takes = hasFlag(flags, e.flag) || (prefix && hasFlag(piece(prefix->cont), e.flag));
            return takes && (!prefix || hasFlag(flags, prefix->flag) || hasFlag(cont, prefix->flag));
        });
    });
}

// Two suffixes: the outer one taken off first, then one that lets it follow.
bool WordList::twoSuffixes(View word, const Affix* prefix) const {
    if (continuing_.empty()) return false;
    return affixesOf(word, false, [&](const Affix& e) {
        if (!hasFlag(continuing_, e.flag) || (prefix && !e.cross)) return false;
        const Root root(word.substr(0, word.size() - e.append.length), piece(e.strip));
        const View r = root.view();
        if (!root.fits() || r.size() < e.conds || !conditionMatches(piece(e.cond), r, r.size() - e.conds))
            return false;
        const bool freed = prefix && hasFlag(piece(e.cont), prefix->flag);
        return suffixed(r, freed ? nullptr : prefix, e.flag);
    });
}

bool WordList::prefixed(View word) const {
    return affixesOf(word, true, [&](const Affix& p) {
        const Root root(piece(p.strip), word.substr(p.append.length));
        const View r = root.view();
        if (!root.fits() || r.size() < p.conds || !conditionMatches(piece(p.cond), r, 0)) return false;
        if (anyStem(r, [&](View flags) { return hasFlag(flags, p.flag); })) return true;
        return p.cross && (suffixed(r, &p, 0) || twoSuffixes(r, &p));
    });
}

QStringList WordList::nearWords(QStringView word) const {
    // A capitalised word: the words near it as written and in small letters, capitalised.
    const bool capitalised = !word.isEmpty() && word[0].isUpper() &&
                             std::none_of(word.begin() + 1, word.end(), [](QChar c) { return c.isUpper(); });
    if (capitalised) {
        QStringList found;
        for (const QString& s : nearWordsAsWritten(word) + nearWordsAsWritten(word.toString().toLower())) {
            const QString c = s.left(1).toUpper() + s.mid(1);
            if (c != word && !found.contains(c)) found << c;
        }
        return found;
    }
    return nearWordsAsWritten(word);
}

// Candidates are taken only as a dictionary entry or its forms are written: "Seremos" is no
// suggestion for "qeremos".
QStringList WordList::nearWordsAsWritten(QStringView word) const {
    const QString w = word.toString();
    QStringList found;
    QSet<QString> tried;
    auto exactly = [this](const QString& c) { return checkWord(viewOf(c)); };
    auto tryWord = [&](const QString& candidate) {
        if (candidate.isEmpty() || candidate == w || tried.contains(candidate)) return;
        tried.insert(candidate);
        if (exactly(candidate)) found << candidate;
    };
    if (w.isEmpty() || w.size() > qsizetype(kLongest)) return found;
    for (const auto& [from, to] : replacements_) {
        const QString f = QString::fromUtf16(from.data(), qsizetype(from.size()));
        const QString t = QString::fromUtf16(to.data(), qsizetype(to.size()));
        for (qsizetype at = w.indexOf(f); at >= 0; at = w.indexOf(f, at + 1)) {
            const QString c = w.left(at) + t + w.mid(at + f.size());
            if (t.contains(u' ')) { // two words: both must be known
                const QStringList parts = c.split(u' ', Qt::SkipEmptyParts);
                if (std::all_of(parts.begin(), parts.end(), exactly)) {
                    if (!tried.contains(c)) found << c;
                    tried.insert(c);
                }
            } else {
                tryWord(c);
            }
        }
    }
    // Every mix of related letters (a á, o ó…), as many as a word has.
    std::function<void(QString, qsizetype)> related = [&](QString c, qsizetype from) {
        for (qsizetype i = from; i < c.size(); ++i) {
            for (const Text& group : related_) {
                if (!hasFlag(group, c[i].unicode())) continue;
                for (char16_t other : group) {
                    if (other == c[i].unicode() || tried.size() > 2000) continue;
                    QString d = c;
                    d[i] = QChar(other);
                    tryWord(d);
                    related(d, i + 1);
                }
            }
        }
    };
    related(w, 0);
    for (qsizetype i = 0; i + 1 < w.size(); ++i) { // two neighbours swapped
        QString c = w;
        std::swap(c[i], c[i + 1]);
        tryWord(c);
    }
    for (qsizetype i = 0; i < w.size(); ++i) // a letter too many
        tryWord(QString(w).remove(i, 1));
    const QString letters = QString::fromUtf16(try_.data(), qsizetype(try_.size()));
    for (QChar l : letters) // a letter missing, the likeliest letters first
        for (qsizetype i = 0; i <= w.size(); ++i)
            tryWord(w.left(i) + l + w.mid(i));
    for (qsizetype i = 0; i < w.size(); ++i) // a letter typed in the wrong place
        for (qsizetype j = 0; j < w.size(); ++j) {
            if (std::abs(i - j) < 2 || std::abs(i - j) > 4) continue;
            QString c = w;
            const QChar moved = c[i];
            c.remove(i, 1);
            c.insert(j, moved);
            tryWord(c);
        }
    for (QChar l : letters) // a wrong letter
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (l == w[i]) continue;
            QString c = w;
            c[i] = l;
            tryWord(c);
        }
    for (qsizetype i = 0; i < w.size(); ++i) // two letters apart swapped
        for (qsizetype j = i + 2; j < w.size(); ++j) {
            QString c = w;
            std::swap(c[i], c[j]);
            tryWord(c);
        }
    for (qsizetype i = 0; i + 3 < w.size(); ++i) // a pair typed twice ("vacacaciones")
        if (w[i] == w[i + 2] && w[i + 1] == w[i + 3]) tryWord(QString(w).remove(i, 2));
    for (qsizetype i = 1; i < w.size(); ++i) { // two words run together
        const QString a = w.left(i), b = w.mid(i);
        if (exactly(a) && exactly(b)) found << a + u' ' + b;
    }
    return found;
}

} // namespace quelora::spelling
