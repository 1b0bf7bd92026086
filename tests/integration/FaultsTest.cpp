// Faults injected into a running copy, each checked in the database
// afterwards: the connection lost between targets and inside a target's
// insert, the tables locked by another writer, a read-only database, no host
// main window; and garbage copy-data messages at a module window.
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <thread>

#include "IntegrationSupport.h"
#include "modules/CopyStatements.h"
#include "platform/Windows.h"
#include "support/DriveOrFail.h"

namespace prvc03::test {
namespace {

// Runs `fault` once, right after the n-th message box was shown (the host's
// recorder still sees every box).
class AfterMessageBox {
  public:
    AfterMessageBox(int n, std::function<void()> fault) : n_(n), fault_(std::move(fault)) {
        previous_ =
            platform::SetMessageBoxPresenter([this](platform::HWND owner, const QByteArray& text,
                                                    const QByteArray& caption, unsigned type) {
                const int result =
                    previous_ ? previous_(owner, text, caption, type) : platform::IDOK;
                if (++shown_ == n_) {
                    fault_();
                }
                return result;
            });
    }
    ~AfterMessageBox() { platform::SetMessageBoxPresenter(previous_); }
    AfterMessageBox(const AfterMessageBox&) = delete;
    AfterMessageBox& operator=(const AfterMessageBox&) = delete;

  private:
    int n_;
    int shown_ = 0;
    std::function<void()> fault_;
    platform::MessageBoxPresenter previous_;
};

class Faults : public ModuleTest {
  protected:
    // The copy window set to copy A01 to B01, B03 and C01.
    TfrmPRVC03F& PrepareCopy() {
        TfrmPRVC03F& w = OpenCopyWindow();
        w.Edit1->setText(QStringLiteral("A01"));
        for (const char* code : {"B01", "B03", "C01"}) {
            w.AddTargetLine(QString::fromLatin1(code), QStringLiteral("某人"));
        }
        return w;
    }
    int ReportsContaining(const QString& text) const {
        int count = 0;
        for (const ReceivedMessage& report : host.errorReports) {
            count += report.text.contains(text, Qt::CaseInsensitive) ? 1 : 0;
        }
        return count;
    }
};

// The connection goes away after the first target's message: on the server
// its process is terminated from another connection; an embedded database
// can only be closed under the module by its host.
TEST_P(Faults, ConnectionLostBetweenTargets) {
    const QStringList source = Rights(QStringLiteral("A01"));
    const QStringList users = db().Rows(QStringLiteral("ADMMG"));
    PrepareCopy();
    {
        AfterMessageBox fault(1, [&] {
            if (db().IsPostgres()) {
                db().TerminateMainConnection();
            } else {
                db().db().close();
            }
        });
        ClickOk();
    }
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kNotCopied, 0x10}}));
    EXPECT_TRUE(window.isNull()) << "the window closes after the last target, as always";

    db().Reopen();
    EXPECT_EQ(Rights(QStringLiteral("B01")), source) << "committed before the loss";
    EXPECT_TRUE(Rights(QStringLiteral("B03")).isEmpty());
    EXPECT_TRUE(Rights(QStringLiteral("C01")).isEmpty());
    EXPECT_EQ(db().Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH")), 8 + 4);
    EXPECT_EQ(db().Rows(QStringLiteral("ADMMG")), users);
}

// The same copy with the other writer holding the tables: each target fails
// on its own with the failure message, and nothing is written.
TEST_P(Faults, TablesLockedByAnotherWriter) {
    const QByteArray before = db().Fingerprint();
    QSqlDatabase& other = db().OpenOther();
    QSqlQuery writer(other);
    if (db().IsPostgres()) {
        // Readers pass; every insert waits for the lock and gives up.
        db().ExecMain(QStringLiteral("SET lock_timeout = '200ms'"));
        ASSERT_TRUE(other.transaction());
        ASSERT_TRUE(writer.exec(QStringLiteral("LOCK TABLE ADMMH IN EXCLUSIVE MODE")));
    } else {
        // The other writer holds the write lock; no waiting for it here.
        db().Reopen(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        ASSERT_TRUE(writer.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(writer.exec(QStringLiteral("UPDATE ADMMG SET MG002='写者' WHERE MG001='G01'")));
    }
    PrepareCopy();
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}, {kNotCopied, 0x10}, {kNotCopied, 0x10}}));
    ASSERT_EQ(host.errorReports.size(), 3u);
    EXPECT_EQ(ReportsContaining(QStringLiteral("lock")), 3)
        << host.errorReports[0].text.toStdString();
    EXPECT_TRUE(window.isNull());

    ASSERT_TRUE(writer.exec(QStringLiteral("ROLLBACK")));
    EXPECT_EQ(db().Fingerprint(), before);
}

TEST_P(Faults, ReadOnlyDatabase) {
    const QByteArray before = db().Fingerprint();
    if (db().IsPostgres()) {
        db().ExecMain(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"));
    } else {
        db().Reopen(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    PrepareCopy();
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}, {kNotCopied, 0x10}, {kNotCopied, 0x10}}));
    EXPECT_EQ(ReportsContaining(QStringLiteral("read")), 3);
    EXPECT_TRUE(window.isNull());
    db().Reopen();
    EXPECT_EQ(db().Fingerprint(), before);
}

// Without a "TfrmMain" window the notices go nowhere; the copy is unchanged.
TEST_P(Faults, NoHostMainWindow) {
    platform::UnregisterWindow(host.MainHandle());
    ASSERT_EQ(platform::FindWindowA("TfrmMain", nullptr), 0);
    OpenCopyWindow(QStringLiteral("A02"), {{QStringLiteral("E02"), QStringLiteral("刘晓红")}});
    ClickOk();
    EXPECT_TRUE(host.notices.empty());
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}}));
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Rights(QStringLiteral("E02")), Rights(QStringLiteral("A02")));
}

PRVC03_ON_EVERY_DATABASE(Faults);

// The server process ends inside the second target's insert, after some of
// its rows went in: the server rolls the whole target back, and the targets
// after it fail cleanly.
class ServerFaults : public Faults {};
class EmbeddedFaults : public Faults {};

TEST_P(ServerFaults, ConnectionLostInsideATargetsInsert) {
    const QStringList source = Rights(QStringLiteral("A01"));
    db().Exec(QStringLiteral(
        "CREATE FUNCTION cut_connection() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
        "IF NEW.MH001 = 'B03' AND EXISTS (SELECT 1 FROM ADMMH WHERE MH001 = 'B03') THEN "
        "PERFORM pg_terminate_backend(pg_backend_pid()); END IF; RETURN NEW; END $$"));
    db().Exec(
        QStringLiteral("CREATE TRIGGER cut BEFORE INSERT ON ADMMH FOR EACH ROW EXECUTE "
                       "FUNCTION cut_connection()"));
    PrepareCopy();
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kNotCopied, 0x10}}));
    ASSERT_GE(host.errorReports.size(), 1u);
    EXPECT_TRUE(host.errorReports[0].text.contains(QStringLiteral("terminat"), Qt::CaseInsensitive))
        << host.errorReports[0].text.toStdString();
    EXPECT_TRUE(window.isNull());

    db().Reopen();
    EXPECT_EQ(Rights(QStringLiteral("B01")), source);
    EXPECT_TRUE(Rights(QStringLiteral("B03")).isEmpty()) << "nothing half-written";
    EXPECT_TRUE(Rights(QStringLiteral("C01")).isEmpty());
}

// Two operators at once: another host's connection copies the same source to
// overlapping targets while this window copies. The other operator holds its
// first target's rows uncommitted until this copy is waiting on them. Each
// target ends with the source's rows exactly once or with none, every
// outcome is reported, and neither side is left waiting.
TEST_P(ServerFaults, TwoOperatorsCopyToOverlappingTargetsAtOnce) {
    using Box = Boxes::value_type;
    const QStringList source = Rights(QStringLiteral("A01"));
    const QStringList theirs = {QStringLiteral("B03"), QStringLiteral("C01"),
                                QStringLiteral("D01")};
    db().ExecMain(QStringLiteral("SET lock_timeout = '5s'"));
    const QString ourPid = QString::number(db().BackendPid());
    std::promise<void> holding;
    // Whether the server showed this window's session waiting for a lock
    // while the other operator held its rows.
    std::atomic<bool> sawUsWaiting{false};
    // What the other operator's copy gave for each of its targets.
    auto other = std::async(std::launch::async, [&] {
        std::map<QString, bool> copied;
        const QString name = QStringLiteral("second_operator");
        {
            QSqlDatabase second = QSqlDatabase::cloneDatabase(db().db().connectionName(), name);
            if (!second.open()) {
                holding.set_value();
                return copied;
            }
            QSqlQuery query(second);
            query.exec(QStringLiteral("SET search_path TO ") + db().SchemaName());
            query.exec(QStringLiteral("SET lock_timeout = '5s'"));
            for (const QString& target : theirs) {
                second.transaction();
                const bool ran =
                    query.exec(CopyPermissionsStatement(target, QStringLiteral("A01")));
                if (target == theirs.front()) {
                    holding.set_value();
                    // Keep the rows uncommitted until the server shows this
                    // window's session waiting for a lock, or the deadline.
                    QSqlQuery waiting(second);
                    const auto deadline = std::chrono::steady_clock::now() +
                                          std::chrono::milliseconds(kWaitDeadlineMs);
                    while (!sawUsWaiting && std::chrono::steady_clock::now() < deadline) {
                        sawUsWaiting = waiting.exec(QStringLiteral("SELECT COUNT(*) FROM pg_locks "
                                                                   "WHERE NOT granted AND pid = ") +
                                                    ourPid) &&
                                       waiting.next() && waiting.value(0).toInt() > 0;
                        if (!sawUsWaiting) {
                            std::this_thread::sleep_for(std::chrono::milliseconds(10));
                        }
                    }
                }
                copied[target] = ran && second.commit();
                if (!copied[target]) {
                    second.rollback();
                }
            }
            second.close();
        }
        QSqlDatabase::removeDatabase(name);
        return copied;
    });
    holding.get_future().wait();

    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral("A01"));
    const QStringList ours = {QStringLiteral("B01"), QStringLiteral("B03"), QStringLiteral("C01")};
    for (const QString& code : ours) {
        w.AddTargetLine(code, QStringLiteral("某人"));
    }
    // After B01, B03 waits on the other's rows until they commit.
    ClickOk();
    EXPECT_TRUE(sawUsWaiting) << "the copy never waited for the other operator's lock";
    ASSERT_EQ(other.wait_for(std::chrono::seconds(30)), std::future_status::ready)
        << "the other operator is still waiting: a lock or deadlock was left hanging";
    const std::map<QString, bool> copiedByThem = other.get();
    ASSERT_EQ(copiedByThem.size(), 3u) << "the other operator could not connect";

    const Boxes shown = Shown();
    ASSERT_EQ(shown.size(), 3u) << "one message per target";
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(shown[0], (Box{kCopied, 0x20})) << "B01 is only ours";
    for (const QString& code : {QStringLiteral("B01"), QStringLiteral("B03"), QStringLiteral("C01"),
                                QStringLiteral("D01")}) {
        SCOPED_TRACE(code.toStdString());
        const qsizetype at = ours.indexOf(code);
        const bool byUs = at >= 0 && shown[static_cast<std::size_t>(at)].first == kCopied;
        const bool byThem = copiedByThem.count(code) > 0 && copiedByThem.at(code);
        EXPECT_FALSE(byUs && byThem) << "both reported success for one target";
        const QStringList rows = Rights(code);
        EXPECT_EQ(rows, byUs || byThem ? source : QStringList()) << "the rows once, or none";
    }
    EXPECT_TRUE(copiedByThem.at(QStringLiteral("B03"))) << "the other operator came first";
    EXPECT_EQ(shown[1], (Box{kNotCopied, 0x10})) << "B03 was theirs by the time ours ran";
    EXPECT_EQ(host.errorReports.size(), 1u + (shown[2].first == kNotCopied ? 1u : 0u));
}

// SQLite with the other writer's exclusive lock: not even the source count
// can read, so the window reports that error and stays open; nothing is
// written.
TEST_P(EmbeddedFaults, DatabaseLockedExclusivelyStopsBeforeAnyTarget) {
    const QByteArray before = db().Fingerprint();
    db().Reopen(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QSqlDatabase& other = db().OpenOther();
    QSqlQuery writer(other);
    ASSERT_TRUE(writer.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    PrepareCopy();
    ClickOk();
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_TRUE(host.messageBoxes[0].text.contains(QStringLiteral("locked")))
        << host.messageBoxes[0].text.toStdString();
    EXPECT_FALSE(window.isNull()) << "an error of the count leaves the window open";
    ASSERT_TRUE(writer.exec(QStringLiteral("ROLLBACK")));
    EXPECT_EQ(db().Fingerprint(), before);
}

// A trigger that ends the whole transaction inside the insert (SQLite's
// RAISE(ROLLBACK)) fails that target, whose own rollback then finds nothing
// to end; the next target still gets a transaction of its own, and its
// message tells what happened to it. (The SQLite ODBC driver would go on
// counting the ended transaction and begin no new one.)
TEST_P(EmbeddedFaults, ATriggerEndingTheTransactionFailsOnlyItsTarget) {
    const QStringList source = Rights(QStringLiteral("A01"));
    db().Exec(
        QStringLiteral("CREATE TRIGGER cut BEFORE INSERT ON ADMMH WHEN NEW.MH001 = 'B01' "
                       "BEGIN SELECT RAISE(ROLLBACK, 'refused by a trigger'); END"));
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral("A01"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kNotCopied, 0x10}, {kCopied, 0x20}}));
    EXPECT_TRUE(Rights(QStringLiteral("B01")).isEmpty());
    EXPECT_EQ(Rights(QStringLiteral("C01")), source);
    ASSERT_TRUE(db().db().transaction()) << "and a transaction begun now is one";
    db().ExecMain(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z02', 'undone')"));
    EXPECT_TRUE(db().db().rollback());
    EXPECT_EQ(db().Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG WHERE MG001='Z02'")), 0);
}

// Faults that only one kind of database has: a server process to lose, a
// whole-database lock that keeps readers out too.
INSTANTIATE_TEST_SUITE_P(Server, ServerFaults,
                         ::testing::Values(Backend::PostgreSQL, Backend::OdbcPostgreSQL),
                         BackendParamName);
INSTANTIATE_TEST_SUITE_P(Embedded, EmbeddedFaults,
                         ::testing::Values(Backend::SQLite, Backend::OdbcSQLite), BackendParamName);

// Copy-data messages whose record or block is garbage are ignored; the
// window stays open, and the exact "Close" still closes it. Each block is a
// heap allocation of exactly its size, so a read past it is caught by
// AddressSanitizer.
TEST(CopyDataGarbage, IsIgnoredWithoutReadingPastTheBlock) {
    HostRecorder host;
    TestDatabase database;
    QPointer<TfrmPRVC03F> w = new TfrmPRVC03F(nullptr);
    w->show();
    const platform::HWND handle = w->Handle();
    const auto block = [](const char* bytes, std::size_t size) {
        auto copy = std::make_unique<char[]>(size);
        std::memcpy(copy.get(), bytes, size);
        return copy;
    };
    const auto send = [&](const platform::COPYDATASTRUCT* record) {
        platform::SendMessageA(handle, platform::WM_COPYDATA, 0,
                               reinterpret_cast<platform::LPARAM>(record));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    send(nullptr);
    const auto noNul = block("Close", 5);
    const auto shortText = block("Clo\0se", 7);
    const auto closeText = block("Close\0", 6);
    const platform::COPYDATASTRUCT garbage[] = {
        {0, 6, nullptr},                 // null pointer
        {0, 0, closeText.get()},         // zero length
        {0, 5, noNul.get()},             // no NUL inside the block
        {0, 4, closeText.get()},         // the length cuts the text short
        {0, 7, shortText.get()},         // a NUL early in the block
        {0, 1u << 30, shortText.get()},  // a length far past the block
    };
    for (std::size_t i = 0; i < std::size(garbage); ++i) {
        send(&garbage[i]);
        ASSERT_FALSE(w.isNull()) << "garbage record " << i;
    }
    EXPECT_TRUE(w->isVisible());
    const platform::COPYDATASTRUCT close{0, 6, closeText.get()};
    send(&close);
    EXPECT_TRUE(w.isNull());
    delete w.data();
}

}  // namespace
}  // namespace prvc03::test
