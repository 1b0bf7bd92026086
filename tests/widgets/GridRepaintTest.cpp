// What a repaint of the result grid costs over a large result: the first
// paint, and the repaints after a title sort, after every check cell changed
// (pick all) and after a jump to the last record, each read only about the
// cells that are visible, whatever the number of records.
#include <QTest>

#include <gtest/gtest.h>

#include "data/DataSource.h"
#include "data/QueryDataset.h"
#include "support/TestDatabase.h"
#include "widgets/DataGrid.h"
#include "widgets/DatasetModel.h"

namespace prvc03 {
namespace {

using test::TestDatabase;

constexpr int kRecords = 200000;
// A 420 by 300 grid shows about a dozen rows of three columns; each cell
// paint reads a handful of roles.
constexpr std::uint64_t kVisibleReads = 1000;

TEST(GridRepaintTest, RepaintsOfALargeResultReadOnlyVisibleCells) {
    TestDatabase db(TestDatabase::Empty);
    db.Exec(QStringLiteral("CREATE TABLE U (code TEXT, name TEXT)"));
    db.Exec(QStringLiteral(
                "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                "INSERT INTO U SELECT printf('A%07d', x), char(0x4E00 + x % 500) || (x % 7) "
                "FROM c")
                .arg(kRecords));
    QueryDataset data;
    data.SetConnection(&db.db());
    data.AddField(
        CalculatedField(QStringLiteral("selected"), FieldType::Boolean, QStringLiteral("选取"), 4));
    data.AddField(DataField(QStringLiteral("code"), FieldType::WideString, 10));
    data.AddField(DataField(QStringLiteral("name"), FieldType::WideString, 20));
    data.SetSQL(QStringLiteral("SELECT code, name FROM U"));
    DataSource source;
    source.SetDataSet(&data);
    DataGrid grid;
    grid.resize(420, 300);
    grid.SetDataSource(&source);
    data.Open();
    DatasetModel* model = grid.ResultModel();
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

    std::uint64_t before = model->CellReads();
    auto readsOfRepaint = [&] {
        grid.grab();
        const std::uint64_t reads = model->CellReads() - before;
        before = model->CellReads();
        return reads;
    };
    const std::uint64_t first = readsOfRepaint();
    EXPECT_GT(first, 0u);
    EXPECT_LT(first, kVisibleReads);

    data.SetSort(QStringLiteral("name DESC"));
    ASSERT_EQ(data.RecordCount(), kRecords);
    EXPECT_LT(readsOfRepaint(), kVisibleReads) << "after a sort";

    model->RefreshChecks();
    EXPECT_LT(readsOfRepaint(), kVisibleReads) << "after every check cell changed";

    data.Last();
    EXPECT_LT(readsOfRepaint(), kVisibleReads) << "after moving to the last record";
    EXPECT_EQ(grid.currentIndex().row(), kRecords - 1);
}

}  // namespace
}  // namespace prvc03
