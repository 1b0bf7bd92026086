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

}  // namespace prvc03::test
