// The copy's dry run without windows: forecasts for each line, nothing left
// behind, and lines that cannot be forecast on their own transaction.
#include <QSqlQuery>

#include <gtest/gtest.h>

#include "modules/CopyChecks.h"
#include "modules/CopyDryRun.h"
#include "support/HostRecorder.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

class CopyDryRunTest : public ::testing::Test {
  protected:
    QStringList Outcomes(const std::vector<CopyForecast>& forecasts) {
        QStringList outcomes;
        for (const CopyForecast& forecast : forecasts) {
            outcomes << forecast.code + QLatin1Char(' ') + QString::number(forecast.rows) +
                            QLatin1Char(' ') + forecast.Outcome().left(3);
        }
        return outcomes;
    }

    test::HostRecorder host;
    test::TestDatabase db;
};

TEST_F(CopyDryRunTest, EachLineAsOkWouldFindIt) {
    const QByteArray before = db.Fingerprint();
    const std::vector<CopyForecast> forecasts = CopyDryRun(db.db()).Run(
        QStringLiteral("A02"), {{QStringLiteral("D02"), QStringLiteral("陈一")},
                                {QStringLiteral("B01"), QStringLiteral("王五")},
                                {QStringLiteral(" D02 "), QStringLiteral("陈一")}});
    const int source = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='A02'"));
    ASSERT_GT(source, 0);
    // The third line names D02 again (the literal rule trims): 确定 would
    // meet the rows the first line committed.
    EXPECT_EQ(Outcomes(forecasts), (QStringList{QStringLiteral("D02 %1 可复制").arg(source),
                                                QStringLiteral("B01 %1 可复制").arg(source),
                                                QStringLiteral(" D02  0 失败：")}));
    EXPECT_EQ(forecasts[1].name, QStringLiteral("王五"));
    EXPECT_EQ(db.Fingerprint(), before);
    EXPECT_TRUE(host.errorReports.empty());
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_FALSE(db.db().rollback()) << "no transaction is left open";
}

TEST_F(CopyDryRunTest, LinesThatCannotRunAloneAreForecastAsFailures) {
    const QByteArray before = db.Fingerprint();
    // A code the literal rule refuses fails before anything runs.
    const std::vector<CopyForecast> refused =
        CopyDryRun(db.db()).Run(QStringLiteral("A01"), {{QString::fromUtf16(u"B\0"
                                                                            "01",
                                                                            4),
                                                         QStringLiteral("王五")}});
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_FALSE(refused[0].copyable);
    EXPECT_FALSE(refused[0].error.isEmpty());

    // With a transaction already open the statement would land in it: it
    // does not run at all.
    ASSERT_TRUE(db.db().transaction());
    const std::vector<CopyForecast> blocked = CopyDryRun(db.db()).Run(
        QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")}});
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='B01'")), 0);
    ASSERT_TRUE(db.db().rollback());
    ASSERT_EQ(blocked.size(), 1u);
    EXPECT_FALSE(blocked[0].copyable);
    EXPECT_EQ(blocked[0].rows, 0);
    EXPECT_TRUE(blocked[0].Outcome().startsWith(QStringLiteral("失败：")));
    EXPECT_GT(blocked[0].Outcome().size(), 3);
    EXPECT_EQ(db.Fingerprint(), before);
}

TEST_F(CopyDryRunTest, RefusalsComeInTheOrderOkChecksThem) {
    const QStringList targets{QStringLiteral("B01"), QStringLiteral("A01")};
    EXPECT_EQ(CopyRefusal(db.db(), QStringLiteral(" \t"), targets),
              QStringLiteral("原用户信息不能为空，复制无效．"));
    EXPECT_EQ(CopyRefusal(db.db(), QStringLiteral("Z99"), targets),
              QStringLiteral("用户信息资料库中不存在该原用户，复制无效．"));
    EXPECT_EQ(CopyRefusal(db.db(), QStringLiteral(" A01 "), targets),
              QStringLiteral("新用户中存在原用户信息，复制无效．"));
    EXPECT_EQ(CopyRefusal(db.db(), QStringLiteral("A01"), {QStringLiteral("B01")}), std::nullopt);
}

}  // namespace
}  // namespace prvc03
