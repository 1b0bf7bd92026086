// The main job from the host's side: the real library, loaded as a host
// loads it, driven only through its windows with real clicks.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileDialog>
#include <QLibrary>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../../include/PRVC03.h"
#include "platform/Cp936.h"
#include "platform/HostString.h"
#include "platform/MessageBoxButtons.h"
#include "support/DriveOrFail.h"
#include "support/HostRecorder.h"
#include "support/Screenshot.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

// Runs `action` on the modal window that `ready` returns, polling from a
// timer of `context`; fails the test, naming `what`, when none comes by the
// deadline.
void WhenReady(QObject* context, const std::string& what, std::function<QWidget*()> ready,
               std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(context);
    const QDeadlineTimer deadline(test::kWaitDeadlineMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, what, ready, action, deadline] {
        QWidget* modal = ready();
        if (modal == nullptr && !deadline.hasExpired()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (modal == nullptr) {
            test::FailWaitingFor(what);
            return;
        }
        action(modal);
    });
    timer->start(10);
}

// Runs `action` on the modal window named `name` as soon as it shows its
// records. (Its show step lets waiting messages through before it opens the
// result query, so a slow run can see the window still empty.)
void WhenModal(QObject* context, const QString& name, std::function<void(QWidget*)> action) {
    WhenReady(
        context, "the window " + name.toStdString() + " with its records",
        [name]() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            const auto* grid = modal != nullptr
                                   ? modal->findChild<QTableView*>(QStringLiteral("wwDBGridH"))
                                   : nullptr;
            const bool shown = modal != nullptr && modal->objectName() == name &&
                               modal->isVisible() && grid != nullptr && grid->model() != nullptr &&
                               grid->model()->rowCount() > 0;
            return shown ? modal : nullptr;
        },
        std::move(action));
}

// Clicks the cell of `column` in the row whose cell of `keyColumn` reads `key`.
bool ClickRow(QWidget* window, const QString& key, int keyColumn, int column) {
    auto* grid = window->findChild<QTableView*>(QStringLiteral("wwDBGridH"));
    if (grid == nullptr) {
        return false;
    }
    const QAbstractItemModel* model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, keyColumn).data().toString() == key) {
            const QModelIndex cell = model->index(row, column);
            grid->scrollTo(cell);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(cell).center());
            return true;
        }
    }
    return false;
}

QAbstractButton* Button(QWidget* window, const char* name) {
    return window->findChild<QAbstractButton*>(QLatin1String(name));
}

// Loads the real library as a host does and opens the copy window through
// LoadDll on `db`; null (with a failure recorded) when either step fails.
QPointer<QWidget> OpenCopyWindow(QLibrary& library, test::TestDatabase& db,
                                 test::HostRecorder& host) {
    if (!library.load()) {
        ADD_FAILURE() << library.errorString().toStdString();
        return nullptr;
    }
    auto loadDll = reinterpret_cast<LoadDllFunction>(library.resolve("LoadDll"));
    if (loadDll == nullptr) {
        ADD_FAILURE() << "LoadDll is not exported";
        return nullptr;
    }
    const platform::HostString name(QByteArrayLiteral("frmPRVC03F"));
    const platform::HostString title(platform::ToCp936(QStringLiteral("复制用户权限")));
    loadDll(qApp, 0, name.data(), title.data(), nullptr, nullptr, &db.db(), 0, nullptr, nullptr,
            nullptr, nullptr, nullptr, nullptr, static_cast<int32_t>(host.LogHandle()), nullptr);
    QPointer<QWidget> window;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmPRVC03F") && widget->isVisible()) {
            window = widget;
        }
    }
    return window;
}

// The real library loaded by the test as a host, with its copy window open
// on a fresh demo database.
class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        window = OpenCopyWindow(library, db, host);
        ASSERT_FALSE(window.isNull());
    }

    test::HostRecorder host;
    test::TestDatabase db;
    QLibrary library{QStringLiteral(PRVC03_LIBRARY_PATH)};
    QPointer<QWidget> window;
    QObject context;  // owns the polling timers of one case
};

TEST_F(EndToEnd, PickSourceAndTargetsThroughTheLookupsAndCopy) {
    // Source user: the single-select lookup, a click on A01's row, 确定.
    bool picked = false;
    WhenModal(&context, QStringLiteral("frmRootFH"), [&picked](QWidget* lookup) {
        picked = ClickRow(lookup, QStringLiteral("A01"), 0, 1);
        QTest::mouseClick(Button(lookup, "BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(Button(window, "SpeedButton1"), Qt::LeftButton);
    ASSERT_TRUE(picked);
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(),
              QStringLiteral("A01"));

    // Targets: the multi-select lookup, ticks on B01 and C02, 确定.
    int ticked = 0;
    WhenModal(&context, QStringLiteral("frmRootFS"), [&ticked](QWidget* lookup) {
        ticked += ClickRow(lookup, QStringLiteral("C02"), 1, 0) ? 1 : 0;
        ticked += ClickRow(lookup, QStringLiteral("B01"), 1, 0) ? 1 : 0;
        QTest::mouseClick(Button(lookup, "BitBtn1"), Qt::LeftButton);
    });
    QTest::mouseClick(Button(window, "SpeedButton2"), Qt::LeftButton);
    ASSERT_EQ(ticked, 2);
    auto* targets = window->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    ASSERT_EQ(targets->count(), 2);
    // Picked rows come back in result-set order, whatever the order of clicks.
    EXPECT_EQ(targets->item(0)->text(), QStringLiteral("B01       王五                "));
    EXPECT_EQ(targets->item(1)->text(), QStringLiteral("C02       吴九                "));

    host.Clear();
    QTest::mouseClick(Button(window, "BitBtn1"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_EQ(host.messageBoxes.size(), 2u);
    for (const auto& box : host.messageBoxes) {
        EXPECT_EQ(box.text, QStringLiteral("复制用户权限成功．"));
        EXPECT_EQ(box.type, 0x20u);
    }
    const int source = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='A01'"));
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='B01'")), source);
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='C02'")), source);
    EXPECT_TRUE(window.isNull()) << "the window closes and frees itself after the copy";
    // Its closed notice, then the opened notice of the report that follows.
    ASSERT_GE(host.notices.size(), 2u);
    const test::ReceivedMessage& closed = host.notices[host.notices.size() - 2];
    EXPECT_EQ(closed.dwData, 1u);
    EXPECT_EQ(closed.text, QStringLiteral("复制用户权限"));
    EXPECT_EQ(host.notices.back().dwData, 0u);
    EXPECT_TRUE(host.notices.back().text.startsWith(QStringLiteral("复制结果#")));
    EXPECT_TRUE(library.unload()) << "the report goes with the library";
}

// A key as the operator types it, to the focused control of `window`.
void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = window != nullptr ? window->focusWidget() : nullptr;
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, key, modifiers);
}

void Type(QWidget* window, const QString& text) {
    QWidget* focused = window->focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, text, Qt::NoModifier);
}

// In a lookup that has just shown its records: search the user code `code`,
// move into the result grid (ticking its first record when `tick`), then Tab
// on to 确定.
void SearchAndReachOk(QWidget* lookup, const QString& code, bool tick) {
    Type(lookup, code);
    Press(lookup, Qt::Key_Return);  // on to the search button
    Press(lookup, Qt::Key_Space);   // search
    Press(lookup, Qt::Key_Tab);     // into the result grid
    if (tick) {
        Press(lookup, Qt::Key_Home);
        Press(lookup, Qt::Key_Space);
    }
    for (int tabs = 0; tabs < 5 && lookup->focusWidget() != Button(lookup, "BitBtn1"); ++tabs) {
        Press(lookup, Qt::Key_Tab);
    }
    ASSERT_EQ(lookup->focusWidget(), Button(lookup, "BitBtn1"));
}

TEST_F(EndToEnd, KeyboardAloneOpensBothLookupsPicksAndCopies) {
    auto* edit = window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* targets = window->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    edit->setFocus();

    // F4 in the source box: search A01, 确定 with Space.
    WhenModal(&context, QStringLiteral("frmRootFH"), [](QWidget* lookup) {
        SearchAndReachOk(lookup, QStringLiteral("A01"), false);
        Press(lookup, Qt::Key_Space);
    });
    Press(window, Qt::Key_F4);
    EXPECT_EQ(edit->text(), QStringLiteral("A01"));

    // Shift+Tab to the list, F4 twice: B01 and C02 ticked with Space.
    Press(window, Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(window->focusWidget(), targets);
    for (const QString& code : {QStringLiteral("B01"), QStringLiteral("C02")}) {
        WhenModal(&context, QStringLiteral("frmRootFS"), [code](QWidget* lookup) {
            SearchAndReachOk(lookup, code, true);
            Press(lookup, Qt::Key_Space);
        });
        Press(window, Qt::Key_F4);
    }
    ASSERT_EQ(targets->count(), 2);
    EXPECT_EQ(targets->item(0)->text(), QStringLiteral("B01       王五                "));
    EXPECT_EQ(targets->item(1)->text(), QStringLiteral("C02       吴九                "));

    // Tab to 确定 (the flat buttons are not in the way), Space copies.
    host.Clear();
    Press(window, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), edit);
    Press(window, Qt::Key_Tab);
    ASSERT_EQ(window->focusWidget(), Button(window, "BitBtn1"));
    Press(window, Qt::Key_Space);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_EQ(host.messageBoxes.size(), 2u);
    for (const auto& box : host.messageBoxes) {
        EXPECT_EQ(box.text, QStringLiteral("复制用户权限成功．"));
    }
    const int source = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='A01'"));
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='B01'")), source);
    EXPECT_EQ(db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH WHERE MH001='C02'")), source);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(library.unload());
}

// The top-level window named `name` that is shown; null when none is.
QWidget* ShownWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// The demo database by hand, through the real library: codes pasted into
// the list (one unknown), A01 copied to three users of whom B02 clashes on
// the key, the report read and exported, 撤销复制 putting every table back,
// 重试失败 opening the copy window with B02 alone.
TEST_F(EndToEnd, PasteCopyReportExportUndoAndRetry) {
    const QByteArray before = db.Fingerprint();
    window->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("A01"));
    auto* targets = window->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    window->activateWindow();
    targets->setFocus();
    host.Clear();
    QApplication::clipboard()->setText(QStringLiteral("B01\nZZZ\nC01"));
    QTest::keyClick(targets, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(targets->count(), 2);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, QStringLiteral("以下用户编号不存在：ZZZ．"));
    QApplication::clipboard()->setText(QStringLiteral("B02"));
    QTest::keyClick(targets, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(targets->count(), 3);
    EXPECT_EQ(targets->item(2)->text(), QStringLiteral("B02       赵六                "));

    host.Clear();
    QTest::mouseClick(Button(window, "BitBtn1"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList boxes;
    for (const auto& box : host.messageBoxes) {
        boxes << box.text;
    }
    EXPECT_EQ(boxes, (QStringList{QStringLiteral("复制用户权限成功．"),
                                  QStringLiteral("复制用户权限成功．"),
                                  QStringLiteral("复制用户权限失败．")}));
    EXPECT_TRUE(window.isNull());
    QPointer<QWidget> report = ShownWindow(QStringLiteral("frmCopyReport"));
    ASSERT_FALSE(report.isNull());
    EXPECT_EQ(report->windowTitle(), QStringLiteral("复制结果"));
    auto* grid = report->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("成功"));
    EXPECT_TRUE(grid->item(2, 2)->text().startsWith(QStringLiteral("失败：")));
    test::SaveScreenshot(*report, QStringLiteral("end-to-end-report.png"));

    // 导出 through the save dialog, to a file with a Chinese name.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("复制结果.csv"));
    WhenReady(
        &context, "the save dialog",
        [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
        [path](QWidget* modal) {
            auto* dialog = static_cast<QFileDialog*>(modal);
            dialog->selectFile(path);
            // Accepting as the dialog's 保存 does.
            static_cast<QDialog*>(dialog)->accept();
        });
    QTest::mouseClick(Button(report, "BitBtn5"), Qt::LeftButton);
    QFile csv(path);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") +
        QStringLiteral("用户编号,用户名称,结果,笔数\r\nB01,王五,成功,4\r\n").toUtf8();
    EXPECT_TRUE(csv.readAll().startsWith(expected));

    // 撤销复制, 是: every table as before the copy.
    host.Clear();
    host.questionAnswer = platform::IDYES;
    QTest::mouseClick(Button(report, "BitBtn3"), Qt::LeftButton);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, QStringLiteral("撤销本次复制？"));
    EXPECT_EQ(db.Fingerprint(), before);
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("已撤销"));
    EXPECT_EQ(grid->item(1, 2)->text(), QStringLiteral("已撤销"));

    // 重试失败: the copy window again, with B02 alone; the report goes.
    QTest::mouseClick(Button(report, "BitBtn4"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(report.isNull());
    QWidget* retry = ShownWindow(QStringLiteral("frmPRVC03F"));
    ASSERT_NE(retry, nullptr);
    EXPECT_EQ(retry->windowTitle(), QStringLiteral("复制用户权限"));
    EXPECT_EQ(retry->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("A01"));
    auto* failed = retry->findChild<QListWidget*>(QStringLiteral("ListBox1"));
    ASSERT_EQ(failed->count(), 1);
    EXPECT_EQ(failed->item(0)->text(), QStringLiteral("B02       赵六                "));
    EXPECT_TRUE(library.unload()) << "the new copy window goes with the library";
}

}  // namespace
}  // namespace prvc03
