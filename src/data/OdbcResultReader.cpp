// The reader of QODBC connections. QODBC reads every value with its own
// SQLGetData call and QVariant; this reader runs the statement on a
// statement handle of its own on the connection's ODBC handle and fetches
// row arrays of bound columns: text as UTF-16 or UTF-8 as the driver takes
// it, numbers as native values, NULL from the length indicators. Types and
// values are those QODBC gives with low-precision doubles, so the dataset
// cannot tell the two apart.
#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "data/Odbc.h"
#include "data/OdbcTypeMap.h"
#include "data/ResultReader.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

constexpr SQLULEN kRowsPerBlock = 1000;
// Wide rows get fewer rows a block, so that the bound buffers stay near this.
constexpr SQLULEN kBytesPerBlock = 4u << 20;
constexpr SQLLEN kPieceBytes = 8192;

// How one column's values are read, and its block buffers: one value of
// `width` bytes and one indicator a row.
struct Column {
    OdbcColumnType how;
    std::vector<unsigned char> data;
    std::vector<SQLLEN> indicators;
};

// A fixed-size value from a driver buffer, which need not be aligned for it.
template <class T>
T Load(const unsigned char* value) {
    T v{};
    std::memcpy(&v, value, sizeof(v));
    return v;
}

// A fixed-size value as QODBC gives it.
QVariant ValueOf(OdbcRead read, const unsigned char* value) {
    switch (read) {
        case OdbcRead::Int:
            return static_cast<int>(Load<SQLBIGINT>(value));
        case OdbcRead::UInt:
            return static_cast<uint>(Load<SQLBIGINT>(value));
        case OdbcRead::BigInt:
            return static_cast<qlonglong>(Load<SQLBIGINT>(value));
        case OdbcRead::UBigInt:
            return static_cast<qulonglong>(Load<SQLUBIGINT>(value));
        case OdbcRead::Double:
            return Load<double>(value);
        case OdbcRead::Date: {
            const auto d = Load<SQL_DATE_STRUCT>(value);
            return QDate(d.year, d.month, d.day);
        }
        case OdbcRead::Time: {
            const auto t = Load<SQL_TIME_STRUCT>(value);
            return QTime(t.hour, t.minute, t.second);
        }
        case OdbcRead::Timestamp: {
            const auto t = Load<SQL_TIMESTAMP_STRUCT>(value);
            return QDateTime(
                QDate(t.year, t.month, t.day),
                QTime(t.hour, t.minute, t.second, static_cast<int>(t.fraction / 1000000)));
        }
        case OdbcRead::Text:
        case OdbcRead::Binary:
            break;
    }
    return {};
}

// One bound value into the store: straight into a compact column of its
// kind, otherwise as the QVariant QODBC would give.
void Store(const OdbcColumnType& how, const unsigned char* value, SQLLEN length,
           ResultColumn& column) {
    if (length == SQL_NULL_DATA) {
        column.AppendNull();
        return;
    }
    const ResultColumn::Kind kind = column.GetKind();
    const OdbcRead read = how.read;
    if (read == OdbcRead::Text) {
        if (how.cType == SQL_C_WCHAR) {
            const QStringView text(reinterpret_cast<const char16_t*>(value),
                                   length / static_cast<SQLLEN>(sizeof(SQLWCHAR)));
            if (kind == ResultColumn::Kind::Text) {
                column.AppendText(text);
            } else {
                column.Append(text.toString());
            }
        } else if (kind == ResultColumn::Kind::Text) {
            // Decoded straight into the column, as QString::fromUtf8 decodes.
            column.AppendUtf8(reinterpret_cast<const char*>(value),
                              static_cast<std::size_t>(length));
        } else {
            column.Append(QString::fromUtf8(reinterpret_cast<const char*>(value), length));
        }
        return;
    }
    if (read == OdbcRead::Binary) {
        column.Append(QByteArray(reinterpret_cast<const char*>(value), length));
        return;
    }
    if (kind == ResultColumn::Kind::Int &&
        (read == OdbcRead::Int || read == OdbcRead::UInt || read == OdbcRead::BigInt)) {
        const auto v = Load<SQLBIGINT>(value);
        column.AppendInt(read == OdbcRead::Int    ? static_cast<int>(v)
                         : read == OdbcRead::UInt ? static_cast<qint64>(static_cast<uint>(v))
                                                  : v);
        return;
    }
    if (kind == ResultColumn::Kind::Double && read == OdbcRead::Double) {
        column.AppendDouble(Load<double>(value));
        return;
    }
    column.Append(ValueOf(read, value));
}

// Raised inside a block fetch when a value is longer than its column says
// (SQLite keeps whatever it is given): the result is read again row by row.
struct ValueLongerThanColumn {};

class OdbcResultReader final : public ResultReader {
  public:
    OdbcResultReader(SQLHDBC connection, bool wide, const QString& statement, OdbcFetch fetch)
        : connection_(connection),
          sql_(statement),
          fetch_(fetch),
          statement_(std::make_unique<OdbcStatement>(connection, wide)) {}

    void DoExecute() override {
        statement_->ExecDirect(sql_);
        const int count = statement_->ResultColumns();
        if (!columns_.empty() || count <= 0) {
            return;  // executed again, the columns known; or no records
        }
        for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
            Describe(i);
        }
    }

    int DoRead(const std::vector<int>& source, std::vector<ResultColumn>& columns,
               int limit) override {
        if (limit >= 0) {
            return ReadRows(source, columns, limit);
        }
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
                CountRows(0);
                Reexecute();
            }
        }
        return ReadRows(source, columns, -1);
    }

    qint64 RowsAffected() const override { return statement_->RowCount(); }

    void DoCancel() noexcept override {
        const std::lock_guard<std::mutex> lock(cancelMutex_);
        statement_->Cancel();
    }

  private:
    // A fresh statement handle for the same statement; Cancel reaches the
    // new one.
    void Reexecute() {
        auto fresh = std::make_unique<OdbcStatement>(connection_, statement_->Wide());
        {
            const std::lock_guard<std::mutex> lock(cancelMutex_);
            std::swap(statement_, fresh);
        }
        fresh.reset();
        DoExecute();
    }

    void Describe(SQLUSMALLINT index) {
        const OdbcColumnDescription description = statement_->Describe(index);
        Column column;
        column.how = OdbcColumnTypeFor(description.sqlType, description.isSigned, description.size,
                                       statement_->Wide());
        ResultColumnInfo info;
        info.name = description.name;
        info.table = description.table;
        info.type = column.how.type;
        // QODBC reports the column size as the field's length, an unknown
        // size as -1.
        info.length =
            description.size == 0 ||
                    description.size > static_cast<SQLULEN>(std::numeric_limits<int>::max())
                ? -1
                : static_cast<int>(description.size);
        columns_.push_back(info);
        reads_.push_back(std::move(column));
    }

    bool AllBound(const std::vector<int>& source) const {
        return std::all_of(source.begin(), source.end(), [this](int index) {
            return reads_[static_cast<std::size_t>(index)].how.bound;
        });
    }

    int ReadBlocks(const std::vector<int>& source, std::vector<ResultColumn>& columns) {
        const SQLHSTMT stmt = statement_->get();
        SQLULEN fetched = 0;
        SQLULEN rowBytes = 0;
        for (const int index : source) {
            rowBytes += static_cast<SQLULEN>(reads_[static_cast<std::size_t>(index)].how.width);
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
            column.data.resize(static_cast<std::size_t>(column.how.width) * rows);
            column.indicators.resize(rows);
            statement_->Check(
                SQLBindCol(stmt, static_cast<SQLUSMALLINT>(index + 1), column.how.cType,
                           column.data.data(), column.how.width, column.indicators.data()),
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
                    const QString text = OdbcDiagnostics(SQL_HANDLE_STMT, stmt, statement_->Wide());
                    throw Error(text.isEmpty() ? QStringLiteral("Unable to fetch a row") : text);
                }
                if (status[row] == SQL_ROW_NOROW) {
                    continue;
                }
                for (std::size_t c = 0; c < columns.size(); ++c) {
                    const Column& column = reads_[static_cast<std::size_t>(source[c])];
                    const SQLLEN length = column.indicators[row];
                    const unsigned char* value =
                        column.data.data() + static_cast<std::size_t>(column.how.width) * row;
                    if (length != SQL_NULL_DATA &&
                        (length == SQL_NO_TOTAL || length > OdbcValueRoom(column.how))) {
                        throw ValueLongerThanColumn{};
                    }
                    Store(column.how, value, length, columns[c]);
                }
                ++count;
            }
            CountRows(count);
        }
        return count;
    }

    int ReadRows(const std::vector<int>& source, std::vector<ResultColumn>& columns, int limit) {
        const SQLHSTMT stmt = statement_->get();
        // SQLGetData reads columns in ascending order; a column stored twice
        // is read once.
        std::vector<int> order(source.begin(), source.end());
        std::sort(order.begin(), order.end());
        order.erase(std::unique(order.begin(), order.end()), order.end());
        std::vector<QVariant> row(columns_.size());
        std::vector<unsigned char> piece(static_cast<std::size_t>(kPieceBytes) + 2);
        QByteArray bytes;
        int count = 0;
        while (count != limit) {
            const SQLRETURN rc = SQLFetch(stmt);
            if (rc == SQL_NO_DATA) {
                break;
            }
            statement_->Check(rc, "Unable to fetch");
            for (const int index : order) {
                row[static_cast<std::size_t>(index)] = GetData(stmt, index, piece, bytes);
            }
            for (std::size_t c = 0; c < columns.size(); ++c) {
                columns[c].Append(row[static_cast<std::size_t>(source[c])]);
            }
            CountRows(++count);
        }
        return count;
    }

    // One value of the current row, read with SQLGetData (text and binary
    // in pieces), as the QVariant QODBC gives.
    QVariant GetData(SQLHSTMT stmt, int index, std::vector<unsigned char>& piece,
                     QByteArray& bytes) {
        const Column& column = reads_[static_cast<std::size_t>(index)];
        const auto number = static_cast<SQLUSMALLINT>(index + 1);
        const QMetaType type = columns_[static_cast<std::size_t>(index)].type;
        SQLLEN length = 0;
        if (column.how.read == OdbcRead::Text || column.how.read == OdbcRead::Binary) {
            const bool text = column.how.read == OdbcRead::Text;
            const bool wide = column.how.cType == SQL_C_WCHAR;
            // Text pieces keep room for the NUL the driver adds.
            const SQLLEN nul = !text ? 0 : wide ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1;
            bytes.clear();
            for (;;) {
                const SQLRETURN rc = SQLGetData(stmt, number, column.how.cType, piece.data(),
                                                kPieceBytes + nul, &length);
                if (rc == SQL_NO_DATA) {
                    break;
                }
                statement_->Check(rc, "Unable to read a value");
                if (length == SQL_NULL_DATA) {
                    return QVariant(type);
                }
                SQLLEN got =
                    (length == SQL_NO_TOTAL || length > kPieceBytes) ? kPieceBytes : length;
                if (wide) {
                    got -= got % static_cast<SQLLEN>(sizeof(SQLWCHAR));
                }
                bytes.append(reinterpret_cast<const char*>(piece.data()), got);
                if (rc == SQL_SUCCESS) {
                    break;  // the last piece
                }
            }
            if (text) {
                return OdbcText(bytes.constData(), bytes.size(), wide);
            }
            return bytes;
        }
        alignas(8) unsigned char value[sizeof(SQL_TIMESTAMP_STRUCT) + 8] = {};
        statement_->Check(SQLGetData(stmt, number, column.how.cType, value, sizeof(value), &length),
                          "Unable to read a value");
        if (length == SQL_NULL_DATA) {
            return QVariant(type);
        }
        return ValueOf(column.how.read, value);
    }

    SQLHDBC connection_;
    QString sql_;
    OdbcFetch fetch_;
    std::mutex cancelMutex_;
    std::unique_ptr<OdbcStatement> statement_;
    std::vector<Column> reads_;
};

}  // namespace

std::unique_ptr<ResultReader> OdbcReaderFor(QSqlDatabase& db, const QString& statement,
                                            OdbcFetch fetch) {
    const SQLHDBC connection = OdbcConnectionHandle(db);
    if (connection == nullptr) {
        return nullptr;
    }
    return std::make_unique<OdbcResultReader>(connection, OdbcWideText(db), statement, fetch);
}

}  // namespace prvc03
