#include "platform/Cp936.h"

#include <gtest/gtest.h>

using namespace prvc03::platform;

TEST(Cp936, EncodesTheEuroAndChineseAsCodePage936) {
    EXPECT_EQ(ToCp936(QStringLiteral("€王五")).toHex(' '), QByteArray("80 cd f5 ce e5"));
    EXPECT_EQ(ToCp936(QStringLiteral("Ab1")), QByteArray("Ab1"));
    EXPECT_TRUE(ToCp936(QString()).isEmpty());
}

TEST(Cp936, RoundTripsMixedTexts) {
    for (const QString& text :
         {QStringLiteral("复制用户权限#1312"), QStringLiteral("O'Neil 欧阳娜娜"),
          QStringLiteral("提示信息．"), QStringLiteral("全选")}) {
        EXPECT_EQ(FromCp936(ToCp936(text)), text) << text.toStdString();
    }
}

TEST(Cp936, LengthCountsChineseCharactersTwice) {
    EXPECT_EQ(Cp936Length(QStringLiteral("复制用户权限#1312")), 17);
    EXPECT_EQ(Cp936Length(QStringLiteral("ADMMG")), 5);
    EXPECT_EQ(Cp936Length(QString()), 0);
}

TEST(Cp936, InvalidBytesDecodeWithoutCrashingAndDoNotLeakIntoTheNextText) {
    const QString bad = FromCp936(QByteArray("a\x81\x20z\xff", 5));
    EXPECT_TRUE(bad.startsWith(QLatin1Char('a')));
    EXPECT_TRUE(bad.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(bad.contains(QLatin1Char('z')));
    // A text cut off after a lead byte leaves nothing behind for the next one.
    FromCp936(QByteArray("ab\xcd"));
    EXPECT_EQ(FromCp936(QByteArray("\xcd\xf5")), QStringLiteral("王"));
}

TEST(Cp936, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(ToCp936(QStringLiteral("a😀b")), QByteArray("a?b"));
}
