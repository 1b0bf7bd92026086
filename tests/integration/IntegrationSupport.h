#pragma once
// Shared by the integration tests: the copy window and the lookup windows on
// a real database of each kind, driven by clicks, with a recording host.

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "data/MemTable.h"
#include "data/QueryDataset.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupStatements.h"
#include "lookup/LookupWindow.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "modules/PRVC03F.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/QtPrinters.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"
#include "support/WhenShown.h"
#include "widgets/DropDownButton.h"
#include "widgets/MapListCombo.h"

namespace prvc03::test {

inline const QString kCopied = QStringLiteral("复制用户权限成功．");
inline const QString kNotCopied = QStringLiteral("复制用户权限失败．");
inline const QString kReportPrefix = QStringLiteral("Error: ExecuteSQL出错,详细信息:");

using Boxes = std::vector<std::pair<QString, unsigned>>;

class ModuleTest : public EveryDatabase {
  protected:
    void SetUp() override {
        EveryDatabase::SetUp();
        if (IsSkipped()) {
            return;
        }
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
        SetCurrentApplication(&application_);
    }
    void TearDown() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window.data();
        SetCurrentApplication(nullptr);
        Session().HostWindow = 0;
    }

    // The copy window, shown modeless as LoadDll shows it.
    TfrmPRVC03F& OpenCopyWindow() {
        window = new TfrmPRVC03F(nullptr);
        window->show();
        QApplication::processEvents();
        host.Clear();
        return *window;
    }
    // 确定, then the deferred delete of a window that closed itself.
    void ClickOk() {
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Boxes Shown() const {
        Boxes boxes;
        for (const ShownMessageBox& box : host.messageBoxes) {
            boxes.emplace_back(box.text, box.type);
        }
        return boxes;
    }
    // A user's permission rows without the user column (columns joined by
    // tabs, NULL as "<null>"), sorted; the user is a bound value.
    QStringList Rights(const QString& user) {
        QStringList rows = QueryRows(
            db().db(),
            QStringLiteral("SELECT MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
                           "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE FROM ADMMH WHERE MH001 = ?"),
            {user}, QStringLiteral("<null>"));
        rows.sort();
        return rows;
    }

    // Runs `drive` on the modal lookup window of kind W once it shows its
    // records.
    template <class W>
    void WhenShown(std::function<void(W&)> drive) {
        test::WhenShown<W>(&context_, std::move(drive));
    }

    static void ClickCell(DataGrid* grid, int row, int column) {
        grid->scrollTo(grid->model()->index(row, column));
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        ASSERT_TRUE(grid->viewport()->rect().contains(cell.center()));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // The grid row that shows the record whose first data column is `code`.
    static int RowOf(LookupWindow& lookup, const QString& code) {
        const int field = lookup.Kind().multiSelect ? 1 : 0;
        for (int record = 0; record < lookup.QryFhelp->RecordCount(); ++record) {
            if (lookup.QryFhelp->Text(record, field) == code) {
                return lookup.QryFhelp->RowOfRecord(record);
            }
        }
        return -1;
    }
    // The first data column of every record, in the grid's order.
    static QStringList Codes(const LookupWindow& lookup) {
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
    static void QuickSearch(LookupWindow& lookup, QAction* mode, int column, const QString& value) {
        mode->trigger();
        lookup.SearchField->setCurrentIndex(column);
        lookup.SearchValue->setText(value);
        QTest::mouseClick(lookup.cxButton1, Qt::LeftButton, {}, QPoint(20, 12));
    }
    // The condition search with `rows` (label, operator, value, logic) typed
    // into the condition grid's table, then 查询.
    static void ConditionSearch(LookupWindow& lookup, const std::vector<ConditionRow>& rows) {
        lookup.fA->trigger();
        lookup.CDSTmp->EmptyTable();
        for (const ConditionRow& row : rows) {
            lookup.CDSTmp->Append();
            lookup.CDSTmp->SetFieldValue(MemTable::FField, row.Field);
            lookup.CDSTmp->SetFieldValue(MemTable::FOperator, row.Operator);
            lookup.CDSTmp->SetFieldValue(MemTable::FValue, row.Value);
            lookup.CDSTmp->SetFieldValue(MemTable::FLogic, row.Logic);
            lookup.CDSTmp->Post();
        }
        QTest::mouseClick(lookup.BitBtn3, Qt::LeftButton);
    }
    // Texts of the message boxes since the last call.
    QStringList TakeBoxes() { return host.TakeBoxTexts(); }

    HostRecorder host;
    QPointer<TfrmPRVC03F> window;

  private:
    QObject application_;
    QObject context_;
};

}  // namespace prvc03::test
