// The data helpers and the literal rule against each real database: what the
// copy step and the quick search send must run, and mean, the same on both.
#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/ErrorOf.h"
#include "support/HostRecorder.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using test::EveryDatabase;

const QString kReportPrefix = QStringLiteral("Error: ExecuteSQL出错,详细信息:");

class DatabaseStatements : public EveryDatabase {
  protected:
    void SetUp() override {
        EveryDatabase::SetUp();
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
    }
    void TearDown() override { Session().HostWindow = 0; }

    std::optional<VariantArray> FirstRow(const QString& statement) {
        std::optional<VariantArray> row;
        QueryFirstRow(statement, row);
        return row;
    }

    test::HostRecorder host;
};

TEST_P(DatabaseStatements, ExecuteSQLRunsAndReportsAFailureWithTheServersText) {
    EXPECT_TRUE(
        ExecuteSQL(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z01', '测试')")));
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT MG002 FROM ADMMG WHERE MG001='Z01'")),
              QStringLiteral("测试"));
    EXPECT_TRUE(host.errorReports.empty());

    // The key on ADMMG rejects a second Z01: false, one report, nothing raised.
    EXPECT_FALSE(
        ExecuteSQL(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z01', 'x')")));
    ASSERT_EQ(host.errorReports.size(), 1u);
    const QString report = host.errorReports[0].text;
    EXPECT_TRUE(report.startsWith(kReportPrefix)) << report.toStdString();
    EXPECT_GT(report.size(), kReportPrefix.size()) << "the server's own text follows";
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT MG002 FROM ADMMG WHERE MG001='Z01'")),
              QStringLiteral("测试"));
}

TEST_P(DatabaseStatements, AFailedStatementInsideATransactionRollsBackWithIt) {
    QSqlDatabase& connection = db().db();
    ASSERT_TRUE(connection.transaction());
    EXPECT_TRUE(ExecuteSQL(QStringLiteral("DELETE FROM ADMMH WHERE MH001='A02'")));
    EXPECT_FALSE(ExecuteSQL(QStringLiteral("INSERT INTO ADMMG (MG001) VALUES ('A01')")));
    EXPECT_TRUE(connection.rollback());
    EXPECT_EQ(db().Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='A02'")), 2);
    // The connection is usable again after the roll-back.
    EXPECT_TRUE(ExecuteSQL(QStringLiteral("UPDATE ADMMG SET MG002='李四' WHERE MG001='A02'")));
}

TEST_P(DatabaseStatements, QueryFirstRowReadsTheFirstRecordOnly) {
    const auto row = FirstRow(QStringLiteral(
        "SELECT MG001, MG002, NULL, CAST(2.5 AS NUMERIC(10,2)) FROM ADMMG ORDER BY MG001"));
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->Low(), 0);
    EXPECT_EQ(row->High(), 3);
    EXPECT_EQ(row->at(0).toString(), QStringLiteral("0002"));
    EXPECT_EQ(row->at(1).toString(), QStringLiteral("王五"));
    EXPECT_FALSE(row->at(2).isValid()) << "a Null column is an Empty element";
    EXPECT_EQ(row->at(3).typeId(), QMetaType::Double) << "exact numerics arrive as floating point";
    EXPECT_DOUBLE_EQ(row->at(3).toDouble(), 2.5);

    EXPECT_FALSE(FirstRow(QStringLiteral("SELECT MG001 FROM ADMMG WHERE MG001='none'")));
}

TEST_P(DatabaseStatements, QueryFirstRowRaisesTheServersErrorWithTheResultCleared) {
    std::optional<VariantArray> row = VariantArray(0, 0);
    const QString message = test::ErrorOf(
        [&] { QueryFirstRow(QStringLiteral("SELECT NOSUCHCOLUMN FROM ADMMG"), row); });
    EXPECT_TRUE(message.contains(QStringLiteral("nosuchcolumn"), Qt::CaseInsensitive))
        << message.toStdString();
    EXPECT_FALSE(row.has_value());
    EXPECT_TRUE(host.errorReports.empty());
}

TEST_P(DatabaseStatements, TheSourceCountUsesTheConnectionsNullFunction) {
    const QString function = NullFunctionName(db().db());
    EXPECT_EQ(function, db().IsPostgres() ? QStringLiteral("coalesce") : QStringLiteral("ifnull"));
    const auto count = [&](const QVariant& code) {
        const auto row =
            FirstRow(QStringLiteral("SELECT ") + function +
                     QStringLiteral("(COUNT(*),0) FROM ADMMG WHERE MG001=") + ToSqlLiteral(code));
        return row ? row->at(0).toDouble() : -1.0;
    };
    EXPECT_EQ(count(QStringLiteral(" A01 ")), 1.0);
    EXPECT_EQ(count(QStringLiteral("O'Neil")), 0.0);
    EXPECT_EQ(count(QStringLiteral("nobody")), 0.0);
    // An Empty value leaves "MG001=" dangling: the server rejects it.
    EXPECT_THROW(count(QVariant()), Error);
}

// Every kind of value the literal rule writes reads back as the same text.
TEST_P(DatabaseStatements, LiteralsReadBackAsTheirText) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const struct {
        QVariant value;
        QString text;
    } cases[] = {
        {QStringLiteral(" O'Neil "), QStringLiteral("O'Neil")},
        {QStringLiteral("''--'"), QStringLiteral("''--'")},
        {QStringLiteral("王五\\"), QStringLiteral("王五\\")},
        {QStringLiteral("＇‘’′"), QStringLiteral("＇‘’′")},
        {42, QStringLiteral("42")},
        {-2.5, QStringLiteral("-2.5")},
        {QDateTime(QDate(2024, 2, 29), QTime(0, 0)), QStringLiteral("2/29/24")},
    };
    for (const auto& item : cases) {
        const QString literal = ToSqlLiteral(item.value, us);
        const auto row = FirstRow(QStringLiteral("SELECT ") + literal);
        ASSERT_TRUE(row.has_value()) << literal.toStdString();
        EXPECT_EQ(row->at(0).toString(), item.text) << literal.toStdString();
    }
    // Booleans are bare digits, read back as numbers.
    const auto row = FirstRow(QStringLiteral("SELECT ") + ToSqlLiteral(true) +
                              QStringLiteral(" + ") + ToSqlLiteral(false));
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->at(0).toInt(), 1);
}

PRVC03_ON_EVERY_DATABASE(DatabaseStatements);

}  // namespace
}  // namespace prvc03
