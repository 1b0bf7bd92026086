// The copy report and the copy window's new ways in, on SQLite: the
// statements 确定 runs and their order, 重试失败, 导出 from the report and the
// preview (and a write that fails), the keyboard of the report, Ctrl+V and
// the list's context menu, and a picked row whose name is NULL.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "StatementTrace.h"
#include "lookup/RootFS.h"
#include "modules/CopyPreview.h"
#include "modules/CopyReport.h"
#include "modules/CopyStatements.h"
#include "modules/PRVC03F.h"
#include "modules/TableExport.h"
#include "platform/MessageBoxButtons.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"
#include "support/WhenModal.h"
#include "support/WhenShown.h"

namespace prvc03 {
namespace {

class CopyReportWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
        Session().OwnApplication = application.get();
        window = new TfrmPRVC03F(application.get());
        window->setWindowTitle(QStringLiteral("复制用户权限（测试）"));
        window->show();
        QApplication::processEvents();
        host.Clear();
        previousChooser = SetExportFileChooser([this](QWidget*, const QString& suggested) {
            return chosen.isEmpty() ? suggested : chosen;
        });
    }
    void TearDown() override {
        SetExportFileChooser(previousChooser);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Every window of the test goes with the application object.
        application.reset();
        Session().OwnApplication = nullptr;
        Session().HostWindow = 0;
    }

    // 确定 copying A01 to `codes`; the report it opened.
    TfrmCopyReport* CopyA01To(const QStringList& codes) {
        window->Edit1->setText(QStringLiteral(" A01 "));
        for (const QString& code : codes) {
            window->AddTargetLine(code, QStringLiteral("某人"));
        }
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return FindReport();
    }
    static TfrmCopyReport* FindReport() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* report = qobject_cast<TfrmCopyReport*>(widget);
                report && report->isVisible()) {
                return report;
            }
        }
        return nullptr;
    }
    static QByteArray FileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The library's own application object.
    std::unique_ptr<QObject> application = std::make_unique<QObject>();
    test::HostRecorder host;
    test::TestDatabase db;
    QPointer<TfrmPRVC03F> window;
    QTemporaryDir folder;
    QString chosen;  // the file 导出 writes; empty: the suggested name
    ExportFileChooser previousChooser;
    QObject context;
};

// Inside each target's transaction the copy runs its one statement, as
// written; the reads of the report come before BEGIN.
TEST_F(CopyReportWindowTest, EachTransactionHoldsOnlyTheCopysStatement) {
    test::StatementTrace trace(db.db());
    ASSERT_NE(CopyA01To({QStringLiteral("B01"), QStringLiteral("B02")}), nullptr);
    const QString insert = QStringLiteral(
        "insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,"
        "UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select '%1',MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,"
        "REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE from ADMMH where MH001='A01'");
    // The statements of the copy itself, in order, with the reads taken out,
    // and the reads of the host's busy timeout, which the command bound
    // restores after each statement (made outside transactions only).
    QStringList copy;
    QStringList inside;
    bool open = false;
    for (const QString& statement : trace.statements) {
        const bool read = statement.startsWith(QStringLiteral("SELECT ") + PermissionColumns()) ||
                          statement == QLatin1String("PRAGMA busy_timeout");
        if (statement == QLatin1String("BEGIN")) {
            open = true;
        } else if (statement == QLatin1String("COMMIT") || statement == QLatin1String("ROLLBACK")) {
            open = false;
        } else if (open) {
            inside << statement;
        }
        if (!read) {
            copy << statement;
        }
    }
    EXPECT_EQ(copy,
              (QStringList{QStringLiteral("SELECT ifnull(COUNT(*),0) FROM ADMMG WHERE MG001='A01'"),
                           QStringLiteral("BEGIN"), insert.arg(QStringLiteral("B01")),
                           QStringLiteral("COMMIT"), QStringLiteral("BEGIN"),
                           insert.arg(QStringLiteral("B02")), QStringLiteral("ROLLBACK")}));
    EXPECT_EQ(inside,
              (QStringList{insert.arg(QStringLiteral("B01")), insert.arg(QStringLiteral("B02"))}));
}

TEST_F(CopyReportWindowTest, RetryOpensACopyWindowWithTheFailedLinesOnly) {
    QPointer<TfrmCopyReport> report = CopyA01To({QStringLiteral("B01"), QStringLiteral("B02"),
                                                 QStringLiteral("C01"), QStringLiteral("B01")});
    ASSERT_FALSE(report.isNull());
    EXPECT_TRUE(report->BitBtn4->isEnabled());
    QTest::mouseClick(report->BitBtn4, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(report.isNull()) << "the report closes and frees itself";

    TfrmPRVC03F* retry = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<TfrmPRVC03F*>(widget); w != nullptr && w->isVisible()) {
            retry = w;
        }
    }
    ASSERT_NE(retry, nullptr);
    EXPECT_EQ(retry->windowTitle(), QStringLiteral("复制用户权限（测试）"));
    EXPECT_EQ(retry->Edit1->text(), QStringLiteral("A01"));
    ASSERT_EQ(retry->ListBox1->count(), 2);
    EXPECT_EQ(retry->TargetCode(0), QStringLiteral("B02"));
    EXPECT_EQ(retry->TargetCode(1), QStringLiteral("B01"));
    EXPECT_EQ(retry->ListBox1->item(0)->text(),
              TargetLine(QStringLiteral("B02"), QStringLiteral("某人")));
    // Owned like the first: it goes with the library's application object.
    QPointer<TfrmPRVC03F> guard = retry;
    delete retry;
    EXPECT_TRUE(guard.isNull());
}

TEST_F(CopyReportWindowTest, ExportWritesTheRowsShownAndAFailedWriteSaysWhy) {
    TfrmCopyReport* report = CopyA01To({QStringLiteral("B01"), QStringLiteral("B02")});
    ASSERT_NE(report, nullptr);
    const QString path = folder.filePath(QStringLiteral("结果.csv"));
    chosen = path;
    host.Clear();
    QTest::mouseClick(report->BitBtn5, Qt::LeftButton);
    EXPECT_TRUE(host.messageBoxes.empty());
    const QByteArray bytes = FileBytes(path);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "a byte-order mark for spreadsheet programs";
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4) << "titles, two rows, and the end of the last line";
    EXPECT_EQ(lines[0], QStringLiteral("用户编号,用户名称,结果,笔数"));
    EXPECT_EQ(lines[1], QStringLiteral("B01,某人,成功,4"));
    // The database's text of B02's refusal, quoted where it must be.
    const QString refusal = report->StringGrid1->item(1, 2)->text();
    QString field = refusal;
    if (refusal.contains(QLatin1Char(',')) || refusal.contains(QLatin1Char('"'))) {
        field = QLatin1Char('"') +
                QString(refusal).replace(QLatin1String("\""), QLatin1String("\"\"")) +
                QLatin1Char('"');
    }
    EXPECT_EQ(lines[2], QStringLiteral("B02,某人,") + field + QStringLiteral(",0"));
    EXPECT_EQ(lines[3], QString());

    // A file that cannot be written: told why; the file before and the
    // rows on screen stay as they were.
    const QStringList shown = [&] {
        QStringList rows;
        for (int r = 0; r < report->StringGrid1->rowCount(); ++r) {
            rows << report->StringGrid1->item(r, 2)->text();
        }
        return rows;
    }();
    chosen = folder.filePath(QStringLiteral("无此文件夹/结果.csv"));
    QTest::mouseClick(report->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_TRUE(host.messageBoxes[0].text.startsWith(QStringLiteral("导出失败：无法写入文件 ")))
        << host.messageBoxes[0].text.toStdString();
    EXPECT_TRUE(host.messageBoxes[0].text.contains(QStringLiteral("无此文件夹")));
    EXPECT_EQ(host.messageBoxes[0].type, 0x10u);
    EXPECT_EQ(report->StringGrid1->rowCount(), 2);
    EXPECT_EQ(report->StringGrid1->item(1, 2)->text(), shown[1]);
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST_F(CopyReportWindowTest, ThePreviewExportsItsRowsToo) {
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    chosen = folder.filePath(QStringLiteral("预览.csv"));
    test::WhenModal<TfrmCopyPreview>(&context, [](TfrmCopyPreview& preview) {
        QTest::mouseClick(preview.BitBtn3, Qt::LeftButton);
        QTest::mouseClick(preview.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(FileBytes(chosen),
              QByteArray("\xEF\xBB\xBF") + QStringLiteral("用户编号,用户名称,复制笔数,结果\r\n"
                                                          "B01,王五,4,可复制\r\n")
                                               .toUtf8());
}

TEST_F(CopyReportWindowTest, TheReportIsReachedByKeyboardAndNamedForAssistiveTechnology) {
    TfrmCopyReport* report = CopyA01To({QStringLiteral("B01"), QStringLiteral("C01")});
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->windowTitle(), QStringLiteral("复制结果"));
    EXPECT_TRUE(report->BitBtn3->isEnabled());
    EXPECT_FALSE(report->BitBtn4->isEnabled()) << "nothing failed, nothing to retry";
    QStringList chain;
    for (QWidget* f = report->StringGrid1->nextInFocusChain(); f != report->StringGrid1;
         f = f->nextInFocusChain()) {
        if ((f->focusPolicy() & Qt::TabFocus) && f->isEnabled() && f->window() == report) {
            chain << f->accessibleName();
        }
    }
    EXPECT_EQ(chain, (QStringList{QStringLiteral("撤销复制"), QStringLiteral("导出"),
                                  QStringLiteral("关闭")}));
    EXPECT_EQ(report->StringGrid1->accessibleName(), QStringLiteral("复制结果"));
    EXPECT_EQ(report->Label1->buddy(), report->StringGrid1);
    QTest::mouseClick(report->BitBtn2, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindReport(), nullptr);
}

// Ctrl+V in the list and the list's context menu take the clipboard's
// codes; the lookup runs 500 codes a statement at most.
TEST_F(CopyReportWindowTest, CtrlVAndTheContextMenuPasteInStatementsOf500) {
    QStringList codes;
    for (int i = 0; i < 1200; ++i) {
        codes << QStringLiteral("Q%1").arg(i, 4, 10, QLatin1Char('0'));
    }
    codes << QStringLiteral("B01");
    QApplication::clipboard()->setText(codes.join(QLatin1Char('\n')));
    test::StatementTrace trace(db.db());
    window->activateWindow();
    window->ListBox1->setFocus();
    QTest::keyClick(window->ListBox1, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(window->ListBox1->count(), 1);
    EXPECT_EQ(window->TargetCode(0), QStringLiteral("B01"));
    const QStringList lookups = trace.Starting(QStringLiteral("SELECT MG001,MG002 FROM ADMMG"));
    ASSERT_EQ(lookups.size(), 3);
    for (const QString& lookup : lookups) {
        // "MG001,MG002" and a comma between two codes: as many commas as codes.
        EXPECT_LE(lookup.count(QLatin1Char(',')), 500);
    }
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_TRUE(host.messageBoxes[0].text.endsWith(QStringLiteral("等，共 1200 个．")));

    EXPECT_EQ(window->ListBox1->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_EQ(window->ListBox1->actions().size(), 1);
    QAction* paste = window->ListBox1->actions().front();
    EXPECT_TRUE(paste->text().startsWith(QStringLiteral("粘贴用户编号")));
    QApplication::clipboard()->setText(QStringLiteral("C01,D01"));
    paste->trigger();
    ASSERT_EQ(window->ListBox1->count(), 3);
    EXPECT_EQ(window->TargetCode(1), QStringLiteral("C01"));
    EXPECT_EQ(window->TargetCode(2), QStringLiteral("D01"));
}

// A picked user whose code or name is NULL has no line: the error reaches
// the standard error reporting, the lines before it stay, none after it
// comes. (A NULL code needs an ADMMG whose MG001 may be NULL.)
TEST_F(CopyReportWindowTest, APickedRowWithANullCodeOrNameStopsTheAdding) {
    db.Exec(QStringLiteral("CREATE TABLE USERS_KEPT AS SELECT * FROM ADMMG"));
    db.Exec(QStringLiteral("DROP TABLE ADMMG"));
    db.Exec(QStringLiteral("CREATE TABLE ADMMG (MG001 VARCHAR(10), MG002 VARCHAR(20))"));
    const struct {
        const char* null;
        const char* insert;
    } cases[] = {{"用户名称", "INSERT INTO ADMMG VALUES ('Y01', NULL)"},
                 {"用户编号", "INSERT INTO ADMMG VALUES (NULL, '无编号')"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.null);
        db.Exec(QStringLiteral("DELETE FROM ADMMG"));
        db.Exec(QStringLiteral("INSERT INTO ADMMG SELECT * FROM USERS_KEPT WHERE MG001 < 'C'"));
        db.Exec(QString::fromUtf8(c.insert));
        db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('Y02', '后来')"));
        // The users in the order the lookup lists them; the NULL one next to last.
        const QStringList order = test::QueryRows(db.db(), test::kUsersBase);
        const qsizetype nullAt = order.size() - 2;
        window->ListBox1->clear();
        window->AddTargetLine(QStringLiteral("D01"), QStringLiteral("郑十"));
        host.Clear();
        test::WhenShown<TfrmRootFS>(&context, [](TfrmRootFS& lookup) {
            QTest::mouseClick(lookup.BitBtn5, Qt::LeftButton);  // 全选
            QTest::mouseClick(lookup.BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(window->SpeedButton2, Qt::LeftButton);

        ASSERT_EQ(window->ListBox1->count(), 1 + nullAt);
        for (qsizetype i = 0; i < nullAt; ++i) {
            EXPECT_EQ(window->TargetCode(static_cast<int>(1 + i)),
                      order[i].section(QLatin1Char('\t'), 0, 0));
        }
        ASSERT_EQ(host.messageBoxes.size(), 1u);
        const test::ShownMessageBox& box = host.messageBoxes[0];
        EXPECT_EQ(box.caption, QStringLiteral("PRVC03")) << "standard error reporting";
        EXPECT_EQ(box.type, 0x10u);
        EXPECT_TRUE(box.text.contains(QStringLiteral("NULL")));
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(c.null))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("第 %1 笔").arg(nullAt + 1)))
            << box.text.toStdString();
    }
}

}  // namespace
}  // namespace prvc03
