#include "modules/ResultGrids.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "forms/Controls.h"

namespace prvc03 {

QTableWidget* ResultGrid(QWidget* parent, const char* name, const QStringList& titles,
                         const QString& accessibleName, const QRect& geometry) {
    auto* grid = Named(new QTableWidget(0, static_cast<int>(titles.size()), parent), name);
    grid->setAccessibleName(accessibleName);
    grid->setGeometry(geometry);
    grid->setHorizontalHeaderLabels(titles);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(22);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

QTableWidgetItem* ResultCell(const QString& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);
    return item;
}

QPushButton* StyleIconButton(QWidget* parent, const char* name, const QString& caption,
                             QStyle::StandardPixmap icon, const QString& tip) {
    auto* button =
        Named(new QPushButton(parent->style()->standardIcon(icon), caption, parent), name);
    button->setAccessibleName(caption);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

}  // namespace prvc03
