// The base windows' bond with the host (notices, close request), their keys
// (Esc, Enter) and their life (self-freeing, modal loops, destroy step).

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "forms/FormsTestSupport.h"
#include "forms/Root.h"
#include "forms/RootF.h"
#include "forms/RootFY.h"
#include "platform/Cp936.h"
#include "session/Global.h"
#include "support/DriveOrFail.h"
#include "widgets/DataGrid.h"

namespace prvc03::test {
namespace {

// A self-freeing window that counts its destroy steps.
class CountingWindow : public TfrmRootF {
    Q_OBJECT

  public:
    CountingWindow(QObject* owner, int& destroySteps)
        : TfrmRootF(owner), destroySteps_(destroySteps) {}
    void FormDestroy() override {
        TfrmRootF::FormDestroy();
        ++destroySteps_;
    }

  private:
    int& destroySteps_;
};

// A self-freeing window with one button whose bound handler runs `during`.
class BusyWindow final : public TfrmRootF {
    Q_OBJECT

  public:
    explicit BusyWindow(QObject* owner) : TfrmRootF(owner), button(new QPushButton(this)) {
        Bind(button, &QPushButton::clicked, &BusyWindow::ButtonClick);
    }
    void ButtonClick() {
        during();
        ++finished;
    }

    QPushButton* button;
    std::function<void()> during;
    int finished = 0;
};

// Sends the window a copy-data record.
void SendCopyData(platform::HWND window, const platform::COPYDATASTRUCT* record) {
    platform::SendMessageA(window, platform::WM_COPYDATA, 0,
                           reinterpret_cast<platform::LPARAM>(record));
}

void SendCopyText(platform::HWND window, const QByteArray& bytesWithNul) {
    platform::COPYDATASTRUCT record;
    record.cbData = static_cast<std::uint32_t>(bytesWithNul.size());
    record.lpData = bytesWithNul.constData();
    SendCopyData(window, &record);
}

class RootWindowTest : public ::testing::Test {
  protected:
    HostRecorder host;
};

TEST_F(RootWindowTest, ShowAndCloseSendOpenedAndClosedNotices) {
    TfrmRoot window(nullptr);
    window.setWindowTitle(QStringLiteral("复制用户权限"));
    window.show();
    const platform::HWND handle = window.Handle();
    ASSERT_NE(handle, 0);
    ASSERT_EQ(host.notices.size(), 1u);
    const ReceivedMessage& opened = host.notices[0];
    EXPECT_EQ(opened.message, platform::WM_HOST_NOTICE);
    EXPECT_EQ(opened.dwData, 0u);
    EXPECT_EQ(opened.text, QStringLiteral("复制用户权限#") + QString::number(handle));
    EXPECT_EQ(opened.cbData, static_cast<std::uint32_t>(platform::ToCp936(opened.text).size() + 1));

    window.close();
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[1].dwData, 1u);
    EXPECT_EQ(host.notices[1].text, QStringLiteral("复制用户权限"));
    EXPECT_EQ(host.notices[1].cbData, 13u);  // six Chinese characters and the NUL
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RootWindowTest, HandleIsRegisteredUnderTheMostDerivedClassName) {
    platform::HWND handle = 0;
    {
        TfrmRootFY window(nullptr);
        EXPECT_EQ(window.ClassName(), QByteArray("TfrmRootFY"));
        EXPECT_EQ(window.objectName(), QStringLiteral("frmRootFY"));
        handle = window.Handle();
        EXPECT_EQ(platform::FindWindowA("TfrmRootFY", nullptr), handle);
        EXPECT_EQ(window.ParentWindow(), platform::GetDesktopWindow());
        const auto open = OpenWindows();
        const auto entry = std::find_if(open.begin(), open.end(),
                                        [&](const OpenWindow& w) { return w.window == &window; });
        ASSERT_NE(entry, open.end());
        EXPECT_EQ(entry->className, QByteArray("TfrmRootFY"));
        EXPECT_EQ(entry->handle, handle);
    }
    EXPECT_FALSE(platform::IsWindow(handle));
    for (const OpenWindow& open : OpenWindows()) {
        EXPECT_NE(open.handle, handle);
    }
}

TEST_F(RootWindowTest, OnlyTheExactTextCloseClosesTheWindow) {
    TfrmRoot window(nullptr);
    window.show();
    const platform::HWND handle = window.Handle();
    host.Clear();

    SendCopyText(handle, QByteArray("close", 6));
    SendCopyText(handle, QByteArray("Close ", 7));
    SendCopyText(handle, QByteArray(" Close", 7));
    SendCopyText(handle, QByteArray("Close", 5));  // no NUL within the block
    SendCopyData(handle, nullptr);
    platform::COPYDATASTRUCT empty;
    SendCopyData(handle, &empty);  // no data at all
    platform::COPYDATASTRUCT zeroLength;
    zeroLength.lpData = "Close";
    SendCopyData(handle, &zeroLength);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(host.notices.empty());

    SendCopyText(handle, QByteArray("Close", 6));
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].dwData, 1u);
}

TEST_F(RootWindowTest, OneEscClosesOnceAndFreesAModelessWindowOnce) {
    int destroySteps = 0;
    QObject owner;
    QPointer<CountingWindow> window = new CountingWindow(&owner, destroySteps);
    window->setWindowTitle(QStringLiteral("复制用户权限"));
    auto* edit = new QLineEdit(window);
    ShowActive(*window);
    edit->setFocus();
    host.Clear();

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(CountNotices(host, 1), 1);
    EXPECT_EQ(CountNotices(host, 0), 0);
    RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(destroySteps, 1);
}

TEST_F(RootWindowTest, CloseWhileAHandlerRunsFreesTheWindowOnlyAfterIt) {
    QObject owner;
    QPointer<BusyWindow> window = new BusyWindow(&owner);
    window->show();
    host.Clear();
    bool hiddenButAlive = false;
    window->during = [&] {
        SendCopyText(window->Handle(), QByteArray("Close", 6));
        RunDeferredDeletes();  // as a modal loop inside the handler would
        hiddenButAlive = !window.isNull() && !window->isVisible();
    };
    QTest::mouseClick(window->button, Qt::LeftButton);
    EXPECT_TRUE(hiddenButAlive);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->finished, 1);
    EXPECT_EQ(CountNotices(host, 1), 1);
    RunDeferredDeletes();
    EXPECT_TRUE(window.isNull());
}

TEST_F(RootWindowTest, EscWithShiftClosesAWindowWithoutAFocusedControl) {
    TfrmRoot window(nullptr);
    window.show();
    host.Clear();
    QTest::keyClick(&window, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(CountNotices(host, 1), 1);
}

TEST_F(RootWindowTest, EscInAModalWindowEndsTheLoopAndTheCallerFreesIt) {
    int destroySteps = 0;
    auto window = std::make_unique<CountingWindow>(nullptr, destroySteps);
    int loopLevelAtKey = 0;
    bool stillOpen = false;
    // The show step processes waiting messages; the nested timer sends the
    // key from the modal loop itself. A last one ends the loop should Esc fail.
    QTimer::singleShot(0, window.get(), [&] {
        QTimer::singleShot(0, window.get(), [&] {
            loopLevelAtKey = QThread::currentThread()->loopLevel();
            QTest::keyClick(window.get(), Qt::Key_Escape);
            QTimer::singleShot(0, window.get(), [&] {
                stillOpen = true;
                window->hide();
            });
        });
    });
    const int result = window->exec();
    EXPECT_GE(loopLevelAtKey, 1);
    EXPECT_FALSE(stillOpen);
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_EQ(CountNotices(host, 1), 1);
    QPointer<CountingWindow> watch = window.get();
    RunDeferredDeletes();
    EXPECT_FALSE(watch.isNull());  // not freed by its own close
    EXPECT_EQ(destroySteps, 0);
    window.reset();
    EXPECT_EQ(destroySteps, 1);
}

TEST_F(RootWindowTest, CloseRequestDuringTheShowStepEndsAModalShow) {
    TfrmRootF window(nullptr);
    const platform::HWND handle = window.Handle();
    // Waiting when the show step processes messages.
    QTimer::singleShot(0, &window, [&] { SendCopyText(handle, QByteArray("Close", 6)); });
    // Should the request not end the loop, the deadline does.
    QTimer::singleShot(test::kWaitDeadlineMs, &window, [&] {
        ADD_FAILURE() << "the Close request did not end the modal show";
        window.hide();
    });
    window.exec();
    EXPECT_FALSE(window.isVisible());
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_FALSE(window.windowHandle()->isVisible());
    EXPECT_EQ(CountNotices(host, 0), 1);
    EXPECT_EQ(CountNotices(host, 1), 1);
}

TEST_F(RootWindowTest, AcceptAndRejectRunTheCloseStep) {
    TfrmRoot window(nullptr);
    window.show();
    host.Clear();
    window.accept();
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_FALSE(window.isVisible());
    window.show();
    window.reject();
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_EQ(CountNotices(host, 1), 2);
}

TEST_F(RootWindowTest, EnterMovesToTheNextControlAndTypesNothing) {
    TfrmRoot window(nullptr);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    second->move(0, 40);
    auto* button = new QPushButton(QStringLiteral("确定"), &window);
    button->move(0, 80);
    button->setDefault(true);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    ShowActive(window);
    first->setFocus();
    QTest::keyClicks(first, QStringLiteral("ab"));

    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(window.focusWidget(), second);
    EXPECT_EQ(first->text(), QStringLiteral("ab"));
    QTest::keyClick(second, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window.focusWidget(), button);
    EXPECT_EQ(clicks, 0);  // the default button was not pressed either
    EXPECT_TRUE(window.isVisible());
}

// Counts the keys its handlers see.
class KeyCountingWindow : public TfrmRoot {
  public:
    using TfrmRoot::TfrmRoot;
    int keyDowns = 0;
    int keyPresses = 0;
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override {
        TfrmRoot::FormKeyDown(key, shift);
        ++keyDowns;
    }
    void FormKeyPress(char& key) override {
        TfrmRoot::FormKeyPress(key);
        ++keyPresses;
    }
};

TEST_F(RootWindowTest, KeysIgnoredByAControlReachTheHandlersOnlyOnce) {
    KeyCountingWindow window(nullptr);
    auto* edit = new QLineEdit(&window);
    ShowActive(window);
    edit->setFocus();
    // The edit box ignores F5, which then travels on to the window itself.
    QTest::keyClick(edit, Qt::Key_F5);
    EXPECT_EQ(window.keyDowns, 1);
    EXPECT_EQ(window.keyPresses, 0);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(window.keyDowns, 2);
    EXPECT_EQ(window.keyPresses, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

TEST_F(RootWindowTest, EnterWithoutAnActiveControlIsIgnored) {
    TfrmRoot window(nullptr);
    window.show();
    host.Clear();
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.focusWidget(), nullptr);
}

// Counts the Enter keys a widget receives.
class EnterCounter : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                ++count;
            }
        }
        return false;
    }
};

TEST_F(RootWindowTest, EnterInADataGridOrItsCellEditorIsLeftToTheGrid) {
    TfrmRoot window(nullptr);
    QStandardItemModel model(2, 2);
    auto* grid = new DataGrid(&window);
    grid->setModel(&model);
    grid->setGeometry(0, 0, 300, 200);
    auto* after = new QLineEdit(&window);
    after->move(0, 220);
    ShowActive(window);

    EnterCounter gridKeys;
    grid->installEventFilter(&gridKeys);
    grid->setFocus();
    grid->setCurrentIndex(model.index(0, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(gridKeys.count, 1);
    EXPECT_EQ(window.focusWidget(), grid);

    grid->edit(model.index(1, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->parentWidget(), grid->viewport());
    editor->setText(QStringLiteral("王五"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the grid commits through a queued call
    // The grid's editor took the key: the value is committed and the focus
    // stays with the grid.
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("王五"));
    EXPECT_NE(window.focusWidget(), after);
}

TEST_F(RootWindowTest, OwnerDestroysItsWindows) {
    auto owner = std::make_unique<QObject>();
    QPointer<TfrmRootF> window = new TfrmRootF(owner.get());
    owner.reset();
    EXPECT_TRUE(window.isNull());
}

TEST_F(RootWindowTest, ShowWindowCommandsReachTheWindow) {
    TfrmRoot window(nullptr);
    const platform::HWND handle = window.Handle();
    platform::ShowWindow(handle, platform::SW_SHOWNA);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(CountNotices(host, 0), 1);
    window.showMinimized();
    platform::ShowWindow(handle, platform::SW_SHOWNORMAL);
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(RootWindowTest, LooksAlikeAndIsCentred) {
    TfrmRoot root(nullptr);
    EXPECT_EQ(root.font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(root.font().pixelSize(), 16);
    EXPECT_EQ(root.size(), QSize(686, 457));
    EXPECT_EQ(root.minimumSize(), root.maximumSize());
    EXPECT_FALSE(root.windowIcon().isNull());
    EXPECT_EQ(root.palette().color(QPalette::Window), QColor(240, 240, 240));
    root.show();
    const QRect screen = root.screen()->availableGeometry();
    EXPECT_LE((root.frameGeometry().center() - screen.center()).manhattanLength(), 2);
    TfrmRootF rootF(nullptr);
    EXPECT_EQ(rootF.size(), QSize(792, 573));
    EXPECT_EQ(rootF.objectName(), QStringLiteral("frmRootF"));
}

}  // namespace
}  // namespace prvc03::test

#include "RootTest.moc"
