#pragma once
// The text an operator reads when the database refuses a statement.

#include <QString>

class QSqlError;

namespace prvc03 {

// The database's own text of an error; Qt's text when the driver gives none.
QString DatabaseErrorText(const QSqlError& error);

}  // namespace prvc03
