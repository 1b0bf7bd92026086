#pragma once
// Reads a statement the way a SQL parser splits it at single quotes, so tests
// and fuzzers can tell whether a value stayed inside its literal: every
// literal is cut out (its doubled quotes undone) and replaced by "?" in the
// skeleton, which then holds only what the builder wrote itself.

#include <QString>
#include <QStringList>

namespace prvc03::test {

struct SqlShape {
    QString skeleton;      // the statement with each literal replaced by "?"
    QStringList literals;  // each literal's text, in order, quotes undoubled
    bool closed = true;    // false when the last literal runs to the end
};

SqlShape ParseSqlShape(const QString& statement);

// The statement as SQLite's UTF-16 reader sees it: a surrogate takes the unit
// after it as its partner, whatever that unit is (each such pair becomes one
// U+FFFD here). Its shape is the statement's own unless a lone surrogate
// swallowed something.
QString AsSqliteReadsUtf16(const QString& statement);

// Whether a value holds what no statement may carry: a NUL, or a surrogate
// without its partner.
bool UnsafeForStatements(const QString& value);

}  // namespace prvc03::test
