#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "platform/Cp936.h"
#include "session/Errors.h"
#include "session/Global.h"

using prvc03::ToSqlLiteral;

namespace {
QString Literal(const QVariant& value) {
    return ToSqlLiteral(value);
}
QVariant NullOf(QMetaType type) {
    return QVariant(type, nullptr);
}
}  // namespace

TEST(SqlLiteral, TextIsTrimmedOfControlCharactersAndQuotesAreDoubled) {
    EXPECT_EQ(Literal(QStringLiteral(" O'Neil ")), QStringLiteral("'O''Neil'"));
    EXPECT_EQ(Literal(QStringLiteral("\t\r\n\x01 a b \x1f")), QStringLiteral("'a b'"));
    EXPECT_EQ(Literal(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(Literal(QString()), QStringLiteral("''"));
    // Only codes up to 32 are trimmed: the ideographic space stays.
    EXPECT_EQ(Literal(QStringLiteral("\u3000王五\u3000")), QStringLiteral("'\u3000王五\u3000'"));
}

TEST(SqlLiteral, ByteStringsAreCodePage936Text) {
    const QByteArray bytes = prvc03::platform::ToCp936(QStringLiteral("  王'五 \t"));
    EXPECT_EQ(Literal(bytes), QStringLiteral("'王''五'"));
}

TEST(SqlLiteral, BooleansAreBareDigits) {
    EXPECT_EQ(Literal(true), QStringLiteral("1"));
    EXPECT_EQ(Literal(false), QStringLiteral("0"));
}

TEST(SqlLiteral, NullAndEmptyGiveNoLiteralAtAll) {
    EXPECT_EQ(Literal(QVariant()), QString());
    EXPECT_EQ(Literal(NullOf(QMetaType::fromType<QString>())), QString());
    EXPECT_EQ(Literal(NullOf(QMetaType::fromType<int>())), QString());
    EXPECT_EQ(Literal(NullOf(QMetaType::fromType<QDateTime>())), QString());
    EXPECT_EQ(QStringLiteral("WHERE MG001=") + Literal(QVariant()), QStringLiteral("WHERE MG001="));
}

TEST(SqlLiteral, IntegersAreQuotedDecimals) {
    EXPECT_EQ(Literal(42), QStringLiteral("'42'"));
    EXPECT_EQ(Literal(-7), QStringLiteral("'-7'"));
    EXPECT_EQ(Literal(qlonglong(12345678901234)), QStringLiteral("'12345678901234'"));
    EXPECT_EQ(Literal(4000000000u), QStringLiteral("'4000000000'"));
}

TEST(SqlLiteral, FloatingPointUsesFifteenDigitsAndTheLocaleSeparator) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ToSqlLiteral(2.5, us), QStringLiteral("'2.5'"));
    EXPECT_EQ(ToSqlLiteral(2.5, de), QStringLiteral("'2,5'"));
    EXPECT_EQ(ToSqlLiteral(1234567.5, us), QStringLiteral("'1234567.5'")) << "no group separator";
    EXPECT_EQ(ToSqlLiteral(0.1 + 0.2, us), QStringLiteral("'0.3'"));
    EXPECT_EQ(ToSqlLiteral(1.0 / 3.0, us), QStringLiteral("'0.333333333333333'"));
    EXPECT_EQ(ToSqlLiteral(100.0, us), QStringLiteral("'100'"));
    EXPECT_EQ(ToSqlLiteral(1e20, us), QStringLiteral("'1E+20'"));
    const QString separator = QLocale::system().decimalPoint();
    EXPECT_EQ(Literal(0.25), QStringLiteral("'0") + separator + QStringLiteral("25'"));
}

TEST(SqlLiteral, DateTimesUseShortDateAndLongTimeWithoutTimeZone) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale cn(QLocale::Chinese, QLocale::China);
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(ToSqlLiteral(afternoon, us), QStringLiteral("'3/5/24 2:07:09 PM'"));
    EXPECT_EQ(ToSqlLiteral(afternoon, cn), QStringLiteral("'2024/3/5 14:07:09'"));
    EXPECT_EQ(ToSqlLiteral(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)), us),
              QStringLiteral("'3/5/24 12:00:01 AM'"));
}

TEST(SqlLiteral, MidnightAndPlainDatesGiveTheDateAlone) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDate day(2024, 3, 5);
    EXPECT_EQ(ToSqlLiteral(QDateTime(day, QTime(0, 0)), us), QStringLiteral("'3/5/24'"));
    EXPECT_EQ(ToSqlLiteral(QDateTime(day, QTime(0, 0, 0, 500)), us), QStringLiteral("'3/5/24'"))
        << "milliseconds do not count";
    EXPECT_EQ(ToSqlLiteral(day, us), QStringLiteral("'3/5/24'"));
    // The user's locale by default, quoted as is.
    const QString date = QLocale::system().toString(day, QLocale::ShortFormat);
    EXPECT_EQ(Literal(QDateTime(day, QTime(0, 0))), QLatin1Char('\'') + date + QLatin1Char('\''));
    EXPECT_TRUE(Literal(QDateTime(day, QTime(9, 30)))
                    .startsWith(QLatin1Char('\'') + date + QLatin1Char(' ')));
}

TEST(SqlLiteral, TimesAndOtherValuesUseTheirTextFormAndUnconvertibleOnesRaise) {
    EXPECT_EQ(ToSqlLiteral(QTime(20, 5, 3), QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("'8:05:03 PM'"));
    EXPECT_EQ(Literal(QStringList{QStringLiteral(" x\t")}), QStringLiteral("'x'"));
    EXPECT_EQ(Literal(QVariant(QChar(u'\''))), QStringLiteral("''''"));
    const QVariantMap map{{QStringLiteral("a"), 1}};
    EXPECT_THROW(Literal(map), prvc03::Error);
}
