#include "widgets/GridDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "widgets/DataGrid.h"

namespace prvc03 {

GridDelegate::GridDelegate(DataGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    const bool highlighted = option->state & QStyle::State_Selected;
    QStyledItemDelegate::initStyleOption(option, index);
    const CellColors colors = grid_->ColorsFor(index, highlighted);
    if (colors.background.isValid()) {
        option->backgroundBrush = colors.background;
    }
    if (colors.text.isValid()) {
        option->palette.setColor(QPalette::Text, colors.text);
        option->palette.setColor(QPalette::HighlightedText, colors.text);
    }
    if (grid_->OverridesHighlight()) {
        // The current-row colour marks the record; no highlight or focus
        // frame is drawn over it.
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }
}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    if (index.column() != grid_->CheckColumn()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    painter->fillRect(opt.rect, opt.backgroundBrush);
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &opt, opt.widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &opt, opt.widget);
    QStyleOptionViewItem box = opt;
    box.rect = QRect(opt.rect.center().x() - w / 2, opt.rect.center().y() - h / 2, w, h);
    box.state = QStyle::State_Enabled |
                (opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, opt.widget);
}

}  // namespace prvc03
