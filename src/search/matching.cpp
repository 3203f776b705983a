#include "search/matching.h"

#include "search/search.h"
#include "store/codepage.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quelora::search {
namespace {

bool isPlainVowel(char16_t c) {
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u';
}

char16_t foldChar(char16_t c) {
    const auto l = static_cast<char16_t>(QChar::toLower(char32_t(c)));
    if (l >= 0xE0 && l <= 0xE5) return u'a'; // à á â ã ä å
    if (l >= 0xE8 && l <= 0xEB) return u'e'; // è é ê ë
    if (l >= 0xEC && l <= 0xEF) return u'i'; // ì í î ï
    if (l >= 0xF2 && l <= 0xF6) return u'o'; // ò ó ô õ ö
    if (l >= 0xF9 && l <= 0xFC) return u'u'; // ù ú û ü
    // Beyond the code page a query may still hold a marked vowel (ā, ő, ů, or İ, which has
    // no lower case of one character): the vowel it is made of.
    if (l > 0xFF && QChar::decompositionTag(l) == QChar::Canonical) {
        const char16_t base = foldChar(QChar::decomposition(l).at(0).unicode());
        if (isPlainVowel(base)) return base;
    }
    return l; // ñ (0xF1), ç, æ, ø, ý ... stay letters of their own
}

} // namespace

QString fold(const QString& text) {
    // A query may arrive decomposed ("e" + combining acute); the files never are.
    const QString s = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(s.size());
    bool vowel = false;
    for (const QChar c : s) {
        // Marks composition left beside their vowel (a + macron below) go as the others do.
        if (vowel && c.isMark()) continue;
        out += QChar(foldChar(c.unicode()));
        vowel = isPlainVowel(out.back().unicode());
    }
    return out;
}

QStringList queryWords(const QString& query) {
    const QString folded = fold(query);
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool blank = i == folded.size() || folded[i].isSpace();
        if (!blank && start < 0) start = i;
        if (blank && start >= 0) {
            words << folded.mid(start, i - start);
            start = -1;
        }
    }
    return words;
}

HitPlace firstHit(const QString& text, const QString& query) {
    // The matcher reads one byte per character, as a file holds it; the halves of a pair
    // the code page cannot hold are a byte each here, so a hit's place is the text's.
    QString chars = text;
    for (QChar& c : chars)
        if (c.isSurrogate()) c = QChar::ReplacementCharacter;
    const detail::Found found =
        detail::findAll(detail::compileQuery(queryWords(query)), store::encode(chars));
    return {found.at, found.length};
}

namespace detail {

const std::array<uchar, 256>& foldTable() {
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const QString c = store::decode(QByteArray(1, static_cast<char>(b)));
            bool lossy = false;
            const QByteArray folded = store::encode(QString(QChar(foldChar(c[0].unicode()))), &lossy);
            t[b] = lossy ? static_cast<uchar>(b) : static_cast<uchar>(folded[0]);
        }
        return t;
    }();
    return table;
}

namespace {

// How often a folded letter comes in Spanish text, per thousand letters: the rarer
// letters of a word are the ones looked for first, so that fewer places need a full
// comparison.
int frequency(uchar c) {
    static const std::array<int, 256> table = [] {
        std::array<int, 256> t{};
        t.fill(2); // punctuation, other letters
        for (char d = '0'; d <= '9'; ++d)
            t[static_cast<uchar>(d)] = 5;
        const std::pair<char, int> letters[] = {
            {'e', 137}, {'a', 125}, {'o', 87}, {'s', 80}, {'r', 69}, {'n', 67}, {'i', 63},
            {'d', 59},  {'l', 50},  {'c', 47}, {'t', 46}, {'u', 39}, {'m', 32}, {'p', 25},
            {'b', 14},  {'g', 10},  {'v', 9},  {'y', 9},  {'q', 9},  {'h', 7},  {'f', 7},
            {'z', 5},   {'j', 4},   {'x', 2},  {'k', 1},  {'w', 1}};
        for (const auto& [letter, perThousand] : letters)
            t[static_cast<uchar>(letter)] = perThousand;
        t[0xF1] = 3;  // ñ
        t[' '] = 170; // never in a word, but cheap to say
        return t;
    }();
    return table[c];
}

// Runs of consecutive values as ranges under one mask.
void addRuns(Word::Ranges* ranges, uchar mask, const std::vector<int>& values) {
    for (size_t i = 0; i < values.size();) {
        size_t j = i;
        while (j + 1 < values.size() && values[j + 1] == values[j] + 1)
            ++j;
        ranges->push_back({mask, static_cast<uchar>(values[i]), static_cast<uchar>(values[j] - values[i])});
        i = j + 1;
    }
}

#if defined(__SSE2__)
// A mask of the sixteen bytes at p that pass any of the ranges.
inline unsigned passing(const uchar* p, const Word::Ranges& ranges) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i any = _mm_setzero_si128();
    for (const Word::Range& r : ranges) {
        const __m128i x = _mm_or_si128(v, _mm_set1_epi8(static_cast<char>(r.mask)));
        const __m128i low = _mm_set1_epi8(static_cast<char>(r.low));
        if (r.span == 0) {
            any = _mm_or_si128(any, _mm_cmpeq_epi8(x, low));
        } else {
            const __m128i span = _mm_set1_epi8(static_cast<char>(r.span));
            const __m128i offset = _mm_sub_epi8(x, low); // unsigned: within the span or far off
            any = _mm_or_si128(any, _mm_cmpeq_epi8(_mm_max_epu8(offset, span), span));
        }
    }
    return static_cast<unsigned>(_mm_movemask_epi8(any));
}
#endif

} // namespace

Word::Ranges Word::rangesFor(uchar folded) {
    const auto& fold = foldTable();
    std::vector<int> paired, single; // the lower of a letter pair (capital = lower - 0x20); lone bytes
    for (int b = 0; b < 256; ++b) {
        if (fold[b] != folded) continue;
        if (fold[b ^ 0x20] == folded) {
            if (b & 0x20) paired.push_back(b);
        } else {
            single.push_back(b);
        }
    }
    Ranges ranges;
    addRuns(&ranges, 0x20, paired);
    addRuns(&ranges, 0, single);
    return ranges;
}

Word::Word(const QString& foldedWord) {
    bool lossy = false;
    folded_ = store::encode(foldedWord, &lossy);
    const auto& fold = foldTable();
    matchable_ = !lossy && !folded_.isEmpty();
    for (char c : folded_)
        if (fold[static_cast<uchar>(c)] != static_cast<uchar>(c)) matchable_ = false;
    if (!matchable_) return;

    const qsizetype m = folded_.size();
    std::vector<qsizetype> order(static_cast<size_t>(m));
    for (qsizetype i = 0; i < m; ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return frequency(static_cast<uchar>(folded_[a])) < frequency(static_cast<uchar>(folded_[b]));
    });
    anchor1_ = order[0];
    anchor2_ = m > 1 ? order[1] : order[0];
    if (anchor1_ > anchor2_) std::swap(anchor1_, anchor2_);
    ranges1_ = rangesFor(static_cast<uchar>(folded_[anchor1_]));
    ranges2_ = rangesFor(static_cast<uchar>(folded_[anchor2_]));
}

bool Word::verifyAt(const uchar* p, qsizetype start) const {
    const auto& fold = foldTable();
    const auto* w = reinterpret_cast<const uchar*>(folded_.constData());
    for (qsizetype k = 0; k < folded_.size(); ++k)
        if (fold[p[start + k]] != w[k]) return false;
    return true;
}

qsizetype Word::findIn(const char* bytes, qsizetype size) const {
    const qsizetype m = folded_.size();
    if (!matchable_ || m > size) return -1;
    const auto* p = reinterpret_cast<const uchar*>(bytes);
    qsizetype pos = 0;
#if defined(__SSE2__)
    // Sixteen starts at a time: only those whose two anchor bytes pass are compared in full.
    // It earns its place: a word looked for in every file takes 9 ms with it, 26 ms with the
    // loop below alone, whose slowest keystrokes pass 30 ms (bench/SEARCH.md, "The matcher").
    for (; pos + anchor2_ + 16 <= size; pos += 16) {
        unsigned mask = passing(p + pos + anchor1_, ranges1_);
        if (mask && anchor2_ != anchor1_) mask &= passing(p + pos + anchor2_, ranges2_);
        while (mask) {
            const qsizetype start = pos + std::countr_zero(mask);
            if (start + m <= size && verifyAt(p, start)) return start;
            mask &= mask - 1;
        }
    }
#endif
    // The rest, or everything where there is no SSE2: a full comparison only where the rarest
    // letter stands (a fifth of the work of comparing at every start).
    const auto& fold = foldTable();
    const auto anchor = static_cast<uchar>(folded_[anchor1_]);
    for (; pos + m <= size; ++pos)
        if (fold[p[pos + anchor1_]] == anchor && verifyAt(p, pos)) return pos;
    return -1;
}

std::vector<Word> compileQuery(const QStringList& foldedWords) {
    std::vector<Word> words;
    for (const QString& w : foldedWords)
        words.emplace_back(w);
    // The longest word is usually the rarest: a text without it is left soonest.
    std::stable_sort(words.begin(), words.end(),
                     [](const Word& a, const Word& b) { return a.length() > b.length(); });
    return words;
}

Found findAll(const std::vector<Word>& words, const QByteArray& bytes) {
    Found first;
    if (words.empty()) return first;
    for (const Word& w : words) {
        const qsizetype at = w.findIn(bytes.constData(), bytes.size());
        if (at < 0) return {};
        if (first.at < 0 || at < first.at || (at == first.at && w.length() > first.length))
            first = {at, w.length()};
    }
    return first;
}

namespace {

bool isBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
           static_cast<uchar>(c) == 0xA0;
}

// Decoded, with every run of white space as one blank.
QString oneLine(const QByteArray& bytes, qsizetype from, qsizetype to) {
    const QString text = store::decode(bytes.mid(from, to - from));
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (QChar c : text) {
        if (c.isSpace()) {
            blank = true;
            continue;
        }
        if (blank) out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    if (blank) out += QLatin1Char(' ');
    return out;
}

} // namespace

Excerpt makeExcerpt(const QByteArray& bytes, qsizetype at, qsizetype length) {
    const qsizetype n = bytes.size();
    at = std::clamp<qsizetype>(at, 0, n);
    length = std::clamp<qsizetype>(length, 0, n - at);
    const qsizetype end = at + length;

    // A quarter of the room before the hit, the rest after it; what the end of the
    // text leaves unused goes before.
    const qsizetype room = std::max<qsizetype>(0, kExcerptLength - length);
    qsizetype before = room / 4;
    const qsizetype after = room - before;
    if (end + after > n) before += end + after - n;
    qsizetype start = std::max<qsizetype>(0, at - before);
    qsizetype stop = std::min(n, std::max(end, start + kExcerptLength));
    // Whole words at both cuts where the context holds a blank.
    if (start > 0 && !isBlankByte(bytes[start - 1])) {
        qsizetype k = start;
        while (k < at && !isBlankByte(bytes[k - 1]))
            ++k;
        if (k < at) start = k;
    }
    if (stop < n && !isBlankByte(bytes[stop])) {
        qsizetype k = stop;
        while (k > end && !isBlankByte(bytes[k - 1]))
            --k;
        if (k > end) stop = k;
    }

    QString head = oneLine(bytes, start, at);
    const QString hit = oneLine(bytes, at, end);
    QString tail = oneLine(bytes, end, stop);
    if (head.startsWith(QLatin1Char(' '))) head.remove(0, 1);
    if (tail.endsWith(QLatin1Char(' '))) tail.chop(1);
    if (start > 0) head.prepend(QChar(0x2026));
    if (stop < n) tail.append(QChar(0x2026));
    return {head + hit + tail, static_cast<int>(head.size()), static_cast<int>(hit.size())};
}

} // namespace detail
} // namespace quelora::search
