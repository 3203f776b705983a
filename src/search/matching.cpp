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

char16_t foldChar(char16_t c) {
    const auto l = static_cast<char16_t>(QChar::toLower(char32_t(c)));
    if (l >= 0xE0 && l <= 0xE5) return u'a'; // à á â ã ä å
    if (l >= 0xE8 && l <= 0xEB) return u'e'; // è é ê ë
    if (l >= 0xEC && l <= 0xEF) return u'i'; // ì í î ï
    if (l >= 0xF2 && l <= 0xF6) return u'o'; // ò ó ô õ ö
    if (l >= 0xF9 && l <= 0xFC) return u'u'; // ù ú û ü
    return l;                                // ñ (0xF1), ç, æ, ø, ý ... stay letters of their own
}

} // namespace

QString fold(const QString& text) {
    // A query may arrive decomposed ("e" + combining acute); the files never are.
    QString s = text.normalized(QString::NormalizationForm_C);
    for (QChar& c : s)
        c = QChar(foldChar(c.unicode()));
    return s;
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

// The tests for the bytes folding to c.
Word::Tests testsFor(uchar c) {
    const auto& fold = foldTable();
    Word::Tests tests;
    for (int b = 0; b < 256; ++b) {
        if (fold[b] != c) continue;
        const int partner = b ^ 0x20;
        if (fold[partner] == c) {
            if (b & 0x20) tests.push_back({0x20, static_cast<uchar>(b)}); // the pair, once
        } else {
            tests.push_back({0, static_cast<uchar>(b)});
        }
    }
    return tests;
}

#if defined(__SSE2__)
// A mask of the sixteen bytes at p that pass any of the tests.
inline unsigned passing(const uchar* p, const Word::Tests& tests) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i any = _mm_setzero_si128();
    for (const Word::Test& t : tests)
        any = _mm_or_si128(any, _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(static_cast<char>(t.mask))),
                                               _mm_set1_epi8(static_cast<char>(t.value))));
    return static_cast<unsigned>(_mm_movemask_epi8(any));
}
#endif

} // namespace

Word::Word(const QString& foldedWord) {
    bool lossy = false;
    folded_ = store::encode(foldedWord, &lossy);
    const auto& fold = foldTable();
    matchable_ = !lossy && !folded_.isEmpty();
    for (char c : folded_)
        if (fold[static_cast<uchar>(c)] != static_cast<uchar>(c)) matchable_ = false;
    if (!matchable_) return;

    // Consonants make one test each, a vowel up to seven (its marked forms): the
    // scan looks at the cheapest two positions.
    const qsizetype m = folded_.size();
    std::vector<Tests> all;
    for (qsizetype i = 0; i < m; ++i)
        all.push_back(testsFor(static_cast<uchar>(folded_[i])));
    std::vector<qsizetype> order(static_cast<size_t>(m));
    for (qsizetype i = 0; i < m; ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return all[size_t(a)].size() < all[size_t(b)].size(); });
    anchor1_ = order[0];
    anchor2_ = m > 1 ? order[1] : order[0];
    if (anchor1_ > anchor2_) std::swap(anchor1_, anchor2_);
    tests1_ = all[static_cast<size_t>(anchor1_)];
    tests2_ = all[static_cast<size_t>(anchor2_)];
}

// The first start in [from, to) where the whole word folds from the file bytes.
qsizetype Word::verifyFrom(const uchar* p, qsizetype size, qsizetype from, qsizetype to) const {
    const auto& fold = foldTable();
    const auto* w = reinterpret_cast<const uchar*>(folded_.constData());
    const qsizetype m = folded_.size();
    for (qsizetype s = from; s < to && s + m <= size; ++s) {
        qsizetype k = 0;
        while (k < m && fold[p[s + k]] == w[k])
            ++k;
        if (k == m) return s;
    }
    return -1;
}

qsizetype Word::findIn(const char* bytes, qsizetype size) const {
    const qsizetype m = folded_.size();
    if (!matchable_ || m > size) return -1;
    const auto* p = reinterpret_cast<const uchar*>(bytes);
    qsizetype pos = 0;
#if defined(__SSE2__)
    // Sixteen starts at a time: only those whose two anchor bytes pass are compared in full.
    for (; pos + anchor2_ + 16 <= size; pos += 16) {
        unsigned mask = passing(p + pos + anchor1_, tests1_);
        if (mask && anchor2_ != anchor1_) mask &= passing(p + pos + anchor2_, tests2_);
        while (mask) {
            const qsizetype start = pos + std::countr_zero(mask);
            if (verifyFrom(p, size, start, start + 1) >= 0) return start;
            mask &= mask - 1;
        }
    }
#endif
    return verifyFrom(p, size, pos, size - m + 1);
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
