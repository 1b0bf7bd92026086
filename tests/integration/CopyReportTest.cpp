// The report 确定 leaves behind, on each real database: one row per target
// line, and 撤销复制 putting back exactly what each target held, leaving
// alone what others changed meanwhile, keeping duplicates and values of
// every type, and telling each outcome when the connection goes.
#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "IntegrationSupport.h"
#include "platform/MessageBoxButtons.h"
#include "support/Screenshot.h"

namespace prvc03::test {
namespace {

const QString kAskUndo = QStringLiteral("撤销本次复制？");
const QString kUndone = QStringLiteral("已撤销");
const QString kChanged = QStringLiteral("已变更，未撤销");

class Report : public ModuleTest {
  protected:
    // 确定 copying `source` to `targets` (code, name); the report it opened.
    TfrmCopyReport* Copy(const QString& source,
                         const std::vector<std::pair<QString, QString>>& targets) {
        OpenCopyWindow(source, targets);
        ClickOk();
        EXPECT_TRUE(window.isNull()) << "the copy window closes as ever";
        return OpenReport();
    }
    // 撤销复制, answered with `answer`.
    void ClickUndo(TfrmCopyReport& report, int answer = platform::IDYES) {
        host.questionAnswer = answer;
        QTest::mouseClick(report.BitBtn3, Qt::LeftButton);
    }
    // The result column of the report's rows.
    static QStringList Results(const TfrmCopyReport& report) {
        QStringList results;
        for (const QString& row : GridRows(*report.StringGrid1)) {
            results << row.section(QLatin1Char('\t'), 2, 2);
        }
        return results;
    }
    // ADMMH dropped and made again with `columns` (their declarations).
    void RecreateAdmmh(const QString& columns) {
        db().Exec(QStringLiteral("DROP TABLE ADMMH"));
        db().Exec(QStringLiteral("CREATE TABLE ADMMH (%1)").arg(columns));
    }
    // Every row of ADMMH with each value also as the database writes it as
    // text, so that a number or date that came back changed in its last
    // digit shows.
    QStringList RowsAsText() {
        QStringList rows = QueryRows(
            db().Native(),
            QStringLiteral("SELECT MH001,MH002,CAST(MH003 AS VARCHAR(60)),CAST(MH004 AS "
                           "VARCHAR(30)),CAST(RUN AS VARCHAR(30)),NEW,FIND,EDIT,DEL,PRICE,"
                           "CAST(PRICE AS VARCHAR(30)) FROM ADMMH"),
            {}, QStringLiteral("<null>"));
        rows.sort();
        return rows;
    }
};

TEST_P(Report, ListsEveryLineAndUndoPutsEveryTableBack) {
    const QByteArray before = db().Fingerprint();
    TfrmCopyReport* report =
        Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")},
                                     {QStringLiteral("B02"), QStringLiteral("赵六")},
                                     {QStringLiteral("C01"), QStringLiteral("周八")}});
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kCopied, 0x20}}));
    // The copy window's closed notice, then the report's opened notice.
    ASSERT_GE(host.notices.size(), 2u);
    const ReceivedMessage& closed = host.notices[host.notices.size() - 2];
    EXPECT_EQ(closed.dwData, 1u);
    EXPECT_EQ(closed.text, QStringLiteral("复制用户权限"));
    EXPECT_EQ(host.notices.back().dwData, 0u);
    EXPECT_TRUE(host.notices.back().text.startsWith(QStringLiteral("复制结果#")));

    const QStringList rows = GridRows(*report->StringGrid1);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QStringLiteral("B01\t王五\t成功\t4"));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("B02\t赵六\t失败：")));
    EXPECT_GT(rows[1].section(QLatin1Char('\t'), 2, 2).size(), 3) << "the database's text";
    EXPECT_TRUE(rows[1].endsWith(QStringLiteral("\t0")));
    EXPECT_EQ(rows[2], QStringLiteral("C01\t周八\t成功\t4"));
    EXPECT_EQ(report->StringGrid1->horizontalHeaderItem(2)->text(), QStringLiteral("结果"));
    EXPECT_NE(db().Fingerprint(), before);

    // 否 takes nothing back.
    host.Clear();
    ClickUndo(*report, platform::IDNO);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, kAskUndo);
    EXPECT_EQ(host.messageBoxes[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_EQ(host.messageBoxes[0].caption, QStringLiteral("提示信息"));
    EXPECT_NE(db().Fingerprint(), before);
    EXPECT_TRUE(report->BitBtn3->isEnabled());

    // 是 puts every table back as it was before the copy.
    ClickUndo(*report);
    EXPECT_EQ(db().Fingerprint(), before);
    EXPECT_EQ(Results(*report),
              (QStringList{kUndone, rows[1].section(QLatin1Char('\t'), 2, 2), kUndone}));
    EXPECT_FALSE(report->BitBtn3->isEnabled()) << "undo runs once";
    EXPECT_TRUE(host.errorReports.empty()) << "undo reports nothing to the host";
    SaveScreenshot(*report, QStringLiteral("report.png"));

    // Once only, even when asked for again.
    host.Clear();
    report->BitBtn3Click();
    EXPECT_TRUE(host.messageBoxes.empty());

    // Esc closes it, with its closed notice.
    QTest::keyClick(report, Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenReport(), nullptr);
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices.back().dwData, 1u);
    EXPECT_EQ(host.notices.back().text, QStringLiteral("复制结果"));
}

// Another session adds a row to one target and deletes one of another's:
// those two stay as that session left them; the third is taken back.
TEST_P(Report, UndoLeavesTargetsChangedByAnotherSessionAlone) {
    TfrmCopyReport* report =
        Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")},
                                     {QStringLiteral("C01"), QStringLiteral("周八")},
                                     {QStringLiteral("D01"), QStringLiteral("郑十")}});
    ASSERT_NE(report, nullptr);
    QSqlDatabase& other = db().OpenOther();
    QSqlQuery change(other);
    ASSERT_TRUE(change.exec(
        QStringLiteral("INSERT INTO ADMMH (MH001, MH002, MH003) VALUES ('B01', 'OWN01', '自有')")))
        << change.lastError().text().toStdString();
    ASSERT_TRUE(
        change.exec(QStringLiteral("DELETE FROM ADMMH WHERE MH001='C01' AND MH002='INVI01'")))
        << change.lastError().text().toStdString();
    const QStringList b01 = Rights(QStringLiteral("B01"));
    const QStringList c01 = Rights(QStringLiteral("C01"));
    ASSERT_EQ(b01.size(), 5);
    ASSERT_EQ(c01.size(), 3);

    ClickUndo(*report);
    EXPECT_EQ(Results(*report), (QStringList{kChanged, kChanged, kUndone}));
    EXPECT_EQ(Rights(QStringLiteral("B01")), b01);
    EXPECT_EQ(Rights(QStringLiteral("C01")), c01);
    EXPECT_TRUE(Rights(QStringLiteral("D01")).isEmpty());
}

// 只补缺少的权限: B02, which the key rejected before, gets the three programs
// it lacks and keeps its own PURI01; D01, holding every program, gains
// nothing and has nothing to undo; B01 gets INVI02 from "another session"
// between the copy's read and its insert (a trigger on the copy's first
// row), so the key rejects it whole. 撤销复制 restores the earlier rows, and
// 重试失败 keeps the option.
TEST_P(Report, OnlyMissingCompletesFailsWholeAndUndoesWhatItAdded) {
    db().Exec(
        QStringLiteral("INSERT INTO ADMMH (MH001, MH002, MH003) SELECT 'D01', MH002, MH003 "
                       "FROM ADMMH WHERE MH001='A01'"));
    const QString insert =
        QStringLiteral("INSERT INTO ADMMH (MH001, MH002) VALUES ('B01', 'INVI02')");
    const QString when = QStringLiteral("NEW.MH001 = 'B01' AND NEW.MH002 <> 'INVI02'");
    if (db().IsPostgres()) {
        db().Exec(QStringLiteral("CREATE FUNCTION meanwhile() RETURNS trigger LANGUAGE plpgsql AS "
                                 "$$ BEGIN IF %1 THEN %2; END IF; RETURN NEW; END $$")
                      .arg(when, insert));
        db().Exec(
            QStringLiteral("CREATE TRIGGER meanwhile BEFORE INSERT ON ADMMH FOR EACH ROW "
                           "EXECUTE FUNCTION meanwhile()"));
    } else {
        db().Exec(QStringLiteral("CREATE TRIGGER meanwhile BEFORE INSERT ON ADMMH WHEN %1 BEGIN "
                                 "%2; END")
                      .arg(when, insert));
    }
    const QByteArray before = db().Fingerprint();
    const QStringList b02 = Rights(QStringLiteral("B02"));
    TfrmPRVC03F& w =
        OpenCopyWindow(QStringLiteral("A01"), {{QStringLiteral("B02"), QStringLiteral("赵六")},
                                               {QStringLiteral("D01"), QStringLiteral("郑十")},
                                               {QStringLiteral("B01"), QStringLiteral("王五")}});
    w.CheckBox1->setFocus();
    QTest::keyClick(w.CheckBox1, Qt::Key_Space);
    SaveScreenshot(w, QStringLiteral("copy-only-missing.png"));
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kCopied, 0x20}, {kNotCopied, 0x10}}));
    TfrmCopyReport* report = OpenReport();
    ASSERT_NE(report, nullptr);
    const QStringList rows = GridRows(*report->StringGrid1);
    EXPECT_EQ(rows.mid(0, 2), (QStringList{QStringLiteral("B02\t赵六\t成功\t3（目标已有 1）"),
                                           QStringLiteral("D01\t郑十\t成功\t0（目标已有 4）")}));
    EXPECT_TRUE(rows.value(2).startsWith(QStringLiteral("B01\t王五\t失败：")));
    EXPECT_GT(
        report->StringGrid1->columnWidth(3),
        report->StringGrid1->fontMetrics().horizontalAdvance(QStringLiteral("3（目标已有 1）")))
        << "the count is not cut off";
    EXPECT_EQ(Rights(QStringLiteral("B02")).size(), 4);
    EXPECT_TRUE(Rights(QStringLiteral("B02")).contains(b02.value(0))) << "its own row stays";

    ClickUndo(*report);  // B02 back to its earlier rows; B01 was rolled back whole
    EXPECT_EQ(Results(*report).mid(0, 2), (QStringList{kUndone, QStringLiteral("成功")}));
    EXPECT_EQ(db().Fingerprint(), before);
    QTest::mouseClick(report->BitBtn4, Qt::LeftButton);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* copy = qobject_cast<TfrmPRVC03F*>(widget); copy != nullptr && copy->isVisible()) {
            window = copy;  // freed by the fixture
        }
    }
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->CheckBox1->isChecked());
}

// Without a key the target may hold rows equal to the source's: the copy
// doubles them, and undo leaves exactly the earlier rows, duplicates too.
TEST_P(Report, UndoOnATableWithoutAKeyLeavesTheEarlierDuplicates) {
    RecreateAdmmh(QStringLiteral(
        "MH001 VARCHAR(10), MH002 VARCHAR(20), MH003 VARCHAR(40), MH004 VARCHAR(40), RUN CHAR(1), "
        "NEW CHAR(1), FIND CHAR(1), EDIT CHAR(1), DEL CHAR(1), REPORT CHAR(1), CONFORM CHAR(1), "
        "UNCONFORM CHAR(1), LOCK CHAR(1), UNLOCK CHAR(1), INVALID CHAR(1), PRICE CHAR(1)"));
    for (const char* user : {"A01", "B01", "B01"}) {
        for (const char* program : {"P1", "P2"}) {
            db().Exec(
                QStringLiteral("INSERT INTO ADMMH (MH001, MH002, RUN) VALUES ('%1', '%2', 'Y')")
                    .arg(QLatin1String(user), QLatin1String(program)));
        }
    }
    const QByteArray before = db().Fingerprint();
    const QStringList held = Rights(QStringLiteral("B01"));
    ASSERT_EQ(held.size(), 4);

    TfrmCopyReport* report =
        Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")}});
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(Rights(QStringLiteral("B01")).size(), 6);
    ClickUndo(*report);
    EXPECT_EQ(Results(*report), QStringList{kUndone});
    EXPECT_EQ(Rights(QStringLiteral("B01")), held);
    EXPECT_EQ(db().Fingerprint(), before);
}

// Exact numerics wider than a double, a double's last bit, a 64-bit integer
// beyond a double's, dates, fixed-width text and NULL all come back as they
// were.
TEST_P(Report, UndoPutsBackValuesOfEveryTypeExactly) {
    RecreateAdmmh(QStringLiteral(
        "MH001 VARCHAR(10) NOT NULL, MH002 VARCHAR(20) NOT NULL, MH003 NUMERIC(28,8), MH004 DATE, "
        "RUN BIGINT, NEW DOUBLE PRECISION, FIND VARCHAR(10), EDIT CHAR(4), DEL VARCHAR(40), "
        "REPORT CHAR(1), CONFORM CHAR(1), UNCONFORM CHAR(1), LOCK CHAR(1), UNLOCK CHAR(1), "
        "INVALID CHAR(1), PRICE NUMERIC(12,2), PRIMARY KEY (MH001, MH002)"));
    QSqlQuery insert(db().Native());
    ASSERT_TRUE(insert.prepare(QStringLiteral(
        "INSERT INTO ADMMH (MH001, MH002, MH003, MH004, RUN, NEW, FIND, EDIT, DEL, PRICE) "
        "VALUES (?, ?, CAST(? AS NUMERIC(28,8)), ?, ?, ?, ?, ?, ?, CAST(? AS NUMERIC(12,2)))")));
    // B01's own rows are the ones undo writes back: the hard values are
    // theirs. The SQLite ODBC driver passes every floating value (SQLite
    // keeps NUMERIC as one) through 15-digit text, both ways: there values
    // that survive that stand in.
    const bool fifteenDigits = db().backend() == Backend::OdbcSQLite;
    const double lastBit = fifteenDigits ? 0.1 : 0.1 + 0.2;
    const QString wide = fifteenDigits ? QStringLiteral("1234567890.12345")
                                       : QStringLiteral("12345678901234567890.12345678");
    const QVariantList rows[] = {
        {QStringLiteral("A01"), QStringLiteral("INVI01"), QStringLiteral("1.5"), QDate(2020, 1, 1),
         qint64(7), 2.5, QStringLiteral("x"), QStringLiteral("cd"), QStringLiteral("源"),
         QStringLiteral("3.00")},
        {QStringLiteral("B01"), QStringLiteral("采购'单"), wide, QDate(2024, 2, 29),
         qint64(-9007199254740993), lastBit, QVariant(), QStringLiteral("ab"),
         QStringLiteral("王五 "), QStringLiteral("1234567890.12")},
        {QStringLiteral("B01"), QStringLiteral("自有"), QStringLiteral("-0.00000001"),
         QDate(1999, 12, 31), qint64(9223372036854775807LL), 1e-300, QString(), QVariant(),
         QStringLiteral("李四"), QVariant()},
    };
    for (const QVariantList& row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            insert.bindValue(i, row[i]);
        }
        ASSERT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
    }
    const QByteArray before = db().Fingerprint();
    const QStringList asText = RowsAsText();

    TfrmCopyReport* report =
        Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")}});
    ASSERT_NE(report, nullptr);
    ASSERT_EQ(Results(*report), QStringList{QStringLiteral("成功")});
    ClickUndo(*report);
    EXPECT_EQ(Results(*report), QStringList{kUndone});
    EXPECT_EQ(RowsAsText(), asText);
    EXPECT_EQ(db().Fingerprint(), before);
}

PRVC03_ON_EVERY_DATABASE(Report);

// The server process ends while undo deletes the second target's rows: the
// server rolls that target back, the next one cannot begin, the first is
// taken back; each says so, and nothing is half done.
class ServerReport : public Report {};

TEST_P(ServerReport, ConnectionLostDuringUndoLeavesEachTargetWholeOrUntouched) {
    const QStringList source = Rights(QStringLiteral("A01"));
    TfrmCopyReport* report =
        Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")},
                                     {QStringLiteral("B03"), QStringLiteral("孙七")},
                                     {QStringLiteral("C01"), QStringLiteral("周八")}});
    ASSERT_NE(report, nullptr);
    db().Exec(QStringLiteral(
        "CREATE FUNCTION cut_connection() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
        "IF OLD.MH001 = 'B03' THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF; "
        "RETURN OLD; END $$"));
    db().Exec(
        QStringLiteral("CREATE TRIGGER cut BEFORE DELETE ON ADMMH FOR EACH ROW EXECUTE "
                       "FUNCTION cut_connection()"));
    ClickUndo(*report);

    // Last line first: C01 taken back, B03 rolled back with the server, B01
    // never begun.
    const QStringList results = Results(*report);
    ASSERT_EQ(results.size(), 3);
    EXPECT_TRUE(results[0].startsWith(QStringLiteral("撤销失败："))) << results[0].toStdString();
    EXPECT_TRUE(results[1].startsWith(QStringLiteral("撤销失败："))) << results[1].toStdString();
    EXPECT_GT(results[1].size(), 5) << "with the reason";
    EXPECT_EQ(results[2], kUndone);
    db().Reopen();
    EXPECT_EQ(Rights(QStringLiteral("B01")), source);
    EXPECT_EQ(Rights(QStringLiteral("B03")), source);
    EXPECT_TRUE(Rights(QStringLiteral("C01")).isEmpty());
}

// What reached the server from the main connection, from its log: inside
// each target's transaction only the copy's own statement, byte for byte;
// the reads around it come before BEGIN and after COMMIT or ROLLBACK.
TEST_P(ServerReport, TheServersLogHoldsOnlyTheCopysStatementInEachTransaction) {
    const QString log = qEnvironmentVariable("PRVC03_PG_LOG");
    if (log.isEmpty() ||
        db().Scalar(QStringLiteral("SHOW log_statement")) != QLatin1String("all")) {
        if (!qEnvironmentVariableIsEmpty("CI")) {
            FAIL() << "the server does not log statements (scripts/run-tests.sh starts it so)";
        }
        GTEST_SKIP() << "the server does not log statements: PRVC03_PG_LOG_STATEMENTS=1";
    }
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << log.toStdString();
    file.seek(file.size());
    const QString pid = QStringLiteral("[%1] LOG:  ").arg(db().BackendPid());

    ASSERT_NE(Copy(QStringLiteral("A01"), {{QStringLiteral("B01"), QStringLiteral("王五")},
                                           {QStringLiteral("B02"), QStringLiteral("赵六")}}),
              nullptr);
    // Statements as the log gives them ("statement: ..." or, for prepared
    // ones, "execute <name>: ..."); psqlODBC sends BEGIN in front of the
    // transaction's first statement.
    static const QRegularExpression entry(QStringLiteral("^(?:statement|execute [^:]+): (.*)$"));
    QStringList inside;
    QStringList transactions;
    bool open = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.startsWith(pid)) {
            continue;
        }
        const QRegularExpressionMatch match = entry.match(line.mid(pid.size()));
        if (!match.hasMatch()) {
            continue;
        }
        QString statement = match.captured(1);
        if (statement == QLatin1String("BEGIN") || statement.startsWith(QLatin1String("BEGIN;"))) {
            open = true;
            statement = statement.mid(6);
            if (statement.isEmpty()) {
                continue;
            }
        }
        if (statement == QLatin1String("COMMIT") || statement == QLatin1String("ROLLBACK")) {
            transactions << inside.join(QLatin1Char('|')) + QLatin1Char('|') + statement;
            inside.clear();
            open = false;
        } else if (open) {
            inside << statement;
        }
    }
    const QString insert = QStringLiteral(
        "insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
        "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select '%1',MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,"
        "REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE from ADMMH where MH001='A01'");
    EXPECT_EQ(transactions,
              (QStringList{insert.arg(QStringLiteral("B01")) + QStringLiteral("|COMMIT"),
                           insert.arg(QStringLiteral("B02")) + QStringLiteral("|ROLLBACK")}));
}

INSTANTIATE_TEST_SUITE_P(Server, ServerReport,
                         ::testing::Values(Backend::PostgreSQL, Backend::OdbcPostgreSQL),
                         BackendParamName);

}  // namespace
}  // namespace prvc03::test
