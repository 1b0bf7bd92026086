// The lookup rules that need no window: picks, title sort, hand-back and
// status texts, over real result sets.
#include <QSqlQuery>

#include <gtest/gtest.h>

#include "data/QueryDataset.h"
#include "lookup/LookupLogic.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using test::TestDatabase;

const QString kUsersSQL = test::kUsersBase + QStringLiteral(" ORDER BY MG001");

Field SourceField(const QString& name, const QString& label, FieldType type, int size = 0,
                  int width = 0) {
    Field field;
    field.FieldName = name;
    field.DisplayLabel = label;
    field.Origin = QStringLiteral("ADMMG");
    field.DataType = type;
    field.Size = size;
    field.DisplayWidth = width;
    return field;
}

std::vector<Field> UserSource() {
    return {
        SourceField(QStringLiteral("MG001"), QStringLiteral("用户编号"), FieldType::WideString, 10),
        SourceField(QStringLiteral("MG002"), QStringLiteral("用户名称"), FieldType::WideString,
                    20)};
}

// A multi-select result query over ADMMG, as the window builds it.
void OpenMulti(QueryDataset& query, const QString& sql = kUsersSQL) {
    query.SetConnection(&Connection());
    query.AddField(SelectedField());
    for (const Field& field : UserSource()) {
        query.AddField(*ResultFieldFor(field));
    }
    query.SetSQL(sql);
    query.Open();
}

// Column `column` of every row the database gives for `sql`.
QStringList Column(TestDatabase& db, const QString& sql, int column) {
    QSqlQuery raw(db.db());
    EXPECT_TRUE(raw.exec(sql));
    QStringList values;
    while (raw.next()) {
        values << raw.value(column).toString();
    }
    return values;
}

TEST(PickedList, KeepsResultSetOrderWhateverTheClickOrder) {
    PickedList picks;
    picks.Reset(12);
    EXPECT_TRUE(picks.Toggle(5));
    EXPECT_TRUE(picks.Toggle(2));
    EXPECT_TRUE(picks.Toggle(9));
    EXPECT_EQ(picks.Records(), (std::vector<int>{2, 5, 9}));
    EXPECT_EQ(picks.Count(), 3);
    // A second tick removes the record again.
    EXPECT_FALSE(picks.Toggle(5));
    EXPECT_FALSE(picks.Contains(5));
    EXPECT_EQ(picks.Records(), (std::vector<int>{2, 9}));
    picks.Clear();
    EXPECT_TRUE(picks.IsEmpty());
    EXPECT_TRUE(picks.Records().empty());
    EXPECT_THROW(picks.Toggle(12), Error);
    EXPECT_THROW(picks.Toggle(-1), Error);
}

TEST(PickedList, PickAllCoversExactlyTheRecords) {
    PickedList picks;
    picks.Reset(3);
    picks.PickAll();
    EXPECT_EQ(picks.Records(), (std::vector<int>{0, 1, 2}));
    picks.Reset(130);  // spans three words, the last one partly
    EXPECT_TRUE(picks.IsEmpty());
    picks.PickAll();
    EXPECT_EQ(picks.Count(), 130);
    const std::vector<int> all = picks.Records();
    ASSERT_EQ(all.size(), 130u);
    EXPECT_EQ(all.front(), 0);
    EXPECT_EQ(all.back(), 129);
    EXPECT_FALSE(picks.Contains(130));
    picks.Toggle(64);
    EXPECT_EQ(picks.Count(), 129);
    picks.Reset(0);
    picks.PickAll();
    EXPECT_TRUE(picks.IsEmpty());
}

TEST(ResultFields, OnlyTextFloatAndIntegerGetAField) {
    const auto text = ResultFieldFor(SourceField(
        QStringLiteral("MG001"), QStringLiteral(" 用户编号 "), FieldType::WideString, 10, 99));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->FieldName, QStringLiteral("用户编号"));
    EXPECT_EQ(text->DataType, FieldType::String);
    EXPECT_EQ(text->Size, 10);
    EXPECT_FALSE(text->Calculated);

    const auto number =
        ResultFieldFor(SourceField(QStringLiteral("PRICE"), QString(), FieldType::Float, 0, 12));
    ASSERT_TRUE(number);
    EXPECT_EQ(number->FieldName, QStringLiteral("PRICE"));  // no label: the field name
    EXPECT_EQ(number->DataType, FieldType::Float);
    EXPECT_EQ(number->DisplayWidth, 12);

    const auto integer = ResultFieldFor(
        SourceField(QStringLiteral("QTY"), QStringLiteral("数量"), FieldType::Integer, 0, 6));
    ASSERT_TRUE(integer);
    EXPECT_EQ(integer->DataType, FieldType::Integer);
    EXPECT_EQ(integer->DisplayWidth, 6);

    for (FieldType type : {FieldType::String, FieldType::SmallInt, FieldType::LargeInt,
                           FieldType::Boolean, FieldType::BCD, FieldType::Date, FieldType::Time,
                           FieldType::DateTime, FieldType::Unknown}) {
        EXPECT_FALSE(ResultFieldFor(SourceField(QStringLiteral("X"), QString(), type)));
    }

    const Field selected = SelectedField();
    EXPECT_EQ(selected.FieldName, QStringLiteral("selected"));
    EXPECT_EQ(selected.Label(), QStringLiteral("选取"));
    EXPECT_EQ(selected.DisplayWidth, 4);
    EXPECT_TRUE(selected.Calculated);
}

TEST(TitleSort, DirectionsAndArrowsPerKind) {
    const QString f = QStringLiteral("用户编号");
    // Multi-select: descending first; the sort's last word decides, not its column.
    EXPECT_EQ(TitleSort::NextSort(kMultiSelectKind, QString(), f), f + QStringLiteral(" DESC"));
    EXPECT_EQ(TitleSort::NextSort(kMultiSelectKind, QStringLiteral("用户名称 DESC "), f),
              f + QStringLiteral(" ASC"));
    EXPECT_EQ(TitleSort::NextSort(kMultiSelectKind, QStringLiteral("用户名称 ASC"), f),
              f + QStringLiteral(" DESC"));
    EXPECT_EQ(TitleSort::ImageFor(kMultiSelectKind, QStringLiteral("X DESC")), 0);
    EXPECT_EQ(TitleSort::ImageFor(kMultiSelectKind, QStringLiteral("X ASC")), 1);
    EXPECT_EQ(TitleSort::ImageFor(kMultiSelectKind, QString()), 1);
    // Single-select: ascending first, and the downward arrow for ascending.
    EXPECT_EQ(TitleSort::NextSort(kSingleSelectKind, QString(), f), f + QStringLiteral(" ASC"));
    EXPECT_EQ(TitleSort::NextSort(kSingleSelectKind, QStringLiteral("用户名称 ASC"), f),
              f + QStringLiteral(" DESC"));
    EXPECT_EQ(TitleSort::NextSort(kSingleSelectKind, QStringLiteral("用户名称 DESC"), f),
              f + QStringLiteral(" ASC"));
    EXPECT_EQ(TitleSort::ImageFor(kSingleSelectKind, QStringLiteral("X ASC")), 0);
    EXPECT_EQ(TitleSort::ImageFor(kSingleSelectKind, QStringLiteral("X DESC")), 1);
    EXPECT_EQ(TitleSort::ImageFor(kSingleSelectKind, QString()), 1);
}

TEST(TitleSort, ReordersInMemoryAndRemembersTheColumn) {
    TestDatabase db;
    QueryDataset query;
    OpenMulti(query);
    TitleSort sort(kMultiSelectKind, query);
    const QString code = QStringLiteral("用户编号");
    const QString name = QStringLiteral("用户名称");
    QStringList codes = Column(db, kUsersSQL, 0);
    const QString sqlBefore = query.SQL();

    sort.Click(code);
    EXPECT_EQ(query.Sort(), code + QStringLiteral(" DESC"));
    EXPECT_EQ(sort.RememberedColumn(), code);
    EXPECT_FALSE(query.Filtered());
    EXPECT_EQ(sort.Image(code), 0);
    EXPECT_EQ(sort.Image(name), -1);
    EXPECT_EQ(query.Text(query.RecordAtRow(0), 1), codes.last());
    EXPECT_EQ(query.SQL(), sqlBefore);

    sort.Click(code);
    EXPECT_EQ(sort.Image(code), 1);
    EXPECT_EQ(query.Text(query.RecordAtRow(0), 1), codes.first());

    // The check column changes nothing.
    sort.Click(QStringLiteral("selected"));
    EXPECT_EQ(query.Sort(), code + QStringLiteral(" ASC"));
    EXPECT_EQ(sort.RememberedColumn(), code);

    // A new open forgets the sort but not the column: upward arrow.
    query.Close();
    query.Open();
    EXPECT_TRUE(query.Sort().isEmpty());
    EXPECT_EQ(sort.Image(code), 1);
    sort.Click(name);
    EXPECT_EQ(query.Sort(), name + QStringLiteral(" DESC"));

    // Closed: the column is remembered, then the dataset refuses.
    query.Close();
    EXPECT_THROW(sort.Click(code), Error);
    EXPECT_EQ(sort.RememberedColumn(), code);
}

TEST(PickedRows, MultiSelectHandsBackPicksInResultSetOrder) {
    TestDatabase db;
    QueryDataset query;
    OpenMulti(query);
    const QStringList codes = Column(db, kUsersSQL, 0);
    const QStringList names = Column(db, kUsersSQL, 1);
    PickedList picks;
    picks.Reset(query.RecordCount());
    EXPECT_FALSE(MultiPickedRows(query, picks, UserSource()));

    picks.Toggle(5);
    picks.Toggle(2);
    picks.Toggle(9);
    // A title sort does not change the hand-back order.
    TitleSort(kMultiSelectKind, query).Click(QStringLiteral("用户名称"));
    int changes = 0;
    QObject::connect(&query, &QueryDataset::DataChange, [&] { ++changes; });
    const auto rows = MultiPickedRows(query, picks, UserSource());
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->DimCount(), 2);
    EXPECT_EQ(rows->Low(1), 0);
    EXPECT_EQ(rows->High(1), 2);
    EXPECT_EQ(rows->Low(2), 1);
    EXPECT_EQ(rows->High(2), 2);
    const int expected[] = {2, 5, 9};
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(rows->at(r, 1).toString(), codes[expected[r]]);
        EXPECT_EQ(rows->at(r, 2).toString(), names[expected[r]]);
    }
    // The cursor stays on the last pick; the display got one update.
    EXPECT_EQ(query.CurrentRecord(), 9);
    EXPECT_EQ(changes, 1);
}

TEST(PickedRows, NullStaysNullInMultiAndBecomesEmptyTextInSingle) {
    TestDatabase db;
    db.Exec(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('00', NULL)"));
    QueryDataset multi;
    OpenMulti(multi);
    PickedList picks;
    picks.Reset(multi.RecordCount());
    picks.Toggle(0);  // '00' sorts first
    const auto rows = MultiPickedRows(multi, picks, UserSource());
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->at(0, 1).toString(), QStringLiteral("00"));
    EXPECT_TRUE(rows->at(0, 2).isNull());

    QueryDataset single;
    single.SetConnection(&Connection());
    single.SetSQL(kUsersSQL);
    single.Open();
    const VariantArray row = SinglePickedRow(single);
    EXPECT_EQ(row.DimCount(), 1);
    EXPECT_EQ(row.Low(), 0);
    EXPECT_EQ(row.High(), 1);
    EXPECT_EQ(row.at(0).toString(), QStringLiteral("00"));
    EXPECT_FALSE(row.at(1).isNull());
    EXPECT_EQ(row.at(1).toString(), QString());
}

TEST(PickedRows, SingleSelectOnEmptyAndClosedResults) {
    TestDatabase db;
    QueryDataset single;
    single.SetConnection(&Connection());
    single.SetSQL(kUsersSQL + QStringLiteral(" LIMIT 0"));
    single.Open();
    const VariantArray empty = SinglePickedRow(single);
    ASSERT_EQ(empty.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(empty.at(i).isNull());
        EXPECT_EQ(empty.at(i).toString(), QString());
    }
    single.Close();
    const VariantArray none = SinglePickedRow(single);
    EXPECT_EQ(none.Low(), 0);
    EXPECT_EQ(none.High(), -1);
    EXPECT_TRUE(none.IsEmpty());
}

TEST(PickedRows, MultiSelectRefusesUnsupportedColumns) {
    TestDatabase db;
    QueryDataset query;
    OpenMulti(query);
    PickedList picks;
    picks.Reset(query.RecordCount());
    picks.Toggle(0);
    std::vector<Field> source = UserSource();
    source.push_back(
        SourceField(QStringLiteral("MG003"), QStringLiteral("建立日期"), FieldType::DateTime));
    try {
        MultiPickedRows(query, picks, source);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("建立日期")));
    }
}

TEST(StatusTexts, CounterAndRecordText) {
    TestDatabase db;
    QueryDataset query;
    query.SetConnection(&Connection());
    query.SetSQL(kUsersSQL);
    query.Open();
    const int count = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG"));
    EXPECT_EQ(RecordCounterText(query), QStringLiteral("1／%1").arg(count));
    query.Next();
    query.Next();
    EXPECT_EQ(RecordCounterText(query), QStringLiteral("3／%1").arg(count));
    query.Last();
    EXPECT_EQ(RecordCounterText(query), QStringLiteral("%1／%1").arg(count));
    query.Close();
    query.SetSQL(kUsersSQL + QStringLiteral(" LIMIT 0"));
    query.Open();
    EXPECT_EQ(RecordCounterText(query), QStringLiteral("0"));

    EXPECT_EQ(RecordText({QStringLiteral(" A01 "), QStringLiteral("张三  "), QStringLiteral("x")}),
              QStringLiteral("A01 张三"));
    EXPECT_EQ(RecordText({QStringLiteral(" A01 ")}), QStringLiteral("A01"));
    EXPECT_EQ(RecordText({QString(), QString()}), QStringLiteral(" "));
    // Codes 32 and below go, a full-width blank (U+3000) stays.
    EXPECT_EQ(RecordText({QStringLiteral("\t\u3000A01\r"), QStringLiteral("\x01张三\u3000 ")}),
              QStringLiteral("\u3000A01 张三\u3000"));
}

}  // namespace
}  // namespace prvc03
