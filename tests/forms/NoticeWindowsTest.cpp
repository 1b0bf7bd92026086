// The two notice layouts.

#include <gtest/gtest.h>

#include "forms/Connect.h"
#include "forms/FormsTestSupport.h"
#include "forms/ShowMsg.h"

namespace prvc03::test {
namespace {

template <typename Window>
void ExpectNoticeLayout(Window& window, QSize size, const QString& text, QRect labelGeometry) {
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), size);
    EXPECT_EQ(window.Panel1->geometry(), QRect(QPoint(0, 0), size));
    EXPECT_EQ(window.Panel1->palette().color(QPalette::Window), QColor(166, 202, 240));
    EXPECT_EQ(window.Label1->text(), text);
    EXPECT_EQ(window.Label1->geometry(), labelGeometry);
    EXPECT_EQ(window.Label1->font().family(), QStringLiteral("宋体"));
    EXPECT_EQ(window.Label1->font().pixelSize(), 16);
    EXPECT_EQ(window.Animate1->geometry(), QRect(35, 37, 16, 16));
    EXPECT_EQ(window.Animate1->pixmap().size(), QSize(16, 16));
}

TEST(NoticeWindowsTest, Layouts) {
    HostRecorder host;
    TfrmShowMsg showMsg(nullptr);
    EXPECT_EQ(showMsg.objectName(), QStringLiteral("frmShowMsg"));
    ExpectNoticeLayout(showMsg, QSize(277, 95), QStringLiteral("数据处理中，请稍后..."),
                       QRect(81, 37, 168, 16));
    EXPECT_FALSE(showMsg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(showMsg.Panel1->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(showMsg.Panel1->font().pixelSize(), 15);
    showMsg.show();
    SaveGrab(showMsg, QStringLiteral("frmShowMsg"));

    TfrmConnect connect(nullptr);
    EXPECT_EQ(connect.objectName(), QStringLiteral("frmConnect"));
    ExpectNoticeLayout(connect, QSize(312, 93), QStringLiteral("应用服务器连机中，请稍后..."),
                       QRect(65, 37, 216, 16));
    EXPECT_TRUE(connect.windowFlags() & Qt::WindowStaysOnTopHint);
    connect.show();
    SaveGrab(connect, QStringLiteral("frmConnect"));
}

}  // namespace
}  // namespace prvc03::test
