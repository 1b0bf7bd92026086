#include <gtest/gtest.h>

#include "session/Global.h"
#include "support/HostRecorder.h"

using namespace prvc03;
using prvc03::test::HostRecorder;

TEST(NotifyHost, SendsTheTextRecordToTheMainWindow) {
    HostRecorder host;
    const QString text = QStringLiteral("复制用户权限#1312");
    NotifyHost(text, 0);
    NotifyHost(QStringLiteral("复制用户权限"), 1);
    ASSERT_EQ(host.notices.size(), 2u);
    const auto& opened = host.notices[0];
    EXPECT_EQ(opened.message, platform::WM_HOST_NOTICE);
    EXPECT_EQ(opened.wParam, 0u);
    EXPECT_EQ(opened.dwData, 0u);
    EXPECT_EQ(opened.cbData, 18u) << "twelve bytes, #, four digits and the NUL";
    EXPECT_EQ(opened.text, text);
    EXPECT_EQ(host.notices[1].dwData, 1u);
    EXPECT_EQ(host.notices[1].cbData, 13u);
    EXPECT_TRUE(host.errorReports.empty());
}

TEST(NotifyHost, EmptyTextStillCarriesItsNul) {
    HostRecorder host;
    NotifyHost(QString(), 0);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].cbData, 1u);
    EXPECT_TRUE(host.notices[0].bytes.isEmpty());
}

TEST(NotifyHost, WithoutMainWindowNothingIsSent) {
    HostRecorder host(false);
    EXPECT_NO_THROW(NotifyHost(QStringLiteral("复制用户权限#1312"), 0));
    EXPECT_TRUE(host.events.empty());
}

TEST(SendTextMessage, GoesToTheGivenWindowWithWParamOne) {
    HostRecorder host;
    SendTextMessage(static_cast<std::int32_t>(host.LogHandle()), platform::WM_ERROR_REPORT,
                    QStringLiteral("出错"));
    ASSERT_EQ(host.errorReports.size(), 1u);
    EXPECT_EQ(host.errorReports[0].message, platform::WM_ERROR_REPORT);
    EXPECT_EQ(host.errorReports[0].wParam, 1u);
    EXPECT_EQ(host.errorReports[0].dwData, 0u);
    EXPECT_EQ(host.errorReports[0].cbData, 5u);
    EXPECT_EQ(host.errorReports[0].text, QStringLiteral("出错"));
    EXPECT_TRUE(host.notices.empty());
}

TEST(SendTextMessage, WithoutWindowAndNoOpenWindowsGoesNowhere) {
    HostRecorder host;
    ASSERT_TRUE(OpenWindows().empty());
    SendTextMessage(0, platform::WM_ERROR_REPORT, QStringLiteral("x"));
    SendTextMessage(-1, platform::WM_ERROR_REPORT, QStringLiteral("x"));
    EXPECT_TRUE(host.events.empty());
}
