#include "forms/RootFY.h"

#include <QFontMetrics>
#include <QPainter>

#include "forms/Controls.h"
#include "platform/SysColors.h"
#include "resources/Glyphs.h"

namespace prvc03 {

TfrmRootFY::TfrmRootFY(QObject* owner) : TfrmRootF(owner) {
    setObjectName(QStringLiteral("frmRootFY"));
    SetClientSize(492, 423);

    PageControl1 = new OwnerDrawnPageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, 492, 377);
    PageControl1->setAccessibleName(QStringLiteral("选项页"));
    PageControl1->TabBar()->setAccessibleName(QStringLiteral("选项页标签"));
    PageControl1->TabBar()->SetDrawTab(
        [this](QPainter& canvas, int tabIndex, const QRect& rect, bool active) {
            PageControl1DrawTab(canvas, tabIndex, rect, active);
        });

    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet1->setAccessibleName(QStringLiteral("基本选项"));
    TabSheet1->setAutoFillBackground(true);  // pages in the button-face colour
    PageControl1->addTab(TabSheet1, QStringLiteral("基本选项"));
    PageControl1->setCurrentWidget(TabSheet1);

    BitBtn1 = BitBtn(this, "BitBtn1", QStringLiteral("确定"), Glyph::Ok);
    BitBtn1->setGeometry(272, 384, 97, 30);
    BitBtn2 = BitBtn(this, "BitBtn2", QStringLiteral("取消"), Glyph::Cancel);
    BitBtn2->setGeometry(376, 384, 97, 30);

    setTabOrder(PageControl1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

TabDrawing TfrmRootFY::DescribeTab(int tabIndex, const QRect& rect, bool active) const {
    TabDrawing drawing;
    drawing.rect = rect;
    drawing.bold = active;
    drawing.text = platform::SysColor<QColor>(active ? platform::COLOR_CAPTIONTEXT
                                                     : platform::COLOR_INACTIVECAPTIONTEXT);
    drawing.background = platform::SysColor<QColor>(active ? platform::COLOR_ACTIVECAPTION
                                                           : platform::COLOR_INACTIVECAPTION);
    drawing.textTopLeft =
        QPoint(rect.left() + OwnerDrawnTabBar::TextLeft, rect.top() + OwnerDrawnTabBar::TextTop);
    // The tab index counts only pages whose tab is visible.
    int visibleIndex = 0;
    for (int page = 0; page < PageControl1->count(); ++page) {
        if (!PageControl1->isTabVisible(page)) {
            continue;
        }
        if (visibleIndex == tabIndex) {
            drawing.pageIndex = page;
            drawing.caption = PageControl1->tabText(page);
            break;
        }
        ++visibleIndex;
    }
    return drawing;
}

void TfrmRootFY::PageControl1DrawTab(QPainter& canvas, int tabIndex, const QRect& rect,
                                     bool active) {
    const TabDrawing drawing = DescribeTab(tabIndex, rect, active);
    QFont font = canvas.font();
    font.setBold(drawing.bold);
    canvas.setFont(font);
    canvas.fillRect(drawing.rect, drawing.background);
    canvas.setPen(drawing.text);
    canvas.setBackground(drawing.background);
    canvas.setBackgroundMode(Qt::OpaqueMode);
    const QFontMetrics metrics(font);
    const QRect textBox(drawing.textTopLeft,
                        QSize(metrics.horizontalAdvance(drawing.caption) + 1, metrics.height()));
    canvas.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, drawing.caption);
}

}  // namespace prvc03
