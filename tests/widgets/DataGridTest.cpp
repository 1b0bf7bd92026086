// The result grid over a real dataset, driven with real clicks and keys.
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

#include "data/DataSource.h"
#include "data/QueryDataset.h"
#include "support/TestDatabase.h"
#include "widgets/DataGrid.h"
#include "widgets/DatasetModel.h"

namespace prvc03 {
namespace {

using test::TestDatabase;

// Counts the cells a view reads and the furthest row it touched.
class CountingModel : public DatasetModel {
  public:
    using DatasetModel::DatasetModel;
    QVariant data(const QModelIndex& index, int role) const override {
        ++reads;
        maxRow = std::max(maxRow, index.row());
        return DatasetModel::data(index, role);
    }
    mutable int reads = 0;
    mutable int maxRow = -1;
};

class CountingGrid : public DataGrid {
  public:
    using DataGrid::DataGrid;
    CountingModel* counting = nullptr;

  protected:
    DatasetModel* CreateDatasetModel(QueryDataset* dataset) override {
        counting = new CountingModel(dataset, this);
        return counting;
    }
};

class DataGridTest : public ::testing::Test {
  protected:
    DataGridTest() : db_(TestDatabase::Empty) {
        db_.Exec(QStringLiteral("CREATE TABLE U (code TEXT, name TEXT)"));
        data_.SetConnection(&db_.db());
        source_.SetDataSet(&data_);
        grid_.resize(420, 300);
    }

    void Fill(int count) {
        db_.Exec(QStringLiteral(
                     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                     "INSERT INTO U SELECT printf('A%06d', x), '用户' || x FROM c")
                     .arg(count));
    }

    // The multi-select shape: the check column first, then the data fields.
    void OpenPicking(int count) {
        Fill(count);
        data_.AddField(CalculatedField(QStringLiteral("selected"), FieldType::Boolean,
                                       QStringLiteral("选取"), 4));
        data_.AddField(DataField(QStringLiteral("用户编号"), FieldType::WideString, 10));
        data_.AddField(DataField(QStringLiteral("用户名称"), FieldType::WideString, 20));
        data_.SetSQL(QStringLiteral("SELECT code AS 用户编号, name AS 用户名称 FROM U"));
        grid_.SetDataSource(&source_);
        data_.Open();
        grid_.ResultModel()->SetIsPicked([this](int record) { return picked_.count(record) > 0; });
        QObject::connect(grid_.ResultModel(), &DatasetModel::CheckToggled, [this](int record) {
            if (!picked_.erase(record)) {
                picked_.insert(record);
            }
        });
    }

    void Show() {
        grid_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid_));
    }

    QPoint CellCenter(int row, int column) {
        return grid_.visualRect(grid_.model()->index(row, column)).center();
    }

    TestDatabase db_;
    QueryDataset data_;
    DataSource source_;
    CountingGrid grid_;
    std::set<int> picked_;
};

TEST_F(DataGridTest, FirstPaintOfALargeResultReadsOnlyVisibleCells) {
    OpenPicking(100000);
    grid_.counting->reads = 0;
    Show();
    grid_.grab();
    ASSERT_GT(grid_.counting->reads, 0);
    EXPECT_LT(grid_.counting->reads, 1000);
    EXPECT_LT(grid_.counting->maxRow, 100);

    // Jumping to the end reads around the end only.
    grid_.counting->reads = 0;
    grid_.counting->maxRow = -1;
    data_.Last();
    grid_.grab();
    EXPECT_LT(grid_.counting->reads, 1000);
    EXPECT_EQ(grid_.currentIndex().row(), 99999);
}

TEST_F(DataGridTest, OneClickOrSpaceOnTheCheckCellTogglesThatRecord) {
    OpenPicking(10);
    data_.SetSort(QStringLiteral("用户编号 DESC"));
    Show();
    const int check = grid_.CheckColumn();
    ASSERT_EQ(check, 0);

    // Row 2 of the descending order is record 7.
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(2, check));
    EXPECT_EQ(picked_, (std::set<int>{7}));
    EXPECT_EQ(data_.CurrentRecord(), 7);
    EXPECT_EQ(grid_.model()->index(2, check).data(Qt::CheckStateRole).toInt(), Qt::Checked);

    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(2, check));
    EXPECT_TRUE(picked_.empty());

    // A click on a data cell only moves.
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(4, 1));
    EXPECT_TRUE(picked_.empty());
    EXPECT_EQ(data_.RecNo(), 5);
    QTest::keyClick(&grid_, Qt::Key_Space);
    EXPECT_TRUE(picked_.empty());

    grid_.setCurrentIndex(grid_.model()->index(4, check));
    QTest::keyClick(&grid_, Qt::Key_Space);
    EXPECT_EQ(picked_, (std::set<int>{5}));
    EXPECT_EQ(grid_.model()->index(4, check).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(grid_.model()->index(3, check).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

TEST_F(DataGridTest, TitleClickReportsTheFieldName) {
    OpenPicking(3);
    Show();
    QSignalSpy titles(&grid_, &DataGrid::TitleButtonClick);
    QHeaderView* header = grid_.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 10, header->height() / 2));
    ASSERT_EQ(titles.count(), 1);
    EXPECT_EQ(titles.at(0).at(0).toString(), QStringLiteral("用户名称"));
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("选取"));
}

TEST_F(DataGridTest, TitleImagesComeFromTheCallback) {
    OpenPicking(3);
    QPixmap arrow(16, 16);
    arrow.fill(Qt::red);
    grid_.ResultModel()->SetTitleImages({QIcon(arrow)});
    grid_.ResultModel()->SetCalcTitleImage(
        [](const Field& field) { return field.FieldName == QStringLiteral("用户编号") ? 0 : -1; });
    QAbstractItemModel* model = grid_.model();
    EXPECT_FALSE(model->headerData(0, Qt::Horizontal, Qt::DecorationRole).isValid());
    EXPECT_TRUE(model->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());
    EXPECT_FALSE(model->headerData(2, Qt::Horizontal, Qt::DecorationRole).isValid());
}

TEST_F(DataGridTest, CurrentRowIsDrawnInItsColourWithBlackText) {
    OpenPicking(6);
    Show();
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(2, 2));
    ASSERT_EQ(grid_.currentIndex().row(), 2);

    const QModelIndex current = grid_.model()->index(2, 2);
    EXPECT_EQ(grid_.ColorsFor(current, true).text, QColor(Qt::black));
    EXPECT_EQ(grid_.ColorsFor(current, true).background.rgb(), DataGrid::CurrentRowRgb);
    EXPECT_EQ(grid_.ColorsFor(grid_.model()->index(3, 2), false).background.rgb(),
              DataGrid::AlternateRowRgb);
    EXPECT_EQ(current.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));

    // What is painted: the current-row background and near-black text
    // (a highlight would give the highlight colour and light text).
    const QImage image = grid_.viewport()->grab().toImage();
    const QRect cell = grid_.visualRect(current);
    EXPECT_EQ(image.pixelColor(cell.right() - 2, cell.top() + 2).rgb(), DataGrid::CurrentRowRgb);
    int darkest = 255;
    for (int x = cell.left(); x < cell.right(); ++x) {
        for (int y = cell.top(); y < cell.bottom(); ++y) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    EXPECT_LT(darkest, 60);
}

TEST_F(DataGridTest, GridAndDatasetCursorFollowEachOther) {
    OpenPicking(50);
    grid_.SetRowIndicator(true);
    Show();
    QSignalSpy cells(&grid_, &DataGrid::CellChanged);
    data_.Last();
    EXPECT_EQ(grid_.currentIndex().row(), 49);
    EXPECT_TRUE(grid_.viewport()->rect().intersects(grid_.visualRect(grid_.currentIndex())));
    EXPECT_EQ(cells.count(), 1);

    data_.First();
    EXPECT_TRUE(data_.Bof());  // the grid's follow-up does not move the dataset again
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(3, 1));
    EXPECT_EQ(data_.RecNo(), 4);
    EXPECT_FALSE(data_.Bof());
    const int before = cells.count();
    QTest::mouseClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(3, 2));
    EXPECT_EQ(cells.count(), before + 1);  // another column of the same record

    // The row indicator marks the current row only.
    QAbstractItemModel* model = grid_.model();
    EXPECT_TRUE(model->headerData(3, Qt::Vertical, Qt::DecorationRole).isValid());
    EXPECT_FALSE(model->headerData(2, Qt::Vertical, Qt::DecorationRole).isValid());

    QSignalSpy doubles(&grid_, &DataGrid::DblClick);
    QTest::mouseDClick(grid_.viewport(), Qt::LeftButton, {}, CellCenter(1, 1));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(data_.RecNo(), 2);
}

// Records the keys that reach it from its children.
class KeySink : public QWidget {
  public:
    int keys = 0;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        ++keys;
        event->accept();
    }
};

TEST_F(DataGridTest, EnterStaysInTheGrid) {
    OpenPicking(3);
    KeySink window;
    DataGrid grid(&window);
    grid.SetDataSource(&source_);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_F7);
    EXPECT_EQ(window.keys, 1);  // only F7 went on to the window
    EXPECT_EQ(DataGrid::GridOf(grid.viewport()), &grid);
    EXPECT_EQ(DataGrid::GridOf(&window), nullptr);
}

TEST_F(DataGridTest, ClosingEmptiesTheGridAndReopeningRestoresIt) {
    OpenPicking(5);
    Show();
    data_.Close();
    EXPECT_EQ(grid_.model()->rowCount(), 0);
    EXPECT_EQ(grid_.model()->columnCount(), 3);
    data_.Open();
    EXPECT_EQ(grid_.model()->rowCount(), 5);
    EXPECT_EQ(grid_.currentIndex().row(), 0);
    EXPECT_GE(grid_.columnWidth(2), 20 * grid_.CharWidth());
}

}  // namespace
}  // namespace prvc03
