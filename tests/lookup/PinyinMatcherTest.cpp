// The pinyin match over real ICU readings: initials and full syllables,
// the folding of the typed value, and the characters that stand for
// themselves.
#include <gtest/gtest.h>

#include "lookup/PinyinMatcher.h"
#include "lookup/PinyinReadings.h"

namespace prvc03::test {
namespace {

TEST(PinyinMatcher, TypedValueAgainstInitialsAndFullPinyin) {
    const struct {
        const char16_t* typed;
        const char16_t* text;
        bool found;
    } cases[] = {
        // What the window cases over the users do not cover: syllables cut
        // anywhere, the two readings never mixed, Chinese typed as is.
        {u"zhangs", u"张三", true},
        {u"ｚｈａｎｇ\u3000ｓａｎ", u"张三", true},  // full-width letters and blank
        {u"angsa", u"张三", true},
        {u"xtgly", u"系统管理员", true},
        {u"guanli", u"系统管理员", true},
        {u"zsan", u"张三", false},
        {u"zx", u"张三", false},
        {u"张", u"张三", false},
        {u"ngl", u"Admin管理员", true},  // the letters stand for themselves
        {u"o'n", u"O'Neil", true},
        {u"abc1", u"ＡＢＣ１", true},             // full-width forms in the text
        {u"z\U0001F600", u"张\U0001F600", true},  // outside the basic plane
        {u"\U0001F601", u"张三\U0001F600", false},
    };
    PinyinReadings readings;
    for (const auto& c : cases) {
        PinyinMatcher matcher(readings, QString::fromUtf16(c.typed));
        EXPECT_EQ(matcher.Matches(QString::fromUtf16(c.text)), c.found)
            << QString::fromUtf16(c.typed).toStdString() << " in "
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(PinyinMatcher, ReadingsAreTonelessSyllablesOfChineseCharactersOnly) {
    PinyinReadings readings;
    EXPECT_EQ(readings.Reading(U'绿').toString(), QStringLiteral("lu"));
    EXPECT_EQ(readings.Reading(U'张').toString(), QStringLiteral("zhang"));
    EXPECT_TRUE(readings.Reading(U'a').isEmpty());
    EXPECT_TRUE(readings.Reading(U'，').isEmpty());
}

}  // namespace
}  // namespace prvc03::test
