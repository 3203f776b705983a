#pragma once
// The words a Spanish dictionary knows, in a form small enough to keep for as long as the
// program runs: its stems in one block of text with a table of where each starts, its
// affix rules once each, and every form worked out from them when a word is asked, the
// way the dictionary's own format describes (a prefix, one or two suffixes, a prefix
// with a suffix). About a fifth of what the spelling library holds for the same files.
//
// Only the common part of the format is read: SET, FLAG of single characters, PFX, SFX
// and the suggestion tables, which it leaves to the library. A dictionary that uses more
// (compounds, forbidden or case-keeping words, long or numeric flags…) gives no word
// list, and the library checks on its own.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quelora::spelling {

class WordList {
public:
    // From an .aff file and the .dic beside it; nothing when they cannot be read or use
    // more than this reads.
    static std::unique_ptr<WordList> read(const QString& affPath);
    // As the library answers for one word: as written, and for a capitalised or all-capital
    // word also in the capitals a dictionary entry would have.
    bool knows(QStringView word) const;
    std::size_t stems() const { return stems_.size(); }
    // The words it knows one small edit away, in the order the library's quick suggestions
    // try them (its REP and MAP tables, two letters swapped, a letter dropped, added from
    // TRY, moved or changed, a pair typed twice, the word parted in two); none when none is.
    QStringList nearWords(QStringView word) const;

private:
    using Text = std::u16string;
    using View = std::u16string_view;
    struct Piece { // of pool_
        std::uint32_t at = 0;
        std::uint16_t length = 0;
    };
    struct Affix {
        char16_t flag = 0;
        bool cross = false;
        std::uint8_t conds = 0;         // characters the condition tests
        Piece strip, append, cont, cond; // cont: the flags of the affixes that may follow it
    };
    struct Stem {
        std::uint32_t at = 0;     // in text_
        std::uint16_t length = 0; // bytes
        std::uint16_t flags = 0;  // in flagSets_
    };
    struct Order; // of affixes: by append, a suffix's read from its end
    struct Group { // the affixes of one append, by the hash of its characters read inwards
        std::uint32_t hash = 0;
        std::uint32_t first = 0;
        std::uint32_t count = 0;
    };
    WordList() = default;
    View piece(Piece p) const { return View(pool_).substr(p.at, p.length); }
    Piece keep(View s);
    bool checkWord(View word) const;
    bool suffixed(View word, const Affix* prefix, char16_t outer) const;
    bool twoSuffixes(View word, const Affix* prefix) const;
    bool prefixed(View word) const;
    QStringList nearWordsAsWritten(QStringView word) const;
    template <typename Each>
    bool affixesOf(View word, bool prefixes, Each&& each) const;
    template <typename Test>
    bool anyStem(View root, Test&& test) const;
    void buildTable();
    static std::vector<Group> groupsOf(const std::vector<Affix>& all, const WordList& w, bool suffixes);

    Text pool_; // the affixes' texts and the sets of flags
    std::vector<Affix> prefixes_, suffixes_;
    std::vector<Group> prefixGroups_, suffixGroups_;
    std::size_t longestPrefix_ = 0, longestSuffix_ = 0;
    Text continuing_;          // flags that some affix lets follow it
    Text try_;                 // the letters tried where one is missing or wrong
    std::vector<std::pair<Text, Text>> replacements_; // REP: what is often written for what
    std::vector<Text> related_; // MAP: letters often written for each other (a á)
    std::string text_;         // every stem in UTF-8, one after another
    std::vector<Stem> stems_;  // by their hash's bucket
    std::vector<std::uint32_t> buckets_; // where each bucket's stems start in stems_, and the end
    std::vector<Piece> flagSets_;
};

} // namespace quelora::spelling
