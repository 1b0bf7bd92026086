// The reader of QPSQL connections: the statement goes to the server on the
// connection's own libpq handle, its whole result arrives in one PGresult,
// and the rows go from there straight into the store, text converted once
// from UTF-8. QPSQL's forward-only queries take a result object per row and
// a QVariant per value instead. Column types and values are those QPSQL
// gives with low-precision doubles.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>
#include <QVariant>

#include <libpq-fe.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "data/DriverHandle.h"
#include "data/ResultReader.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

// The type identifiers of the server's built-in types that QPSQL tells apart.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kRegproc = 24,
    kOid = 26,
    kXid = 28,
    kCid = 29,
    kFloat4 = 700,
    kFloat8 = 701,
    kAbstime = 702,
    kReltime = 703,
    kDate = 1082,
    kTime = 1083,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kTimeTz = 1266,
    kBit = 1560,
    kVarbit = 1562,
    kNumeric = 1700,
};
constexpr int kVarHeader = 4;

// QPSQL's type for a column of type `oid`.
QMetaType TypeOf(Oid oid) {
    switch (oid) {
        case kBool:
            return QMetaType::fromType<bool>();
        case kInt8:
            return QMetaType::fromType<qlonglong>();
        case kInt2:
        case kInt4:
        case kOid:
        case kRegproc:
        case kXid:
        case kCid:
            return QMetaType::fromType<int>();
        case kNumeric:
        case kFloat4:
        case kFloat8:
            return QMetaType::fromType<double>();
        case kAbstime:
        case kReltime:
        case kDate:
            return QMetaType::fromType<QDate>();
        case kTime:
        case kTimeTz:
            return QMetaType::fromType<QTime>();
        case kTimestamp:
        case kTimestampTz:
            return QMetaType::fromType<QDateTime>();
        case kBytea:
            return QMetaType::fromType<QByteArray>();
        default:
            return QMetaType::fromType<QString>();
    }
}

// QPSQL's length of a result column.
int LengthOf(const PGresult* result, int column) {
    int length = PQfsize(result, column);
    const int modifier = PQfmod(result, column);
    switch (PQftype(result, column)) {
        case kTimestamp:
        case kTimestampTz:
            break;
        case kNumeric:
            if (modifier != -1) {
                length = modifier >> 16;
            }
            break;
        case kBit:
        case kVarbit:
            length = modifier;
            break;
        default:
            if (length == -1 && modifier >= kVarHeader) {
                length = modifier - kVarHeader;
            }
    }
    return length;
}

// A number the server wrote, as QPSQL reads it; nothing when it is none.
std::optional<double> Number(const char* text) {
    if (qstricmp(text, "Infinity") == 0) {
        return std::numeric_limits<double>::infinity();
    }
    if (qstricmp(text, "-Infinity") == 0) {
        return -std::numeric_limits<double>::infinity();
    }
    bool ok = false;
    const double value = QByteArray::fromRawData(text, qstrlen(text)).toDouble(&ok);
    if (!ok) {
        if (qstricmp(text, "NaN") == 0) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return std::nullopt;
    }
    return value;
}

// One value as QPSQL gives it.
QVariant ValueOf(Oid oid, const char* text, int bytes) {
    const QMetaType type = TypeOf(oid);
    switch (type.id()) {
        case QMetaType::Bool:
            return QVariant(text[0] == 't');
        case QMetaType::LongLong:
            // QPSQL gives a value that is not negative as unsigned.
            if (text[0] == '-') {
                return QVariant(QByteArray::fromRawData(text, bytes).toLongLong());
            }
            return QVariant(QByteArray::fromRawData(text, bytes).toULongLong());
        case QMetaType::Int:
            return QVariant(std::atoi(text));
        case QMetaType::Double: {
            const std::optional<double> value = Number(text);
            return value ? QVariant(*value) : QVariant();
        }
        case QMetaType::QDate:
            return text[0] == '\0'
                       ? QVariant(QDate())
                       : QVariant(QDate::fromString(QString::fromLatin1(text, bytes), Qt::ISODate));
        case QMetaType::QTime: {
            const QString time = QString::fromLatin1(text, bytes);
            return time.isEmpty() ? QVariant(QTime())
                                  : QVariant(QTime::fromString(time, Qt::ISODate));
        }
        case QMetaType::QDateTime: {
            QString moment = QString::fromLatin1(text, bytes);
            if (moment.size() < 10) {
                return QVariant(QDateTime());
            }
            // The server writes an offset of whole hours as "+08"; ISO wants
            // "+08:00".
            const QChar sign = moment.at(moment.size() - 3);
            if (sign == QLatin1Char('-') || sign == QLatin1Char('+')) {
                moment += QLatin1String(":00");
            }
            return QVariant(QDateTime::fromString(moment, Qt::ISODate).toLocalTime());
        }
        case QMetaType::QByteArray: {
            size_t length = 0;
            unsigned char* data =
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
            QByteArray value(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
            PQfreemem(data);
            return QVariant(value);
        }
        default:
            return QVariant(QString::fromUtf8(text, bytes));
    }
}

// How a column's values go into a store column of a given kind.
enum class Fast { None, Text, Int, Double };

Fast FastPath(Oid oid, ResultColumn::Kind kind) {
    const int type = TypeOf(oid).id();
    if (kind == ResultColumn::Kind::Text && type == QMetaType::QString) {
        return Fast::Text;
    }
    if (kind == ResultColumn::Kind::Int &&
        (type == QMetaType::Int || type == QMetaType::LongLong)) {
        return Fast::Int;
    }
    if (kind == ResultColumn::Kind::Double && type == QMetaType::Double) {
        return Fast::Double;
    }
    return Fast::None;
}

class PostgresResultReader final : public ResultReader {
  public:
    PostgresResultReader(PGconn* connection, const QString& statement)
        : connection_(connection), sql_(statement.toUtf8()), cancel_(PQgetCancel(connection)) {}
    ~PostgresResultReader() override {
        PQclear(result_);
        PQfreeCancel(cancel_);
    }

    qint64 RowsAffected() const override {
        return result_ == nullptr ? -1 : std::atoll(PQcmdTuples(result_));
    }

  protected:
    void DoExecute() override {
        if (PQsendQuery(connection_, sql_.constData()) == 0) {
            throw Error(ConnectionError(nullptr));
        }
        // Every result of the statement, keeping the first error or the last
        // result, until the connection is ready again.
        PGresult* failed = nullptr;
        while (PGresult* next = PQgetResult(connection_)) {
            const ExecStatusType status = PQresultStatus(next);
            if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK &&
                status != PGRES_EMPTY_QUERY && failed == nullptr) {
                failed = next;
                continue;
            }
            if (next == failed) {
                continue;
            }
            PQclear(result_);
            result_ = next;
        }
        if (failed != nullptr) {
            const QString text = ConnectionError(failed);
            PQclear(failed);
            throw Error(text);
        }
        if (result_ == nullptr || PQresultStatus(result_) != PGRES_TUPLES_OK) {
            return;
        }
        const int count = PQnfields(result_);
        for (int i = 0; i < count; ++i) {
            ResultColumnInfo info;
            info.name = QString::fromUtf8(PQfname(result_, i));
            // A forward-only QPSQL query never looks the table up.
            info.type = TypeOf(PQftype(result_, i));
            info.length = LengthOf(result_, i);
            columns_.push_back(info);
        }
    }

    int DoRead(const std::vector<int>& source, std::vector<ResultColumn>& columns,
               int limit) override {
        if (result_ == nullptr || PQresultStatus(result_) != PGRES_TUPLES_OK) {
            return 0;
        }
        const int rows = PQntuples(result_);
        const int end = limit < 0 ? rows : std::min(rows, next_ + limit);
        std::vector<Fast> fast;
        std::vector<Oid> oids;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            oids.push_back(PQftype(result_, source[c]));
            fast.push_back(FastPath(oids.back(), columns[c].GetKind()));
        }
        const int first = next_;
        for (; next_ < end; ++next_) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                Store(next_, source[c], oids[c], fast[c], columns[c]);
            }
            if ((next_ & 1023) == 0) {
                CountRows(next_ + 1);
            }
        }
        CountRows(next_);
        return next_ - first;
    }

    void DoCancel() noexcept override {
        char message[256];
        PQcancel(cancel_, message, sizeof(message));
    }

  private:
    // The server's text of a failure, as QPSQL gives it: the connection's
    // message and, for a statement's failure, its SQLSTATE.
    QString ConnectionError(const PGresult* result) const {
        QString text = QString::fromUtf8(PQerrorMessage(connection_));
        if (result != nullptr) {
            const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
            if (text.trimmed().isEmpty()) {
                text = QString::fromUtf8(PQresultErrorMessage(result));
            }
            text += QStringLiteral("(%1)").arg(QLatin1String(state == nullptr ? "" : state));
        }
        return text.trimmed();
    }

    void Store(int row, int index, Oid oid, Fast fast, ResultColumn& column) const {
        if (PQgetisnull(result_, row, index)) {
            column.AppendNull();
            return;
        }
        const char* text = PQgetvalue(result_, row, index);
        const int bytes = PQgetlength(result_, row, index);
        switch (fast) {
            case Fast::Text:
                column.AppendUtf8(text, static_cast<std::size_t>(bytes));
                return;
            case Fast::Int:
                if (oid == kInt8) {
                    column.AppendInt(QByteArray::fromRawData(text, bytes).toLongLong());
                } else {
                    column.AppendInt(std::atoi(text));
                }
                return;
            case Fast::Double:
                if (const std::optional<double> value = Number(text)) {
                    column.AppendDouble(*value);
                    return;
                }
                break;
            case Fast::None:
                break;
        }
        column.Append(ValueOf(oid, text, bytes));
    }

    PGconn* connection_;
    QByteArray sql_;
    PGcancel* cancel_;
    PGresult* result_ = nullptr;
    int next_ = 0;
};

}  // namespace

std::unique_ptr<ResultReader> PostgresReaderFor(QSqlDatabase& db, const QString& statement) {
    return ReaderOnHandle<PostgresResultReader, PGconn*>(db, "QPSQL", "pg_conn*", statement);
}

}  // namespace prvc03
