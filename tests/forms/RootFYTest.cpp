// The option-dialog frame: its layout and its owner-drawn tabs.

#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

#include "forms/FormsTestSupport.h"
#include "forms/RootFY.h"
#include "platform/SysColors.h"

namespace prvc03::test {
namespace {

// Records every tab the bar asks the window to draw.
class RecordingFrame : public TfrmRootFY {
  public:
    using TfrmRootFY::TfrmRootFY;
    struct Call {
        int tabIndex;
        QRect rect;
        bool active;
    };
    std::vector<Call> calls;

    void PageControl1DrawTab(QPainter& canvas, int tabIndex, const QRect& rect,
                             bool active) override {
        TfrmRootFY::PageControl1DrawTab(canvas, tabIndex, rect, active);
        calls.push_back({tabIndex, rect, active});
    }
};

TEST(OptionFrameTest, LayoutOfTheFrame) {
    HostRecorder host;
    TfrmRootFY frame(nullptr);
    EXPECT_EQ(frame.size(), QSize(492, 423));
    EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
    EXPECT_EQ(frame.PageControl1->geometry(), QRect(0, 0, 492, 377));
    ASSERT_EQ(frame.PageControl1->count(), 1);
    EXPECT_EQ(frame.PageControl1->currentWidget(), frame.TabSheet1);
    EXPECT_EQ(frame.PageControl1->tabText(0), QStringLiteral("基本选项"));
    EXPECT_EQ(frame.TabSheet1->objectName(), QStringLiteral("TabSheet1"));

    EXPECT_EQ(frame.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(frame.BitBtn1->geometry(), QRect(272, 384, 97, 30));
    EXPECT_EQ(frame.BitBtn2->text(), QStringLiteral("取消"));
    EXPECT_EQ(frame.BitBtn2->geometry(), QRect(376, 384, 97, 30));
    for (QPushButton* button : {frame.BitBtn1, frame.BitBtn2}) {
        EXPECT_FALSE(button->autoDefault());
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_FALSE(button->accessibleName().isEmpty());
    }

    // Tab order: page control, 确定, 取消.
    ShowActive(frame);
    frame.PageControl1->setFocus();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->window(), &frame);
    QTest::keyClick(focus, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), frame.BitBtn1);
    QTest::keyClick(frame.BitBtn1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), frame.BitBtn2);
    SaveGrab(frame, QStringLiteral("frmRootFY"));
}

TEST(OptionFrameTest, ActiveAndInactiveTabsTakeTheCaptionColours) {
    HostRecorder host;
    TfrmRootFY frame(nullptr);
    frame.PageControl1->addTab(new QWidget(&frame), QStringLiteral("其他"));
    const QRect rect(10, 2, 80, 24);

    const TabDrawing active = frame.DescribeTab(0, rect, true);
    EXPECT_EQ(active.caption, QStringLiteral("基本选项"));
    EXPECT_EQ(active.text, platform::SysColor<QColor>(platform::COLOR_CAPTIONTEXT));
    EXPECT_EQ(active.background, platform::SysColor<QColor>(platform::COLOR_ACTIVECAPTION));
    EXPECT_TRUE(active.bold);
    EXPECT_EQ(active.textTopLeft, QPoint(16, 6));

    const TabDrawing other = frame.DescribeTab(1, rect, false);
    EXPECT_EQ(other.caption, QStringLiteral("其他"));
    EXPECT_EQ(other.text, platform::SysColor<QColor>(platform::COLOR_INACTIVECAPTIONTEXT));
    EXPECT_EQ(other.background, platform::SysColor<QColor>(platform::COLOR_INACTIVECAPTION));
    EXPECT_FALSE(other.bold);
    EXPECT_EQ(other.textTopLeft, QPoint(16, 6));

    // What the bar shows: each tab filled with its state's background.
    frame.show();
    OwnerDrawnTabBar* bar = frame.PageControl1->TabBar();
    const QImage shot = bar->grab().toImage();
    const QRect first = bar->tabRect(0);
    const QRect second = bar->tabRect(1);
    EXPECT_EQ(shot.pixelColor(first.right() - 1, first.bottom() - 1),
              platform::SysColor<QColor>(platform::COLOR_ACTIVECAPTION));
    EXPECT_EQ(shot.pixelColor(second.right() - 1, second.bottom() - 1),
              platform::SysColor<QColor>(platform::COLOR_INACTIVECAPTION));
    SaveGrab(*bar, QStringLiteral("tabs"));
}

TEST(OptionFrameTest, HiddenPagesAreSkippedWhenTabsAreDrawn) {
    HostRecorder host;
    RecordingFrame frame(nullptr);
    QTabWidget& pages = *frame.PageControl1;
    pages.removeTab(0);
    pages.addTab(new QWidget(&frame), QStringLiteral("A"));
    pages.addTab(new QWidget(&frame), QStringLiteral("B"));
    pages.addTab(new QWidget(&frame), QStringLiteral("C"));
    pages.setCurrentIndex(2);
    pages.setTabVisible(0, false);
    pages.setTabVisible(1, false);
    frame.show();

    frame.calls.clear();
    (void)frame.PageControl1->TabBar()->grab();
    ASSERT_EQ(frame.calls.size(), 1u);
    EXPECT_EQ(frame.calls[0].tabIndex, 0);
    EXPECT_TRUE(frame.calls[0].active);
    const TabDrawing drawn = frame.DescribeTab(0, frame.calls[0].rect, true);
    EXPECT_EQ(drawn.caption, QStringLiteral("C"));
    EXPECT_EQ(drawn.pageIndex, 2);
}

}  // namespace
}  // namespace prvc03::test
