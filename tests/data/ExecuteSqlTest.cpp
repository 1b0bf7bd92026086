#include <QObject>

#include <gtest/gtest.h>

#include "data/DatabaseProduct.h"
#include "data/Statements.h"
#include "platform/Cp936.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/ErrorOf.h"
#include "support/HostRecorder.h"
#include "support/TestDatabase.h"

using namespace prvc03;
using prvc03::test::HostRecorder;
using prvc03::test::TestDatabase;

namespace {

const QString kReportPrefix = QStringLiteral("Error: ExecuteSQL出错,详细信息:");

// Error reports go to the recorder's log window.
class Statements : public ::testing::Test {
  protected:
    void SetUp() override { Session().HostWindow = static_cast<std::int32_t>(host.LogHandle()); }
    void TearDown() override { Session().HostWindow = 0; }

    TestDatabase database{TestDatabase::Schema};
    HostRecorder host;
};

// A module window that only records what it is sent.
class RecordingWindow : public platform::WindowEndpoint {
  public:
    RecordingWindow() : handle(platform::RegisterWindow("TfrmRecording", this)) {
        AddOpenWindow(&object, "TfrmRecording", handle);
    }
    ~RecordingWindow() override { platform::UnregisterWindow(handle); }
    platform::LRESULT HandleMessage(unsigned message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        const auto* record = reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam);
        received.push_back({message, wParam, static_cast<const char*>(record->lpData)});
        return 0;
    }
    void ApplyShowCommand(int) override {}

    struct Received {
        unsigned message;
        platform::WPARAM wParam;
        QByteArray bytes;
    };
    QObject object;
    platform::HWND handle;
    std::vector<Received> received;
};

}  // namespace

TEST_F(Statements, ExecuteSQLRunsTheStatementAndReportsNothing) {
    EXPECT_TRUE(
        ExecuteSQL(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('A01', '张三')")));
    EXPECT_EQ(database.Scalar(QStringLiteral("SELECT MG002 FROM ADMMG WHERE MG001='A01'")),
              QStringLiteral("张三"));
    // The affected-row count does not matter.
    EXPECT_TRUE(ExecuteSQL(QStringLiteral("\n DELETE FROM ADMMG WHERE MG001='none' \n")));
    EXPECT_TRUE(host.errorReports.empty());
}

TEST_F(Statements, ExecuteSQLOfABlankStatementReturnsFalseSilently) {
    EXPECT_FALSE(ExecuteSQL(QString()));
    EXPECT_FALSE(ExecuteSQL(QStringLiteral(" \t\r\n ")));
    EXPECT_TRUE(host.errorReports.empty());
    EXPECT_TRUE(host.events.empty());
}

TEST_F(Statements, ExecuteSQLFailureSendsOneReportToTheHostWindow) {
    database.Exec(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('A01', 'x')"));
    EXPECT_FALSE(
        ExecuteSQL(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('A01', 'y')")));
    ASSERT_EQ(host.errorReports.size(), 1u);
    const auto& report = host.errorReports.front();
    EXPECT_EQ(report.message, platform::WM_ERROR_REPORT);
    EXPECT_EQ(report.wParam, 1u);
    EXPECT_TRUE(report.text.startsWith(kReportPrefix)) << report.text.toStdString();
    EXPECT_TRUE(report.text.contains(QStringLiteral("UNIQUE"))) << report.text.toStdString();
    EXPECT_EQ(report.cbData, static_cast<std::uint32_t>(report.bytes.size() + 1));
    EXPECT_TRUE(host.messageBoxes.empty()) << "reported to the host, not shown";
    EXPECT_TRUE(host.notices.empty());
    EXPECT_EQ(database.Scalar(QStringLiteral("SELECT MG002 FROM ADMMG")), QStringLiteral("x"));
}

TEST_F(Statements, ExecuteSQLWithoutConnectionReportsIt) {
    Session().SessionConnection = nullptr;
    EXPECT_FALSE(ExecuteSQL(QStringLiteral("DELETE FROM ADMMG")));
    ASSERT_EQ(host.errorReports.size(), 1u);
    EXPECT_EQ(host.errorReports[0].text, kReportPrefix + QStringLiteral("No database connection"));
}

TEST_F(Statements, ExecuteSQLWithoutHostWindowReportsToEachOpenWindow) {
    Session().HostWindow = 0;
    RecordingWindow first;
    RecordingWindow second;
    EXPECT_FALSE(ExecuteSQL(QStringLiteral("UPDATE NOSUCHTABLE SET A=1")));
    EXPECT_TRUE(host.errorReports.empty());
    for (const RecordingWindow* window : {&first, &second}) {
        ASSERT_EQ(window->received.size(), 1u);
        EXPECT_EQ(window->received[0].message, platform::WM_ERROR_REPORT);
        EXPECT_EQ(window->received[0].wParam, 1u);
        EXPECT_TRUE(platform::FromCp936(window->received[0].bytes).startsWith(kReportPrefix));
    }
}

TEST_F(Statements, QueryFirstRowReturnsTheFirstRecordFromIndexZero) {
    database.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('A01', '张三')"));
    database.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('A02', NULL)"));
    std::optional<VariantArray> result;
    QueryFirstRow(QStringLiteral("SELECT MG001, MG002, 7 FROM ADMMG ORDER BY MG001"), result);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->DimCount(), 1);
    EXPECT_EQ(result->Low(), 0);
    EXPECT_EQ(result->High(), 2);
    EXPECT_EQ(result->at(0).toString(), QStringLiteral("A01"));
    EXPECT_EQ(result->at(1).toString(), QStringLiteral("张三"));
    EXPECT_EQ(result->at(2).toInt(), 7);
}

TEST_F(Statements, QueryFirstRowGivesEmptyElementsForNullColumns) {
    database.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('A02', NULL)"));
    std::optional<VariantArray> result;
    QueryFirstRow(QStringLiteral("SELECT MG002, MG001, COUNT(*) FROM ADMMG"), result);
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(result->at(0).isValid()) << "Null becomes Empty, not a null value";
    EXPECT_EQ(result->at(1).toString(), QStringLiteral("A02"));
    EXPECT_EQ(result->at(2).toInt(), 1);
}

TEST_F(Statements, QueryFirstRowWithoutRecordsClearsTheResult) {
    std::optional<VariantArray> result = VariantArray(0, 0);
    result->at(0) = 5;
    QueryFirstRow(QStringLiteral("SELECT MG001 FROM ADMMG WHERE MG001='nobody'"), result);
    EXPECT_FALSE(result.has_value());
}

TEST_F(Statements, QueryFirstRowRaisesTheDatabaseErrorWithTheResultCleared) {
    std::optional<VariantArray> result = VariantArray(0, 0);
    const QString message =
        test::ErrorOf([&] { QueryFirstRow(QStringLiteral("SELECT * FROM NOSUCHTABLE"), result); });
    EXPECT_TRUE(message.contains(QStringLiteral("NOSUCHTABLE"))) << message.toStdString();
    EXPECT_FALSE(result.has_value());
    EXPECT_TRUE(host.errorReports.empty()) << "the caller decides, nothing is reported";

    Session().SessionConnection = nullptr;
    result = VariantArray(0, 0);
    EXPECT_THROW(QueryFirstRow(QStringLiteral("SELECT 1"), result), Error);
    EXPECT_FALSE(result.has_value());
}

TEST_F(Statements, ExactNumericColumnsArriveAsFloatingPoint) {
    std::optional<VariantArray> result;
    QueryFirstRow(QStringLiteral("SELECT CAST(2.5 AS NUMERIC(10,2))"), result);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->at(0).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(result->at(0).toDouble(), 2.5);
}

TEST(NullFunction, FollowsTheProductNotTheDriver) {
    TestDatabase database(TestDatabase::Empty);
    EXPECT_EQ(NullFunctionName(database.db()), QStringLiteral("ifnull"));
    EXPECT_EQ(NullFunctionName(QSqlDatabase()), QStringLiteral("coalesce"));
    // The DBMS names ODBC drivers report: SQL Server's own driver and
    // FreeTDS, Sybase ASE, and the drivers the tests reach.
    const std::pair<const char*, DatabaseProduct> names[] = {
        {"Microsoft SQL Server", DatabaseProduct::SqlServer},
        {"SQL Server", DatabaseProduct::SqlServer},
        {"Adaptive Server Enterprise", DatabaseProduct::Sybase},
        {"PostgreSQL", DatabaseProduct::PostgreSQL},
        {"SQLite", DatabaseProduct::SQLite},
        {"MariaDB", DatabaseProduct::MySQL},
        {"DB2/LINUXX8664", DatabaseProduct::Other},
        {"", DatabaseProduct::Unknown},
    };
    for (const auto& [name, product] : names) {
        EXPECT_EQ(ProductFromDbmsName(QString::fromLatin1(name)), product) << name;
    }
}
