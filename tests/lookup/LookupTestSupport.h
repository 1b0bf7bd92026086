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

#include "data/QueryDataset.h"
#include "lookup/LookupCaller.h"
#include "lookup/LookupWindow.h"
#include "support/LookupDriver.h"
#include "support/ModuleFixture.h"
#include "support/TestDatabase.h"
#include "widgets/DatasetModel.h"

namespace prvc03::test {

inline Field RequestField(const QString& name, const QString& label, const QString& origin,
                          FieldType type, int size = 0, int width = 0) {
    return DataField(name, type, size, label, origin, width);
}

// A lookup test on the demo database; the suites over both windows take
// the window as their parameter (PRVC03_ON_EACH_WINDOW).
class LookupFixture : public ::testing::TestWithParam<WindowKind>, public ModuleFixture {
  protected:
    // The rows the database gives for `sql`, each as its columns joined by
    // a tab (NULL as an empty text).
    QStringList Rows(const QString& sql) { return QueryRows(db.Native(), sql); }
    // A window of kind W shown over the users' request, switched to the
    // advanced search (fA).
    template <class W>
    LookupWindowGuard<W> ShowAdvanced() {
        LookupWindowGuard<W> window = Show<W>();
        window.get()->fA->trigger();
        return window;
    }

    // Whether the case runs on the multi-select window: what a case expects
    // follows its parameter, never the window's own state.
    bool MultiSelect() const { return GetParam() == WindowKind::MultiSelect; }

    TestDatabase db;
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
