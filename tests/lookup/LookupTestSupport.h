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
#include "support/LookupDriver.h"
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
        AddUserRequestFields(hqryADMMG);
    }

    // A window of kind W shown modeless over `source` (the users' request
    // when none) and `from`.
    template <class W>
    LookupWindowGuard<W> Show(const QString& from = kUsersFrom, QueryDataset* source = nullptr) {
        return ShowLookup<W>(source != nullptr ? *source : hqryADMMG, from);
    }

    // Runs `drive` on the modal window of kind W once its show step is done.
    template <class W>
    void WhenShown(std::function<void(W&)> drive) {
        test::WhenShown<W>(&context_, std::move(drive));
    }

    // The rows the database gives for `sql`, each as its columns joined by
    // a tab (NULL as an empty text).
    QStringList Rows(const QString& sql) { return QueryRows(db.Native(), sql); }

    // Texts of the error reports shown since the last call.
    QStringList TakeErrors() { return host.TakeBoxTexts(); }

    HostRecorder host;
    TestDatabase db;
    QueryDataset hqryADMMG;

  private:
    QObject context_;
};

}  // namespace prvc03::test

namespace prvc03 {
// The lookup tests live in prvc03: the driver's steps read as their own.
using test::ClickCell;
using test::ClickTitle;
using test::DoubleClick;
using test::DoubleClickItem;
using test::GridRows;
}  // namespace prvc03
