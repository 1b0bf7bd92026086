// A NUL inside a value would end a statement early wherever a driver reads
// the text as a C string (SQLite's prepare, libpq): the literal rule refuses
// it, while NULs at either end are trimmed like any other control character.
#include <gtest/gtest.h>

#include "platform/Cp936.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {
namespace {

const QString kNul = QString(QChar(u'\0'));

TEST(NulInValues, AnInnerNulIsRefusedWithAClearMessage) {
    for (const QVariant& value :
         {QVariant(QStringLiteral("A0") + kNul + QStringLiteral("1")),
          QVariant(kNul + QStringLiteral("'; DROP TABLE ADMMH; --") + kNul + QStringLiteral("x")),
          QVariant(QByteArray("B0\0' OR 1=1", 11))}) {
        try {
            ToSqlLiteral(value);
            ADD_FAILURE() << "accepted " << value.toString().toStdString();
        } catch (const Error& error) {
            EXPECT_EQ(error.Message(),
                      QStringLiteral("A value holding a NUL character cannot be written into a "
                                     "statement"));
        }
    }
    EXPECT_THROW(EscapeQuotes(QStringLiteral("a") + kNul), Error);
    EXPECT_THROW(QuoteText(kNul), Error);
}

TEST(NulInValues, NulsAtEitherEndAreTrimmedAway) {
    EXPECT_EQ(ToSqlLiteral(kNul + QStringLiteral(" A'01 ") + kNul + kNul),
              QStringLiteral("'A''01'"));
    EXPECT_EQ(ToSqlLiteral(QByteArray("\0B02\0", 5)), QStringLiteral("'B02'"));
    EXPECT_EQ(ToSqlLiteral(kNul), QStringLiteral("''"));
    EXPECT_EQ(EscapeQuotes(QStringLiteral("O'Neil")), QStringLiteral("O''Neil"));
}

}  // namespace
}  // namespace prvc03
