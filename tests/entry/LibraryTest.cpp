// The real shared library, loaded with QLibrary as a host loads it.
#include <QApplication>
#include <QLibrary>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include "../../include/PRVC03.h"
#include "ExportedSymbols.h"
#include "platform/Cp936.h"
#include "platform/HostString.h"
#include "platform/Windows.h"
#include "support/HostRecorder.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using platform::HostString;

QWidget* ModuleWindow() {
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmPRVC03F")) {
            found = widget;
        }
    }
    return found;
}

int ModuleWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->objectName() == QStringLiteral("frmPRVC03F") ? 1 : 0;
    }
    return count;
}

class LibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        library.setFileName(QStringLiteral(PRVC03_LIBRARY_PATH));
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        loadDll = reinterpret_cast<LoadDllFunction>(library.resolve("LoadDll"));
        ASSERT_NE(loadDll, nullptr);
    }
    void TearDown() override {
        if (library.isLoaded()) {
            library.unload();
        }
    }
    void Call(const QByteArray& formName, const QString& caption) {
        const HostString name(formName);
        const HostString title(platform::ToCp936(caption));
        loadDll(qApp, 0, name.data(), title.data(), nullptr, nullptr, &db.db(), 0, nullptr, nullptr,
                nullptr, nullptr, nullptr, nullptr, static_cast<int32_t>(host.LogHandle()),
                nullptr);
    }

    test::HostRecorder host;
    test::TestDatabase db;
    QLibrary library;
    LoadDllFunction loadDll = nullptr;
};

TEST_F(LibraryTest, OpensTheWindowAndTellsTheHost) {
    Call("frmPRVC03F", QStringLiteral("复制用户权限"));
    QWidget* window = ModuleWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("复制用户权限"));
    ASSERT_EQ(host.notices.size(), 1u);
    const test::ReceivedMessage& notice = host.notices[0];
    EXPECT_EQ(notice.message, 1124u);
    EXPECT_EQ(notice.dwData, 0u);
    EXPECT_TRUE(notice.text.startsWith(QStringLiteral("复制用户权限#")));
    EXPECT_EQ(notice.cbData, std::uint32_t(notice.bytes.size() + 1));

    // A second call brings the same window back, caption unchanged.
    Call("frmPRVC03F", QStringLiteral("新标题"));
    EXPECT_EQ(ModuleWindowCount(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("复制用户权限"));

    // The host closes it with the copy-data text "Close".
    const platform::HWND handle = notice.text.section(QLatin1Char('#'), 1).toLongLong();
    static const char close[] = "Close";
    platform::COPYDATASTRUCT record;
    record.cbData = sizeof close;
    record.lpData = close;
    platform::SendMessageA(handle, platform::WM_COPYDATA, 0,
                           reinterpret_cast<platform::LPARAM>(&record));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ModuleWindow(), nullptr);
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[1].dwData, 1u);
    EXPECT_EQ(host.notices[1].text, QStringLiteral("复制用户权限"));
}

TEST_F(LibraryTest, ErrorsLeaveLoadDllAsExceptions) {
    try {
        Call("frmUnknown", QStringLiteral("x"));
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Class TfrmUnknown not found");
    }
    EXPECT_EQ(ModuleWindow(), nullptr);
}

TEST_F(LibraryTest, UnloadFreesAnOpenWindow) {
    Call("frmPRVC03F", QStringLiteral("复制用户权限"));
    QPointer<QWidget> window = ModuleWindow();
    ASSERT_FALSE(window.isNull());
    ASSERT_TRUE(library.unload());
    EXPECT_TRUE(window.isNull());
    // Loading again starts afresh.
    ASSERT_TRUE(library.load());
    loadDll = reinterpret_cast<LoadDllFunction>(library.resolve("LoadDll"));
    Call("frmPRVC03F", QStringLiteral("复制用户权限"));
    EXPECT_EQ(ModuleWindowCount(), 1);
}

TEST_F(LibraryTest, UnloadWithoutWindow) {
    EXPECT_TRUE(library.unload());
    EXPECT_EQ(ModuleWindow(), nullptr);
}

TEST(ExportedSymbols, OnlyLoadDll) {
    EXPECT_EQ(test::ExportedSymbols(QStringLiteral(PRVC03_LIBRARY_PATH)),
              QStringList{QStringLiteral("LoadDll")});
}

}  // namespace
}  // namespace prvc03
