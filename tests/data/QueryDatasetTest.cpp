// The query dataset on a real SQLite database: fetching, fields, NULLs,
// the cursor flags, bookmarks, the in-memory sort and the closed-state errors.
#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <tuple>

#include "data/QueryDataset.h"
#include "session/Errors.h"
#include "support/DefaultLocale.h"
#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using test::ErrorOf;
using test::TestDatabase;

const QString kClosed = QStringLiteral("Cannot perform this operation on a closed dataset");

class QueryDatasetTest : public ::testing::Test {
  protected:
    QueryDatasetTest() : db_(TestDatabase::Empty) {
        db_.Exec(QStringLiteral(
            "CREATE TABLE T (id INTEGER, code TEXT, name TEXT, qty INTEGER, price REAL, "
            "flag BOOLEAN)"));
        data_.SetConnection(&db_.db());
    }

    void Rows(int count) {
        db_.Exec(QStringLiteral(
                     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                     "INSERT INTO T (id, code, name) SELECT x, printf('A%05d', x), "
                     "'用户' || x FROM c")
                     .arg(count));
    }

    void OpenAll() {
        data_.SetSQL(QStringLiteral("SELECT * FROM T ORDER BY id"));
        data_.Open();
    }

    // Where the cursor stands: the record number, Bof and Eof.
    using Place = std::tuple<int, bool, bool>;
    Place Cursor() { return {data_.RecNo(), data_.Bof(), data_.Eof()}; }

    // The bookmarks of the rows in their current order.
    std::vector<int> Order() {
        std::vector<int> records;
        for (int row = 0; row < data_.RecordCount(); ++row) {
            records.push_back(data_.RecordAtRow(row));
        }
        return records;
    }

    TestDatabase db_;
    QueryDataset data_;
};

TEST_F(QueryDatasetTest, FetchesEveryRowWithTypedFieldsAndNulls) {
    db_.Exec(QStringLiteral("INSERT INTO T VALUES (1, 'A01', '张三', 5, 2.5, 1)"));
    db_.Exec(QStringLiteral("INSERT INTO T VALUES (2, NULL, '', NULL, NULL, NULL)"));
    OpenAll();
    ASSERT_TRUE(data_.Active());
    EXPECT_EQ(data_.RecordCount(), 2);
    ASSERT_EQ(data_.FieldCount(), 6);
    EXPECT_EQ(data_.FieldAt(1).FieldName, QStringLiteral("code"));
    EXPECT_EQ(data_.FieldAt(1).DataType, FieldType::WideString);
    EXPECT_EQ(data_.FieldAt(3).DataType, FieldType::Integer);
    EXPECT_EQ(data_.FieldAt(4).DataType, FieldType::Float);
    EXPECT_EQ(data_.FieldAt(5).DataType, FieldType::Boolean);
    EXPECT_EQ(data_.FindField(QStringLiteral("NAME")), 2);
    EXPECT_EQ(data_.FindField(QStringLiteral("nothing")), -1);

    EXPECT_EQ(data_.Value(0, 1), QVariant(QStringLiteral("A01")));
    EXPECT_EQ(data_.Value(0, 2).toString(), QStringLiteral("张三"));
    EXPECT_EQ(data_.Value(0, 3).typeId(), QMetaType::Int);
    EXPECT_EQ(data_.Value(0, 3).toInt(), 5);
    EXPECT_DOUBLE_EQ(data_.Value(0, 4).toDouble(), 2.5);
    EXPECT_EQ(data_.Value(0, 5), QVariant(true));

    // NULL is a null value of the field's type; an empty text is not NULL.
    for (int field : {1, 3, 4, 5}) {
        const QVariant value = data_.Value(1, field);
        EXPECT_TRUE(value.isValid()) << field;
        EXPECT_TRUE(value.isNull()) << field;
        EXPECT_EQ(value.metaType(), MetaTypeOf(data_.FieldAt(field).DataType)) << field;
        EXPECT_EQ(data_.Text(1, field), QString()) << field;
    }
    EXPECT_FALSE(data_.Value(1, 2).isNull());
    EXPECT_EQ(data_.Text(0, 4), QStringLiteral("2.5"));
    EXPECT_THROW(data_.Value(2, 0), Error);
}

TEST_F(QueryDatasetTest, PersistentFieldsBindByNameAndCalculatedFieldsReadNull) {
    Rows(3);
    data_.AddField(
        CalculatedField(QStringLiteral("selected"), FieldType::Boolean, QStringLiteral("选取"), 4));
    data_.AddField(DataField(QStringLiteral("用户名称"), FieldType::WideString, 20));
    data_.AddField(DataField(QStringLiteral("CODE"), FieldType::WideString, 10));
    data_.SetSQL(QStringLiteral("SELECT code, name AS 用户名称, id FROM T ORDER BY id"));
    data_.Open();
    ASSERT_EQ(data_.FieldCount(), 3);  // the persistent fields only
    EXPECT_EQ(data_.Value(1, 2).toString(), QStringLiteral("A00002"));
    EXPECT_EQ(data_.Value(1, 1).toString(), QStringLiteral("用户2"));
    EXPECT_TRUE(data_.Value(1, 0).isNull());
    EXPECT_EQ(data_.Value(1, 0).typeId(), QMetaType::Bool);
    EXPECT_EQ(data_.FieldAt(0).Label(), QStringLiteral("选取"));
    EXPECT_EQ(data_.FieldAt(1).Label(), QStringLiteral("用户名称"));
    EXPECT_THROW(data_.AddField(DataField(QStringLiteral("x"), FieldType::Integer)), Error);

    // A data field without a result column refuses the open.
    data_.Close();
    data_.AddField(DataField(QStringLiteral("MG009"), FieldType::Integer, 0));
    EXPECT_EQ(ErrorOf([&] { data_.Open(); }), QStringLiteral("Field 'MG009' not found"));
    EXPECT_FALSE(data_.Active());
}

TEST_F(QueryDatasetTest, FailedOpenRaisesTheDatabaseTextAndStaysClosed) {
    data_.SetSQL(QStringLiteral("SELECT * FROM NoSuchTable"));
    const QString message = ErrorOf([&] { data_.Open(); });
    EXPECT_TRUE(message.contains(QStringLiteral("no such table: NoSuchTable")))
        << message.toStdString();
    EXPECT_FALSE(data_.Active());
    EXPECT_EQ(data_.FieldCount(), 0);
}

TEST_F(QueryDatasetTest, ClosedDatasetRefusesMovesAndReads) {
    Rows(2);
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { data_.First(); }, [&] { data_.Next(); }, [&] { data_.Prior(); },
             [&] { data_.Last(); }, [&] { data_.RecordCount(); }, [&] { data_.RecNo(); },
             [&] { data_.Value(0, 0); }, [&] { data_.SetSort(QStringLiteral("code")); },
             [&] { data_.GotoBookmark(0); }}) {
        EXPECT_EQ(ErrorOf(action), kClosed);
    }
    OpenAll();
    data_.Close();
    EXPECT_EQ(ErrorOf([&] { data_.Next(); }), kClosed);
}

TEST_F(QueryDatasetTest, CursorFlagsAtBothEnds) {
    Rows(25);
    OpenAll();
    EXPECT_EQ(Cursor(), Place(1, true, false));
    // Each move and where it leaves the cursor. Back from the end and forward
    // again, the step onto the last record leaves Eof clear; only the next
    // step sets it. Likewise Bof at the start.
    using Move = void (QueryDataset::*)();
    const std::pair<Move, Place> moves[] = {
        {&QueryDataset::Last, {25, false, true}},  {&QueryDataset::Prior, {24, false, false}},
        {&QueryDataset::Next, {25, false, false}}, {&QueryDataset::Next, {25, false, true}},
        {&QueryDataset::First, {1, true, false}},  {&QueryDataset::Next, {2, false, false}},
        {&QueryDataset::Prior, {1, false, false}}, {&QueryDataset::Prior, {1, true, false}},
    };
    for (std::size_t i = 0; i < std::size(moves); ++i) {
        (data_.*moves[i].first)();
        EXPECT_EQ(Cursor(), moves[i].second) << "after move " << i;
    }

    // A step back at the start neither moves nor notifies.
    QSignalSpy changes(&data_, &QueryDataset::DataChange);
    data_.Prior();
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(data_.Bof());

    data_.MoveToRow(0);
    EXPECT_FALSE(data_.Bof());
    data_.Last();
    data_.GotoBookmark(24);
    EXPECT_FALSE(data_.Eof());
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(QueryDatasetTest, EmptySetHasBothFlagsAfterEveryMove) {
    OpenAll();
    EXPECT_EQ(data_.RecordCount(), 0);
    EXPECT_EQ(data_.CurrentRecord(), -1);
    EXPECT_EQ(Cursor(), Place(0, true, true));
    for (const auto& move : std::vector<std::function<void()>>{
             [&] { data_.First(); }, [&] { data_.Next(); }, [&] { data_.Last(); },
             [&] { data_.Prior(); }, [&] { data_.MoveToRow(0); }}) {
        move();
        EXPECT_EQ(Cursor(), Place(0, true, true));
    }
    // Every field of the empty set reads as NULL of its type.
    EXPECT_TRUE(data_.FieldValue(1).isNull());
    EXPECT_EQ(data_.FieldValue(1).typeId(), QMetaType::QString);
    EXPECT_EQ(data_.FieldText(1), QString());
}

TEST_F(QueryDatasetTest, SortIsStableWithNullsFirstAndDescendingReversed) {
    // ids 1..6; name keys x y x NULL y x
    const char* names[] = {"'x'", "'y'", "'x'", "NULL", "'y'", "'x'"};
    const char* quantities[] = {"10", "9", "NULL", "100", "-1", "9"};
    for (int i = 0; i < 6; ++i) {
        db_.Exec(QStringLiteral("INSERT INTO T (id, name, qty) VALUES (%1, %2, %3)")
                     .arg(i + 1)
                     .arg(QLatin1String(names[i]))
                     .arg(QLatin1String(quantities[i])));
    }
    OpenAll();
    data_.SetSort(QStringLiteral("name ASC"));
    EXPECT_EQ(Order(), (std::vector<int>{3, 0, 2, 5, 1, 4}));
    data_.SetSort(QStringLiteral("name DESC"));
    EXPECT_EQ(Order(), (std::vector<int>{1, 4, 0, 2, 5, 3}));
    EXPECT_EQ(data_.Sort(), QStringLiteral("name DESC"));

    // Numbers by value, not by text.
    data_.SetSort(QStringLiteral("qty"));
    EXPECT_EQ(Order(), (std::vector<int>{2, 4, 1, 5, 0, 3}));
    data_.SetSort(QStringLiteral("QTY DESC"));
    EXPECT_EQ(Order(), (std::vector<int>{3, 0, 1, 5, 4, 2}));

    data_.SetSort(QString());
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ErrorOf([&] { data_.SetSort(QStringLiteral("nothing ASC")); }),
              QStringLiteral("Field 'nothing' not found"));
}

TEST_F(QueryDatasetTest, TextSortFollowsTheLocale) {
    for (const char* name : {"张", "李", "王", "b", "B", "a"}) {
        db_.Exec(QStringLiteral("INSERT INTO T (name) VALUES ('%1')").arg(QString::fromUtf8(name)));
    }
    QStringList names;
    {
        const test::DefaultLocale chinese(test::kChina);
        OpenAll();
        data_.SetSort(QStringLiteral("name"));
        for (int record : Order()) {
            names << data_.Text(record, 2);
        }
    }
    // Chinese collation: Han first, in pinyin order (li, wang, zhang), then
    // Latin letters with lower case before upper (code point order would give
    // "B a b 张 李 王").
    EXPECT_EQ(names.join(QLatin1Char(' ')).toStdString(), "李 王 张 a b B");
}

TEST_F(QueryDatasetTest, SortKeepsTheCurrentRecordAndReopenClearsIt) {
    Rows(5);
    OpenAll();
    data_.GotoBookmark(1);
    QSignalSpy changes(&data_, &QueryDataset::DataChange);
    data_.SetSort(QStringLiteral("code DESC"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(data_.CurrentRecord(), 1);
    EXPECT_EQ(data_.RecNo(), 4);
    EXPECT_EQ(data_.RowOfRecord(4), 0);
    EXPECT_EQ(data_.RecordAtRow(0), 4);

    data_.Close();
    data_.Open();
    EXPECT_EQ(data_.Sort(), QString());
    EXPECT_EQ(data_.RecordAtRow(0), 0);
    EXPECT_EQ(data_.RecNo(), 1);

    // The filter text is only kept.
    data_.SetFilter(QStringLiteral("code"));
    EXPECT_EQ(data_.Filter(), QStringLiteral("code"));
    EXPECT_FALSE(data_.Filtered());
    EXPECT_EQ(data_.RecordCount(), 5);
}

TEST_F(QueryDatasetTest, DisabledControlsGetOneNotificationAtTheEnd) {
    Rows(4);
    OpenAll();
    QSignalSpy changes(&data_, &QueryDataset::DataChange);
    data_.DisableControls();
    data_.DisableControls();
    data_.First();
    while (!data_.Eof()) {
        data_.Next();
    }
    data_.EnableControls();
    EXPECT_EQ(changes.count(), 0);
    data_.EnableControls();
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(QueryDatasetTest, OpenAndCloseResetWithoutDataChangeOnClose) {
    Rows(2);
    data_.SetSQL(QStringLiteral("SELECT * FROM T"));
    QSignalSpy changes(&data_, &QueryDataset::DataChange);
    QSignalSpy resets(&data_, &QueryDataset::ResetDone);
    data_.Open();
    EXPECT_EQ(changes.count(), 1);
    data_.SetSQL(QStringLiteral("SELECT code FROM T"));  // closes
    EXPECT_FALSE(data_.Active());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(resets.count(), 2);
}

TEST_F(QueryDatasetTest, StoresShortTextCompactly) {
    Rows(20000);
    data_.SetSQL(QStringLiteral("SELECT code, name FROM T"));
    data_.Open();
    ASSERT_EQ(data_.RecordCount(), 20000);
    EXPECT_EQ(data_.Text(19999, 0), QStringLiteral("A20000"));
    EXPECT_EQ(data_.Text(19999, 1), QStringLiteral("用户20000"));
    const std::size_t unsorted = data_.MemoryBytes();
    EXPECT_LE(unsorted / 20000.0, 40.0);

    // A sort adds its permutation; going back to result-set order frees it.
    data_.SetSort(QStringLiteral("name DESC"));
    EXPECT_GT(data_.MemoryBytes(), unsorted);
    data_.SetSort(QString());
    EXPECT_EQ(data_.MemoryBytes(), unsorted);
}

}  // namespace
}  // namespace prvc03
