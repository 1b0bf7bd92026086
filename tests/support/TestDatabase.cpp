#include "support/TestDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>

#include "../../host/DemoDatabase.h"
#include "session/Global.h"

namespace prvc03::test {

namespace {
std::atomic<int> counter{0};
}

TestDatabase::TestDatabase(Content content) {
    path_ = dir_.filePath(QStringLiteral("test.db"));
    name_ = QStringLiteral("prvc03_test_%1").arg(++counter);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    db_.setDatabaseName(path_);
    if (!db_.open()) {
        ADD_FAILURE() << db_.lastError().text().toStdString();
    }
    if (content != Empty) {
        demo::CreateSchema(db_);
    }
    if (content == Demo) {
        demo::SeedDemo(db_);
    }
    Session().SessionConnection = &db_;
}

TestDatabase::~TestDatabase() {
    if (Session().SessionConnection == &db_) {
        Session().SessionConnection = nullptr;
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

void TestDatabase::Exec(const QString& statement) {
    QSqlQuery query(db_);
    if (!query.exec(statement)) {
        ADD_FAILURE() << statement.toStdString() << ": "
                      << query.lastError().text().toStdString();
    }
}

QString TestDatabase::Scalar(const QString& statement) {
    QSqlQuery query(db_);
    if (!query.exec(statement)) {
        ADD_FAILURE() << statement.toStdString() << ": "
                      << query.lastError().text().toStdString();
        return {};
    }
    return query.next() ? query.value(0).toString() : QString();
}

}  // namespace prvc03::test
