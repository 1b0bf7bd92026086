// Values that would make a driver read a statement otherwise than it was
// built: a NUL inside ends it wherever a driver reads a C string (libpq,
// SQLite's prepare); an unpaired surrogate makes SQLite's UTF-16 reader
// swallow the next character, a quote say. The literal rule refuses both;
// NULs at either end are trimmed like any other control character.
#include <gtest/gtest.h>

#include "platform/Cp936.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {
namespace {

const QString kNul = QString(QChar(u'\0'));
const QString kNulRefused =
    QStringLiteral("A value holding a NUL character cannot be written into a statement");
const QString kSurrogateRefused = QStringLiteral(
    "A value holding an unpaired UTF-16 surrogate cannot be written into a statement");

void ExpectRefused(const QVariant& value, const QString& message) {
    try {
        ToSqlLiteral(value);
        ADD_FAILURE() << "accepted " << value.toString().toStdString();
    } catch (const Error& error) {
        EXPECT_EQ(error.Message(), message);
    }
}

TEST(NulInValues, AnInnerNulIsRefusedWithAClearMessage) {
    ExpectRefused(QString(QStringLiteral("A0") + kNul + QStringLiteral("1")), kNulRefused);
    ExpectRefused(
        QString(kNul + QStringLiteral("'; DROP TABLE ADMMH; --") + kNul + QStringLiteral("x")),
        kNulRefused);
    ExpectRefused(QByteArray("B0\0' OR 1=1", 11), kNulRefused);
    EXPECT_THROW(EscapeQuotes(QStringLiteral("a") + kNul), Error);
    EXPECT_THROW(QuoteText(kNul), Error);
}

TEST(NulInValues, NulsAtEitherEndAreTrimmedAway) {
    EXPECT_EQ(ToSqlLiteral(QString(kNul + QStringLiteral(" A'01 ") + kNul + kNul)),
              QStringLiteral("'A''01'"));
    EXPECT_EQ(ToSqlLiteral(QByteArray("\0B02\0", 5)), QStringLiteral("'B02'"));
    EXPECT_EQ(ToSqlLiteral(kNul), QStringLiteral("''"));
    EXPECT_EQ(EscapeQuotes(QStringLiteral("O'Neil")), QStringLiteral("O''Neil"));
}

TEST(UnpairedSurrogates, AreRefusedWhilePairsPass) {
    const QChar high(0xD83D);
    const QChar low(0xDE00);
    for (const QString& text : QStringList{
             QString(high) + QStringLiteral("' OR 1=1 --"), QString(low) + QStringLiteral("'"),
             QStringLiteral("x") + QString(high), QString(low) + QString(high)}) {
        ExpectRefused(text, kSurrogateRefused);
    }
    EXPECT_EQ(ToSqlLiteral(QString(QString(high) + QString(low) + QStringLiteral("'"))),
              QStringLiteral("'") + high + low + QStringLiteral("'''"));
}

}  // namespace
}  // namespace prvc03
