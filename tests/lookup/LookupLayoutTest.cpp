// The lookup windows' layout: sizes, places, names and keyboard access, with
// both panels shown. Each window is also grabbed to /tmp for a visual check.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "data/MemTable.h"
#include "lookup/LookupTestSupport.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "support/Screenshot.h"
#include "widgets/CheckList.h"
#include "widgets/ConditionGrid.h"
#include "widgets/DropDownButton.h"
#include "widgets/GridCombo.h"
#include "widgets/ListBox.h"
#include "widgets/MapListCombo.h"

namespace prvc03 {
namespace {

using test::LookupFixture;

class Layout : public LookupFixture {
  protected:
    // Shows both panels, a sort key each way, a title arrow and a tick.
    void ShowEverything(LookupWindow& w) {
        // As it opens: both panels hidden, the grid takes their place, the
        // value box has the focus.
        QCoreApplication::processEvents();
        EXPECT_EQ(w.focusWidget(), w.SearchValue);
        EXPECT_EQ(In(w, w.wwDBGridH).top(), 25);
        test::SaveScreenshot(w, QStringLiteral("lookup_%1_fresh.png").arg(w.objectName()));
        w.fA->trigger();
        QTest::mouseClick(w.BitBtn4, Qt::LeftButton);
        QCoreApplication::processEvents();
        w.lbOrder1->setCurrentRow(1);
        QTest::mouseClick(w.BitBtn6, Qt::LeftButton);
        w.lbOrder1->setCurrentRow(0);
        QTest::mouseClick(w.BitBtn6, Qt::LeftButton);
        DoubleClickItem(w.cbOrder1, 0);
        ClickTitle(w.wwDBGridH, QStringLiteral("用户编号"));
        if (MultiSelect()) {
            ClickCell(w.wwDBGridH, 1, 0);
        }
        QCoreApplication::processEvents();
    }

    // Geometry of `child` in the window's coordinates.
    static QRect In(const QWidget& window, const QWidget* child) {
        return QRect(child->mapTo(&window, QPoint(0, 0)), child->size());
    }

    void CheckLayout(LookupWindow& w, const QString& png) {
        EXPECT_EQ(w.size(), QSize(592, 563));
        const QRect client = w.rect();
        EXPECT_EQ(w.ToolBar1->height(), 25);
        EXPECT_EQ(w.Panel4->height(), 175);
        EXPECT_EQ(w.Panel6->height(), 121);
        EXPECT_EQ(w.StatusBar1->height(), 22);
        EXPECT_EQ(w.SearchField->width(), 137);
        EXPECT_EQ(w.SearchValue->width(), 195);
        EXPECT_EQ(w.cxButton1->width(), 113);
        EXPECT_EQ(w.lbOrder1->width(), 248);
        EXPECT_EQ(w.cbOrder1->width(), 259);
        EXPECT_EQ(w.BitBtn6->size(), QSize(33, 30));
        EXPECT_EQ(w.BitBtn7->size(), QSize(33, 30));
        for (QToolButton* b : {w.TFirst, w.TPrior, w.TNext, w.TLast}) {
            EXPECT_EQ(b->size(), QSize(25, 25));
            EXPECT_FALSE(b->toolTip().isEmpty());
            EXPECT_EQ(b->accessibleName(), b->toolTip());
        }
        EXPECT_EQ(w.TFirst->toolTip(), QStringLiteral("最前一笔"));
        EXPECT_EQ(w.TLast->toolTip(), QStringLiteral("最后一笔"));
        for (QPushButton* b : {w.BitBtn6, w.BitBtn7}) {
            EXPECT_TRUE(b->text().isEmpty());
            EXPECT_FALSE(b->accessibleName().isEmpty());
        }
        EXPECT_EQ(w.StaticText1->buddy(), w.SearchField);

        // Top to bottom without overlap, all inside the client area.
        const QWidget* bands[] = {w.ToolBar1,  w.Panel4,     w.Panel6,
                                  w.wwDBGridH, w.StatusBar1, w.BitBtn1->parentWidget()};
        int top = 0;
        for (const QWidget* band : bands) {
            const QRect r = In(w, band);
            EXPECT_EQ(r.top(), top) << band->objectName().toStdString();
            EXPECT_TRUE(client.contains(r)) << band->objectName().toStdString();
            top = r.bottom() + 1;
        }
        EXPECT_EQ(top, 563);
        EXPECT_GT(w.wwDBGridH->height(), 100);
        // The search row's controls side by side, inside the window.
        const QWidget* row[] = {w.TFirst,      w.TPrior,      w.TNext,       w.TLast,
                                w.StaticText1, w.SearchField, w.SearchValue, w.cxButton1};
        int left = 0;
        for (const QWidget* c : row) {
            const QRect r = In(w, c);
            EXPECT_GE(r.left(), left) << c->objectName().toStdString();
            EXPECT_LE(r.right(), 591) << c->objectName().toStdString();
            left = r.right() + 1;
        }
        // The sort panel: list, buttons, order list left to right.
        EXPECT_LT(In(w, w.lbOrder1).right(), In(w, w.BitBtn6).left());
        EXPECT_LT(In(w, w.BitBtn6).right(), In(w, w.cbOrder1).left());
        EXPECT_LT(In(w, w.BitBtn6).bottom(), In(w, w.BitBtn7).top());
        // The condition grid shows its four columns without scrolling.
        int columns = 0;
        for (int c = 0; c < 4; ++c) {
            columns += w.wwDBGridQ->columnWidth(c);
        }
        EXPECT_LE(columns, w.wwDBGridQ->viewport()->width());
        EXPECT_LT(In(w, w.BitBtn4).right(), In(w, w.BitBtn3).left());
        // 确定 and 取消 on the right, 全选 and 全不选 on the left.
        EXPECT_LT(In(w, w.BitBtn1).right(), In(w, w.BitBtn2).left());
        EXPECT_LE(In(w, w.BitBtn2).right(), 591);
        if (MultiSelect()) {
            ASSERT_NE(w.BitBtn5, nullptr);
            EXPECT_LT(In(w, w.BitBtn5).right(), In(w, w.BitBtn8).left());
            EXPECT_LT(In(w, w.BitBtn8).right(), In(w, w.BitBtn1).left());
        }
        // Every control is reached with Tab, in reading order.
        std::vector<QWidget*> chain;
        QWidget* start = w.TFirst;
        for (QWidget* f = start; chain.size() < 40; f = f->nextInFocusChain()) {
            if (f->isVisibleTo(&w) && f->isEnabled() && (f->focusPolicy() & Qt::TabFocus)) {
                chain.push_back(f);
            }
            if (f->nextInFocusChain() == start) {
                break;
            }
        }
        std::vector<QWidget*> expected{w.TFirst,    w.TPrior,   w.TNext,    w.TLast,    w.cxButton1,
                                       w.wwDBGridQ, w.BitBtn4,  w.BitBtn3,  w.lbOrder1, w.BitBtn6,
                                       w.BitBtn7,   w.cbOrder1, w.wwDBGridH};
        if (MultiSelect()) {
            expected.push_back(w.BitBtn5);
            expected.push_back(w.BitBtn8);
        }
        expected.push_back(w.BitBtn1);
        expected.push_back(w.BitBtn2);
        EXPECT_EQ(chain, expected);
        test::SaveScreenshot(w, png);
    }
};

// The status bar's panel widths of each window.
constexpr int kMultiSelectStatusWidths[4] = {75, 350, 75, 80};
constexpr int kSingleSelectStatusWidths[4] = {70, 350, 70, 80};

// Both windows, multi- and single-select, with every panel shown.
class WindowLayout : public Layout {};
PRVC03_ON_EACH_WINDOW(WindowLayout);

TEST_P(WindowLayout, EveryPanelShown) {
    const int* widths = GetParam() == test::WindowKind::MultiSelect ? kMultiSelectStatusWidths
                                                                    : kSingleSelectStatusWidths;
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    ShowEverything(w);
    CheckLayout(w, QStringLiteral("lookup_%1.png").arg(w.objectName()));
    const QStatusBar* statusBar = w.StatusBar1;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(
            statusBar->findChild<QLabel*>(QStringLiteral("StatusBar1Panel%1").arg(i))->width(),
            widths[i]);
    }
}

}  // namespace
}  // namespace prvc03
