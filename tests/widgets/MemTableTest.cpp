// The condition table's editing state and the condition grid's editors and
// keys, with real key presses.
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "session/Errors.h"
#include "widgets/ConditionGrid.h"
#include "widgets/GridCombo.h"

namespace prvc03 {
namespace {

using State = MemTable::State;

TEST(MemTableTest, EditOnAnEmptyTableStartsAnUnsavedRowThatFirstSaves) {
    MemTable table;
    table.Edit();
    EXPECT_EQ(table.GetState(), State::Insert);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.RecordCount(), 0);
    table.SetFieldValue(QStringLiteral("FField"), QStringLiteral("用户编号"));
    table.SetFieldValue(MemTable::FOperator, QStringLiteral("等于"));
    table.SetFieldValue(QStringLiteral("flogic"), QStringLiteral("AND"));
    table.First();
    EXPECT_EQ(table.GetState(), State::Browse);
    ASSERT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(table.Rows()[0], (MemTable::Row{QStringLiteral("用户编号"), QStringLiteral("等于"),
                                              QString(), QStringLiteral("AND")}));
    EXPECT_EQ(table.RecNo(), 1);
}

TEST(MemTableTest, UntouchedNewRowsAreDroppedWhenLeft) {
    MemTable table;
    table.Append();
    table.First();
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_EQ(table.RecNo(), 0);

    table.Append();
    table.SetFieldValue(MemTable::FValue, QStringLiteral("one"));
    table.Append();  // saves the first row
    table.SetFieldValue(MemTable::FValue, QStringLiteral("two"));
    table.Post();
    table.First();
    table.Insert();  // an untouched row above "one"
    EXPECT_EQ(table.RowCount(), 3);
    table.MoveTo(2);  // "two", which moves up as the new row goes
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.FieldValue(MemTable::FValue), QStringLiteral("two"));

    // Post saves even an untouched row.
    table.Append();
    table.Post();
    EXPECT_EQ(table.RecordCount(), 3);
}

TEST(MemTableTest, CancelDeleteAndLimits) {
    MemTable table;
    table.Append();
    table.SetFieldValue(MemTable::FLogic, QStringLiteral("ANDOR"));  // cut to 3 characters
    table.Post();
    EXPECT_EQ(table.Value(0, MemTable::FLogic), QStringLiteral("AND"));

    table.SetFieldValue(MemTable::FLogic, QStringLiteral("OR"));
    EXPECT_EQ(table.GetState(), State::Edit);
    table.Cancel();
    EXPECT_EQ(table.Value(0, MemTable::FLogic), QStringLiteral("AND"));

    table.Delete();
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_THROW(table.Delete(), Error);
    EXPECT_THROW(table.FieldValue(QStringLiteral("FNone")), Error);
    EXPECT_EQ(MemTable::ColumnAt(MemTable::FField).size, 20);
    EXPECT_EQ(MemTable::ColumnAt(MemTable::FValue).label, QStringLiteral("条件"));
}

class ConditionGridTest : public ::testing::Test {
  protected:
    ConditionGridTest() {
        source_.SetTable(&table_);
        field_.addItems({QStringLiteral("用户编号"), QStringLiteral("用户名称")});
        field_.SetClearKey(true);
        operator_.addItems({QStringLiteral("等于"), QStringLiteral("大于")});
        logic_.addItems({QStringLiteral("AND"), QStringLiteral("OR")});
        grid_.SetColumnEditor(MemTable::FField, &field_);
        grid_.SetColumnEditor(MemTable::FOperator, &operator_);
        grid_.SetColumnEditor(MemTable::FLogic, &logic_);
        grid_.SetDataSource(&source_);
        grid_.SetConfirmDelete([this] {
            ++confirmations_;
            return confirm_;
        });
        grid_.resize(600, 200);
        grid_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid_));
    }

    // Opens the editor of a cell and returns it.
    QWidget* EditCell(int row, int column) {
        const QModelIndex index = grid_.model()->index(row, column);
        grid_.setCurrentIndex(index);
        grid_.edit(index);
        return grid_.indexWidget(index) != nullptr ? grid_.indexWidget(index)
                                                   : grid_.viewport()->focusWidget();
    }

    MemTable table_;
    DataSource source_;
    ConditionGrid grid_;
    GridCombo field_, operator_, logic_;
    int confirmations_ = 0;
    bool confirm_ = false;
};

TEST_F(ConditionGridTest, LooksAsSetUp) {
    const int normal = DataGrid().RowHeight();
    EXPECT_EQ(grid_.RowHeight(), qRound(normal * 1.2));
    EXPECT_EQ(grid_.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid_.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(grid_.palette().color(QPalette::Base).rgb(), ConditionGrid::BackgroundRgb);
    EXPECT_EQ(field_.palette().color(QPalette::Base).rgb(), ConditionGrid::BackgroundRgb);
    EXPECT_EQ(grid_.horizontalHeader()->font().pixelSize(), 16);
    const QStringList titles{QStringLiteral("查询字段"), QStringLiteral("操作符"),
                             QStringLiteral("条件"), QString()};
    const int chars[] = {20, 13, 32, 5};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid_.model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        EXPECT_EQ(grid_.columnWidth(c), chars[c] * grid_.CharWidth() + 4);
    }
    EXPECT_FALSE(field_.isVisible());
}

TEST_F(ConditionGridTest, KeysAddAndDeleteRows) {
    grid_.setFocus();
    QTest::keyClick(&grid_, Qt::Key_Down);  // empty grid: a new row
    EXPECT_EQ(table_.RowCount(), 1);
    QTest::keyClick(&grid_, Qt::Key_Down);  // the new row is untouched: no second one
    EXPECT_EQ(table_.RowCount(), 1);
    table_.SetFieldValue(MemTable::FValue, QStringLiteral("x"));
    QTest::keyClick(&grid_, Qt::Key_Down);
    EXPECT_EQ(table_.RowCount(), 2);
    EXPECT_EQ(grid_.currentIndex().row(), 1);
    EXPECT_EQ(table_.RecordCount(), 1);

    QTest::keyClick(&grid_, Qt::Key_Up);  // leaving the untouched row drops it
    EXPECT_EQ(table_.RowCount(), 1);
    QTest::keyClick(&grid_, Qt::Key_Insert);
    EXPECT_EQ(table_.RowCount(), 2);
    EXPECT_EQ(table_.CurrentRow(), 0);
    table_.SetFieldValue(MemTable::FValue, QStringLiteral("y"));
    table_.Post();

    QTest::keyClick(&grid_, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(confirmations_, 1);
    EXPECT_EQ(table_.RowCount(), 2);
    confirm_ = true;
    QTest::keyClick(&grid_, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(table_.RowCount(), 1);
    EXPECT_EQ(table_.Value(0, MemTable::FValue), QStringLiteral("x"));
}

TEST_F(ConditionGridTest, DropDownEditorsSetAndClearCellsAndEnterMovesOn) {
    table_.Append();
    auto* combo = qobject_cast<GridCombo*>(EditCell(0, MemTable::FField));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->palette().color(QPalette::Base).rgb(), ConditionGrid::BackgroundRgb);
    EXPECT_EQ(DataGrid::GridOf(combo), &grid_);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(table_.Value(0, MemTable::FField), QStringLiteral("用户名称"));
    EXPECT_EQ(grid_.currentIndex().column(), MemTable::FOperator);

    // The field list can be cleared with a key; the operator list cannot.
    combo = qobject_cast<GridCombo*>(EditCell(0, MemTable::FField));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), QStringLiteral("用户名称"));
    QTest::keyClick(combo, Qt::Key_Delete);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(table_.Value(0, MemTable::FField), QString());

    table_.SetFieldValue(MemTable::FOperator, QStringLiteral("大于"));
    combo = qobject_cast<GridCombo*>(EditCell(0, MemTable::FOperator));
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Delete);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(table_.Value(0, MemTable::FOperator), QStringLiteral("大于"));

    // The value is plain text.
    auto* line = qobject_cast<QLineEdit*>(EditCell(0, MemTable::FValue));
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, QStringLiteral("A0"));
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(table_.Value(0, MemTable::FValue), QStringLiteral("A0"));
    EXPECT_EQ(grid_.currentIndex().column(), MemTable::FLogic);

    // Enter without an editor: past the last cell a new row follows.
    QTest::keyClick(&grid_, Qt::Key_Return);
    EXPECT_EQ(table_.RowCount(), 2);
    EXPECT_EQ(grid_.currentIndex(), grid_.model()->index(1, 0));
    EXPECT_EQ(table_.RecordCount(), 1);
}

}  // namespace
}  // namespace prvc03
