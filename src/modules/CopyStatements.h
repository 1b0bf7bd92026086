#pragma once
// The texts of the copy step: a target line of the list, the count of the
// source user and the INSERT ... SELECT that copies the permissions; beside
// them the statements that read a user's rows around the copy, take it
// back, show the preview's detail and look pasted codes up.

#include <QString>
#include <QStringList>

namespace prvc03 {

// Code padded with blanks to at least 10 bytes, then the name padded to at
// least 20 bytes; bytes of code page 936, nothing cut.
QString TargetLine(const QString& code, const QString& name);

// "SELECT isnull(COUNT(*),0) FROM ADMMG WHERE MG001=" and the literal of the
// typed source code; `nullFunction` is the connection's isnull.
QString SourceCountStatement(const QString& sourceText, const QString& nullFunction);

// Copies the source user's ADMMH rows under the target user's code. With
// `onlyMissing`, only the rows whose MH002 the target does not hold yet.
QString CopyPermissionsStatement(const QString& targetCode, const QString& sourceText,
                                 bool onlyMissing = false);

// Counts one user's ADMMH rows; `userLiteral` is the user code's literal.
QString PermissionCountStatement(const QString& userLiteral);

// The sixteen ADMMH columns the copy carries, in its order, comma-separated.
QString PermissionColumns();
// How a read of a user's rows holds them until its transaction ends: not at
// all, PostgreSQL's FOR UPDATE, or SQL Server's UPDLOCK and HOLDLOCK hints.
enum class RowLock { None, ForUpdate, UpdLockHoldLock };
// Every ADMMH row of one user, its sixteen columns.
QString PermissionRowsStatement(const QString& userLiteral, RowLock lock = RowLock::None);
// Removes every ADMMH row of one user.
QString DeletePermissionsStatement(const QString& userLiteral);
// Adds one ADMMH row: its sixteen columns bound to "?" in order.
QString RestorePermissionStatement();

// The source user's programs (MH002, MH003, MH004), in MH002 order.
QString SourceProgramsStatement(const QString& sourceText);
// The source user's MH002 values that the target user holds as well.
QString HeldProgramsStatement(const QString& targetLiteral, const QString& sourceText);

// The users (MG001, MG002) whose code is one of `literals`.
QString UsersByCodeStatement(const QStringList& literals);

}  // namespace prvc03
