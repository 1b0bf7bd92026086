#pragma once
// Toneless pinyin readings of Chinese characters, taken from ICU's Han-Latin
// transliteration. Each distinct character is transliterated once; later
// lookups read the cache. Not thread-safe: one owner uses it.

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace prvc03 {

class PinyinReadings {
  public:
    PinyinReadings();
    ~PinyinReadings();
    PinyinReadings(const PinyinReadings&) = delete;
    PinyinReadings& operator=(const PinyinReadings&) = delete;

    struct Syllable {
        QString text;
        std::uint32_t letters = 0;  // bit n: the letter 'a' + n occurs in it
    };

    // The lower-case syllable of a Chinese character ("zhang" for 张);
    // empty for any other character and for a Chinese one without a reading.
    // The reference lasts until the next Read; the text's characters as
    // long as the readings do.
    const Syllable& Read(char32_t codePoint) {
        if (codePoint < 0x10000) {
            const std::int32_t cached = bmp_[codePoint];
            if (cached != 0) {
                return syllables_[static_cast<std::size_t>(cached - 1)];
            }
        }
        return Lookup(codePoint);
    }
    QStringView Reading(char32_t codePoint) { return Read(codePoint).text; }

  private:
    const Syllable& Lookup(char32_t codePoint);
    struct Transliteration;  // the ICU transliterator, kept out of this header
    std::int32_t Transliterate(char32_t codePoint);

    std::unique_ptr<Transliteration> transliteration_;
    // Syllables, each once; index 0 is the empty reading.
    std::vector<Syllable> syllables_;
    QHash<QString, std::int32_t> syllableIndex_;
    // Basic plane: code unit -> syllable index + 1; 0 = not looked up yet.
    std::vector<std::int32_t> bmp_;
    QHash<char32_t, std::int32_t> supplementary_;
};

}  // namespace prvc03
