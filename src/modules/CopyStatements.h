#pragma once
// The texts of the copy step: a target line of the list, the count of the
// source user and the INSERT ... SELECT that copies the permissions.

#include <QString>

namespace prvc03 {

// Code padded with blanks to at least 10 bytes, then the name padded to at
// least 20 bytes; bytes of code page 936, nothing cut.
QString TargetLine(const QString& code, const QString& name);

// "SELECT isnull(COUNT(*),0) FROM ADMMG WHERE MG001=" and the literal of the
// typed source code; `nullFunction` is the connection's isnull.
QString SourceCountStatement(const QString& sourceText, const QString& nullFunction);

// Copies the source user's ADMMH rows under the target user's code.
QString CopyPermissionsStatement(const QString& targetCode, const QString& sourceText);

// Counts one user's ADMMH rows; `userLiteral` is the user code's literal.
QString PermissionCountStatement(const QString& userLiteral);

}  // namespace prvc03
