// 预览 on each real database: the forecast of every target line, a target
// rejected by the key among them, and nothing written, reported or closed.
#include <QLabel>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "IntegrationSupport.h"
#include "data/Odbc.h"
#include "modules/CopyPreview.h"
#include "support/Screenshot.h"
#include "support/WhenModal.h"

namespace prvc03::test {
namespace {

class Preview : public ModuleTest {
  protected:
    // 预览, reading the rows of the preview window (code, name, rows and
    // outcome joined by tabs) before closing it with its 确定.
    QStringList ClickPreview() {
        QStringList rows;
        WhenModal<TfrmCopyPreview>(&context_, [&rows](TfrmCopyPreview& preview) {
            EXPECT_EQ(preview.windowTitle(), QStringLiteral("复制预览"));
            rows = GridRows(*preview.StringGrid1);
            SaveScreenshot(preview, QStringLiteral("preview.png"));
            QTest::mouseClick(preview.BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
        return rows;
    }

    QObject context_;
};

TEST_P(Preview, ForecastsEveryTargetAndWritesNothing) {
    const QByteArray before = db().Fingerprint();
    const int held = Rights(QStringLiteral("B02")).size();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral(" A01 "));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));  // holds PURI01 already
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));  // meets the first line's rows

    const QStringList rows = ClickPreview();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QStringLiteral("B01\t王五\t4\t可复制"));
    EXPECT_EQ(rows[2], QStringLiteral("C01\t周八\t4\t可复制"));
    for (int refused : {1, 3}) {
        const QStringList cells = rows[refused].split(QLatin1Char('\t'));
        ASSERT_EQ(cells.size(), 4);
        EXPECT_EQ(cells[2], QStringLiteral("0"));
        EXPECT_TRUE(cells[3].startsWith(QStringLiteral("失败：")));
        EXPECT_GT(cells[3].size(), 3) << "the database's text follows";
    }
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("B02\t赵六\t")));

    EXPECT_EQ(db().Fingerprint(), before) << "the preview writes nothing";
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(host.errorReports.empty()) << "a refused target is no failure to report";
    ASSERT_FALSE(window.isNull()) << "the copy window stays open";
    EXPECT_EQ(w.Edit1->text(), QStringLiteral(" A01 "));
    EXPECT_EQ(w.ListBox1->count(), 4);
    EXPECT_TRUE(w.isEnabled());

    // 确定 then writes what the preview forecast.
    ClickOk();
    EXPECT_EQ(Rights(QStringLiteral("B01")).size(), 4);
    EXPECT_EQ(Rights(QStringLiteral("C01")).size(), 4);
    EXPECT_EQ(Rights(QStringLiteral("B02")).size(), held);
    EXPECT_EQ(Shown(),
              (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kCopied, 0x20}, {kNotCopied, 0x10}}));
}

// Selecting a line shows every row of the source below the list and marks
// the programs that line's user holds already: why the key rejects it.
TEST_P(Preview, TheSelectedLineShowsTheSourceRowsItsUserHoldsAlready) {
    db().Exec(
        QStringLiteral("INSERT INTO ADMMH (MH001, MH002, MH003) VALUES ('C01', 'INVI02', '自有')"));
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral("A01"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));  // holds PURI01
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));  // holds INVI02
    QStringList detail[3];
    QString label;
    WhenModal<TfrmCopyPreview>(&context_, [&](TfrmCopyPreview& preview) {
        EXPECT_TRUE(preview.Label3->text().contains(QStringLiteral("预览未提交任何资料")));
        EXPECT_TRUE(preview.Label3->text().contains(QStringLiteral("回滚")));
        for (int row = 0; row < 3; ++row) {
            preview.StringGrid1->setCurrentCell(row, 0);
            detail[row] = GridRows(*preview.StringGrid2);
            if (row == 1) {
                label = preview.Label2->text();
                SaveScreenshot(preview, QStringLiteral("preview-detail.png"));
            }
        }
        QTest::mouseClick(preview.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);

    const QString held = QStringLiteral("目标已有");
    const QStringList programs = {QStringLiteral("COPI06\t客户订单建立作业\tdemo\t"),
                                  QStringLiteral("INVI01\t品号信息建立作业\tdemo\t"),
                                  QStringLiteral("INVI02\t库存交易单据建立\tdemo\t"),
                                  QStringLiteral("PURI01\t采购单建立作业\tdemo\t")};
    EXPECT_EQ(detail[0], programs) << "B01 holds none of them";
    QStringList b02 = programs;
    b02[3] += held;
    EXPECT_EQ(detail[1], b02);
    QStringList c01 = programs;
    c01[2] += held;
    EXPECT_EQ(detail[2], c01);
    EXPECT_TRUE(label.contains(QStringLiteral("B02"))) << label.toStdString();
    EXPECT_TRUE(label.contains(QStringLiteral("4 笔"))) << label.toStdString();
    EXPECT_TRUE(label.contains(QStringLiteral("其中 1 笔"))) << label.toStdString();
}

// The database ends the transaction itself inside the insert (SQLite's
// RAISE(ROLLBACK); on the server the process is gone), so the preview's own
// rollback fails: the preview stops and says so, nothing is left written,
// and the connection takes statements in autocommit again, also through
// the SQLite ODBC driver, which would otherwise go on counting the ended
// transaction. (psqlODBC reports the rollback of a lost connection as done:
// there the preview goes on, each line failing.)
TEST_P(Preview, ARollbackThatFailsStopsThePreviewAndLeavesAutocommit) {
    if (db().IsPostgres()) {
        db().Exec(QStringLiteral(
            "CREATE FUNCTION cut_connection() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "IF NEW.MH001 = 'B01' THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF; "
            "RETURN NEW; END $$"));
        db().Exec(
            QStringLiteral("CREATE TRIGGER cut BEFORE INSERT ON ADMMH FOR EACH ROW EXECUTE "
                           "FUNCTION cut_connection()"));
    } else {
        db().Exec(
            QStringLiteral("CREATE TRIGGER cut BEFORE INSERT ON ADMMH WHEN NEW.MH001 = "
                           "'B01' BEGIN SELECT RAISE(ROLLBACK, 'stopped by a trigger'); END"));
    }
    const QByteArray before = db().Fingerprint();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral("A01"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    bool previewShown = false;
    WhenModal<TfrmCopyPreview>(&context_, [&previewShown](TfrmCopyPreview& preview) {
        previewShown = true;
        preview.close();
    });
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
    if (db().backend() == Backend::OdbcPostgreSQL) {
        EXPECT_TRUE(previewShown);
        EXPECT_TRUE(host.messageBoxes.empty());
    } else {
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        EXPECT_TRUE(
            host.messageBoxes[0].text.startsWith(QStringLiteral("复制预览无法回滚，预览已停止：")))
            << host.messageBoxes[0].text.toStdString();
        EXPECT_FALSE(host.messageBoxes[0].text.contains(QStringLiteral("未能恢复自动提交")));
        EXPECT_FALSE(previewShown);
    }
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(w.isEnabled());
    if (SQLHDBC hdbc = OdbcConnectionHandle(db().db())) {
        SQLUINTEGER autocommit = SQL_AUTOCOMMIT_OFF;
        SQLGetConnectAttr(hdbc, SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr);
        EXPECT_EQ(autocommit, static_cast<SQLUINTEGER>(SQL_AUTOCOMMIT_ON));
    }
    if (db().IsPostgres()) {
        db().Reopen();
    } else {
        // A statement outside any transaction is at once visible to another
        // connection: the main one is in autocommit.
        db().ExecMain(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z01', 'later')"));
        EXPECT_EQ(QueryRows(db().OpenOther(),
                            QStringLiteral("SELECT MG002 FROM ADMMG WHERE MG001='Z01'")),
                  QStringList{QStringLiteral("later")});
        db().Exec(QStringLiteral("DELETE FROM ADMMG WHERE MG001='Z01'"));
        // And a transaction begun now is one: its rollback takes its insert.
        ASSERT_TRUE(db().db().transaction());
        db().ExecMain(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z02', 'undone')"));
        EXPECT_TRUE(db().db().rollback());
        EXPECT_EQ(db().Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG WHERE MG001='Z02'")), 0);
    }
    EXPECT_EQ(db().Fingerprint(), before);
}

PRVC03_ON_EVERY_DATABASE(Preview);

}  // namespace
}  // namespace prvc03::test
