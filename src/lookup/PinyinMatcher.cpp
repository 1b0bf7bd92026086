#include "lookup/PinyinMatcher.h"

#include <QChar>

#include <algorithm>
#include <numeric>
#include <string_view>

#include "data/QueryDataset.h"
#include "lookup/PinyinReadings.h"

namespace prvc03 {

namespace {

char32_t FoldedCodePoint(char32_t c) {
    if (c < 0x80) {  // the common case, without the Unicode tables
        return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        c -= 0xFEE0;  // full-width ASCII forms
    } else if (c == 0x3000) {
        c = u' ';
    }
    // Chinese characters have no case.
    return c >= 0x3400 && c < 0xA000 ? c : QChar::toLower(c);
}

void Append(std::u16string& out, char32_t c) {
    if (QChar::requiresSurrogates(c)) {
        out += static_cast<char16_t>(QChar::highSurrogate(c));
        out += static_cast<char16_t>(QChar::lowSurrogate(c));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// Calls `visit` with each code point of `text` folded, blanks left out. A
// lone surrogate stands for itself.
template <class Visit>
void ForEachFolded(QStringView text, Visit visit) {
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        c = FoldedCodePoint(c);
        if (c < 0x80 ? c != u' ' && (c < u'\t' || c > u'\r') : !QChar::isSpace(c)) {
            visit(c);
        }
    }
}

std::uint32_t LetterBit(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? std::uint32_t{1} << (unit - u'a') : 0;
}

}  // namespace

PinyinMatcher::PinyinMatcher(PinyinReadings& readings, QStringView typed) : readings_(readings) {
    Fold(typed, needle_);
    for (const char16_t unit : needle_) {
        needleLetters_ |= LetterBit(unit);
    }
}

PinyinMatcher::Letters PinyinMatcher::LettersOf(QStringView text) {
    std::uint32_t letters = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            letters |= LetterBit(unit | 0x20);  // either case
        } else if (unit >= 0x3400 && unit < 0xA000) {
            letters |= readings_.Read(unit).letters;
        } else {
            return Letters::Unknown;  // full-width forms and the rest
        }
    }
    return (letters & needleLetters_) == needleLetters_ ? Letters::Holding : Letters::Lacking;
}

void PinyinMatcher::Fold(QStringView text, std::u16string& out) {
    ForEachFolded(text, [&out](char32_t c) { Append(out, c); });
}

bool PinyinMatcher::Matches(QStringView text) {
    if (needle_.empty()) {
        return true;
    }
    const Letters letters = LettersOf(text);
    if (letters == Letters::Lacking) {
        return false;
    }
    if (letters == Letters::Holding && needle_.size() == 1 && needleLetters_ != 0) {
        return true;  // a single letter that occurs is in the full pinyin
    }
    // Every code unit gives one initial at most; the full pinyin grows by
    // the syllables, so its room is checked per syllable.
    const auto size = static_cast<std::size_t>(text.size());
    if (initials_.size() < size) {
        initials_.resize(size);
    }
    if (full_.size() < size) {
        full_.resize(size);
    }
    std::size_t initials = 0;
    std::size_t full = 0;
    const auto add = [&](char32_t c) {
        // Nothing below the CJK radicals is a Chinese character.
        const QStringView reading = c < 0x2E80 ? QStringView() : readings_.Reading(c);
        if (reading.isEmpty()) {
            if (QChar::requiresSurrogates(c)) {  // two units in, two out
                initials_[initials++] = static_cast<char16_t>(QChar::highSurrogate(c));
                initials_[initials++] = static_cast<char16_t>(QChar::lowSurrogate(c));
                full_[full++] = static_cast<char16_t>(QChar::highSurrogate(c));
                full_[full++] = static_cast<char16_t>(QChar::lowSurrogate(c));
            } else {
                initials_[initials++] = static_cast<char16_t>(c);
                full_[full++] = static_cast<char16_t>(c);
            }
            return;
        }
        initials_[initials++] = reading.front().unicode();
        const auto length = static_cast<std::size_t>(reading.size());
        if (full_.size() < full + length + size) {
            full_.resize(2 * (full + length + size));
        }
        std::copy_n(reinterpret_cast<const char16_t*>(reading.utf16()), length, &full_[full]);
        full += length;
    };
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {  // ASCII: lower case, blanks left out
            if (unit == u' ' || (unit >= u'\t' && unit <= u'\r')) {
                continue;
            }
            const char16_t lower = unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
            initials_[initials++] = lower;
            full_[full++] = lower;
        } else if (unit >= 0x3400 && unit < 0xA000) {
            add(unit);  // Chinese characters have no case and are no blanks
        } else {
            // Anything else through the common folding, a surrogate pair
            // as one code point.
            const std::size_t taken =
                QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])
                    ? 2
                    : 1;
            ForEachFolded(QStringView(units + i, static_cast<qsizetype>(taken)), add);
            i += taken - 1;
        }
    }
    const std::u16string_view needle(needle_);
    return std::u16string_view(initials_.data(), initials).find(needle) !=
               std::u16string_view::npos ||
           std::u16string_view(full_.data(), full).find(needle) != std::u16string_view::npos;
}

std::vector<std::int32_t> RecordsMatching(const QueryDataset& query, int field,
                                          PinyinMatcher& matcher) {
    const int count = query.HeldRecordCount();
    std::vector<std::int32_t> records;
    if (matcher.Needle().empty()) {
        records.resize(static_cast<std::size_t>(count));
        std::iota(records.begin(), records.end(), 0);
        return records;
    }
    QString scratch;
    for (int record = 0; record < count; ++record) {
        if (matcher.Matches(query.TextView(record, field, scratch))) {
            records.push_back(record);
        }
    }
    return records;
}

}  // namespace prvc03
