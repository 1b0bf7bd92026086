// The copy window's checks and copy step on a real SQLite database with a
// key on ADMMH, so that a copy can be rejected.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "StatementTrace.h"
#include "modules/PRVC03F.h"
#include "platform/Windows.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using test::HostEvent;

class CopyWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
        window = new TfrmPRVC03F(nullptr);
        window->show();
        QApplication::processEvents();
        host.Clear();
    }
    void TearDown() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window.data();
        Session().HostWindow = 0;
    }

    void Ok() {
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    int Rights(const char* user) {
        return db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='%1'")
                            .arg(QString::fromUtf8(user)));
    }
    std::vector<std::pair<QString, unsigned>> Boxes() const {
        std::vector<std::pair<QString, unsigned>> boxes;
        for (const auto& box : host.messageBoxes) {
            boxes.emplace_back(box.text, box.type);
        }
        return boxes;
    }

    test::HostRecorder host;
    test::TestDatabase db;
    QPointer<TfrmPRVC03F> window;
};

const QString kOk = QStringLiteral("复制用户权限成功．");
const QString kFailed = QStringLiteral("复制用户权限失败．");

TEST_F(CopyWindowTest, RefusalsShowTheirMessageAndWriteNothing) {
    const int before = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));

    window->Edit1->setText(QStringLiteral("   "));
    Ok();
    window->Edit1->setText(QStringLiteral("Z99"));
    Ok();
    // The source among the targets stops the copy, even after other lines.
    window->AddTargetLine(QStringLiteral("A01"), QStringLiteral("张三"));
    window->Edit1->setText(QStringLiteral("A01"));
    Ok();

    ASSERT_FALSE(window.isNull()) << "a refusal leaves the window open";
    EXPECT_EQ(Boxes(), (std::vector<std::pair<QString, unsigned>>{
                           {QStringLiteral("原用户信息不能为空，复制无效．"), 0x10},
                           {QStringLiteral("用户信息资料库中不存在该原用户，复制无效．"), 0x10},
                           {QStringLiteral("新用户中存在原用户信息，复制无效．"), 0x10}}));
    for (const auto& box : host.messageBoxes) {
        EXPECT_EQ(box.caption, QStringLiteral("提示信息"));
        EXPECT_EQ(box.owner, 0);
    }
    EXPECT_EQ(window->ListBox1->count(), 2);
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("A01"));
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH")), before);
}

TEST_F(CopyWindowTest, StatementsReachTheDatabaseAsWritten) {
    test::StatementTrace trace(db.db());
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    Ok();
    EXPECT_EQ(
        trace.Starting(QStringLiteral("SELECT ifnull")),
        QStringList{QStringLiteral("SELECT ifnull(COUNT(*),0) FROM ADMMG WHERE MG001='A01'")});
    EXPECT_EQ(trace.Starting(QStringLiteral("insert")),
              QStringList{QStringLiteral(
                  "insert into ADMMH(MH001,MH002,MH003,MH004,RUN,NEW,FIND,EDIT,DEL,REPORT,"
                  "CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE) select 'B01',MH002,MH003,MH004,"
                  "RUN,NEW,FIND,EDIT,DEL,REPORT,CONFORM,UNCONFORM,LOCK,UNLOCK,INVALID,PRICE from "
                  "ADMMH where MH001='A01'")});
    EXPECT_EQ(Rights("B01"), Rights("A01"));
    EXPECT_TRUE(window.isNull()) << "the window frees itself after the copy";
}

TEST_F(CopyWindowTest, MixedRunCommitsEachTargetOnItsOwn) {
    const int rejectedBefore = Rights("B02");
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    window->AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));  // key clash
    window->AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    Ok();

    EXPECT_EQ(Rights("B01"), 4);
    EXPECT_EQ(Rights("C01"), 4);
    EXPECT_EQ(Rights("B02"), rejectedBefore) << "the rejected target is rolled back whole";
    EXPECT_EQ(Boxes(), (std::vector<std::pair<QString, unsigned>>{
                           {kOk, 0x20}, {kFailed, 0x10}, {kOk, 0x20}}));
    // The host gets the error report before the failure message.
    ASSERT_EQ(host.errorReports.size(), 1u);
    EXPECT_TRUE(
        host.errorReports[0].text.startsWith(QStringLiteral("Error: ExecuteSQL出错,详细信息:")));
    std::vector<HostEvent::Kind> order;
    for (const auto& event : host.events) {
        if (event.kind != HostEvent::Notice) {
            order.push_back(event.kind);
        }
    }
    EXPECT_EQ(order, (std::vector<HostEvent::Kind>{HostEvent::MessageBox, HostEvent::ErrorReport,
                                                   HostEvent::MessageBox, HostEvent::MessageBox}));
    EXPECT_TRUE(window.isNull());
}

TEST_F(CopyWindowTest, TypedCodeIsTrimmedAndQuotesAreDoubled) {
    db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('Q''1', '引号')"));
    db.Exec(QStringLiteral("INSERT INTO ADMMH (MH001, MH002) VALUES ('Q''1', 'P1')"));
    window->Edit1->setText(QStringLiteral("  Q'1\t"));
    window->AddTargetLine(QStringLiteral("D01"), QStringLiteral("郑十"));
    Ok();
    EXPECT_EQ(Boxes(), (std::vector<std::pair<QString, unsigned>>{{kOk, 0x20}}));
    EXPECT_EQ(db.Scalar(QStringLiteral("SELECT MH002 FROM ADMMH WHERE MH001='D01'")),
              QStringLiteral("P1"));
}

TEST_F(CopyWindowTest, EmptyTargetListClosesWithoutMessage) {
    window->Edit1->setText(QStringLiteral("A01"));
    Ok();
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(window.isNull());
}

TEST_F(CopyWindowTest, TwoLinesForOneUserRunTwice) {
    window->Edit1->setText(QStringLiteral("A02"));
    window->AddTargetLine(QStringLiteral("D02"), QStringLiteral("陈一"));
    window->AddTargetLine(QStringLiteral("D02"), QStringLiteral("陈一"));
    Ok();
    // The second insert meets the rows of the first under the key.
    EXPECT_EQ(Boxes(), (std::vector<std::pair<QString, unsigned>>{{kOk, 0x20}, {kFailed, 0x10}}));
    EXPECT_EQ(Rights("D02"), Rights("A02"));
}

TEST_F(CopyWindowTest, LongMultibyteCodeReachesExactlyThatUser) {
    const QString code = QStringLiteral("管理员编号甲");  // 12 bytes in code page 936
    db.Exec(QStringLiteral("INSERT INTO ADMMG VALUES ('%1', '长编号')").arg(code));
    window->Edit1->setText(QStringLiteral("A02"));
    window->AddTargetLine(code, QStringLiteral("长编号"));
    EXPECT_EQ(window->ListBox1->item(0)->text(),
              code + QStringLiteral("长编号") + QString(14, QLatin1Char(' ')));
    Ok();
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='%1'").arg(code)),
              Rights("A02"));
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001 LIKE '管理员编%' "
                                      "AND MH001<>'%1'")
                           .arg(code)),
              0);
}

TEST_F(CopyWindowTest, TransactionThatCannotBeginFailsThatUser) {
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    window->AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    // A transaction already open on the connection: the driver refuses to
    // begin another one for each target.
    ASSERT_TRUE(db.db().transaction());
    Ok();
    db.db().rollback();
    EXPECT_EQ(Boxes(),
              (std::vector<std::pair<QString, unsigned>>{{kFailed, 0x10}, {kFailed, 0x10}}));
    EXPECT_EQ(Rights("B01"), 0);
    EXPECT_EQ(Rights("C01"), 0);
}

TEST_F(CopyWindowTest, DeleteAndClearTargetLines) {
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    window->AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));
    window->ListBox1->clearSelection();
    window->ListBox1->setCurrentRow(-1);
    QTest::mouseClick(window->SpeedButton3, Qt::LeftButton);
    EXPECT_EQ(window->ListBox1->count(), 2) << "no line selected: nothing deleted";
    window->ListBox1->setCurrentRow(0);
    QTest::mouseClick(window->SpeedButton3, Qt::LeftButton);
    ASSERT_EQ(window->ListBox1->count(), 1);
    EXPECT_EQ(window->TargetCode(0), QStringLiteral("B02"));
    QTest::mouseClick(window->SpeedButton4, Qt::LeftButton);
    EXPECT_EQ(window->ListBox1->count(), 0);
}

TEST_F(CopyWindowTest, CancelClosesWithoutWriting) {
    const int before = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH"));
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH")), before);
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace prvc03
