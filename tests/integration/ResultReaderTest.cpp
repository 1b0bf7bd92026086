// The readers that fill the lookups' result store, on each database: the
// ODBC block fetch and its row-by-row fallback must describe and deliver
// every column exactly as QSqlQuery does, NULLs, long and Chinese text and
// values longer than their column included; every other driver keeps the
// QSqlQuery reader.
#include <QDate>

#include <functional>

#include <gtest/gtest.h>

#include "data/ResultReader.h"
#include "session/Errors.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using test::EveryDatabase;
using test::TestDatabase;

struct Read {
    std::vector<ResultColumnInfo> columns;
    std::vector<std::vector<QVariant>> rows;
};

Read ReadWith(std::unique_ptr<ResultReader> reader) {
    reader->Execute();
    Read read;
    read.columns = reader->Columns();
    std::vector<int> source;
    std::vector<ResultColumn> columns;
    for (std::size_t i = 0; i < read.columns.size(); ++i) {
        source.push_back(static_cast<int>(i));
        columns.emplace_back(ResultColumn::Kind::Variant);  // keeps each value as delivered
    }
    const int count = reader->ReadAll(source, columns);
    for (int row = 0; row < count; ++row) {
        std::vector<QVariant> values;
        for (const ResultColumn& column : columns) {
            values.push_back(column.IsNull(row) ? QVariant() : column.VariantAt(row));
        }
        read.rows.push_back(values);
    }
    return read;
}

class ResultReaders : public EveryDatabase {
  protected:
    TestDatabase::Content Content() const override { return TestDatabase::Empty; }

    void CreateTypes() {
        const bool server = db().IsPostgres();
        db().Exec(QStringLiteral("CREATE TABLE R (a VARCHAR(10), b INTEGER, c NUMERIC(10,2), "
                                 "d DATE, f BIGINT, g SMALLINT, h %1, i CHAR(3), t TEXT)")
                      .arg(server ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("REAL")));
        db().Exec(
            QStringLiteral("INSERT INTO R VALUES ('王五', 5, 1.25, '2020-01-02', "
                           "12345678901, -3, 2.5, 'ab', 'short')"));
        db().Exec(
            QStringLiteral("INSERT INTO R VALUES (NULL, 6, NULL, NULL, NULL, NULL, NULL, "
                           "NULL, NULL)"));
        db().Exec(QStringLiteral("INSERT INTO R VALUES ('', 7, -0.5, '1999-12-31', 0, 0, 0, "
                                 "'x', '%1')")
                      .arg(QString(5000, QChar(u'长'))));
        if (!server) {
            // SQLite keeps a value longer than its column says.
            db().Exec(QStringLiteral("INSERT INTO R VALUES ('%1', 8, 0, NULL, 1, 1, 1, 'y', "
                                     "'z')")
                          .arg(QString(30, QChar(u'超'))));
        }
    }
};

const QString kSelect =
    QStringLiteral("SELECT R.a AS 用户编号, b, c, d, f, g, h, i, t FROM R ORDER BY b");
const QString kNarrow = QStringLiteral("SELECT R.a AS 用户编号, b FROM R ORDER BY b");

TEST_P(ResultReaders, OdbcReadsWhatQSqlQueryReads) {
    CreateTypes();
    if (!db().IsOdbc()) {
        EXPECT_EQ(OdbcReaderFor(db().db(), kSelect), nullptr)
            << "only ODBC connections get the block fetch";
        return;
    }
    const Read expected = ReadWith(QueryReaderFor(db().db(), kSelect));
    ASSERT_EQ(expected.rows.size(), db().IsPostgres() ? 3u : 4u);
    for (const QString& statement : {kSelect, kNarrow}) {
        for (const OdbcFetch fetch : {OdbcFetch::Blocks, OdbcFetch::Rows}) {
            SCOPED_TRACE(statement.toStdString() +
                         (fetch == OdbcFetch::Blocks ? " blocks" : " rows"));
            const Read got = ReadWith(OdbcReaderFor(db().db(), statement, fetch));
            ASSERT_EQ(got.rows.size(), expected.rows.size());
            EXPECT_EQ(got.columns[0].name, QStringLiteral("用户编号"));
            for (std::size_t c = 0; c < got.columns.size(); ++c) {
                SCOPED_TRACE(expected.columns[c].name.toStdString());
                EXPECT_EQ(got.columns[c].type, expected.columns[c].type);
                EXPECT_EQ(got.columns[c].length, expected.columns[c].length);
                if (c > 0) {  // QODBC keeps the SQLite driver's garbage after a Chinese name
                    EXPECT_EQ(got.columns[c].name, expected.columns[c].name);
                }
                for (std::size_t r = 0; r < got.rows.size(); ++r) {
                    EXPECT_EQ(got.rows[r][c].metaType(), expected.rows[r][c].metaType())
                        << "row " << r;
                    EXPECT_EQ(got.rows[r][c], expected.rows[r][c]) << "row " << r;
                }
            }
        }
    }
}

TEST_P(ResultReaders, RefuseWithTheDriversText) {
    const auto executeWithQuery = [](QSqlDatabase& database, const QString& statement) {
        QueryReaderFor(database, statement)->Execute();
    };
    const auto executeForReading = [](QSqlDatabase& database, const QString& statement) {
        ExecuteForReading(database, statement);
    };
    for (const std::function<void(QSqlDatabase&, const QString&)>& execute :
         {std::function<void(QSqlDatabase&, const QString&)>(executeForReading),
          std::function<void(QSqlDatabase&, const QString&)>(executeWithQuery)}) {
        try {
            execute(db().db(), QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
            ADD_FAILURE() << "a missing table must raise";
        } catch (const Error& error) {
            EXPECT_TRUE(
                error.Message().contains(QStringLiteral("no_such_table"), Qt::CaseInsensitive))
                << error.Message().toStdString();
        }
    }
    db().Exec(QStringLiteral("CREATE TABLE W (x INTEGER)"));
    try {
        ExecuteForReading(db().db(), QStringLiteral("INSERT INTO W VALUES (1)"));
        ADD_FAILURE() << "a statement without records must raise";
    } catch (const Error& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("The statement returns no records"));
    }
}

PRVC03_ON_EVERY_DATABASE(ResultReaders);

}  // namespace
}  // namespace prvc03
