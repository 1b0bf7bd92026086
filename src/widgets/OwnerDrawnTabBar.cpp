#include "widgets/OwnerDrawnTabBar.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "session/Errors.h"

namespace prvc03 {

OwnerDrawnTabBar::OwnerDrawnTabBar(QWidget* parent) : QTabBar(parent) {
    setDrawBase(false);
}

void OwnerDrawnTabBar::paintEvent(QPaintEvent* /*event*/) {
    if (!drawTab_) {
        return;
    }
    RunHandler([this] {
        QPainter canvas(this);
        canvas.setFont(font());
        int visibleIndex = 0;
        for (int i = 0; i < count(); ++i) {
            if (!isTabVisible(i)) {
                continue;
            }
            canvas.save();
            drawTab_(canvas, visibleIndex, tabRect(i), i == currentIndex());
            canvas.restore();
            ++visibleIndex;
        }
    });
}

QSize OwnerDrawnTabBar::tabSizeHint(int index) const {
    // Room for the caption in bold at its offset, whatever the style thinks.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const QSize styled = QTabBar::tabSizeHint(index);
    return QSize(std::max(styled.width(), metrics.horizontalAdvance(tabText(index)) + 2 * TextLeft),
                 std::max(styled.height(), metrics.height() + 2 * TextTop));
}

}  // namespace prvc03
