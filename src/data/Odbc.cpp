#include "data/Odbc.h"

#include <QByteArray>
#include <QSqlDriver>
#include <QVariant>

#include <algorithm>
#include <utility>
#include <vector>

#include "session/Errors.h"

namespace prvc03 {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC with 2-byte SQLWCHAR");

SQLHDBC OdbcConnectionHandle(const QSqlDatabase& db) {
    if (!db.isOpen() || db.driver() == nullptr ||
        !db.driverName().startsWith(QLatin1String("QODBC"))) {
        return nullptr;
    }
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.metaType().sizeOf() != sizeof(SQLHDBC)) {
        return nullptr;
    }
    return *static_cast<const SQLHDBC*>(handle.constData());
}

bool OdbcWideText(const QSqlDatabase& db) {
    SQLHDBC hdbc = OdbcConnectionHandle(db);
    if (hdbc == nullptr) {
        return false;
    }
    // FreeTDS takes text as UTF-8 through the narrow entry points (its
    // ClientCharset), as QODBC sends it.
    char driver[256] = {};
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetInfoA(hdbc, SQL_DRIVER_NAME, driver, sizeof(driver) - 1, &length)) &&
        QByteArray(driver).contains("tdsodbc")) {
        return false;
    }
    // A driver that converts text to UTF-16 itself says so. QODBC also
    // counts a driver Unicode when a wide fetch of 'test' works, but for a
    // driver without wide entry points the driver manager converts that
    // text through the process's locale, which mangles every character a
    // locale such as zh_CN.GBK or POSIX writes otherwise than UTF-8: such a
    // driver is spoken to in UTF-8 through the narrow entry points.
    const std::pair<SQLUSMALLINT, SQLUINTEGER> conversions[] = {
        {SQL_CONVERT_CHAR, SQL_CVT_WCHAR},
        {SQL_CONVERT_VARCHAR, SQL_CVT_WVARCHAR},
        {SQL_CONVERT_LONGVARCHAR, SQL_CVT_WLONGVARCHAR},
    };
    for (const auto& [info, wideBit] : conversions) {
        SQLUINTEGER bits = 0;
        if (SQL_SUCCEEDED(SQLGetInfoA(hdbc, info, &bits, sizeof(bits), nullptr)) &&
            (bits & wideBit) != 0) {
            return true;
        }
    }
    return false;
}

QString OdbcText(const void* data, qsizetype bytes, bool wide) {
    if (wide) {
        return QString::fromUtf16(static_cast<const char16_t*>(data),
                                  bytes / static_cast<qsizetype>(sizeof(SQLWCHAR)));
    }
    return QString::fromUtf8(static_cast<const char*>(data), bytes);
}

namespace {

// Characters of a text buffer the driver filled, which holds at most
// `capacity` of them besides the NUL; some drivers count in other units, so
// the text also ends at its first NUL.
QString BufferText(const void* data, SQLSMALLINT reported, qsizetype capacity, bool wide) {
    const qsizetype units = std::clamp<qsizetype>(reported, 0, capacity);
    QString text = wide ? QString::fromUtf16(static_cast<const char16_t*>(data), units)
                        : QString::fromUtf8(static_cast<const char*>(data), units);
    if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0) {
        text.truncate(nul);
    }
    return text;
}

// The text as the driver takes it: UTF-16 units or UTF-8 bytes, with a NUL.
class DriverText {
  public:
    DriverText(const QString& text, bool wide) {
        if (wide) {
            wide_.assign(text.utf16(), text.utf16() + text.size());
            wide_.push_back(0);
        } else {
            narrow_ = text.toUtf8();
        }
    }
    SQLWCHAR* Wide() { return wide_.data(); }
    SQLCHAR* Narrow() { return reinterpret_cast<SQLCHAR*>(narrow_.data()); }
    SQLINTEGER WideLength() const { return static_cast<SQLINTEGER>(wide_.size() - 1); }
    SQLINTEGER NarrowLength() const { return static_cast<SQLINTEGER>(narrow_.size()); }

  private:
    std::vector<SQLWCHAR> wide_;
    QByteArray narrow_;
};

}  // namespace

QString OdbcDbmsName(const QSqlDatabase& db) {
    SQLHDBC hdbc = OdbcConnectionHandle(db);
    if (hdbc == nullptr) {
        return {};
    }
    const bool wide = OdbcWideText(db);
    SQLWCHAR name[256] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN rc = wide ? SQLGetInfoW(hdbc, SQL_DBMS_NAME, name, sizeof(name) - 2, &bytes)
                              : SQLGetInfoA(hdbc, SQL_DBMS_NAME, name, sizeof(name) - 2, &bytes);
    if (!SQL_SUCCEEDED(rc)) {
        return {};
    }
    const qsizetype unit = wide ? sizeof(SQLWCHAR) : 1;
    return BufferText(name, static_cast<SQLSMALLINT>(bytes / unit), (sizeof(name) - 2) / unit, wide)
        .trimmed();
}

QString OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle, bool wide) {
    QString text;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const auto get = [&](void* message, SQLSMALLINT room) {
            return wide ? SQLGetDiagRecW(type, handle, i, state, &native,
                                         static_cast<SQLWCHAR*>(message), room, &length)
                        : SQLGetDiagRecA(type, handle, i, reinterpret_cast<SQLCHAR*>(state),
                                         &native, static_cast<SQLCHAR*>(message), room, &length);
        };
        if (!SQL_SUCCEEDED(get(nullptr, 0))) {
            break;
        }
        // Room for the message in characters (wide) or bytes (narrow), and a NUL.
        std::vector<SQLWCHAR> message(static_cast<std::size_t>(length) + 2);
        const auto room = static_cast<SQLSMALLINT>(wide ? message.size() : message.size() * 2);
        if (!SQL_SUCCEEDED(get(message.data(), room))) {
            break;
        }
        if (!text.isEmpty()) {
            text += QLatin1Char(' ');
        }
        text += BufferText(message.data(), length, room - 1, wide);
    }
    return text.trimmed();
}

OdbcStatement::OdbcStatement(SQLHDBC connection, bool wide) : wide_(wide) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
        const QString text = OdbcDiagnostics(SQL_HANDLE_DBC, connection, wide);
        handle_ = nullptr;
        throw Error(text.isEmpty() ? QStringLiteral("Unable to allocate a statement") : text);
    }
}

OdbcStatement::~OdbcStatement() {
    SQLFreeStmt(handle_, SQL_CLOSE);
    SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

void OdbcStatement::Check(SQLRETURN rc, const char* what) const {
    if (!SQL_SUCCEEDED(rc)) {
        QString text = OdbcDiagnostics(SQL_HANDLE_STMT, handle_, wide_);
        if (text.isEmpty()) {
            text = QString::fromLatin1(what);
        }
        throw Error(text);
    }
}

void OdbcStatement::ExecDirect(const QString& statement) {
    DriverText text(statement, wide_);
    const SQLRETURN rc = wide_ ? SQLExecDirectW(handle_, text.Wide(), text.WideLength())
                               : SQLExecDirectA(handle_, text.Narrow(), text.NarrowLength());
    if (rc != SQL_NO_DATA) {
        Check(rc, "Unable to execute statement");
    }
}

int OdbcStatement::ResultColumns() const {
    SQLSMALLINT count = 0;
    Check(SQLNumResultCols(handle_, &count), "Unable to describe the result");
    return count;
}

OdbcColumnDescription OdbcStatement::Describe(SQLUSMALLINT column) const {
    constexpr SQLSMALLINT kRoom = 255;
    // Wide: characters; narrow: bytes, four a character at most.
    SQLWCHAR name[4 * kRoom + 2] = {};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = 0;
    OdbcColumnDescription description;
    const SQLSMALLINT nameRoom = wide_ ? kRoom : 4 * kRoom;
    Check(wide_ ? SQLDescribeColW(handle_, column, name, nameRoom, &nameLength,
                                  &description.sqlType, &description.size, &digits, &nullable)
                : SQLDescribeColA(handle_, column, reinterpret_cast<SQLCHAR*>(name), nameRoom,
                                  &nameLength, &description.sqlType, &description.size, &digits,
                                  &nullable),
          "Unable to describe a column");
    // The SQLite ODBC driver counts a name's length in UTF-8 bytes even on
    // the wide path: the name ends at its NUL.
    description.name = BufferText(name, nameLength, nameRoom, wide_);

    SQLLEN unsignedFlag = SQL_FALSE;
    if (wide_) {
        SQLColAttributeW(handle_, column, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &unsignedFlag);
    } else {
        SQLColAttributeA(handle_, column, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &unsignedFlag);
    }
    description.isSigned = unsignedFlag == SQL_FALSE;

    SQLWCHAR table[4 * kRoom + 2] = {};
    SQLSMALLINT tableBytes = 0;
    const SQLSMALLINT tableRoom = static_cast<SQLSMALLINT>(sizeof(table) - sizeof(SQLWCHAR));
    const SQLRETURN rc = wide_ ? SQLColAttributeW(handle_, column, SQL_DESC_BASE_TABLE_NAME, table,
                                                  tableRoom, &tableBytes, nullptr)
                               : SQLColAttributeA(handle_, column, SQL_DESC_BASE_TABLE_NAME, table,
                                                  tableRoom, &tableBytes, nullptr);
    if (SQL_SUCCEEDED(rc)) {
        const qsizetype unit = wide_ ? sizeof(SQLWCHAR) : 1;
        description.table =
            BufferText(table, static_cast<SQLSMALLINT>(tableBytes / unit), tableRoom / unit, wide_);
    }
    return description;
}

qint64 OdbcStatement::RowCount() const {
    SQLLEN rows = -1;
    if (!SQL_SUCCEEDED(SQLRowCount(handle_, &rows))) {
        return -1;
    }
    return rows;
}

void OdbcStatement::CloseCursor() {
    SQLFreeStmt(handle_, SQL_CLOSE);
}

void OdbcStatement::Cancel() noexcept {
    SQLCancel(handle_);
}

}  // namespace prvc03
