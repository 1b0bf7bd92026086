// Statement texts of the lookup windows, character for character.
#include <gtest/gtest.h>

#include "lookup/LookupStatements.h"
#include "support/Requests.h"

namespace prvc03 {
namespace {

Field TextField(const QString& name, const QString& label, const QString& origin, int size) {
    return DataField(name, FieldType::WideString, size, label, origin);
}

std::vector<Field> UserFields() {
    return {
        TextField(QStringLiteral("MG001"), QStringLiteral("用户编号"), QStringLiteral("ADMMG"), 10),
        TextField(QStringLiteral("MG002"), QStringLiteral("用户名称"), QStringLiteral("ADMMG"),
                  20)};
}

const QString& kBase = test::kUsersBase;
const QString& kFrom = test::kUsersFrom;

TEST(BaseStatement, ColumnsAliasedByTrimmedLabels) {
    EXPECT_EQ(BuildBaseSQL(UserFields(), kFrom), kBase);
    EXPECT_EQ(BuildBaseSQL({UserFields()[0]}, kFrom), test::kCodesBase);
    const std::vector<Field> padded = {TextField(
        QStringLiteral(" MG001 "), QStringLiteral(" 用户编号\t"), QStringLiteral("  ADMMG "), 10)};
    EXPECT_EQ(BuildBaseSQL(padded, kFrom), test::kCodesBase);
    EXPECT_EQ(FieldReference(padded[0]), QStringLiteral("ADMMG.MG001"));
    // A field without a label is aliased by its name.
    const std::vector<Field> unlabelled = {
        TextField(QStringLiteral("MG002"), QString(), QStringLiteral("U"), 20)};
    EXPECT_EQ(BuildBaseSQL(unlabelled, QStringLiteral("FROM ADMMG U WHERE 1=1")),
              QStringLiteral("SELECT U.MG002 AS MG002 FROM ADMMG U WHERE 1=1"));
}

ConditionRow Row(const char* field, const char* op, const char* value, const char* logic) {
    return {QString::fromUtf8(field), QString::fromUtf8(op), QString::fromUtf8(value),
            QString::fromUtf8(logic)};
}

TEST(ConditionText, WorkedExampleWithTrailingAndRemoved) {
    const QString condition = BuildConditionText(
        UserFields(),
        {Row("用户编号", "起始于", "A0", "OR"), Row("用户名称", "包含", "王", "AND")});
    EXPECT_EQ(condition, QStringLiteral("ADMMG.MG001 LIKE 'A0%' OR ADMMG.MG002 LIKE '%王%' "));
    EXPECT_EQ(BuildConditionStatement(kBase, condition, QString()),
              kBase + QStringLiteral(" AND (ADMMG.MG001 LIKE 'A0%' OR ADMMG.MG002 LIKE '%王%' )"));
    EXPECT_EQ(BuildConditionStatement(kBase, condition, QStringLiteral("ADMMG.MG001 ASC")),
              kBase + QStringLiteral(" AND (ADMMG.MG001 LIKE 'A0%' OR ADMMG.MG002 LIKE '%王%' ) "
                                     "ORDER BY ADMMG.MG001 ASC"));
}

TEST(ConditionText, EveryOperatorWritesItsPieces) {
    const char* expected[] = {
        "ADMMG.MG001 = '5'",     "ADMMG.MG001 >= '5'",    "ADMMG.MG001 <= '5'",
        "ADMMG.MG001 > '5'",     "ADMMG.MG001 < '5'",     "ADMMG.MG001 <> '5'",
        "ADMMG.MG001 LIKE '5%'", "ADMMG.MG001 LIKE '%5'", "ADMMG.MG001 LIKE '%5%'",
    };
    ASSERT_EQ(
        ConditionOperators(),
        (QStringList{QStringLiteral("等于"), QStringLiteral("大于或等于"),
                     QStringLiteral("小于或等于"), QStringLiteral("大于"), QStringLiteral("小于"),
                     QStringLiteral("不等于"), QStringLiteral("起始于"), QStringLiteral("终止于"),
                     QStringLiteral("包含")}));
    for (int i = 0; i < ConditionOperators().size(); ++i) {
        const QString op = ConditionOperators()[i];
        // The last row with an empty logic word takes part, followed by two blanks.
        EXPECT_EQ(BuildConditionText(UserFields(), {{QStringLiteral("用户编号"), op,
                                                     QStringLiteral("5"), QString()}}),
                  QString::fromUtf8(expected[i]) + QStringLiteral("  "))
            << op.toStdString();
    }
}

TEST(ConditionText, IncompleteRowsAreLeftOut) {
    // The single-select window's default row: no value.
    EXPECT_EQ(BuildConditionText(UserFields(), {Row("用户编号", "等于", "", "AND")}), QString());
    // An empty logic word leaves a row out when another follows it.
    EXPECT_EQ(BuildConditionText(UserFields(), {Row("用户编号", "等于", "A01", ""),
                                                Row("用户名称", "等于", "张三", "")}),
              QStringLiteral("ADMMG.MG002 = '张三'  "));
    // A cleared column, an unknown label, a blank value.
    EXPECT_EQ(BuildConditionText(UserFields(),
                                 {Row("", "等于", "A01", "AND"), Row("别名", "等于", "A01", "AND"),
                                  Row("用户编号", "等于", "   ", "AND")}),
              QString());
    // A left-out row after one that took part: its logic word is removed at the end.
    const QString condition = BuildConditionText(
        UserFields(), {Row("用户编号", "等于", "A01", "OR"), Row("用户名称", "等于", "", "AND")});
    EXPECT_EQ(condition, QStringLiteral("ADMMG.MG001 = 'A01'"));
    EXPECT_EQ(BuildConditionStatement(kBase, QString(), QString()), kBase);
}

TEST(ConditionText, ValuesCannotEndTheirLiteral) {
    const QString condition =
        BuildConditionText(UserFields(), {Row("用户名称", "等于", "O'Neil' OR '1'='1", "")});
    EXPECT_EQ(condition, QStringLiteral("ADMMG.MG002 = 'O''Neil'' OR ''1''=''1'  "));
    // Wildcards stay wildcards.
    EXPECT_EQ(BuildConditionText(UserFields(), {Row("用户编号", "包含", "A_%", "")}),
              QStringLiteral("ADMMG.MG001 LIKE '%A_%%'  "));
}

TEST(OrderText, ListOrderDirectionsAndDuplicates) {
    EXPECT_EQ(BuildOrderText(UserFields(), {{QStringLiteral("用户名称"), false},
                                            {QStringLiteral("用户编号"), true}}),
              QStringLiteral("ADMMG.MG002 DESC,ADMMG.MG001 ASC"));
    EXPECT_EQ(BuildOrderText(UserFields(), {{QStringLiteral("用户编号"), true},
                                            {QStringLiteral(" 用户编号 "), false}}),
              QStringLiteral("ADMMG.MG001 ASC,ADMMG.MG001 DESC"));
    EXPECT_EQ(BuildOrderText(UserFields(), {}), QString());
}

TEST(QuickSearch, WorkedExamples) {
    const QString ref = QStringLiteral("ADMMG.MG001");
    EXPECT_EQ(*BuildQuickSearchStatement(kBase, SearchMode::Research, ref, QStringLiteral("A01")),
              kBase + QStringLiteral("  AND ADMMG.MG001 >= 'A01' ORDER BY ADMMG.MG001"));
    EXPECT_EQ(*BuildQuickSearchStatement(kBase, SearchMode::Research, ref, QStringLiteral("   ")),
              kBase + QStringLiteral("  ORDER BY ADMMG.MG001"));
    EXPECT_EQ(*BuildQuickSearchStatement(kBase, SearchMode::Fuzzy, ref, QStringLiteral(" 01 ")),
              kBase + QStringLiteral("  AND ADMMG.MG001 LIKE '%01%' ORDER BY ADMMG.MG001"));
    EXPECT_EQ(*BuildQuickSearchStatement(kBase, SearchMode::Fuzzy, ref, QString()),
              kBase + QStringLiteral("  ORDER BY ADMMG.MG001"));
    EXPECT_FALSE(
        BuildQuickSearchStatement(kBase, SearchMode::Advanced, ref, QStringLiteral("A01")));
    EXPECT_FALSE(BuildQuickSearchStatement(kBase, SearchMode::Pinyin, ref, QStringLiteral("zs")));
}

TEST(QuickSearch, QuotesAreDoubledInBothModes) {
    const QString ref = QStringLiteral("ADMMG.MG002");
    EXPECT_EQ(
        *BuildQuickSearchStatement(kBase, SearchMode::Research, ref, QStringLiteral("O'Neil")),
        kBase + QStringLiteral("  AND ADMMG.MG002 >= 'O''Neil' ORDER BY ADMMG.MG002"));
    EXPECT_EQ(
        *BuildQuickSearchStatement(kBase, SearchMode::Fuzzy, ref,
                                   QStringLiteral("x'; DROP TABLE ADMMH; --")),
        kBase + QStringLiteral(
                    "  AND ADMMG.MG002 LIKE '%x''; DROP TABLE ADMMH; --%' ORDER BY ADMMG.MG002"));
}

TEST(QuickSearch, ModeFromCaption) {
    EXPECT_EQ(SearchModeOf(QStringLiteral(" 高级查找 ")), SearchMode::Advanced);
    EXPECT_EQ(SearchModeOf(QStringLiteral("模糊查找")), SearchMode::Fuzzy);
    EXPECT_EQ(SearchModeOf(QStringLiteral("拼音查找")), SearchMode::Pinyin);
    EXPECT_EQ(SearchModeOf(QStringLiteral("重新查找")), SearchMode::Research);
}

}  // namespace
}  // namespace prvc03
