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
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "data/MemTable.h"
#include "data/QueryDataset.h"
#include "data/Statements.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupStatements.h"
#include "lookup/LookupWindow.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "modules/CopyReport.h"
#include "modules/PRVC03F.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/LookupDriver.h"
#include "support/ModuleFixture.h"
#include "support/QtPrinters.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"
#include "support/WhenShown.h"
#include "widgets/DropDownButton.h"
#include "widgets/MapListCombo.h"

namespace prvc03::test {

// The rows of a table widget, each as its cells joined by tabs.
inline QStringList GridRows(const QTableWidget& grid) {
    QStringList rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c) {
            const QTableWidgetItem* item = grid.item(r, c);
            cells << (item != nullptr ? item->text() : QString());
        }
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows;
}

inline const QString kCopied = QStringLiteral("复制用户权限成功．");
inline const QString kNotCopied = QStringLiteral("复制用户权限失败．");
inline const QString kReportPrefix = QStringLiteral("Error: ExecuteSQL出错,详细信息:");

using Boxes = std::vector<std::pair<QString, unsigned>>;

// A lookup window of each kind on each database.
using DatabaseAndWindow = std::tuple<Backend, WindowKind>;

inline WindowKind KindOf(const DatabaseAndWindow& param) {
    return std::get<1>(param);
}

// "MultiSelectWindow_SQLite": the database configuration last, as the
// per-configuration count reads it.
inline std::string DatabaseAndWindowName(const ::testing::TestParamInfo<DatabaseAndWindow>& info) {
    return std::string(WindowKindName(std::get<1>(info.param))) + "_" +
           BackendName(std::get<0>(info.param));
}

#define PRVC03_ON_EVERY_DATABASE_AND_WINDOW(Fixture)                                     \
    INSTANTIATE_TEST_SUITE_P(                                                            \
        Databases, Fixture,                                                              \
        ::testing::Combine(::testing::ValuesIn(::prvc03::test::kEveryBackend),           \
                           ::testing::Values(::prvc03::test::WindowKind::MultiSelect,    \
                                             ::prvc03::test::WindowKind::SingleSelect)), \
        ::prvc03::test::DatabaseAndWindowName)

// The module on one database (Param: Backend), or on one database with one
// lookup window kind (Param: DatabaseAndWindow).
template <class Param>
class ModuleTestOf : public EveryDatabaseOf<Param>, public ModuleFixture {
  protected:
    void TearDown() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window.data();
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
            this->db().Native(),
            QStringLiteral("SELECT MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
                           "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE FROM ADMMH WHERE MH001 = ?"),
            {user}, QStringLiteral("<null>"));
        rows.sort();
        return rows;
    }

    // The copy report that 确定 left open; null when there is none.
    static TfrmCopyReport* OpenReport() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* report = qobject_cast<TfrmCopyReport*>(widget);
            if (report != nullptr && report->isVisible()) {
                return report;
            }
        }
        return nullptr;
    }

    QPointer<TfrmPRVC03F> window;
};
using ModuleTest = ModuleTestOf<Backend>;

}  // namespace prvc03::test
