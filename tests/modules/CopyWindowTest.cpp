// The copy window's checks and copy step on a real SQLite database with a
// key on ADMMH, so that a copy can be rejected.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "StatementTrace.h"
#include "data/Statements.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "modules/CopyPreview.h"
#include "modules/PRVC03F.h"
#include "platform/Windows.h"
#include "session/Global.h"
#include "support/HostRecorder.h"
#include "support/Requests.h"
#include "support/TestDatabase.h"
#include "support/WhenModal.h"
#include "support/WhenShown.h"

namespace prvc03 {
namespace {

using test::HostEvent;

class CopyWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Session().HostWindow = static_cast<std::int32_t>(host.LogHandle());
        // The library's own application object: owner of the copy report.
        Session().OwnApplication = &application;
        window = new TfrmPRVC03F(nullptr);
        window->show();
        QApplication::processEvents();
        host.Clear();
    }
    void TearDown() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window.data();
        Session().OwnApplication = nullptr;
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
    // The host's "Close" while a modal step of the window runs, and the
    // deferred deletes a nested loop would run; true when the window was
    // hidden at once but not freed under the running step.
    bool CloseFromHostMeanwhile() {
        static const char close[] = "Close";
        platform::COPYDATASTRUCT record;
        record.cbData = sizeof(close);
        record.lpData = close;
        platform::SendMessageA(window->Handle(), platform::WM_COPYDATA, 0,
                               reinterpret_cast<platform::LPARAM>(&record));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !window.isNull() && !window->isVisible();
    }
    // The three refused sources, each tried with `attempt`: empty (written
    // as `blank`), unknown, and among the targets after another line.
    void TryRefusedSources(const QString& blank, const std::function<void()>& attempt) {
        window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
        window->Edit1->setText(blank);
        attempt();
        window->Edit1->setText(QStringLiteral("Z99"));
        attempt();
        window->AddTargetLine(QStringLiteral("A01"), QStringLiteral("张三"));
        window->Edit1->setText(QStringLiteral("A01"));
        attempt();
    }
    std::vector<std::pair<QString, unsigned>> Boxes() const {
        std::vector<std::pair<QString, unsigned>> boxes;
        for (const auto& box : host.messageBoxes) {
            boxes.emplace_back(box.text, box.type);
        }
        return boxes;
    }

    QObject application;
    test::HostRecorder host;
    test::TestDatabase db;
    QPointer<TfrmPRVC03F> window;
};

const QString kOk = QStringLiteral("复制用户权限成功．");
const QString kFailed = QStringLiteral("复制用户权限失败．");
// The messages of TryRefusedSources' refusals, in order.
const std::vector<std::pair<QString, unsigned>> kRefusals = {
    {QStringLiteral("原用户信息不能为空，复制无效．"), 0x10},
    {QStringLiteral("用户信息资料库中不存在该原用户，复制无效．"), 0x10},
    {QStringLiteral("新用户中存在原用户信息，复制无效．"), 0x10}};

TEST_F(CopyWindowTest, RefusalsShowTheirMessageAndWriteNothing) {
    const int before = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH"));
    TryRefusedSources(QStringLiteral("   "), [this] { Ok(); });
    ASSERT_FALSE(window.isNull()) << "a refusal leaves the window open";
    EXPECT_EQ(Boxes(), kRefusals);
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

TEST_F(CopyWindowTest, PreviewRefusesAsOkDoesAndShowsNoPreview) {
    QObject context;
    bool previewShown = false;
    std::function<void(TfrmCopyPreview&)> watch = [&previewShown](TfrmCopyPreview& preview) {
        previewShown = true;
        preview.close();
    };
    test::WhenModal<TfrmCopyPreview>(&context, watch);
    TryRefusedSources(QStringLiteral(" \t"),
                      [this] { QTest::mouseClick(window->BitBtn3, Qt::LeftButton); });
    EXPECT_EQ(Boxes(), kRefusals);
    EXPECT_FALSE(previewShown);
    EXPECT_FALSE(window.isNull());
}

TEST_F(CopyWindowTest, PreviewButtonAndFlatButtonsInTheBottomRowAndTabChain) {
    EXPECT_EQ(window->BitBtn3->text(), QStringLiteral("预览"));
    EXPECT_EQ(window->BitBtn3->geometry(), QRect(19, 384, 97, 30));
    EXPECT_EQ(window->BitBtn3->size(), window->BitBtn1->size());
    EXPECT_EQ(window->BitBtn3->geometry().top(), window->BitBtn1->geometry().top());
    EXPECT_FALSE(window->BitBtn3->icon().isNull());
    EXPECT_LT(window->BitBtn3->geometry().right(), window->BitBtn1->geometry().left() - 97)
        << "apart from the 确定 / 取消 pair";
    // The focus chain: list, source box, 确定, 取消, 预览, the option; no
    // flat button.
    QStringList chain;
    for (QWidget* f = window->ListBox1->nextInFocusChain(); f != window->ListBox1;
         f = f->nextInFocusChain()) {
        if ((f->focusPolicy() & Qt::TabFocus) && f->isVisibleTo(window.data()) && f->isEnabled() &&
            f->window() == window.data()) {
            chain << f->objectName();
        }
    }
    EXPECT_EQ(chain.mid(0, 5), (QStringList{QStringLiteral("Edit1"), QStringLiteral("BitBtn1"),
                                            QStringLiteral("BitBtn2"), QStringLiteral("BitBtn3"),
                                            QStringLiteral("CheckBox1")}));
    EXPECT_EQ(window->CheckBox1->accessibleName(), QStringLiteral("只补缺少的权限"));
    EXPECT_FALSE(window->CheckBox1->isChecked()) << "off whenever the window opens";
    const std::pair<QToolButton*, const char*> flat[] = {{window->SpeedButton1, "选择原用户"},
                                                         {window->SpeedButton2, "添加新用户"},
                                                         {window->SpeedButton3, "删除选中的新用户"},
                                                         {window->SpeedButton4, "清空新用户列表"}};
    for (const auto& [button, name] : flat) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        EXPECT_FALSE(chain.contains(button->objectName()));
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(name));
        EXPECT_TRUE(button->toolTip().startsWith(QString::fromUtf8(name)));
    }
    EXPECT_TRUE(window->SpeedButton1->toolTip().contains(QStringLiteral("原用户框中按 F4")));
    EXPECT_TRUE(window->SpeedButton2->toolTip().contains(QStringLiteral("新用户列表中按 F4")));
    EXPECT_TRUE(window->SpeedButton3->toolTip().contains(QStringLiteral("Delete")));
    EXPECT_TRUE(window->Edit1->toolTip().contains(QStringLiteral("F4")));
}

TEST_F(CopyWindowTest, KeysOpenTheLookupsAndDeleteALine) {
    QObject context;
    // F4 in Edit1: the single-select lookup; its 确定 takes the current record.
    test::WhenShown<TfrmRootFH>(
        &context, [](TfrmRootFH& lookup) { QTest::mouseClick(lookup.BitBtn1, Qt::LeftButton); });
    window->Edit1->setFocus();
    QTest::keyClick(window->Edit1, Qt::Key_F4);
    const QString first = db.Scalar(test::kUsersBase);
    EXPECT_EQ(window->Edit1->text(), first);

    // F4 in the list: the multi-select lookup; 全选 and 确定 add every user.
    test::WhenShown<TfrmRootFS>(&context, [](TfrmRootFS& lookup) {
        QTest::mouseClick(lookup.BitBtn5, Qt::LeftButton);
        QTest::mouseClick(lookup.BitBtn1, Qt::LeftButton);
    });
    window->ListBox1->setFocus();
    QTest::keyClick(window->ListBox1, Qt::Key_F4);
    const int users = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG"));
    ASSERT_EQ(window->ListBox1->count(), users);

    // Delete in the list deletes the selected line; with F4 and Delete
    // taken, the keys reach neither box's own handling.
    window->ListBox1->setCurrentRow(1);
    const QString second = window->TargetCode(1);
    QTest::sendKeyEvent(QTest::Click, window->ListBox1, Qt::Key_Delete, QString(), Qt::NoModifier);
    ASSERT_EQ(window->ListBox1->count(), users - 1);
    EXPECT_NE(window->TargetCode(1), second);
    // Shift+Delete is no delete key of the list.
    QTest::sendKeyEvent(QTest::Click, window->ListBox1, Qt::Key_Delete, QString(),
                        Qt::ShiftModifier);
    EXPECT_EQ(window->ListBox1->count(), users - 1);
    EXPECT_TRUE(host.messageBoxes.empty());

    // Enter in Edit1 moves on to the next real control, past its flat button.
    window->activateWindow();
    window->Edit1->setFocus();
    QTest::keyClick(window->Edit1, Qt::Key_Return);
    EXPECT_EQ(window->focusWidget(), window->BitBtn1);
}

TEST_F(CopyWindowTest, HostsCloseDuringThePreviewFreesTheWindowAfterIt) {
    const QByteArray before = db.Fingerprint();
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    QObject context;
    bool hiddenMeanwhile = false;
    test::WhenModal<TfrmCopyPreview>(&context, [this, &hiddenMeanwhile](TfrmCopyPreview& preview) {
        hiddenMeanwhile = CloseFromHostMeanwhile();
        QTest::mouseClick(preview.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
    EXPECT_TRUE(hiddenMeanwhile) << "hidden at once, freed only after the preview";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(db.Fingerprint(), before);
    QStringList closed;
    for (const auto& notice : host.notices) {
        if (notice.dwData == 1) {
            closed << notice.text;
        }
    }
    EXPECT_EQ(closed, (QStringList{QStringLiteral("复制用户权限"), QStringLiteral("复制预览")}));
}

TEST_F(CopyWindowTest, HostsCloseDuringALookupOpenedByF4FreesTheWindowAfterIt) {
    QObject context;
    bool hiddenMeanwhile = false;
    test::WhenModal<TfrmRootFH>(&context, [this, &hiddenMeanwhile](TfrmRootFH& lookup) {
        hiddenMeanwhile = CloseFromHostMeanwhile();
        lookup.reject();
    });
    window->activateWindow();
    window->Edit1->setFocus();
    QTest::keyClick(window->Edit1, Qt::Key_F4);
    EXPECT_TRUE(hiddenMeanwhile) << "hidden at once, freed only after the lookup";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace prvc03
