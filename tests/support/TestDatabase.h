#pragma once
// A throw-away SQLite database with the host's tables, made the session's
// connection for the life of the object.

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>

namespace prvc03::test {

class TestDatabase {
public:
    enum Content { Empty, Schema, Demo };
    explicit TestDatabase(Content content = Demo);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QSqlDatabase& db() { return db_; }
    QString Path() const { return path_; }
    // Runs a statement; fails the test with the database's text on error.
    void Exec(const QString& statement);
    // The first column of the first row, as text ("" when no row).
    QString Scalar(const QString& statement);
    int Count(const QString& statement) { return Scalar(statement).toInt(); }

private:
    QTemporaryDir dir_;
    QString path_;
    QString name_;
    QSqlDatabase db_;
};

}  // namespace prvc03::test
