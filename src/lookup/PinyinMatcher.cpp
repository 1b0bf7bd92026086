#include "lookup/PinyinMatcher.h"

#include <QChar>

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

}  // namespace

PinyinMatcher::PinyinMatcher(PinyinReadings& readings, QStringView typed) : readings_(readings) {
    Fold(typed, needle_);
}

void PinyinMatcher::Fold(QStringView text, std::u16string& out) {
    ForEachFolded(text, [&out](char32_t c) { Append(out, c); });
}

bool PinyinMatcher::Matches(QStringView text) {
    if (needle_.empty()) {
        return true;
    }
    initials_.clear();
    full_.clear();
    ForEachFolded(text, [this](char32_t c) {
        // Nothing below the CJK radicals is a Chinese character.
        const QStringView reading = c < 0x2E80 ? QStringView() : readings_.Reading(c);
        if (reading.isEmpty()) {
            Append(initials_, c);
            Append(full_, c);
        } else {
            initials_ += reading.front().unicode();
            full_.append(reinterpret_cast<const char16_t*>(reading.utf16()),
                         static_cast<std::size_t>(reading.size()));
        }
    });
    const std::u16string_view needle(needle_);
    return std::u16string_view(initials_).find(needle) != std::u16string_view::npos ||
           std::u16string_view(full_).find(needle) != std::u16string_view::npos;
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
    for (int record = 0; record < count; ++record) {
        if (matcher.Matches(query.Text(record, field))) {
            records.push_back(record);
        }
    }
    return records;
}

}  // namespace prvc03
