#include "data/DatabaseError.h"

#include <QSqlError>

namespace prvc03 {

QString DatabaseErrorText(const QSqlError& error) {
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

}  // namespace prvc03
