#include "RawClients.h"

#include <QByteArray>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "Summary.h"
#include "data/ResultColumn.h"

namespace prvc03::bench {

namespace {

constexpr SQLULEN kRowsPerBlock = 1000;

// Raises unless every column of a raw fetch holds `rows` rows.
void CheckRows(const std::vector<ResultColumn>& columns, int rows) {
    if (columns.empty()) {
        throw std::runtime_error("a raw fetch read no columns");
    }
    for (const ResultColumn& column : columns) {
        if (column.Count() != rows) {
            throw std::runtime_error("a raw fetch read " + std::to_string(column.Count()) +
                                     " rows instead of " + std::to_string(rows));
        }
    }
}

void Finish(std::vector<ResultColumn>& columns) {
    for (ResultColumn& column : columns) {
        column.Finish();
    }
}

std::vector<ResultColumn> TextColumns(int count) {
    std::vector<ResultColumn> columns;
    for (int c = 0; c < count; ++c) {
        columns.emplace_back(ResultColumn::Kind::Text);
    }
    return columns;
}

// A statement's text as an ODBC driver takes it: UTF-16 with a NUL, or
// UTF-8.
class OdbcText {
  public:
    OdbcText(const QString& text, bool wide) : wide_(wide) {
        if (wide) {
            units_.assign(text.utf16(), text.utf16() + text.size());
            units_.push_back(0);
        } else {
            bytes_ = text.toUtf8();
        }
    }
    SQLRETURN ExecDirect(SQLHSTMT stmt) {
        return wide_ ? SQLExecDirectW(stmt, units_.data(), SQL_NTS)
                     : SQLExecDirectA(stmt, reinterpret_cast<SQLCHAR*>(bytes_.data()),
                                      static_cast<SQLINTEGER>(bytes_.size()));
    }

  private:
    bool wide_;
    std::vector<SQLWCHAR> units_;
    QByteArray bytes_;
};

// A statement handle of its own on an ODBC connection, freed on every path.
class OdbcHandle {
  public:
    explicit OdbcHandle(SQLHDBC connection) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            throw std::runtime_error("raw ODBC: cannot allocate a statement");
        }
    }
    ~OdbcHandle() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;
    SQLHSTMT get() const { return handle_; }
    void Check(SQLRETURN rc, const char* what) const {
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
            SQLCHAR state[6] = {}, message[512] = {};
            SQLINTEGER native = 0;
            SQLSMALLINT length = 0;
            SQLGetDiagRecA(SQL_HANDLE_STMT, handle_, 1, state, &native, message, sizeof message,
                           &length);
            throw std::runtime_error(std::string("raw ODBC: ") + what + ": " +
                                     reinterpret_cast<const char*>(message));
        }
    }

  private:
    SQLHSTMT handle_ = nullptr;
};

void CheckConnection(SQLRETURN rc, const char* what) {
    if (!SQL_SUCCEEDED(rc)) {
        throw std::runtime_error(std::string("raw ODBC: ") + what);
    }
}

void SqliteExec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : "error";
        sqlite3_free(message);
        throw std::runtime_error("raw SQLite: " + text);
    }
}

void LibpqExec(PGconn* connection, const char* sql) {
    PGresult* result = PQexec(connection, sql);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const std::string message = PQresultErrorMessage(result);
        PQclear(result);
        throw std::runtime_error("libpq: " + message);
    }
    PQclear(result);
}

}  // namespace

double RawSqliteFetch(sqlite3* db, const QString& sql, int expected) {
    const QByteArray text = sql.toUtf8();
    std::vector<ResultColumn> columns;
    const double seconds = TimeOf([&] {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, text.constData(), static_cast<int>(text.size()), &stmt,
                               nullptr) != SQLITE_OK) {
            throw std::runtime_error(std::string("raw SQLite: ") + sqlite3_errmsg(db));
        }
        const int count = sqlite3_column_count(stmt);
        columns = TextColumns(count);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            for (int c = 0; c < count; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                    columns[c].AppendNull();
                } else {
                    const auto* units =
                        static_cast<const char16_t*>(sqlite3_column_text16(stmt, c));
                    columns[c].AppendText(QStringView(units, sqlite3_column_bytes16(stmt, c) / 2));
                }
            }
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            throw std::runtime_error(std::string("raw SQLite: ") + sqlite3_errmsg(db));
        }
        Finish(columns);
    });
    CheckRows(columns, expected);
    return seconds;
}

double RawLibpqFetch(PGconn* connection, const QString& sql, int expected) {
    const QByteArray text = sql.toUtf8();
    std::vector<ResultColumn> columns;
    const double seconds = TimeOf([&] {
        PGresult* result = PQexec(connection, text.constData());
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            const std::string message = PQresultErrorMessage(result);
            PQclear(result);
            throw std::runtime_error("libpq: " + message);
        }
        const int rows = PQntuples(result);
        const int count = PQnfields(result);
        columns = TextColumns(count);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < count; ++c) {
                if (PQgetisnull(result, r, c)) {
                    columns[c].AppendNull();
                } else {
                    columns[c].AppendUtf8(PQgetvalue(result, r, c),
                                          static_cast<std::size_t>(PQgetlength(result, r, c)));
                }
            }
        }
        PQclear(result);
        Finish(columns);
    });
    CheckRows(columns, expected);
    return seconds;
}

double RawOdbcFetch(SQLHDBC connection, bool wide, const QString& sql, int expected) {
    OdbcText text(sql, wide);
    std::vector<ResultColumn> columns;
    const double seconds = TimeOf([&] {
        OdbcHandle statement(connection);
        const SQLHSTMT stmt = statement.get();
        statement.Check(text.ExecDirect(stmt), "execute");
        SQLSMALLINT count = 0;
        statement.Check(SQLNumResultCols(stmt, &count), "columns");
        // One buffer a column, `kRowsPerBlock` values of `widths[c]` bytes.
        std::vector<std::vector<unsigned char>> data(static_cast<std::size_t>(count));
        std::vector<std::vector<SQLLEN>> lengths(static_cast<std::size_t>(count));
        std::vector<SQLLEN> widths(static_cast<std::size_t>(count));
        SQLULEN fetched = 0;
        statement.Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE,
                                       reinterpret_cast<SQLPOINTER>(kRowsPerBlock), 0),
                        "row array size");
        statement.Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0),
                        "rows fetched");
        for (SQLSMALLINT c = 0; c < count; ++c) {
            SQLCHAR name[256];
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            statement.Check(
                SQLDescribeColA(stmt, static_cast<SQLUSMALLINT>(c + 1), name, sizeof name,
                                &nameLength, &type, &size, &digits, &nullable),
                "describe");
            // Room for every character as a surrogate pair or as four UTF-8
            // bytes, and the NUL.
            widths[c] = wide ? static_cast<SQLLEN>((2 * size + 1) * sizeof(SQLWCHAR))
                             : static_cast<SQLLEN>(4 * size + 1);
            data[c].resize(static_cast<std::size_t>(widths[c]) * kRowsPerBlock);
            lengths[c].resize(kRowsPerBlock);
            statement.Check(
                SQLBindCol(stmt, static_cast<SQLUSMALLINT>(c + 1), wide ? SQL_C_WCHAR : SQL_C_CHAR,
                           data[c].data(), widths[c], lengths[c].data()),
                "bind");
        }
        columns = TextColumns(count);
        const SQLLEN nul = wide ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
        for (;;) {
            const SQLRETURN rc = SQLFetch(stmt);
            if (rc == SQL_NO_DATA) {
                break;
            }
            statement.Check(rc, "fetch");
            for (SQLULEN r = 0; r < fetched; ++r) {
                for (SQLSMALLINT c = 0; c < count; ++c) {
                    const SQLLEN length = lengths[c][r];
                    const unsigned char* value =
                        data[c].data() + static_cast<std::size_t>(widths[c]) * r;
                    if (length == SQL_NULL_DATA) {
                        columns[c].AppendNull();
                    } else if (length == SQL_NO_TOTAL || length > widths[c] - nul) {
                        throw std::runtime_error("raw ODBC: a value longer than its column");
                    } else if (wide) {
                        columns[c].AppendText(
                            QStringView(reinterpret_cast<const char16_t*>(value),
                                        length / static_cast<SQLLEN>(sizeof(SQLWCHAR))));
                    } else {
                        columns[c].AppendUtf8(reinterpret_cast<const char*>(value),
                                              static_cast<std::size_t>(length));
                    }
                }
            }
        }
        Finish(columns);
    });
    CheckRows(columns, expected);
    return seconds;
}

namespace {

// Each statement in a transaction of its own, through a client that takes
// UTF-8 text: `exec(text)` runs one.
template <class Exec>
double TimedTransactions(const std::vector<QString>& statements, const Exec& exec) {
    std::vector<QByteArray> texts;
    for (const QString& statement : statements) {
        texts.push_back(statement.toUtf8());
    }
    return TimeOf([&] {
        for (const QByteArray& text : texts) {
            exec("BEGIN");
            exec(text.constData());
            exec("COMMIT");
        }
    });
}

}  // namespace

double RawSqliteCopy(sqlite3* db, const std::vector<QString>& statements) {
    return TimedTransactions(statements, [db](const char* text) { SqliteExec(db, text); });
}

double RawLibpqCopy(PGconn* connection, const std::vector<QString>& statements) {
    return TimedTransactions(statements,
                             [connection](const char* text) { LibpqExec(connection, text); });
}

double RawOdbcCopy(SQLHDBC connection, bool wide, const std::vector<QString>& statements) {
    std::vector<OdbcText> texts;
    for (const QString& statement : statements) {
        texts.emplace_back(statement, wide);
    }
    return TimeOf([&] {
        for (OdbcText& text : texts) {
            CheckConnection(SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
                            "manual commit");
            {
                OdbcHandle statement(connection);
                statement.Check(text.ExecDirect(statement.get()), "insert");
            }
            CheckConnection(SQLEndTran(SQL_HANDLE_DBC, connection, SQL_COMMIT), "commit");
            CheckConnection(SQLSetConnectAttr(connection, SQL_ATTR_AUTOCOMMIT,
                                              reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
                            "auto-commit");
        }
    });
}

void RawSqliteExec(sqlite3* db, const QString& sql) {
    SqliteExec(db, sql.toUtf8().constData());
}

void RawLibpqExec(PGconn* connection, const QString& sql) {
    LibpqExec(connection, sql.toUtf8().constData());
}

void RawOdbcExec(SQLHDBC connection, bool wide, const QString& sql) {
    OdbcText text(sql, wide);
    OdbcHandle statement(connection);
    statement.Check(text.ExecDirect(statement.get()), "execute");
    // A query's rows are read to the end, so nothing stays open.
    while (SQL_SUCCEEDED(SQLFetch(statement.get()))) {
    }
}

}  // namespace prvc03::bench
