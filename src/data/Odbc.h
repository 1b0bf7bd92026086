#pragma once
// ODBC on the host's QODBC connection, in one place: the connection's own
// handle, what its driver reports, the diagnostics of a handle, and a
// statement handle of the module's own on that connection. Text goes to and
// comes from the driver as its Unicode support requires: UTF-16 through the
// wide entry points where the driver converts text itself, otherwise UTF-8
// through the narrow ones, so that no conversion through the process's
// locale ever touches it.

#include <QSqlDatabase>
#include <QString>

#include <sql.h>
#include <sqlext.h>

namespace prvc03 {

// The ODBC connection handle of an open QODBC connection; null for every
// other connection.
SQLHDBC OdbcConnectionHandle(const QSqlDatabase& db);
// Whether the connection's driver takes and gives text as UTF-16 itself;
// otherwise it is spoken to in UTF-8.
bool OdbcWideText(const QSqlDatabase& db);
// The DBMS name the driver of an open ODBC connection reports ("Microsoft
// SQL Server", "PostgreSQL", "SQLite", ...); empty for other connections.
QString OdbcDbmsName(const QSqlDatabase& db);
// Every diagnostic record of a handle, joined by blanks as QODBC joins them.
QString OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle, bool wide);

// One result column as SQLDescribeCol and SQLColAttribute give it.
struct OdbcColumnDescription {
    QString name;
    QString table;  // the base table, where the driver tells it
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    bool isSigned = true;
};

// A statement handle of the module's own on a connection, freed on every
// path. Cancel may be called from any thread while another one executes or
// fetches on it.
class OdbcStatement {
  public:
    OdbcStatement(SQLHDBC connection, bool wide);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    SQLHSTMT get() const { return handle_; }
    bool Wide() const { return wide_; }
    // Raises the statement's diagnostics (or `what`) unless `rc` succeeded.
    void Check(SQLRETURN rc, const char* what) const;
    // Executes `statement` as it stands; raises the driver's text. A
    // statement that touched no row (SQL_NO_DATA) has succeeded.
    void ExecDirect(const QString& statement);
    // The number of result columns; 0 for a statement without records.
    int ResultColumns() const;
    OdbcColumnDescription Describe(SQLUSMALLINT column) const;
    // Rows the statement affected; -1 when the driver cannot tell.
    qint64 RowCount() const;
    // Closes the cursor, so the handle can execute again.
    void CloseCursor();
    // Asks the driver to stop the statement that runs on the handle.
    void Cancel() noexcept;

  private:
    SQLHSTMT handle_ = nullptr;
    bool wide_;
};

// A text the driver gave: UTF-16 code units or UTF-8 bytes.
QString OdbcText(const void* data, qsizetype bytes, bool wide);

}  // namespace prvc03
