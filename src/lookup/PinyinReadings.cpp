#include "lookup/PinyinReadings.h"

#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include "session/Errors.h"

namespace prvc03 {

struct PinyinReadings::Transliteration {
    std::unique_ptr<icu::Transliterator> transliterator;
};

PinyinReadings::PinyinReadings()
    : transliteration_(std::make_unique<Transliteration>()), syllables_(1), bmp_(0x10000, 0) {
    UErrorCode status = U_ZERO_ERROR;
    transliteration_->transliterator.reset(icu::Transliterator::createInstance(
        icu::UnicodeString::fromUTF8("Han-Latin; Latin-ASCII; Lower"), UTRANS_FORWARD, status));
    if (U_FAILURE(status) || !transliteration_->transliterator) {
        throw Error(QStringLiteral("拼音转换无法使用（ICU：%1）")
                        .arg(QString::fromLatin1(u_errorName(status))));
    }
}

PinyinReadings::~PinyinReadings() = default;

const PinyinReadings::Syllable& PinyinReadings::Lookup(char32_t codePoint) {
    std::int32_t index = 0;
    if (codePoint < 0x10000) {
        std::int32_t& cached = bmp_[codePoint];
        if (cached == 0) {
            cached = Transliterate(codePoint) + 1;
        }
        index = cached - 1;
    } else {
        auto found = supplementary_.constFind(codePoint);
        if (found == supplementary_.constEnd()) {
            found = supplementary_.insert(codePoint, Transliterate(codePoint));
        }
        index = *found;
    }
    return syllables_[static_cast<std::size_t>(index)];
}

std::int32_t PinyinReadings::Transliterate(char32_t codePoint) {
    UErrorCode status = U_ZERO_ERROR;
    if (uscript_getScript(static_cast<UChar32>(codePoint), &status) != USCRIPT_HAN ||
        U_FAILURE(status)) {
        return 0;
    }
    icu::UnicodeString text(static_cast<UChar32>(codePoint));
    transliteration_->transliterator->transliterate(text);
    // Only a plain syllable counts: a character ICU leaves as it is, or
    // turns into anything but letters, has no reading.
    QString syllable;
    for (int32_t i = 0; i < text.length(); ++i) {
        const char16_t unit = text.charAt(i);
        if (unit >= u'a' && unit <= u'z') {
            syllable += QChar(unit);
        } else if (unit != u' ') {
            return 0;
        }
    }
    if (syllable.isEmpty()) {
        return 0;
    }
    auto found = syllableIndex_.constFind(syllable);
    if (found == syllableIndex_.constEnd()) {
        std::uint32_t letters = 0;
        for (const QChar letter : syllable) {
            letters |= std::uint32_t{1} << (letter.unicode() - u'a');
        }
        syllables_.push_back({syllable, letters});
        found = syllableIndex_.insert(syllable, static_cast<std::int32_t>(syllables_.size() - 1));
    }
    return *found;
}

}  // namespace prvc03
