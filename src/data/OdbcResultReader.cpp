// The reader of QODBC connections. QODBC reads every value with its own
// SQLGetData call and QVariant; this reader runs the statement on a
// statement handle of its own on the connection's ODBC handle and fetches
// row arrays of bound columns: text as UTF-16, numbers as native values,
// NULL from the length indicators. Types and values are those QODBC gives
// with low-precision doubles, so the dataset cannot tell the two apart.
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "data/ResultReader.h"
#include "session/DatabaseProduct.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC with 2-byte SQLWCHAR");

constexpr SQLULEN kRowsPerBlock = 1000;
// Wide rows get fewer rows a block, so that the bound buffers stay near this.
constexpr SQLULEN kBytesPerBlock = 4u << 20;
// Text and binary columns up to this size (characters or bytes) are bound;
// longer or unbounded ones are read in pieces, row by row.
constexpr SQLULEN kLongestBound = 4000;
constexpr SQLLEN kPieceUnits = 4096;

QString FromWide(const SQLWCHAR* text, qsizetype units) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), units);
}

// Every diagnostic record of a handle, as QODBC joins them.
QString Diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    QString text;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, i, state, &native, nullptr, 0, &length))) {
            break;
        }
        std::vector<SQLWCHAR> message(static_cast<std::size_t>(length) + 1);
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, i, state, &native, message.data(),
                                          static_cast<SQLSMALLINT>(message.size()), &length))) {
            break;
        }
        if (!text.isEmpty()) {
            text += QLatin1Char(' ');
        }
        text += FromWide(message.data(), std::min<qsizetype>(length, message.size() - 1));
    }
    return text.trimmed();
}

// A statement handle, freed on every path.
class Statement {
  public:
    explicit Statement(SQLHDBC connection) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            const QString text = Diagnostics(SQL_HANDLE_DBC, connection);
            handle_ = nullptr;
            throw Error(text.isEmpty() ? QStringLiteral("Unable to allocate a statement") : text);
        }
    }
    ~Statement() {
        SQLFreeStmt(handle_, SQL_CLOSE);
        SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT get() const { return handle_; }
    // Raises the statement's diagnostics unless `rc` is a success.
    void Check(SQLRETURN rc, const char* what) const {
        if (!SQL_SUCCEEDED(rc)) {
            QString text = Diagnostics(SQL_HANDLE_STMT, handle_);
            if (text.isEmpty()) {
                text = QString::fromLatin1(what);
            }
            throw Error(text);
        }
    }

  private:
    SQLHSTMT handle_ = nullptr;
};

// How one column's values are read.
enum class Read { Text, Int, UInt, BigInt, UBigInt, Double, Date, Time, Timestamp, Binary };

struct Column {
    Read read = Read::Text;
    SQLSMALLINT cType = SQL_C_WCHAR;
    SQLULEN size = 0;   // the driver's column size
    bool bound = true;  // fits a bound buffer
    // The block buffers: one value of `width` bytes and one indicator a row.
    std::vector<unsigned char> data;
    std::vector<SQLLEN> indicators;
    SQLLEN width = 0;
};

// QODBC's type for an ODBC SQL type, and how the value is read.
void Decode(SQLSMALLINT sqlType, bool isSigned, QMetaType& type, Read& read) {
    switch (sqlType) {
        case SQL_DECIMAL:
        case SQL_NUMERIC:
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            type = QMetaType::fromType<double>();
            read = Read::Double;
            return;
        case SQL_SMALLINT:
            type = isSigned ? QMetaType::fromType<short>() : QMetaType::fromType<ushort>();
            read = isSigned ? Read::Int : Read::UInt;
            return;
        case SQL_INTEGER:
        case SQL_BIT:
            type = isSigned ? QMetaType::fromType<int>() : QMetaType::fromType<uint>();
            read = isSigned ? Read::Int : Read::UInt;
            return;
        case SQL_TINYINT:
            type = QMetaType::fromType<uint>();
            read = Read::UInt;
            return;
        case SQL_BIGINT:
            type = isSigned ? QMetaType::fromType<qlonglong>() : QMetaType::fromType<qulonglong>();
            read = isSigned ? Read::BigInt : Read::UBigInt;
            return;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            type = QMetaType::fromType<QByteArray>();
            read = Read::Binary;
            return;
        case SQL_DATE:
        case SQL_TYPE_DATE:
            type = QMetaType::fromType<QDate>();
            read = Read::Date;
            return;
        case SQL_TIME:
        case SQL_TYPE_TIME:
            type = QMetaType::fromType<QTime>();
            read = Read::Time;
            return;
        case SQL_TIMESTAMP:
        case SQL_TYPE_TIMESTAMP:
            type = QMetaType::fromType<QDateTime>();
            read = Read::Timestamp;
            return;
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
            type = QMetaType::fromType<QString>();
            read = Read::Text;
            return;
        default:
            type = QMetaType::fromType<QByteArray>();
            read = Read::Binary;
            return;
    }
}

SQLSMALLINT CTypeOf(Read read) {
    switch (read) {
        case Read::Text:
            return SQL_C_WCHAR;
        case Read::Int:
        case Read::UInt:
        case Read::BigInt:
            return SQL_C_SBIGINT;
        case Read::UBigInt:
            return SQL_C_UBIGINT;
        case Read::Double:
            return SQL_C_DOUBLE;
        case Read::Date:
            return SQL_C_TYPE_DATE;
        case Read::Time:
            return SQL_C_TYPE_TIME;
        case Read::Timestamp:
            return SQL_C_TYPE_TIMESTAMP;
        case Read::Binary:
            return SQL_C_BINARY;
    }
    return SQL_C_BINARY;
}

// Bytes of one bound value.
SQLLEN WidthOf(const Column& column) {
    switch (column.read) {
        case Read::Text:
            // Room for every character as a surrogate pair, and the NUL.
            return static_cast<SQLLEN>((2 * column.size + 1) * sizeof(SQLWCHAR));
        case Read::Binary:
            return static_cast<SQLLEN>(column.size);
        case Read::Date:
            return sizeof(SQL_DATE_STRUCT);
        case Read::Time:
            return sizeof(SQL_TIME_STRUCT);
        case Read::Timestamp:
            return sizeof(SQL_TIMESTAMP_STRUCT);
        default:
            return 8;
    }
}

// A fixed-size value from a driver buffer, which need not be aligned for it.
template <class T>
T Load(const unsigned char* value) {
    T v{};
    std::memcpy(&v, value, sizeof(v));
    return v;
}

// Raised inside a block fetch when a value is longer than its column says
// (SQLite keeps whatever it is given): the result is read again row by row.
struct ValueLongerThanColumn {};

class OdbcResultReader final : public ResultReader {
  public:
    OdbcResultReader(SQLHDBC connection, const QString& statement, OdbcFetch fetch)
        : connection_(connection), sql_(statement), fetch_(fetch) {
        Execute();
    }

    int ReadAll(const std::vector<int>& source, std::vector<ResultColumn>& columns) override {
        if (fetch_ == OdbcFetch::Blocks && AllBound(source)) {
            std::vector<ResultColumn> empty;
            for (const ResultColumn& column : columns) {
                empty.emplace_back(column.GetKind());
            }
            try {
                return ReadBlocks(source, columns);
            } catch (const ValueLongerThanColumn&) {
                // Start again from an empty store, one row at a time.
                columns = std::move(empty);
                statement_.reset();
                Execute();
            }
        }
        return ReadRows(source, columns);
    }

  private:
    void Execute() {
        statement_ = std::make_unique<Statement>(connection_);
        const SQLHSTMT stmt = statement_->get();
        const std::u16string text = sql_.toStdU16String();
        statement_->Check(
            SQLExecDirectW(stmt,
                           const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.c_str())),
                           static_cast<SQLINTEGER>(text.size())),
            "Unable to execute statement");
        SQLSMALLINT count = 0;
        statement_->Check(SQLNumResultCols(stmt, &count), "Unable to describe the result");
        if (count <= 0) {
            throw Error(QStringLiteral("The statement returns no records"));
        }
        if (!columns_.empty()) {
            return;  // executed again: the columns are known
        }
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
            Describe(stmt, i);
        }
    }

    void Describe(SQLHSTMT stmt, SQLUSMALLINT index) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement_->Check(SQLDescribeColW(stmt, index, name, 255, &nameLength, &sqlType, &size,
                                          &digits, &nullable),
                          "Unable to describe a column");
        SQLLEN unsignedFlag = SQL_FALSE;
        SQLColAttributeW(stmt, index, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &unsignedFlag);
        SQLWCHAR table[256] = {};
        SQLSMALLINT tableBytes = 0;
        if (!SQL_SUCCEEDED(SQLColAttributeW(stmt, index, SQL_DESC_BASE_TABLE_NAME, table,
                                            sizeof(table) - sizeof(SQLWCHAR), &tableBytes,
                                            nullptr))) {
            tableBytes = 0;
        }

        ResultColumnInfo info;
        // The SQLite ODBC driver counts a name's length in UTF-8 bytes: the
        // name ends at its NUL.
        info.name = FromWide(name, std::min<qsizetype>(nameLength, 255));
        if (const qsizetype nul = info.name.indexOf(QChar(u'\0')); nul >= 0) {
            info.name.truncate(nul);
        }
        info.table = FromWide(table, std::min<qsizetype>(tableBytes / sizeof(SQLWCHAR), 255));
        Column column;
        Decode(sqlType, unsignedFlag == SQL_FALSE, info.type, column.read);
        // QODBC reports the column size as the field's length.
        info.length = size > static_cast<SQLULEN>(std::numeric_limits<int>::max())
                          ? -1
                          : static_cast<int>(size);
        column.cType = CTypeOf(column.read);
        column.size = size;
        const bool sized = column.read == Read::Text || column.read == Read::Binary;
        column.bound = !sized || (size > 0 && size <= kLongestBound);
        column.width = WidthOf(column);
        columns_.push_back(info);
        reads_.push_back(std::move(column));
    }

    bool AllBound(const std::vector<int>& source) const {
        for (const int index : source) {
            if (!reads_[static_cast<std::size_t>(index)].bound) {
                return false;
            }
        }
        return true;
    }

    int ReadBlocks(const std::vector<int>& source, std::vector<ResultColumn>& columns) {
        const SQLHSTMT stmt = statement_->get();
        SQLULEN fetched = 0;
        SQLULEN rowBytes = 0;
        for (const int index : source) {
            rowBytes += static_cast<SQLULEN>(reads_[static_cast<std::size_t>(index)].width);
        }
        const SQLULEN rows =
            std::clamp<SQLULEN>(kBytesPerBlock / std::max<SQLULEN>(rowBytes, 1), 1, kRowsPerBlock);
        std::vector<SQLUSMALLINT> status(rows);
        statement_->Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE,
                                         reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0),
                          "Unable to bind by column");
        statement_->Check(
            SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0),
            "Unable to set the row array size");
        statement_->Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0),
                          "Unable to set the rows-fetched pointer");
        statement_->Check(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_STATUS_PTR, status.data(), 0),
                          "Unable to set the row status pointer");
        // Only the stored columns are bound; the others are never read.
        for (const int index : source) {
            Column& column = reads_[static_cast<std::size_t>(index)];
            if (!column.data.empty()) {
                continue;  // stored twice
            }
            column.data.resize(static_cast<std::size_t>(column.width) * rows);
            column.indicators.resize(rows);
            statement_->Check(
                SQLBindCol(stmt, static_cast<SQLUSMALLINT>(index + 1), column.cType,
                           column.data.data(), column.width, column.indicators.data()),
                "Unable to bind a column");
        }

        int count = 0;
        for (;;) {
            const SQLRETURN rc = SQLFetch(stmt);
            if (rc == SQL_NO_DATA) {
                break;
            }
            statement_->Check(rc, "Unable to fetch");
            for (SQLULEN row = 0; row < fetched; ++row) {
                if (status[row] == SQL_ROW_ERROR) {
                    QString text = Diagnostics(SQL_HANDLE_STMT, stmt);
                    throw Error(text.isEmpty() ? QStringLiteral("Unable to fetch a row") : text);
                }
                if (status[row] == SQL_ROW_NOROW) {
                    continue;
                }
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const Column& column = reads_[static_cast<std::size_t>(source[c])];
                    const SQLLEN length = column.indicators[row];
                    const unsigned char* value =
                        column.data.data() + static_cast<std::size_t>(column.width) * row;
                    if (length != SQL_NULL_DATA &&
                        (length == SQL_NO_TOTAL || length > MaxLength(column))) {
                        throw ValueLongerThanColumn{};
                    }
                    Store(column.read, value, length, columns[c]);
                }
                ++count;
            }
        }
        return count;
    }

    // Bytes a bound buffer holds of a value (text keeps room for its NUL).
    static SQLLEN MaxLength(const Column& column) {
        return column.read == Read::Text ? column.width - static_cast<SQLLEN>(sizeof(SQLWCHAR))
                                         : column.width;
    }

    int ReadRows(const std::vector<int>& source, std::vector<ResultColumn>& columns) {
        const SQLHSTMT stmt = statement_->get();
        // SQLGetData reads columns in ascending order; a column stored twice
        // is read once.
        std::vector<int> order(source.begin(), source.end());
        std::sort(order.begin(), order.end());
        order.erase(std::unique(order.begin(), order.end()), order.end());
        std::vector<QVariant> row(columns_.size());
        std::vector<SQLWCHAR> piece(static_cast<std::size_t>(kPieceUnits) + 1);
        std::vector<unsigned char> bytes;
        QString text;
        int count = 0;
        for (;;) {
            const SQLRETURN rc = SQLFetch(stmt);
            if (rc == SQL_NO_DATA) {
                break;
            }
            statement_->Check(rc, "Unable to fetch");
            for (const int index : order) {
                row[static_cast<std::size_t>(index)] = GetData(stmt, index, piece, bytes, text);
            }
            for (std::size_t c = 0; c < columns.size(); ++c) {
                columns[c].Append(row[static_cast<std::size_t>(source[c])]);
            }
            ++count;
        }
        return count;
    }

    // One value of the current row, read with SQLGetData (text and binary
    // in pieces), as the QVariant QODBC gives.
    QVariant GetData(SQLHSTMT stmt, int index, std::vector<SQLWCHAR>& piece,
                     std::vector<unsigned char>& bytes, QString& text) {
        const Column& column = reads_[static_cast<std::size_t>(index)];
        const auto number = static_cast<SQLUSMALLINT>(index + 1);
        const QMetaType type = columns_[static_cast<std::size_t>(index)].type;
        SQLLEN length = 0;
        if (column.read == Read::Text || column.read == Read::Binary) {
            const bool wide = column.read == Read::Text;
            text.clear();
            bytes.clear();
            for (;;) {
                // Text pieces keep room for the NUL the driver adds.
                const SQLLEN room = kPieceUnits * static_cast<SQLLEN>(sizeof(SQLWCHAR));
                const SQLLEN capacity = wide ? room + static_cast<SQLLEN>(sizeof(SQLWCHAR)) : room;
                const SQLRETURN rc =
                    SQLGetData(stmt, number, column.cType, piece.data(), capacity, &length);
                if (rc == SQL_NO_DATA) {
                    break;
                }
                statement_->Check(rc, "Unable to read a value");
                if (length == SQL_NULL_DATA) {
                    return QVariant(type);
                }
                const SQLLEN got = (length == SQL_NO_TOTAL || length > room) ? room : length;
                if (wide) {
                    text += FromWide(piece.data(), got / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
                } else {
                    const auto* start = reinterpret_cast<const unsigned char*>(piece.data());
                    bytes.insert(bytes.end(), start, start + got);
                }
                if (rc == SQL_SUCCESS) {
                    break;  // the last piece
                }
            }
            if (wide) {
                return text;
            }
            return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size()));
        }
        alignas(8) unsigned char value[sizeof(SQL_TIMESTAMP_STRUCT) + 8] = {};
        statement_->Check(SQLGetData(stmt, number, column.cType, value, sizeof(value), &length),
                          "Unable to read a value");
        if (length == SQL_NULL_DATA) {
            return QVariant(type);
        }
        return ValueOf(column.read, value);
    }

    // A fixed-size value as QODBC gives it.
    static QVariant ValueOf(Read read, const unsigned char* value) {
        switch (read) {
            case Read::Int:
                return static_cast<int>(Load<SQLBIGINT>(value));
            case Read::UInt:
                return static_cast<uint>(Load<SQLBIGINT>(value));
            case Read::BigInt:
                return static_cast<qlonglong>(Load<SQLBIGINT>(value));
            case Read::UBigInt:
                return static_cast<qulonglong>(Load<SQLUBIGINT>(value));
            case Read::Double:
                return Load<double>(value);
            case Read::Date: {
                const auto d = Load<SQL_DATE_STRUCT>(value);
                return QDate(d.year, d.month, d.day);
            }
            case Read::Time: {
                const auto t = Load<SQL_TIME_STRUCT>(value);
                return QTime(t.hour, t.minute, t.second);
            }
            case Read::Timestamp: {
                const auto t = Load<SQL_TIMESTAMP_STRUCT>(value);
                return QDateTime(
                    QDate(t.year, t.month, t.day),
                    QTime(t.hour, t.minute, t.second, static_cast<int>(t.fraction / 1000000)));
            }
            case Read::Text:
            case Read::Binary:
                break;
        }
        return {};
    }

    // One bound value into the store: straight into a compact column of
    // its kind, otherwise as the QVariant QODBC would give.
    static void Store(Read read, const unsigned char* value, SQLLEN length, ResultColumn& column) {
        if (length == SQL_NULL_DATA) {
            column.AppendNull();
            return;
        }
        const ResultColumn::Kind kind = column.GetKind();
        if (read == Read::Text) {
            const QStringView text(reinterpret_cast<const char16_t*>(value),
                                   length / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
            if (kind == ResultColumn::Kind::Text) {
                column.AppendText(text);
            } else {
                column.Append(text.toString());
            }
            return;
        }
        if (read == Read::Binary) {
            column.Append(QByteArray(reinterpret_cast<const char*>(value), length));
            return;
        }
        if (kind == ResultColumn::Kind::Int &&
            (read == Read::Int || read == Read::UInt || read == Read::BigInt)) {
            const auto v = Load<SQLBIGINT>(value);
            column.AppendInt(read == Read::Int    ? static_cast<int>(v)
                             : read == Read::UInt ? static_cast<qint64>(static_cast<uint>(v))
                                                  : v);
            return;
        }
        if (kind == ResultColumn::Kind::Double && read == Read::Double) {
            column.AppendDouble(Load<double>(value));
            return;
        }
        column.Append(ValueOf(read, value));
    }

    SQLHDBC connection_;
    QString sql_;
    OdbcFetch fetch_;
    std::unique_ptr<Statement> statement_;
    std::vector<Column> reads_;
};

}  // namespace

std::unique_ptr<ResultReader> ExecuteWithOdbc(QSqlDatabase& db, const QString& statement,
                                              OdbcFetch fetch) {
    const SQLHDBC connection = OdbcConnectionHandle(db);
    if (connection == nullptr) {
        return nullptr;
    }
    return std::make_unique<OdbcResultReader>(connection, statement, fetch);
}

std::unique_ptr<ResultReader> ExecuteWithOdbc(QSqlDatabase& db, const QString& statement) {
    return ExecuteWithOdbc(db, statement, OdbcFetch::Blocks);
}

}  // namespace prvc03
