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
        {u"zs", u"张三", true},
        {u"zhangs", u"张三", true},
        {u"zhangsan", u"张三", true},
        {u"zhang san", u"张三", true},
        {u"ZHANGSAN", u"张三", true},
        {u"ｚｈａｎｇ\u3000ｓａｎ", u"张三", true},  // full-width letters and blank
        {u"angsa", u"张三", true},                   // anywhere in the syllables
        {u"xtgly", u"系统管理员", true},
        {u"guanli", u"系统管理员", true},
        {u"zsan", u"张三", false},  // initials and syllables are not mixed
        {u"zx", u"张三", false},
        {u"张", u"张三", false},  // the typed value is matched as pinyin
        {u"admin", u"Admin管理员", true},
        {u"ngl", u"Admin管理员", true},  // the letters stand for themselves
        {u"a01", u"A01 张三", true},
        {u"o'n", u"O'Neil", true},
        {u"3", u"123", true},
        {u"zs", u"", false},
        {u"z\U0001F600", u"张\U0001F600", true},  // outside the basic plane
        {u"\U00020000", u"张三", false},
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

TEST(PinyinMatcher, BlanksOnlyMatchEverythingAndReadingsAreToneless) {
    PinyinReadings readings;
    PinyinMatcher blanks(readings, u" \u3000\t ");
    EXPECT_TRUE(blanks.Needle().empty());
    EXPECT_TRUE(blanks.Matches(u""));
    EXPECT_EQ(readings.Reading(U'绿').toString(), QStringLiteral("lu"));
    EXPECT_EQ(readings.Reading(U'张').toString(), QStringLiteral("zhang"));
    EXPECT_TRUE(readings.Reading(U'a').isEmpty());
    EXPECT_TRUE(readings.Reading(U'，').isEmpty());
}

}  // namespace
}  // namespace prvc03::test
