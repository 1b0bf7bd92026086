#pragma once
// Shared by the lookup window tests: the module's own request over the demo
// users, real windows shown offscreen, clicks on grid cells and titles, and
// the rows the database itself gives for a statement.

#include <QCoreApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QObject>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "data/QueryDataset.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupWindow.h"
#include "support/HostRecorder.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"
#include "support/WhenShown.h"
#include "widgets/DatasetModel.h"

namespace prvc03::test {

inline Field RequestField(const QString& name, const QString& label, const QString& origin,
                          FieldType type, int size = 0, int width = 0) {
    return DataField(name, type, size, label, origin, width);
}

class LookupFixture : public ::testing::Test {
  protected:
    LookupFixture() {
        hqryADMMG.setObjectName(QStringLiteral("hqryADMMG"));
        hqryADMMG.AddField(RequestField(QStringLiteral("MG001"), QStringLiteral("用户编号"),
                                        QStringLiteral("ADMMG"), FieldType::WideString, 10));
        hqryADMMG.AddField(RequestField(QStringLiteral("MG002"), QStringLiteral("用户名称"),
                                        QStringLiteral("ADMMG"), FieldType::WideString, 20));
    }

    // A window of kind W shown modeless over `source` and `from`; freed with
    // the guard (or earlier, by its own close step).
    template <class W>
    LookupWindowGuard<W> Show(const QString& from = kUsersFrom, QueryDataset* source = nullptr) {
        LookupWindowGuard<W> window(new W(nullptr));
        window.get()->SourceQuery = source != nullptr ? source : &hqryADMMG;
        window.get()->FromText = from;
        window.get()->show();
        return window;
    }

    // Runs `drive` on the modal window of kind W once its show step is done.
    template <class W>
    void WhenShown(std::function<void(W&)> drive) {
        test::WhenShown<W>(&context_, std::move(drive));
    }

    // The rows the database gives for `sql`, each as its columns joined by
    // a tab (NULL as an empty text).
    QStringList Rows(const QString& sql) { return QueryRows(db.db(), sql); }

    // The data rows the result grid shows, in display order, as Rows() does.
    static QStringList GridRows(const LookupWindow& window) {
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

    // Clicks happen where the operator sees the cell: pending layout first.
    static void ClickCell(DataGrid* grid, int row, int column) {
        QCoreApplication::processEvents();
        grid->scrollTo(grid->model()->index(row, column));
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        ASSERT_TRUE(grid->viewport()->rect().contains(cell.center()));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // What the window system delivers for a double click.
    static void DoubleClick(QWidget* widget, QPoint pos) {
        QTest::mousePress(widget, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, pos);
    }

    static void DoubleClickItem(QListWidget* list, int row) {
        QCoreApplication::processEvents();
        const QRect item = list->visualItemRect(list->item(row));
        ASSERT_TRUE(list->viewport()->rect().contains(item.center()));
        DoubleClick(list->viewport(), item.center());
    }

    static void ClickTitle(DataGrid* grid, const QString& fieldName) {
        QCoreApplication::processEvents();
        QHeaderView* header = grid->horizontalHeader();
        const QAbstractItemModel* model = grid->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            if (model->headerData(c, Qt::Horizontal, DatasetModel::FieldNameRole).toString() ==
                fieldName) {
                QTest::mouseClick(
                    header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(c) + 8, header->height() / 2));
                return;
            }
        }
        ADD_FAILURE() << "no title " << fieldName.toStdString();
    }

    // Texts of the error reports shown since the last call.
    QStringList TakeErrors() { return host.TakeBoxTexts(); }

    HostRecorder host;
    TestDatabase db;
    QueryDataset hqryADMMG;

  private:
    QObject context_;
};

}  // namespace prvc03::test
