// How the ODBC reader fetches each kind of result column: the field type,
// the read, the C type, the bound width and whether it is bound at all.
// Plain values: no driver, no server.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <gtest/gtest.h>

#include "data/OdbcTypeMap.h"

namespace prvc03 {
namespace {

struct Case {
    const char* name;
    SQLSMALLINT sqlType;
    bool isSigned;
    SQLULEN size;
    bool wideText;
    QMetaType type;
    OdbcRead read;
    SQLSMALLINT cType;
    SQLLEN width;  // 0 when not bound
    bool bound;
};

TEST(OdbcTypeMap, EachSqlTypeReadsAsQodbcTypesIt) {
    const QMetaType text = QMetaType::fromType<QString>();
    const QMetaType bytes = QMetaType::fromType<QByteArray>();
    const Case cases[] = {
        // Text: every character may take a surrogate pair (wide) or four
        // UTF-8 bytes (narrow), plus the NUL; bound up to 4000 characters.
        {"nvarchar(10) wide", SQL_WVARCHAR, true, 10, true, text, OdbcRead::Text, SQL_C_WCHAR, 42,
         true},
        {"varchar(10) narrow", SQL_VARCHAR, true, 10, false, text, OdbcRead::Text, SQL_C_CHAR, 41,
         true},
        {"char(4000) wide", SQL_CHAR, true, 4000, true, text, OdbcRead::Text, SQL_C_WCHAR, 16002,
         true},
        {"ntext(4001) wide", SQL_WLONGVARCHAR, true, 4001, true, text, OdbcRead::Text, SQL_C_WCHAR,
         0, false},
        {"text without a size", SQL_LONGVARCHAR, true, 0, false, text, OdbcRead::Text, SQL_C_CHAR,
         0, false},
        // A GUID reads as its text.
        {"uniqueidentifier wide", SQL_GUID, true, 36, true, text, OdbcRead::Text, SQL_C_WCHAR, 146,
         true},
        {"uniqueidentifier narrow", SQL_GUID, true, 36, false, text, OdbcRead::Text, SQL_C_CHAR,
         145, true},
        // Integers arrive as 64-bit values, whatever their SQL size.
        {"smallint", SQL_SMALLINT, true, 5, true, QMetaType::fromType<short>(), OdbcRead::Int,
         SQL_C_SBIGINT, 8, true},
        {"unsigned smallint", SQL_SMALLINT, false, 5, true, QMetaType::fromType<ushort>(),
         OdbcRead::UInt, SQL_C_SBIGINT, 8, true},
        {"int", SQL_INTEGER, true, 10, true, QMetaType::fromType<int>(), OdbcRead::Int,
         SQL_C_SBIGINT, 8, true},
        {"unsigned int", SQL_INTEGER, false, 10, true, QMetaType::fromType<uint>(), OdbcRead::UInt,
         SQL_C_SBIGINT, 8, true},
        {"bit", SQL_BIT, true, 1, true, QMetaType::fromType<int>(), OdbcRead::Int, SQL_C_SBIGINT, 8,
         true},
        {"tinyint", SQL_TINYINT, true, 3, true, QMetaType::fromType<uint>(), OdbcRead::UInt,
         SQL_C_SBIGINT, 8, true},
        {"bigint", SQL_BIGINT, true, 19, true, QMetaType::fromType<qlonglong>(), OdbcRead::BigInt,
         SQL_C_SBIGINT, 8, true},
        {"unsigned bigint", SQL_BIGINT, false, 20, true, QMetaType::fromType<qulonglong>(),
         OdbcRead::UBigInt, SQL_C_UBIGINT, 8, true},
        // Exact numerics arrive as doubles (low precision, as QODBC with BCD off).
        {"numeric(18,2)", SQL_NUMERIC, true, 18, true, QMetaType::fromType<double>(),
         OdbcRead::Double, SQL_C_DOUBLE, 8, true},
        {"float", SQL_FLOAT, true, 53, true, QMetaType::fromType<double>(), OdbcRead::Double,
         SQL_C_DOUBLE, 8, true},
        // Dates and times in the driver's structures.
        {"date", SQL_TYPE_DATE, true, 10, true, QMetaType::fromType<QDate>(), OdbcRead::Date,
         SQL_C_TYPE_DATE, sizeof(SQL_DATE_STRUCT), true},
        {"time", SQL_TYPE_TIME, true, 8, true, QMetaType::fromType<QTime>(), OdbcRead::Time,
         SQL_C_TYPE_TIME, sizeof(SQL_TIME_STRUCT), true},
        {"datetime", SQL_TYPE_TIMESTAMP, true, 23, true, QMetaType::fromType<QDateTime>(),
         OdbcRead::Timestamp, SQL_C_TYPE_TIMESTAMP, sizeof(SQL_TIMESTAMP_STRUCT), true},
        // Bytes, and anything unknown, as bytes.
        {"varbinary(16)", SQL_VARBINARY, true, 16, true, bytes, OdbcRead::Binary, SQL_C_BINARY, 16,
         true},
        {"image", SQL_LONGVARBINARY, true, 0, true, bytes, OdbcRead::Binary, SQL_C_BINARY, 0,
         false},
        {"sql_variant", -150, true, 8000, true, bytes, OdbcRead::Binary, SQL_C_BINARY, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OdbcColumnType column = OdbcColumnTypeFor(c.sqlType, c.isSigned, c.size, c.wideText);
        EXPECT_EQ(column.type, c.type) << column.type.name();
        EXPECT_EQ(column.read, c.read);
        EXPECT_EQ(column.cType, c.cType);
        EXPECT_EQ(column.width, c.width);
        EXPECT_EQ(column.bound, c.bound);
    }
}

// A bound text buffer holds the value and its NUL; other values fill theirs.
TEST(OdbcTypeMap, ValueRoomLeavesTheNulOutOfText) {
    EXPECT_EQ(OdbcValueRoom(OdbcColumnTypeFor(SQL_WVARCHAR, true, 10, true)), 40);
    EXPECT_EQ(OdbcValueRoom(OdbcColumnTypeFor(SQL_VARCHAR, true, 10, false)), 40);
    EXPECT_EQ(OdbcValueRoom(OdbcColumnTypeFor(SQL_VARBINARY, true, 16, true)), 16);
    EXPECT_EQ(OdbcValueRoom(OdbcColumnTypeFor(SQL_INTEGER, true, 10, true)), 8);
}

}  // namespace
}  // namespace prvc03
