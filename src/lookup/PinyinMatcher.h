#pragma once
// The pinyin quick search: whether a typed value stands within the initials
// or within the full pinyin of a text. Both sides are lower-cased, with
// blanks dropped and full-width forms folded to their ASCII ones; in the
// text each Chinese character gives its syllable and every other character
// stands for itself.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string>
#include <vector>

namespace prvc03 {

class PinyinReadings;
class QueryDataset;

class PinyinMatcher {
  public:
    PinyinMatcher(PinyinReadings& readings, QStringView typed);

    // The typed value folded; empty when it held nothing but blanks.
    const std::u16string& Needle() const { return needle_; }
    bool Matches(QStringView text);

    // Appends `text` folded: lower case, no blanks, full-width forms as ASCII.
    static void Fold(QStringView text, std::u16string& out);

  private:
    // Whether every letter of the needle occurs in the text's letters or
    // syllables (a text that lacks one cannot match); Unknown when the text
    // holds characters that need the full folding.
    enum class Letters { Lacking, Holding, Unknown };
    Letters LettersOf(QStringView text);

    PinyinReadings& readings_;
    std::u16string needle_;
    std::uint32_t needleLetters_ = 0;  // bit n: the letter 'a' + n
    // Scratch buffers, kept between calls so that a long filter allocates once.
    std::u16string initials_;
    std::u16string full_;
};

// The records of the open `query` whose field `field` matches, in record
// order; every record when the typed value is empty.
std::vector<std::int32_t> RecordsMatching(const QueryDataset& query, int field,
                                          PinyinMatcher& matcher);

}  // namespace prvc03
