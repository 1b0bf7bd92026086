// Statements that wait on another session, on each database: the command
// timeout ends every one of them within its bound (a short one here, set for
// the tests), with the explanation the operator reads; the operator can stop
// a lookup's statement with 取消; the host's session settings are as they
// were afterwards; and the busy indicator is on exactly while statements run.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "IntegrationSupport.h"
#include "data/BackgroundWork.h"
#include "data/BusyIndicator.h"
#include "data/CommandTimeout.h"
#include "data/Odbc.h"
#include "data/QueryDataset.h"
#include "forms/BusyCursor.h"
#include "forms/QueryProgress.h"
#include "support/WhenModal.h"

namespace prvc03::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kBound = 1000ms;
// What a loaded machine may add to the bound before a failure arrives.
constexpr qint64 kMarginMs = 6000;
const QString kExplanation = QStringLiteral("数据库执行超过 1 秒，已取消：");

class CommandBound : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        SetCommandTimeoutForTests(kBound);
        // The notice stays away unless a case asks for it.
        QueryProgress::SetDelayForTests(60s);
    }
    void TearDown() override {
        if (holder_.isValid()) {
            QSqlQuery(holder_).exec(QStringLiteral("ROLLBACK"));
            holder_.rollback();
        }
        SetCommandTimeoutForTests(0ms);
        QueryProgress::SetDelayForTests(0ms);
        SetBusyHook(nullptr);
        ModuleTest::TearDown();
    }

    // Another session holds ADMMG exclusively: a transaction with a table
    // lock on the server, an exclusive lock of the whole file on SQLite (made
    // through the native driver; the ODBC driver's own busy wait cannot be
    // cut short, so there the main connection waits 1.5 s at most).
    void LockUsers() {
        if (db().IsPostgres()) {
            holder_ = db().OpenOther();
            ASSERT_TRUE(holder_.transaction());
            ASSERT_TRUE(QSqlQuery(holder_).exec(
                QStringLiteral("LOCK TABLE ADMMG IN ACCESS EXCLUSIVE MODE")));
            return;
        }
        HoldSqlite(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    // Another connection to the SQLite file begins a transaction with
    // `begin`, through the native driver.
    void HoldSqlite(const QString& begin) {
        if (db().IsOdbc()) {
            db().Reopen(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1500"));
        }
        holder_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), NextName());
        holder_.setDatabaseName(db().Path());
        ASSERT_TRUE(holder_.open());
        ASSERT_TRUE(QSqlQuery(holder_).exec(begin));
    }
    // A lookup over the users whose statement runs for minutes.
    QString SlowFrom() {
        return db().IsPostgres()
                   ? QStringLiteral("FROM ADMMG WHERE 1=1 AND (SELECT 1 FROM pg_sleep(30)) = 1")
                   : QStringLiteral(
                         "FROM ADMMG WHERE 1=1 AND (WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                         "SELECT x + 1 FROM c WHERE x < 2000000000) SELECT max(x) FROM c) > 0");
    }
    void Release() {
        QSqlQuery(holder_).exec(QStringLiteral("ROLLBACK"));
        holder_.rollback();
    }
    // The SQLite ODBC driver ends a lock wait only by its own timeout.
    bool DriverEndsLockWaits() { return db().backend() == Backend::OdbcSQLite; }

    static QString NextName() {
        static int counter = 0;
        return QStringLiteral("prvc03_holder_%1").arg(++counter);
    }

    QSqlDatabase holder_;
    QObject context_;
};

TEST_P(CommandBound, ALookupWaitingOnAnotherSessionsLockFailsWithinTheBound) {
    LockUsers();
    QElapsedTimer clock;
    clock.start();
    const std::optional<VariantArray> picked = RunLookup<TfrmRootFS>(hqryADMMG, kUsersFrom);
    const qint64 waited = clock.elapsed();
    EXPECT_FALSE(picked);
    EXPECT_LT(waited, 1500 + kMarginMs);
    const QStringList boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1);
    if (DriverEndsLockWaits()) {
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("locked"))) << boxes[0].toStdString();
    } else {
        EXPECT_TRUE(boxes[0].startsWith(kExplanation)) << boxes[0].toStdString();
        EXPECT_GT(boxes[0].size(), kExplanation.size()) << "the database's own text follows";
    }

    Release();
    const auto lookup = Show<TfrmRootFS>();
    ASSERT_TRUE(lookup.get()->QryFhelp->Active()) << "works once the lock is gone";
    EXPECT_EQ(lookup.get()->QryFhelp->RecordCount(), 18);
}

// 取消 (here Esc) in "正在查询…" stops the statement on the server at once;
// the lookup stays open with an empty result and says so, and the next
// statement on the connection does not wait behind the stopped one.
TEST_P(CommandBound, CancelStopsASlowReadAndLeavesTheLookupUsable) {
    SetCommandTimeoutForTests(60s);
    QueryProgress::SetDelayForTests(100ms);
    const QString slow = SlowFrom();
    // The module's own backend: other test programs sleep on the same server.
    // (The check below splits the pattern so that it does not find itself.)
    const QVariant backend =
        db().IsPostgres()
            ? FirstRow(db().db(), QStringLiteral("SELECT pg_backend_pid()")).value().at(0)
            : QVariant();
    QString notice;
    QElapsedTimer clock;
    WhenModal<QueryProgress>(&context_, [&](QueryProgress& progress) {
        notice = progress.windowTitle();
        EXPECT_EQ(progress.BitBtn2->text(), QStringLiteral("取消"));
        clock.start();
        QTest::keyClick(&progress, Qt::Key_Escape);
    });
    const auto lookup = Show<TfrmRootFS>(slow);
    EXPECT_EQ(notice, QStringLiteral("正在查询…"));
    ASSERT_TRUE(clock.isValid()) << "the notice showed";
    EXPECT_LT(clock.elapsed(), kMarginMs) << "the statement stopped at once";
    EXPECT_TRUE(lookup.get()->isVisible());
    EXPECT_FALSE(lookup.get()->QryFhelp->Active()) << "nothing half-read";
    EXPECT_EQ(lookup.get()->StatusText(1), QStringLiteral("已取消"));
    EXPECT_EQ(lookup.get()->StatusText(3), QStringLiteral("0"));
    EXPECT_TRUE(TakeBoxes().isEmpty()) << "a cancel is no error";

    clock.restart();
    const std::optional<VariantArray> count =
        FirstRow(db().db(), QStringLiteral("SELECT COUNT(*) FROM ADMMG"));
    ASSERT_TRUE(count);
    EXPECT_EQ(count->at(0).toInt(), 18);
    EXPECT_LT(clock.elapsed(), kMarginMs);
    if (db().IsPostgres()) {
        EXPECT_EQ(
            db().Count(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE state = "
                                      "'active' AND query LIKE '%pg_' || 'sleep(30)%' AND pid = ") +
                       backend.toString()),
            0)
            << "nothing keeps running on the server";
    }
}

// A dataset's wait that presses 取消 once: while the statement runs, or
// only after every row has arrived.
class CancellingWait final : public ReadWait {
  public:
    explicit CancellingWait(bool afterAnswer) : afterAnswer_(afterAnswer) {}
    void Wait(BackgroundWork& work, const std::function<qint64()>& /*rowsRead*/,
              const std::function<void()>& cancel) override {
        afterAnswer_ ? work.Join() : std::this_thread::sleep_for(200ms);
        cancel();
        work.Join();
    }

  private:
    bool afterAnswer_;
};

void OpenCancelled(QSqlDatabase& db, const QString& statement, bool afterAnswer) {
    CancellingWait wait(afterAnswer);
    QueryDataset query;
    query.SetConnection(&db);
    query.SetSQL(statement);
    query.SetReadWait(&wait);
    EXPECT_THROW(query.Open(), Cancelled);
    EXPECT_FALSE(query.Active());
}

// A 取消 that comes only after the server has answered still gives no rows.
TEST_P(CommandBound, ACancelAfterTheAnswerStillGivesNoResult) {
    OpenCancelled(db().db(), QStringLiteral("SELECT MG001 FROM ADMMG"), true);
}

// The session settings a test can read stay exactly as they were after a
// lookup, a copy and a statement that ran out of time.
TEST_P(CommandBound, TheHostsSessionSettingsAreAsTheyWere) {
    const auto settings = [this] {
        QStringList read;
        if (db().IsPostgres()) {
            for (const char* name : {"statement_timeout", "lock_timeout",
                                     "idle_in_transaction_session_timeout", "search_path"}) {
                read << QueryRows(db().db(), QStringLiteral("SHOW %1").arg(QLatin1String(name)));
            }
        } else if (!db().IsOdbc()) {
            read << QueryRows(db().db(), QStringLiteral("PRAGMA busy_timeout"));
        }
        if (SQLHDBC handle = OdbcConnectionHandle(db().db())) {
            for (const SQLINTEGER attribute : {SQL_ATTR_AUTOCOMMIT, SQL_ATTR_TXN_ISOLATION}) {
                SQLULEN value = 0;
                SQLGetConnectAttr(handle, attribute, &value, 0, nullptr);
                read << QString::number(value);
            }
        }
        return read;
    };
    const QStringList before = settings();
    ASSERT_FALSE(before.isEmpty());

    WhenShown<TfrmRootFH>([](TfrmRootFH& w) { QTest::mouseClick(w.BitBtn1, Qt::LeftButton); });
    EXPECT_TRUE(RunLookup<TfrmRootFH>(hqryADMMG, kUsersFrom));
    OpenCopyWindow(QStringLiteral("A02"), {{QStringLiteral("E02"), QStringLiteral("刘晓红")}});
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}}));
    EXPECT_EQ(settings(), before);

    if (!DriverEndsLockWaits()) {
        LockUsers();
        EXPECT_THROW(FirstRow(db().db(), QStringLiteral("SELECT COUNT(*) FROM ADMMG")), Error);
        Release();
        EXPECT_EQ(settings(), before);
    }
}

// The busy indicator is on while each statement runs and off after it, a
// failed one included; the host's cursor is its own again afterwards.
TEST_P(CommandBound, TheBusyIndicatorCoversEveryStatementAndEndsOnEveryPath) {
    QStringList heard;
    SetBusyHook(
        [&heard](bool busy) { heard << (busy ? QStringLiteral("on") : QStringLiteral("off")); });
    EXPECT_TRUE(ExecuteSQL(QStringLiteral("DELETE FROM ADMMH WHERE MH001='Z99'")));
    EXPECT_FALSE(ExecuteSQL(QStringLiteral("DELETE FROM NO_SUCH_TABLE")));
    EXPECT_THROW(FirstRow(db().db(), QStringLiteral("SELECT * FROM NO_SUCH_TABLE")), Error);
    { const auto lookup = Show<TfrmRootFH>(); }
    EXPECT_EQ(heard,
              (QStringList{QStringLiteral("on"), QStringLiteral("off"), QStringLiteral("on"),
                           QStringLiteral("off"), QStringLiteral("on"), QStringLiteral("off"),
                           QStringLiteral("on"), QStringLiteral("off")}));

    InstallBusyCursor();
    QueryProgress::SetDelayForTests(100ms);
    SetCommandTimeoutForTests(60s);
    Qt::CursorShape during = Qt::BlankCursor;
    WhenModal<QueryProgress>(&context_, [&](QueryProgress& progress) {
        during = QApplication::overrideCursor() != nullptr ? QApplication::overrideCursor()->shape()
                                                           : Qt::BlankCursor;
        progress.BitBtn2->click();
    });
    const QString slow = SlowFrom();
    { const auto lookup = Show<TfrmRootFS>(slow); }
    EXPECT_EQ(during, Qt::ArrowCursor) << "the notice takes clicks";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the host's cursor is its own again";
}

PRVC03_ON_EVERY_DATABASE(CommandBound);

// What only SQLite's own driver can show: a statement of the module ends by
// itself, so a host query left half-read on the same connection reads on
// after a 取消 and after a timeout, and later statements of the module work.
// (The SQLite ODBC driver's own cancel interrupts the whole connection.)
class SqliteCommandBound : public CommandBound {};

TEST_P(SqliteCommandBound, AHostQueryLeftHalfReadReadsOnAfterACancelAndATimeout) {
    QSqlQuery hostQuery(db().db());
    hostQuery.setForwardOnly(true);
    ASSERT_TRUE(hostQuery.exec(QStringLiteral("SELECT MG001 FROM ADMMG ORDER BY MG001")));
    ASSERT_TRUE(hostQuery.next());
    QStringList hostRead{hostQuery.value(0).toString()};
    const QString slow = QStringLiteral("SELECT COUNT(*) ") + SlowFrom();

    OpenCancelled(db().db(), slow, false);
    ASSERT_TRUE(hostQuery.next()) << hostQuery.lastError().text().toStdString();
    hostRead << hostQuery.value(0).toString();

    try {
        FirstRow(db().db(), slow);
        ADD_FAILURE() << "the statement ran out of time";
    } catch (const Error& error) {
        EXPECT_TRUE(error.Message().startsWith(kExplanation)) << error.Message().toStdString();
    }
    while (hostQuery.next()) {
        hostRead << hostQuery.value(0).toString();
    }
    EXPECT_EQ(hostQuery.lastError().type(), QSqlError::NoError)
        << hostQuery.lastError().text().toStdString();
    EXPECT_EQ(hostRead,
              QueryRows(db().db(), QStringLiteral("SELECT MG001 FROM ADMMG ORDER BY MG001")))
        << "read on, and a later statement works";
}

INSTANTIATE_TEST_SUITE_P(Embedded, SqliteCommandBound, ::testing::Values(Backend::SQLite),
                         BackendParamName);

// A copy whose target waits on another session: that target fails within
// the bound, is rolled back and reported first, and the targets after it
// follow. On the server another session's uncommitted row holds one
// target's key; on SQLite another connection's write transaction holds the
// whole file, so every target waits and fails in turn.
TEST_P(CommandBound, ACopyTargetWaitingOnAnotherSessionFailsAndTheNextFollow) {
    const QStringList source = Rights(QStringLiteral("A01"));
    if (db().IsPostgres()) {
        holder_ = db().OpenOther();
        ASSERT_TRUE(holder_.transaction());
        ASSERT_TRUE(QSqlQuery(holder_).exec(
            QStringLiteral("INSERT INTO ADMMH (MH001, MH002) VALUES ('B01', 'INVI01')")));
    } else {
        HoldSqlite(QStringLiteral("BEGIN IMMEDIATE"));
    }
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral("A01"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    QElapsedTimer clock;
    clock.start();
    ClickOk();
    EXPECT_LT(clock.elapsed(), 2 * (1500 + kMarginMs));
    ASSERT_FALSE(host.errorReports.empty());
    if (!DriverEndsLockWaits()) {
        EXPECT_TRUE(host.errorReports[0].text.contains(kExplanation))
            << host.errorReports[0].text.toStdString();
    }
    Release();
    EXPECT_TRUE(Rights(QStringLiteral("B01")).isEmpty()) << "rolled back";
    if (db().IsPostgres()) {
        EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}, {kCopied, 0x20}}));
        EXPECT_EQ(Rights(QStringLiteral("C01")), source);
    } else {
        EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}, {kNotCopied, 0x10}}));
        EXPECT_TRUE(Rights(QStringLiteral("C01")).isEmpty());
    }
}

}  // namespace
}  // namespace prvc03::test
