#include "platform/Windows.h"

#include <QLibrary>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/SysColors.h"
#include "support/MessageBoxPresenterScope.h"

using namespace prvc03::platform;

namespace {

struct Call {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

class FakeWindow : public WindowEndpoint {
  public:
    explicit FakeWindow(const QByteArray& className, LRESULT answer = 0) : answer_(answer) {
        handle = RegisterWindow(className, this);
    }
    ~FakeWindow() override { UnregisterWindow(handle); }
    LRESULT HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) override {
        calls.push_back({message, wParam, lParam});
        if (onMessage) {
            onMessage();
        }
        return answer_;
    }
    void ApplyShowCommand(int command) override { shows.push_back(command); }

    HWND handle = 0;
    std::vector<Call> calls;
    std::vector<int> shows;
    std::function<void()> onMessage;

  private:
    LRESULT answer_;
};

}  // namespace

TEST(WindowRegistry, HandlesAreDistinctLiveAndDieWithUnregister) {
    HWND first = 0;
    {
        FakeWindow a("TwinA");
        FakeWindow b("TwinA");
        first = a.handle;
        EXPECT_NE(a.handle, 0);
        EXPECT_NE(a.handle, b.handle);
        EXPECT_NE(a.handle, GetDesktopWindow());
        EXPECT_TRUE(IsWindow(a.handle));
        EXPECT_TRUE(IsWindow(b.handle));
    }
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(SendMessageA(first, WM_COPYDATA, 0, 0), 0);
    EXPECT_FALSE(ShowWindow(first, SW_SHOWNORMAL));
    EXPECT_FALSE(IsWindow(0));
}

TEST(WindowRegistry, FindWindowTakesFirstOfClassExactlyAndNoTitle) {
    auto first = std::make_unique<FakeWindow>("TfindMe");
    FakeWindow second("TfindMe");
    FakeWindow other("TOther");
    EXPECT_EQ(FindWindowA("TfindMe", nullptr), first->handle);
    EXPECT_EQ(FindWindowA("TOther", nullptr), other.handle);
    EXPECT_EQ(FindWindowA("TFINDME", nullptr), 0) << "class names compare exactly";
    EXPECT_EQ(FindWindowA("TfindMe", "title"), 0) << "windows carry no title";
    EXPECT_EQ(FindWindowA("TfindMeNot", nullptr), 0);
    EXPECT_EQ(FindWindowA(nullptr, nullptr), 0);
    first.reset();
    EXPECT_EQ(FindWindowA("TfindMe", nullptr), second.handle);
}

TEST(WindowRegistry, SendDeliversSynchronouslyAndReturnsTheAnswer) {
    FakeWindow window("TSendTarget", 77);
    COPYDATASTRUCT record{5, 3, "ab"};
    const auto lParam = reinterpret_cast<LPARAM>(&record);
    EXPECT_EQ(SendMessageA(window.handle, WM_COPYDATA, 9, lParam), 77);
    ASSERT_EQ(window.calls.size(), 1u);
    EXPECT_EQ(window.calls[0].message, WM_COPYDATA);
    EXPECT_EQ(window.calls[0].wParam, 9u);
    EXPECT_EQ(window.calls[0].lParam, lParam);
    EXPECT_EQ(SendMessageA(0, WM_COPYDATA, 0, 0), 0);
}

TEST(WindowRegistry, HandlerMayUnregisterItselfAndRegisterOthersDuringSend) {
    FakeWindow window("TSelfRemoving", 5);
    std::vector<std::unique_ptr<FakeWindow>> born;
    window.onMessage = [&] {
        UnregisterWindow(window.handle);
        // Enough new windows to move the table in memory mid-send.
        for (int i = 0; i < 64; ++i) {
            born.push_back(std::make_unique<FakeWindow>("TBorn"));
        }
    };
    EXPECT_EQ(SendMessageA(window.handle, 1, 0, 0), 5);
    EXPECT_FALSE(IsWindow(window.handle));
    EXPECT_EQ(SendMessageA(window.handle, 1, 0, 0), 0);
    EXPECT_EQ(window.calls.size(), 1u);
    EXPECT_EQ(FindWindowA("TBorn", nullptr), born.front()->handle);
}

TEST(WindowRegistry, ShowWindowPassesTheCommandToTheWindow) {
    FakeWindow window("TShown");
    EXPECT_TRUE(ShowWindow(window.handle, SW_SHOWNA));
    EXPECT_TRUE(ShowWindow(window.handle, SW_SHOWNORMAL));
    EXPECT_EQ(window.shows, (std::vector<int>{SW_SHOWNA, SW_SHOWNORMAL}));
}

TEST(WindowRegistry, DesktopIsAFixedLiveWindowThatTakesNoMessages) {
    const HWND desktop = GetDesktopWindow();
    EXPECT_NE(desktop, 0);
    EXPECT_EQ(GetDesktopWindow(), desktop);
    EXPECT_TRUE(IsWindow(desktop));
    EXPECT_EQ(SendMessageA(desktop, WM_COPYDATA, 0, 0), 0);
    FakeWindow window("TAfterDesktop");
    EXPECT_NE(window.handle, desktop);
}

TEST(MessageBox, WithoutPresenterShowsNothingAndAnswersOk) {
    const prvc03::test::MessageBoxPresenterScope none(nullptr);
    EXPECT_EQ(MessageBoxA(0, "text", "caption", MB_ICONSTOP), IDOK);
}

TEST(MessageBox, PresenterGetsTheBytesUnchangedAndGivesTheAnswer) {
    struct Shown {
        HWND owner;
        QByteArray text, caption;
        unsigned type;
    };
    std::vector<Shown> shown;
    const prvc03::test::MessageBoxPresenterScope presenter(
        [&](HWND owner, const QByteArray& text, const QByteArray& caption, unsigned type) {
            shown.push_back({owner, text, caption, type});
            return 6;
        });
    // Code page 936 bytes of 提示信息, passed through undecoded.
    const char caption[] = "\xcc\xe1\xca\xbe\xd0\xc5\xcf\xa2";
    EXPECT_EQ(MessageBoxA(0x123, "\x80\xcd\xf5", caption, MB_ICONQUESTION), 6);
    EXPECT_EQ(MessageBoxA(0, nullptr, nullptr, MB_OK), 6);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].owner, 0x123);
    EXPECT_EQ(shown[0].text, QByteArray("\x80\xcd\xf5"));
    EXPECT_EQ(shown[0].caption, QByteArray(caption));
    EXPECT_EQ(shown[0].type, MB_ICONQUESTION);
    EXPECT_TRUE(shown[1].text.isEmpty());
    EXPECT_TRUE(shown[1].caption.isEmpty());

    const MessageBoxPresenter mine = SetMessageBoxPresenter(presenter.Previous());
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine(0, {}, {}, 0), 6) << "replacing a presenter hands back the one installed";
}

// The plug-in links its own copy of the platform layer; it must still share
// the one window table and presenter of the process.
class SecondCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        library_.setFileName(QStringLiteral(PRVC03_SECOND_COPY));
        ASSERT_TRUE(library_.load()) << library_.errorString().toStdString();
        registerWindow =
            reinterpret_cast<decltype(registerWindow)>(library_.resolve("SecondCopyRegister"));
        unregisterWindow =
            reinterpret_cast<decltype(unregisterWindow)>(library_.resolve("SecondCopyUnregister"));
        find = reinterpret_cast<decltype(find)>(library_.resolve("SecondCopyFind"));
        send = reinterpret_cast<decltype(send)>(library_.resolve("SecondCopySend"));
        messageBox =
            reinterpret_cast<decltype(messageBox)>(library_.resolve("SecondCopyMessageBox"));
        ASSERT_TRUE(registerWindow && unregisterWindow && find && send && messageBox);
    }
    void TearDown() override { library_.unload(); }

    HWND (*registerWindow)(const char*, WindowEndpoint*) = nullptr;
    void (*unregisterWindow)(HWND) = nullptr;
    HWND (*find)(const char*) = nullptr;
    LRESULT (*send)(HWND, unsigned, LPARAM) = nullptr;
    int (*messageBox)(const char*) = nullptr;

  private:
    QLibrary library_;
};

TEST_F(SecondCopy, SeesTheWindowsOfThisCopyAndTheOtherWayRound) {
    FakeWindow here("THereWindow", 42);
    EXPECT_EQ(find("THereWindow"), here.handle);
    EXPECT_EQ(send(here.handle, WM_HOST_NOTICE, 7), 42);
    ASSERT_EQ(here.calls.size(), 1u);
    EXPECT_EQ(here.calls[0].lParam, 7);

    FakeWindow endpoint("unused");
    const HWND there = registerWindow("TThereWindow", &endpoint);
    EXPECT_NE(there, here.handle) << "one handle counter for both copies";
    EXPECT_EQ(FindWindowA("TThereWindow", nullptr), there);
    SendMessageA(there, WM_ERROR_REPORT, 1, 0);
    EXPECT_EQ(endpoint.calls.size(), 1u);
    unregisterWindow(there);
    EXPECT_FALSE(IsWindow(there));
}

TEST_F(SecondCopy, UsesThePresenterInstalledByThisCopy) {
    QByteArray seen;
    const prvc03::test::MessageBoxPresenterScope presenter(
        [&](HWND, const QByteArray& text, const QByteArray&, unsigned) {
            seen = text;
            return 3;
        });
    EXPECT_EQ(messageBox("from the plug-in"), 3);
    EXPECT_EQ(seen, QByteArray("from the plug-in"));
}

TEST(SysColors, PackedAsRedGreenBlueFromTheLowByte) {
    const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(caption, 0x00D1B499u);  // red 153, green 180, blue 209
    EXPECT_EQ(GetRValue(caption), 153);
    EXPECT_EQ(GetGValue(caption), 180);
    EXPECT_EQ(GetBValue(caption), 209);
    EXPECT_NE(GetSysColor(COLOR_INACTIVECAPTION), caption);
    EXPECT_EQ(GetSysColor(-1), 0u);
    // A colour type takes the channels in red, green, blue order.
    struct Rgb {
        Rgb(int red, int green, int blue) : channels{red, green, blue} {}
        std::vector<int> channels;
    };
    EXPECT_EQ(SysColor<Rgb>(COLOR_ACTIVECAPTION).channels, (std::vector<int>{153, 180, 209}));
}
