// Target lines and the copy step's statements.
#include <gtest/gtest.h>

#include "modules/CopyStatements.h"
#include "platform/Cp936.h"

namespace prvc03 {
namespace {

TEST(TargetLine, PadsCodeAndNameByCodePageBytes) {
    const QString line = TargetLine(QStringLiteral("0002"), QStringLiteral("王五"));
    EXPECT_EQ(line, QStringLiteral("0002      王五                "));
    EXPECT_EQ(platform::Cp936Length(line), 30);
    // Nothing is cut when a value is longer than its width.
    EXPECT_EQ(TargetLine(QStringLiteral("ABCDEFGHIJKL"), QStringLiteral("一二三四五六七八九十甲")),
              QStringLiteral("ABCDEFGHIJKL一二三四五六七八九十甲"));
    // A Chinese code counts two bytes a character.
    EXPECT_EQ(TargetLine(QStringLiteral("管理员"), QString()),
              QStringLiteral("管理员    ") + QString(20, QLatin1Char(' ')));
}

TEST(CopyStatements, ExactTextsForA01ToB02) {
    EXPECT_EQ(SourceCountStatement(QStringLiteral("A01"), QStringLiteral("isnull")),
              QStringLiteral("SELECT isnull(COUNT(*),0) FROM ADMMG WHERE MG001='A01'"));
    EXPECT_EQ(CopyPermissionsStatement(QStringLiteral("B02"), QStringLiteral("A01")),
              QStringLiteral("insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,"
                             "REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select 'B02',"
                             "MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,UNCONFORM,"
                             "LOCK,UNLOCK,INVALID,PRICE from ADMMH where MH001='A01'"));
    // Only the programs the target lacks: the same statement, narrowed.
    EXPECT_EQ(CopyPermissionsStatement(QStringLiteral("O'K"), QStringLiteral("A01"), true),
              CopyPermissionsStatement(QStringLiteral("O'K"), QStringLiteral("A01")) +
                  QStringLiteral(" and not exists (select 1 from ADMMH t where t.MH001='O''K' "
                                 "and t.MH002=ADMMH.MH002)"));
}

TEST(CopyStatements, ValuesGoThroughTheLiteralRule) {
    EXPECT_EQ(SourceCountStatement(QStringLiteral("  O'K \t"), QStringLiteral("ifnull")),
              QStringLiteral("SELECT ifnull(COUNT(*),0) FROM ADMMG WHERE MG001='O''K'"));
    EXPECT_TRUE(CopyPermissionsStatement(QStringLiteral("x'); DELETE FROM ADMMG; --"),
                                         QStringLiteral("A01"))
                    .contains(QStringLiteral("select 'x''); DELETE FROM ADMMG; --',MH002")));
}

}  // namespace
}  // namespace prvc03
