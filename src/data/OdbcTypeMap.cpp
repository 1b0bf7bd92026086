#include "data/OdbcTypeMap.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace prvc03 {

namespace {

struct Decoded {
    QMetaType type;
    OdbcRead read;
};

// QODBC's type for an ODBC SQL type, and how the value is read.
Decoded Decode(SQLSMALLINT sqlType, bool isSigned) {
    switch (sqlType) {
        case SQL_DECIMAL:
        case SQL_NUMERIC:
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return {QMetaType::fromType<double>(), OdbcRead::Double};
        case SQL_SMALLINT:
            return isSigned ? Decoded{QMetaType::fromType<short>(), OdbcRead::Int}
                            : Decoded{QMetaType::fromType<ushort>(), OdbcRead::UInt};
        case SQL_INTEGER:
        case SQL_BIT:
            return isSigned ? Decoded{QMetaType::fromType<int>(), OdbcRead::Int}
                            : Decoded{QMetaType::fromType<uint>(), OdbcRead::UInt};
        case SQL_TINYINT:
            return {QMetaType::fromType<uint>(), OdbcRead::UInt};
        case SQL_BIGINT:
            return isSigned ? Decoded{QMetaType::fromType<qlonglong>(), OdbcRead::BigInt}
                            : Decoded{QMetaType::fromType<qulonglong>(), OdbcRead::UBigInt};
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return {QMetaType::fromType<QByteArray>(), OdbcRead::Binary};
        case SQL_DATE:
        case SQL_TYPE_DATE:
            return {QMetaType::fromType<QDate>(), OdbcRead::Date};
        case SQL_TIME:
        case SQL_TYPE_TIME:
            return {QMetaType::fromType<QTime>(), OdbcRead::Time};
        case SQL_TIMESTAMP:
        case SQL_TYPE_TIMESTAMP:
            return {QMetaType::fromType<QDateTime>(), OdbcRead::Timestamp};
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        // A GUID (SQL Server's uniqueidentifier, PostgreSQL's uuid) reads as
        // its text, "a0eebc99-9c0b-...".
        case SQL_GUID:
            return {QMetaType::fromType<QString>(), OdbcRead::Text};
        default:
            return {QMetaType::fromType<QByteArray>(), OdbcRead::Binary};
    }
}

SQLSMALLINT CTypeOf(OdbcRead read, bool wideText) {
    switch (read) {
        case OdbcRead::Text:
            return wideText ? SQL_C_WCHAR : SQL_C_CHAR;
        case OdbcRead::Int:
        case OdbcRead::UInt:
        case OdbcRead::BigInt:
            return SQL_C_SBIGINT;
        case OdbcRead::UBigInt:
            return SQL_C_UBIGINT;
        case OdbcRead::Double:
            return SQL_C_DOUBLE;
        case OdbcRead::Date:
            return SQL_C_TYPE_DATE;
        case OdbcRead::Time:
            return SQL_C_TYPE_TIME;
        case OdbcRead::Timestamp:
            return SQL_C_TYPE_TIMESTAMP;
        case OdbcRead::Binary:
            return SQL_C_BINARY;
    }
    return SQL_C_BINARY;
}

SQLLEN WidthOf(OdbcRead read, SQLULEN size, bool wideText) {
    const auto units = static_cast<SQLLEN>(size);
    switch (read) {
        case OdbcRead::Text:
            // Room for every character as a surrogate pair (wide) or as four
            // UTF-8 bytes (narrow), and the NUL.
            return wideText ? (2 * units + 1) * static_cast<SQLLEN>(sizeof(SQLWCHAR))
                            : 4 * units + 1;
        case OdbcRead::Binary:
            return units;
        case OdbcRead::Date:
            return sizeof(SQL_DATE_STRUCT);
        case OdbcRead::Time:
            return sizeof(SQL_TIME_STRUCT);
        case OdbcRead::Timestamp:
            return sizeof(SQL_TIMESTAMP_STRUCT);
        default:
            return 8;
    }
}

}  // namespace

OdbcColumnType OdbcColumnTypeFor(SQLSMALLINT sqlType, bool isSigned, SQLULEN size, bool wideText) {
    const Decoded decoded = Decode(sqlType, isSigned);
    OdbcColumnType column;
    column.type = decoded.type;
    column.read = decoded.read;
    column.cType = CTypeOf(decoded.read, wideText);
    const bool sized = decoded.read == OdbcRead::Text || decoded.read == OdbcRead::Binary;
    column.bound = !sized || (size > 0 && size <= kOdbcLongestBound);
    column.width = column.bound ? WidthOf(decoded.read, size, wideText) : 0;
    return column;
}

SQLLEN OdbcValueRoom(const OdbcColumnType& column) {
    if (column.read != OdbcRead::Text) {
        return column.width;
    }
    return column.width - (column.cType == SQL_C_WCHAR ? static_cast<SQLLEN>(sizeof(SQLWCHAR)) : 1);
}

}  // namespace prvc03
