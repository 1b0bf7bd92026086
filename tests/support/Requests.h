#pragma once
// The module's own lookup request over the demo users, as the tests send it:
// the FROM ... WHERE text and the base statements the windows build from it.

#include <QString>

namespace prvc03::test {

inline const QString kUsersFrom = QStringLiteral("FROM ADMMG WHERE 1=1");

// The base statement over both user columns and the FROM ... WHERE text `from`.
inline QString UsersBase(const QString& from) {
    return QStringLiteral("SELECT ADMMG.MG001 AS 用户编号, ADMMG.MG002 AS 用户名称 ") + from;
}
inline const QString kUsersBase = UsersBase(kUsersFrom);
// The same over the code column alone.
inline const QString kCodesBase = QStringLiteral("SELECT ADMMG.MG001 AS 用户编号 ") + kUsersFrom;

}  // namespace prvc03::test
