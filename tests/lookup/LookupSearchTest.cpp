// Searching, sorting and browsing in the lookup windows: every statement is
// run against the database and the records the grid shows are checked.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "data/MemTable.h"
#include "lookup/LookupTestSupport.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "session/Errors.h"
#include "support/MessageBoxProbe.h"
#include "support/QtPrinters.h"
#include "widgets/CheckList.h"
#include "widgets/ConditionGrid.h"
#include "widgets/DatasetModel.h"
#include "widgets/DropDownButton.h"
#include "widgets/GridCombo.h"
#include "widgets/ListBox.h"
#include "widgets/MapListCombo.h"

namespace prvc03 {
namespace {

using test::LookupFixture;

void ClickButtonPart(DropDownButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, button->height() / 2));
}

void AddCondition(MemTable* table, const char* field, const char* op, const char* value,
                  const char* logic) {
    if (table->GetState() == MemTable::State::Browse) {
        table->Append();
    }
    table->SetFieldValue(MemTable::FField, QString::fromUtf8(field));
    table->SetFieldValue(MemTable::FOperator, QString::fromUtf8(op));
    table->SetFieldValue(MemTable::FValue, QString::fromUtf8(value));
    table->SetFieldValue(MemTable::FLogic, QString::fromUtf8(logic));
    table->Post();
}

class ConditionSearch : public LookupFixture {};

TEST_F(ConditionSearch, DefaultRowTypedIntoByKeysAndQuotesInValues) {
    auto window = ShowAdvanced<TfrmRootFH>();
    TfrmRootFH& w = *window.get();
    // The untouched default row takes no part: all records.
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(w.QryFhelp->SQL(), test::kUsersBase);
    EXPECT_EQ(w.CDSTmp->RecordCount(), 1);

    // Type a value into the row's 条件 cell: F2 opens the cell's editor.
    ClickCell(w.wwDBGridQ, 0, MemTable::FValue);
    QTest::keyClick(w.wwDBGridQ, Qt::Key_F2);
    auto* editor = w.wwDBGridQ->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("A01"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(w.CDSTmp->Value(0, MemTable::FValue), QStringLiteral("A01"));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    const QString one = test::kUsersBase + QStringLiteral(" AND (ADMMG.MG001 = 'A01' )");
    EXPECT_EQ(w.QryFhelp->SQL(), one);
    EXPECT_EQ(GridRows(w), Rows(one));
    EXPECT_EQ(w.QryFhelp->RecordCount(), 1);

    // A quote in a value is doubled; the literal ends where it should.
    w.CDSTmp->SetValue(0, MemTable::FValue, QStringLiteral("O'Neil"));
    w.CDSTmp->SetValue(0, MemTable::FField, QStringLiteral("用户名称"));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    const QString quoted = test::kUsersBase + QStringLiteral(" AND (ADMMG.MG002 = 'O''Neil' )");
    EXPECT_EQ(w.QryFhelp->SQL(), quoted);
    EXPECT_EQ(w.QryFhelp->RecordCount(), 1);
    EXPECT_EQ(GridRows(w), Rows(quoted));
}

// Whether choosing another quick-search column empties the value box.
// Only the multi-select window empties the value when the column changes.

class QuickSearchInWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(QuickSearchInWindow);

TEST_P(QuickSearchInWindow, AnotherColumnEmptiesOrKeepsTheValue) {
    const bool empties = GetParam() == test::WindowKind::MultiSelect;
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    w.SearchValue->setText(QStringLiteral("王"));
    w.SearchField->setCurrentIndex(1);
    EXPECT_EQ(w.SearchValue->text(), empties ? QString() : QStringLiteral("王"));
    QTest::keyClicks(w.SearchValue, QStringLiteral("'N"));
    // The value searched is what the box holds, its quote doubled.
    const QString value = empties ? QStringLiteral("''N") : QStringLiteral("王''N");
    ClickButtonPart(w.cxButton1);
    const QString research = test::kUsersBase + QStringLiteral("  AND ADMMG.MG002 >= '") + value +
                             QStringLiteral("' ORDER BY ADMMG.MG002");
    EXPECT_EQ(w.QryFhelp->SQL(), research);
    EXPECT_EQ(GridRows(w), Rows(research));
    w.fB->trigger();
    ClickButtonPart(w.cxButton1);
    const QString fuzzy = test::kUsersBase + QStringLiteral("  AND ADMMG.MG002 LIKE '%") + value +
                          QStringLiteral("%' ORDER BY ADMMG.MG002");
    EXPECT_EQ(w.QryFhelp->SQL(), fuzzy);
    EXPECT_EQ(GridRows(w), Rows(fuzzy));
    EXPECT_EQ(w.QryFhelp->RecordCount(), empties ? 1 : 0);
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

TEST_F(ConditionSearch, DeleteConfirmationAsksInChinese) {
    const test::DefaultLocale chinese(test::kChina);
    auto window = ShowAdvanced<TfrmRootFS>();
    TfrmRootFS& w = *window.get();
    AddCondition(w.CDSTmp, "用户编号", "等于", "A01", "AND");
    AddCondition(w.CDSTmp, "用户名称", "包含", "王", "AND");
    w.wwDBGridQ->setFocus();
    QObject context;
    // 否 keeps the row, 是 deletes it.
    for (const QString& answer : {QStringLiteral("否"), QStringLiteral("是")}) {
        SCOPED_TRACE(answer.toStdString());
        QStringList texts;
        test::WhenMessageBox(&context, [&texts, answer](QMessageBox& box) -> QAbstractButton* {
            texts = test::ButtonTexts(box);
            for (QAbstractButton* button : box.buttons()) {
                if (button->text() == answer) {
                    return button;
                }
            }
            return nullptr;
        });
        QTest::keyClick(w.wwDBGridQ, Qt::Key_Delete, Qt::ControlModifier);
        texts.sort();
        EXPECT_EQ(texts, (QStringList{QStringLiteral("否"), QStringLiteral("是")}));
    }
    EXPECT_EQ(w.CDSTmp->RowCount(), 1);
}

class SortOrder : public LookupFixture {};

TEST_F(SortOrder, AddRemoveAndFlipKeepArrowsInStep) {
    auto window = ShowAdvanced<TfrmRootFH>();
    TfrmRootFH& w = *window.get();
    QTest::mouseClick(w.BitBtn4, Qt::LeftButton);

    // Adding with no column chosen is refused.
    w.lbOrder1->setCurrentRow(-1);
    QTest::mouseClick(w.BitBtn6, Qt::LeftButton);
    EXPECT_EQ(TakeBoxes().size(), 1);
    EXPECT_EQ(w.cbOrder1->count(), 0);

    // A double click on a column adds it, ascending with the upward arrow.
    for (int row : {1, 0, 1}) {
        DoubleClickItem(w.lbOrder1, row);
    }
    ASSERT_EQ(w.cbOrder1->count(), 3);
    EXPECT_EQ(w.cbOrder1->ItemText(0), QStringLiteral("用户名称"));
    EXPECT_EQ(w.cbOrder1->ItemText(1), QStringLiteral("用户编号"));
    EXPECT_EQ(w.cbOrder1->ItemIndex(), 2);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(w.cbOrder1->Checked(i));
        EXPECT_EQ(w.cbOrder1->ImageIndex(i), 0);
    }
    // The two 用户名称 entries both reach the statement.
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    const QString sql = test::kUsersBase +
                        QStringLiteral(" ORDER BY ADMMG.MG002 ASC,ADMMG.MG001 ASC,ADMMG.MG002 ASC");
    EXPECT_EQ(w.QryFhelp->SQL(), sql);
    EXPECT_EQ(GridRows(w), Rows(sql));

    // Double click flips direction and arrow; twice returns it; Space too.
    DoubleClickItem(w.cbOrder1, 1);
    EXPECT_FALSE(w.cbOrder1->Checked(1));
    EXPECT_EQ(w.cbOrder1->ImageIndex(1), 1);
    DoubleClickItem(w.cbOrder1, 1);
    EXPECT_TRUE(w.cbOrder1->Checked(1));
    EXPECT_EQ(w.cbOrder1->ImageIndex(1), 0);
    w.cbOrder1->setFocus();
    QTest::keyClick(w.cbOrder1, Qt::Key_Space);
    EXPECT_FALSE(w.cbOrder1->Checked(1));
    EXPECT_EQ(w.cbOrder1->ImageIndex(1), 1);

    // Removing the first of three selects the last one.
    w.cbOrder1->SetItemIndex(0);
    QTest::mouseClick(w.BitBtn7, Qt::LeftButton);
    ASSERT_EQ(w.cbOrder1->count(), 2);
    EXPECT_EQ(w.cbOrder1->ItemText(0), QStringLiteral("用户编号"));
    EXPECT_EQ(w.cbOrder1->ItemIndex(), 1);
    // With none selected nothing is removed and the last one is selected.
    w.cbOrder1->SetItemIndex(-1);
    QTest::mouseClick(w.BitBtn7, Qt::LeftButton);
    EXPECT_EQ(w.cbOrder1->count(), 2);
    EXPECT_EQ(w.cbOrder1->ItemIndex(), 1);
}

TEST_F(SortOrder, DoubleClickBelowTheColumnsTakesTheSelectedColumn) {
    auto window = Show<TfrmRootFS>();
    TfrmRootFS& w = *window.get();
    QTest::mouseClick(w.BitBtn4, Qt::LeftButton);
    QCoreApplication::processEvents();
    const QPoint below(20, w.lbOrder1->viewport()->height() - 5);
    ASSERT_FALSE(w.lbOrder1->indexAt(below).isValid()) << "the point lies below every column";

    // Nothing selected: the list's index error, and neither list changes.
    w.lbOrder1->setCurrentRow(-1);
    DoubleClick(w.lbOrder1->viewport(), below);
    EXPECT_EQ(TakeBoxes(), QStringList{QStringLiteral("List index out of bounds (-1)")});
    EXPECT_EQ(w.cbOrder1->count(), 0);
    EXPECT_EQ(w.lbOrder1->count(), 2);

    // A selected column stays selected and is the one added.
    w.lbOrder1->setCurrentRow(1);
    DoubleClick(w.lbOrder1->viewport(), below);
    EXPECT_TRUE(TakeBoxes().isEmpty());
    ASSERT_EQ(w.cbOrder1->count(), 1);
    EXPECT_EQ(w.cbOrder1->ItemText(0), QStringLiteral("用户名称"));
}

TEST_F(SortOrder, FlipWithNothingSelectedIsReported) {
    auto window = Show<TfrmRootFS>();
    TfrmRootFS& w = *window.get();
    EXPECT_THROW(w.cbOrder1DblClick(), Error);
    Q_EMIT w.cbOrder1->DblClick();
    EXPECT_EQ(TakeBoxes().size(), 1);
    EXPECT_EQ(w.cbOrder1->count(), 0);
}

class TitleSortInWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(TitleSortInWindow);

TEST_P(TitleSortInWindow, FirstClickSortsInTheWindowsDirectionAndShowsArrows) {
    // The direction of the window's first click on a title, then the other.
    const QString first =
        QLatin1String(GetParam() == test::WindowKind::MultiSelect ? " DESC" : " ASC");
    const QString second =
        first == QLatin1String(" DESC") ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    // The multi-select window's check column comes first.
    const int column = MultiSelect() ? 1 : 0;
    const QString code = QStringLiteral("用户编号");
    const QString name = QStringLiteral("用户名称");
    const Field codeField = w.QryFhelp->FieldAt(column);
    const Field nameField = w.QryFhelp->FieldAt(column + 1);
    const QString sql = w.QryFhelp->SQL();

    ClickTitle(w.wwDBGridH, code);
    EXPECT_EQ(w.QryFhelp->Sort(), code + first);
    EXPECT_EQ(GridRows(w), Rows(sql + QStringLiteral(" ORDER BY MG001") + first));
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(codeField), 0);
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(nameField), -1);
    const QAbstractItemModel* model = w.wwDBGridH->model();
    EXPECT_FALSE(model->headerData(column, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_TRUE(model->headerData(column + 1, Qt::Horizontal, Qt::DecorationRole).isNull());
    EXPECT_EQ(w.QryFhelp->SQL(), sql);  // nothing sent to the database

    ClickTitle(w.wwDBGridH, code);
    EXPECT_EQ(w.QryFhelp->Sort(), code + second);
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(codeField), 1);
    // The counter follows the current record into its new place.
    EXPECT_EQ(w.StatusText(3).section(QChar(0xFF0F), 0, 0).toInt(), w.QryFhelp->RecNo());

    ClickTitle(w.wwDBGridH, name);
    EXPECT_EQ(w.QryFhelp->Sort(), name + first);
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(nameField), 0);
    if (MultiSelect()) {
        // The check column's title does not sort.
        ClickTitle(w.wwDBGridH, QStringLiteral("selected"));
        EXPECT_EQ(w.QryFhelp->Sort(), name + first);
    }
    ClickTitle(w.wwDBGridH, name);
    EXPECT_EQ(w.QryFhelp->Sort(), name + second);
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(nameField), 1);
    const QStringList secondRows = GridRows(w);
    ClickTitle(w.wwDBGridH, name);
    EXPECT_EQ(w.QryFhelp->Sort(), name + first);
    QStringList firstRows = GridRows(w);
    std::reverse(firstRows.begin(), firstRows.end());
    // Names are unique except 王五; compare the name column only.
    auto names = [](const QStringList& rows) {
        QStringList out;
        for (const QString& row : rows) {
            out << row.section(QLatin1Char('\t'), 1, 1);
        }
        return out;
    };
    EXPECT_EQ(names(firstRows), names(secondRows));

    // A new search: statement order, upward arrow, next click the first
    // direction again.
    ClickButtonPart(w.cxButton1);
    EXPECT_TRUE(w.QryFhelp->Sort().isEmpty());
    EXPECT_EQ(GridRows(w), Rows(w.QryFhelp->SQL()));
    EXPECT_EQ(w.wwDBGridHCalcTitleImage(nameField), 1);
    ClickTitle(w.wwDBGridH, name);
    EXPECT_EQ(w.QryFhelp->Sort(), name + first);
}

// From the keyboard: "按此列排序" in the grid's context menu (Shift+F10, or
// the Menu key, which the platform sends as a keyboard context menu event)
// does what a click on the current column's title does; each title's
// accessible description tells how it is sorted.
TEST_P(TitleSortInWindow, ContextMenuSortsByTheCurrentColumnAndTitlesTellTheirState) {
    const bool multi = GetParam() == test::WindowKind::MultiSelect;
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    const int column = w.Kind().firstDataColumn + 1;  // 用户名称
    const QAbstractItemModel* model = w.wwDBGridH->model();
    const auto states = [&] {
        QStringList out;
        for (int c : {column - 1, column}) {
            out << model->headerData(c, Qt::Horizontal, Qt::AccessibleDescriptionRole).toString();
        }
        return out;
    };
    EXPECT_EQ(states(), (QStringList{QStringLiteral("未排序"), QStringLiteral("未排序")}));
    w.wwDBGridH->setCurrentIndex(model->index(0, column));
    for (const bool shiftF10 : {true, false}) {
        QObject context;
        QTimer::singleShot(0, &context, [&w] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu != nullptr && menu->actions() == QList<QAction*>{w.SortAction});
            menu->setActiveAction(w.SortAction);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        if (shiftF10) {
            QTest::keyClick(w.wwDBGridH, Qt::Key_F10, Qt::ShiftModifier);
        } else {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(4, 4),
                                      w.wwDBGridH->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(w.wwDBGridH, &menuKey);
        }
        const bool descending = multi == shiftF10;  // the window's first direction, then the other
        EXPECT_EQ(w.QryFhelp->Sort(),
                  QStringLiteral("用户名称") + QLatin1String(descending ? " DESC" : " ASC"));
        EXPECT_EQ(states(),
                  (QStringList{QStringLiteral("未排序"),
                               descending ? QStringLiteral("降序") : QStringLiteral("升序")}));
    }
}

class Browsing : public LookupFixture {};

TEST_F(Browsing, NavigationButtonsFollowTheFlagsAtBothEnds) {
    for (int i = 1; i <= 7; ++i) {
        db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('H0%1', '新人%1')").arg(i));
    }
    ASSERT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG")), 25);
    auto window = Show<TfrmRootFH>();
    TfrmRootFH& w = *window.get();
    auto enabled = [&] {
        return std::vector<bool>{w.TFirst->isEnabled(), w.TPrior->isEnabled(), w.TNext->isEnabled(),
                                 w.TLast->isEnabled()};
    };
    const std::vector<bool> all{true, true, true, true};
    const std::vector<bool> atStart{false, false, true, true};
    const std::vector<bool> atEnd{true, true, false, false};
    EXPECT_EQ(enabled(), all);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("1／25"));

    QTest::mouseClick(w.TLast, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("25／25"));
    EXPECT_EQ(enabled(), atEnd);
    const QStringList rows = Rows(w.QryFhelp->SQL());
    EXPECT_EQ(w.StatusText(1), QString(rows.last()).replace(QLatin1Char('\t'), QLatin1Char(' ')));

    QTest::mouseClick(w.TFirst, Qt::LeftButton);
    EXPECT_EQ(enabled(), atStart);
    QTest::mouseClick(w.TNext, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("2／25"));
    EXPECT_EQ(enabled(), all);
    QTest::mouseClick(w.TPrior, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("1／25"));
    EXPECT_EQ(enabled(), all);  // the flag is set by the next step back only
    QTest::mouseClick(w.TPrior, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("1／25"));
    EXPECT_EQ(enabled(), atStart);

    // Moving with the grid or searching leaves the buttons alone.
    ClickCell(w.wwDBGridH, 23, 0);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("24／25"));
    EXPECT_EQ(enabled(), atStart);
    QTest::mouseClick(w.TNext, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("25／25"));
    EXPECT_EQ(enabled(), all);
    QTest::mouseClick(w.TNext, Qt::LeftButton);
    EXPECT_EQ(enabled(), atEnd);
    ClickButtonPart(w.cxButton1);
    EXPECT_EQ(enabled(), atEnd);
}

TEST_F(Browsing, EmptyResultAndTrimmedRecordText) {
    db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('  Z1 ', ' 空格 ')"));
    auto window = Show<TfrmRootFS>(QStringLiteral("FROM ADMMG WHERE MG001 = '  Z1 '"));
    TfrmRootFS& w = *window.get();
    EXPECT_EQ(w.StatusText(1), QStringLiteral("Z1 空格"));
    EXPECT_EQ(w.StatusText(3), QStringLiteral("1／1"));

    auto empty = Show<TfrmRootFS>(QStringLiteral("FROM ADMMG WHERE 1=0"));
    TfrmRootFS& e = *empty.get();
    EXPECT_EQ(e.StatusText(3), QStringLiteral("0"));
    QTest::mouseClick(e.TFirst, Qt::LeftButton);
    EXPECT_FALSE(e.TFirst->isEnabled());
    EXPECT_FALSE(e.TPrior->isEnabled());
    EXPECT_TRUE(e.TNext->isEnabled());
    EXPECT_TRUE(e.TLast->isEnabled());
    QTest::mouseClick(e.TLast, Qt::LeftButton);
    EXPECT_FALSE(e.TNext->isEnabled());
    e.wwDBGridHCellChanged();
    EXPECT_EQ(e.StatusText(1), QStringLiteral(" "));
}

class BrowsingInWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(BrowsingInWindow);

TEST_P(BrowsingInWindow, SearchWithoutRecordsShowsTheSingleBlank) {
    db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('\u3000Z2', '全角\u3000')"));
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    // The full-width blank is no blank of the trimming rule.
    w.SearchValue->setText(QStringLiteral("\u3000Z2"));
    ClickButtonPart(w.cxButton1);
    ASSERT_EQ(w.StatusText(3), QStringLiteral("1／1"));
    EXPECT_EQ(w.StatusText(1), QStringLiteral("\u3000Z2 全角\u3000"));

    // A quick search that finds nothing.
    w.SearchValue->setText(QStringLiteral("无此用户"));
    ClickButtonPart(w.cxButton1);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("0"));
    EXPECT_EQ(w.StatusText(1), QStringLiteral(" "));

    // Records again, then a condition search that finds nothing.
    w.SearchValue->setText(QStringLiteral("A01"));
    ClickButtonPart(w.cxButton1);
    EXPECT_TRUE(w.StatusText(1).startsWith(QStringLiteral("A01 ")));
    w.fA->trigger();
    AddCondition(w.CDSTmp, "用户编号", "等于", "无此用户", "AND");
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(w.StatusText(3), QStringLiteral("0"));
    EXPECT_EQ(w.StatusText(1), QStringLiteral(" "));
}

TEST_F(Browsing, SearchWithoutRecordsOverOneColumnShowsAnEmptyText) {
    QueryDataset codes;
    codes.AddField(test::RequestField(QStringLiteral("MG001"), QStringLiteral("用户编号"),
                                      QStringLiteral("ADMMG"), FieldType::WideString, 10));
    auto window = Show<TfrmRootFH>(test::kUsersFrom, &codes);
    TfrmRootFH& w = *window.get();
    EXPECT_EQ(w.StatusText(1), Rows(w.BaseSQL).first());
    w.SearchValue->setText(QStringLiteral("无此用户"));
    ClickButtonPart(w.cxButton1);
    EXPECT_EQ(w.StatusText(1), QString());
}

TEST_F(Browsing, CurrentRowTextIsBlack) {
    auto window = Show<TfrmRootFH>();
    TfrmRootFH& w = *window.get();
    ClickCell(w.wwDBGridH, 2, 1);
    const QModelIndex current = w.wwDBGridH->currentIndex();
    ASSERT_EQ(current.row(), 2);
    for (bool highlighted : {false, true}) {
        const CellColors colors = w.wwDBGridH->ColorsFor(current, highlighted);
        EXPECT_EQ(colors.text, QColor(Qt::black));
        EXPECT_EQ(colors.background, QColor::fromRgb(DataGrid::CurrentRowRgb));
    }
    EXPECT_EQ(w.wwDBGridH->ColorsFor(w.wwDBGridH->model()->index(3, 0), false).background,
              QColor::fromRgb(DataGrid::AlternateRowRgb));
}

class Keyboard : public LookupFixture {
  protected:
    // A key as the operator types it: to the window's focused control.
    static void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* focused = window.focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, static_cast<Qt::Key>(key), modifiers);
    }
};

TEST_F(Keyboard, SearchModeTickAndConfirmWithoutAMouse) {
    auto window = Show<TfrmRootFS>();
    TfrmRootFS& w = *window.get();
    ASSERT_EQ(w.focusWidget(), w.SearchValue) << "the operator starts typing";
    EXPECT_TRUE(w.cxButton1->toolTip().contains(QStringLiteral("F4")));
    // A screen reader hears the search mode the button now runs.
    const auto heard = [&w] {
        return QAccessible::queryAccessibleInterface(w.cxButton1)->text(QAccessible::Name);
    };
    EXPECT_EQ(heard(), QStringLiteral("查找：重新查找"));

    // The search column: 用户名称; the mode from the drop-down's menu: 模糊查找.
    Press(w, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(w.focusWidget(), w.SearchField);
    Press(w, Qt::Key_Down);
    EXPECT_EQ(w.SearchField->currentIndex(), 1);
    Press(w, Qt::Key_Return);
    ASSERT_EQ(w.focusWidget(), w.SearchValue);
    QTest::sendKeyEvent(QTest::Click, w.SearchValue, Qt::Key_unknown, QStringLiteral("王"),
                        Qt::NoModifier);
    Press(w, Qt::Key_Return);
    ASSERT_EQ(w.focusWidget(), w.cxButton1);
    QObject context;
    QTimer::singleShot(0, &context, [&w] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_EQ(menu, w.PopupMenu1) << "F4 opens the search modes";
        for (int i = 0; i < 3 && menu->activeAction() != w.fB; ++i) {
            QTest::keyClick(menu, Qt::Key_Down);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    Press(w, Qt::Key_F4);
    EXPECT_EQ(w.cxButton1->Caption(), QStringLiteral("模糊查找"));
    EXPECT_EQ(heard(), QStringLiteral("查找：模糊查找"));
    Press(w, Qt::Key_Space);
    const QString sql = w.QryFhelp->SQL();
    EXPECT_TRUE(sql.contains(QStringLiteral("ADMMG.MG002 LIKE '%王%'"))) << sql.toStdString();
    ASSERT_EQ(w.QryFhelp->RecordCount(), Rows(sql).size());
    ASSERT_GE(w.QryFhelp->RecordCount(), 2);

    // Into the grid: Space ticks, the arrows move, Tab leaves for the buttons.
    Press(w, Qt::Key_Tab);
    ASSERT_EQ(w.focusWidget(), w.wwDBGridH);
    Press(w, Qt::Key_Home);
    Press(w, Qt::Key_Space);
    Press(w, Qt::Key_Down);
    Press(w, Qt::Key_Space);
    EXPECT_EQ(w.Picks().Count(), 2);
    Press(w, Qt::Key_Tab);
    EXPECT_EQ(w.focusWidget(), w.BitBtn5);
    Press(w, Qt::Key_Tab);
    Press(w, Qt::Key_Tab);
    ASSERT_EQ(w.focusWidget(), w.BitBtn1);
    Press(w, Qt::Key_Space);
    ASSERT_TRUE(w.ResultValue);
    EXPECT_EQ(w.ResultValue->High(1) - w.ResultValue->Low(1) + 1, 2);
}

}  // namespace
}  // namespace prvc03
