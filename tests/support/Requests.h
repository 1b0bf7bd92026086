#pragma once
// The module's own lookup request over the demo users, as the tests send it:
// the FROM ... WHERE text and the base statement the windows build from it.

#include <QString>

namespace prvc03::test {

inline const QString kUsersFrom = QStringLiteral("FROM ADMMG WHERE 1=1");
inline const QString kUsersBase =
    QStringLiteral("SELECT ADMMG.MG001 AS 用户编号, ADMMG.MG002 AS 用户名称 FROM ADMMG WHERE 1=1");

}  // namespace prvc03::test
