#pragma once
// The module's own lookup request over the demo users, as the tests send it:
// the FROM ... WHERE text and the base statements the windows build from it,
// and the rows a multi-select window hands back for it.

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "session/VariantArray.h"

namespace prvc03::test {

inline const QString kUsersFrom = QStringLiteral("FROM ADMMG WHERE 1=1");

// The base statement over both user columns and the FROM ... WHERE text `from`.
inline QString UsersBase(const QString& from) {
    return QStringLiteral("SELECT ADMMG.MG001 AS 用户编号, ADMMG.MG002 AS 用户名称 ") + from;
}
inline const QString kUsersBase = UsersBase(kUsersFrom);
// The same over the code column alone.
inline const QString kCodesBase = QStringLiteral("SELECT ADMMG.MG001 AS 用户编号 ") + kUsersFrom;

// The rows of a multi-select hand-back, each as its code and name joined by a
// tab, after checking its shape: rows from 0, columns 1 and 2.
inline QStringList HandedBackRows(const VariantArray& rows) {
    QStringList texts;
    EXPECT_EQ(rows.DimCount(), 2);
    if (rows.DimCount() != 2) {
        return texts;
    }
    EXPECT_EQ(rows.Low(1), 0);
    EXPECT_EQ(rows.Low(2), 1);
    EXPECT_EQ(rows.High(2), 2);
    for (int r = rows.Low(1); r <= rows.High(1); ++r) {
        texts << rows.at(r, 1).toString() + QLatin1Char('\t') + rows.at(r, 2).toString();
    }
    return texts;
}

}  // namespace prvc03::test
