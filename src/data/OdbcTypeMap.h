#pragma once
// How the ODBC reader fetches one result column: the type QODBC gives a
// column of that SQL type (with low-precision doubles), the C type it is
// fetched as and the bytes a bound value takes. A table of its own, so that
// it can be checked without a server.

#include <QMetaType>

#include <sql.h>
#include <sqlext.h>

namespace prvc03 {

// What a fetched value is turned into.
enum class OdbcRead { Text, Int, UInt, BigInt, UBigInt, Double, Date, Time, Timestamp, Binary };

struct OdbcColumnType {
    QMetaType type;  // the field's type, as QODBC gives it
    OdbcRead read = OdbcRead::Text;
    SQLSMALLINT cType = SQL_C_WCHAR;  // the C type it is fetched as
    SQLLEN width = 0;                 // bytes of one bound value, its NUL included
    bool bound = true;                // fits a bound buffer of a block fetch
};

// Text and binary columns up to this size (characters or bytes) are bound;
// longer or unbounded ones are read in pieces, row by row.
inline constexpr SQLULEN kOdbcLongestBound = 4000;

// The reading of a column of `sqlType` (signed or not) and column size
// `size`; `wideText` fetches text as UTF-16, otherwise as UTF-8.
OdbcColumnType OdbcColumnTypeFor(SQLSMALLINT sqlType, bool isSigned, SQLULEN size, bool wideText);

// Bytes a bound buffer holds of a value (text keeps room for its NUL).
SQLLEN OdbcValueRoom(const OdbcColumnType& column);

}  // namespace prvc03
