#pragma once
// Drives a real lookup window the way the operator does: shows it over the
// demo users' request, clicks cells and titles, runs a quick or condition
// search, and reads back the rows the grid shows.

#include <QAction>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "data/MemTable.h"
#include "data/QueryDataset.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupStatements.h"
#include "lookup/LookupWindow.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "support/Requests.h"
#include "widgets/DatasetModel.h"
#include "widgets/DropDownButton.h"
#include "widgets/MapListCombo.h"

namespace prvc03::test {

// The module's own request over the demo users: MG001 and MG002 of ADMMG.
inline void AddUserRequestFields(QueryDataset& request) {
    request.AddField(DataField(QStringLiteral("MG001"), FieldType::WideString, 10,
                               QStringLiteral("用户编号"), QStringLiteral("ADMMG")));
    request.AddField(DataField(QStringLiteral("MG002"), FieldType::WideString, 20,
                               QStringLiteral("用户名称"), QStringLiteral("ADMMG")));
}

// Both lookup windows, as a test parameter: each instance is named after
// its window, and combines with the databases (DatabaseAndWindow).
enum class WindowKind { MultiSelect, SingleSelect };

inline const char* WindowKindName(WindowKind kind) {
    return kind == WindowKind::MultiSelect ? "MultiSelectWindow" : "SingleSelectWindow";
}

inline std::string WindowKindParamName(const ::testing::TestParamInfo<WindowKind>& info) {
    return WindowKindName(info.param);
}

#define PRVC03_ON_EACH_WINDOW(Fixture)                                                    \
    INSTANTIATE_TEST_SUITE_P(Windows, Fixture,                                            \
                             ::testing::Values(::prvc03::test::WindowKind::MultiSelect,   \
                                               ::prvc03::test::WindowKind::SingleSelect), \
                             ::prvc03::test::WindowKindParamName)

// A new window of `kind` without an owner: the caller frees it.
inline LookupWindow* NewLookupWindow(WindowKind kind) {
    if (kind == WindowKind::MultiSelect) {
        return new TfrmRootFS(nullptr);
    }
    return new TfrmRootFH(nullptr);
}

// The window of `kind` that is open now, if any.
inline LookupWindow* CurrentLookup(WindowKind kind) {
    if (kind == WindowKind::MultiSelect) {
        return TfrmRootFS::Current();
    }
    return TfrmRootFH::Current();
}

// One modal lookup of the window of `kind`, as the copy window runs it.
inline std::optional<VariantArray> RunLookup(WindowKind kind, QueryDataset& source,
                                             const QString& from) {
    if (kind == WindowKind::MultiSelect) {
        return ::prvc03::RunLookup<TfrmRootFS>(source, from);
    }
    return ::prvc03::RunLookup<TfrmRootFH>(source, from);
}

// `window` shown modeless over `source` and `from`; freed with the guard (or
// earlier, by its own close step).
template <class W>
LookupWindowGuard<W> ShowLookupWindow(W* window, QueryDataset& source, const QString& from) {
    LookupWindowGuard<W> guard(window);
    window->SourceQuery = &source;
    window->FromText = from;
    window->show();
    return guard;
}

// A window of kind W shown modeless over `source` and `from`.
template <class W>
LookupWindowGuard<W> ShowLookup(QueryDataset& source, const QString& from = kUsersFrom) {
    return ShowLookupWindow(new W(nullptr), source, from);
}

// The window of `kind` shown modeless over `source` and `from`.
inline LookupWindowGuard<LookupWindow> ShowLookup(WindowKind kind, QueryDataset& source,
                                                  const QString& from = kUsersFrom) {
    return ShowLookupWindow(NewLookupWindow(kind), source, from);
}

// Clicks happen where the operator sees the cell: pending layout first.
inline void ClickCell(DataGrid* grid, int row, int column) {
    QCoreApplication::processEvents();
    grid->scrollTo(grid->model()->index(row, column));
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    ASSERT_TRUE(grid->viewport()->rect().contains(cell.center()));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// What the window system delivers for a double click.
inline void DoubleClick(QWidget* widget, QPoint pos) {
    QTest::mousePress(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
}

inline void DoubleClickItem(QListWidget* list, int row) {
    QCoreApplication::processEvents();
    const QRect item = list->visualItemRect(list->item(row));
    ASSERT_TRUE(list->viewport()->rect().contains(item.center()));
    DoubleClick(list->viewport(), item.center());
}

inline void ClickTitle(DataGrid* grid, const QString& fieldName) {
    QCoreApplication::processEvents();
    QHeaderView* header = grid->horizontalHeader();
    const QAbstractItemModel* model = grid->model();
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal, DatasetModel::FieldNameRole).toString() ==
            fieldName) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(c) + 8, header->height() / 2));
            return;
        }
    }
    ADD_FAILURE() << "no title " << fieldName.toStdString();
}

// The data rows the result grid shows, in display order, each as its
// columns joined by a tab.
inline QStringList GridRows(const LookupWindow& window) {
    const QAbstractItemModel* model = window.wwDBGridH->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList columns;
        for (int c = window.Kind().firstDataColumn; c < model->columnCount(); ++c) {
            columns << model->index(r, c).data().toString();
        }
        rows << columns.join(QLatin1Char('\t'));
    }
    return rows;
}

// The grid row that shows the record whose first data column is `code`.
inline int RowOf(LookupWindow& lookup, const QString& code) {
    const int field = lookup.Kind().multiSelect ? 1 : 0;
    for (int record = 0; record < lookup.QryFhelp->HeldRecordCount(); ++record) {
        if (lookup.QryFhelp->Text(record, field) == code) {
            return lookup.QryFhelp->RowOfRecord(record);
        }
    }
    return -1;
}

// The first data column of every record, in the grid's order.
inline QStringList Codes(const LookupWindow& lookup) {
    QStringList codes;
    if (!lookup.QryFhelp->Active()) {
        return codes;
    }
    const int field = lookup.Kind().multiSelect ? 1 : 0;
    for (int row = 0; row < lookup.QryFhelp->RecordCount(); ++row) {
        codes.append(lookup.QryFhelp->Text(lookup.QryFhelp->RecordAtRow(row), field));
    }
    return codes;
}

// The quick search as the operator runs it: mode from the menu, column,
// value, then the button part of the drop-down button.
inline void QuickSearch(LookupWindow& lookup, QAction* mode, int column, const QString& value) {
    mode->trigger();
    lookup.SearchField->setCurrentIndex(column);
    lookup.SearchValue->setText(value);
    QTest::mouseClick(lookup.cxButton1, Qt::LeftButton, {}, QPoint(20, 12));
}

// The condition search with `rows` (label, operator, value, logic) typed
// into the condition grid's table, then 查询.
inline void ConditionSearch(LookupWindow& lookup, const std::vector<ConditionRow>& rows) {
    lookup.fA->trigger();
    lookup.CDSTmp->EmptyTable();
    for (const ConditionRow& row : rows) {
        lookup.CDSTmp->Append();
        lookup.CDSTmp->SetFieldValue(MemTable::FField, row.field);
        lookup.CDSTmp->SetFieldValue(MemTable::FOperator, row.op);
        lookup.CDSTmp->SetFieldValue(MemTable::FValue, row.value);
        lookup.CDSTmp->SetFieldValue(MemTable::FLogic, row.logic);
        lookup.CDSTmp->Post();
    }
    QTest::mouseClick(lookup.BitBtn3, Qt::LeftButton);
}

}  // namespace prvc03::test
