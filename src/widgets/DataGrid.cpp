#include "widgets/DataGrid.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

#include <algorithm>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "data/QueryDataset.h"
#include "session/Errors.h"
#include "widgets/DatasetModel.h"
#include "widgets/GridDelegate.h"
#include "widgets/MemTableModel.h"

namespace prvc03 {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    // Row height is fixed before any model arrives: no row is ever measured.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    setItemDelegate(new GridDelegate(this));
    SetAlternateRowColor(QColor::fromRgb(AlternateRowRgb));
    SetCurrentRowColor(QColor::fromRgb(CurrentRowRgb));
    SetReadOnly(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (model() == nullptr) {
            return;
        }
        Q_EMIT TitleButtonClick(
            model()->headerData(section, Qt::Horizontal, DatasetModel::FieldNameRole).toString());
    });
}

DataGrid::~DataGrid() = default;

void DataGrid::SetDataSource(DataSource* source) {
    QObject::disconnect(sourceConnection_);
    QAbstractItemModel* old = model();
    datasetModel_ = nullptr;
    tableModel_ = nullptr;
    source_ = source;
    QAbstractItemModel* built = nullptr;
    if (source != nullptr && source->DataSet() != nullptr) {
        datasetModel_ = CreateDatasetModel(source->DataSet());
        datasetModel_->SetRowIndicator(rowIndicator_);
        built = datasetModel_;
    } else if (source != nullptr && source->Table() != nullptr) {
        tableModel_ = new MemTableModel(source->Table(), this);
        built = tableModel_;
    }
    setModel(built);
    if (old != nullptr && old->parent() == this) {
        old->deleteLater();
    }
    if (built != nullptr) {
        connect(built, &QAbstractItemModel::modelReset, this, [this] {
            ApplyColumnWidths();
            SyncFromData();
        });
        sourceConnection_ = connect(source, &DataSource::DataChange, this, &DataGrid::SyncFromData);
        ApplyColumnWidths();
        SyncFromData();
    }
}

DatasetModel* DataGrid::CreateDatasetModel(QueryDataset* dataset) {
    return new DatasetModel(dataset, this);
}

void DataGrid::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (readOnly) {
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionBehavior(QAbstractItemView::SelectRows);
    } else {
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
        setSelectionBehavior(QAbstractItemView::SelectItems);
    }
}

void DataGrid::SetRowIndicator(bool on) {
    rowIndicator_ = on;
    verticalHeader()->setVisible(on);
    if (datasetModel_ != nullptr) {
        datasetModel_->SetRowIndicator(on);
    }
}

void DataGrid::SetRowHeight(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
}

int DataGrid::RowHeight() const {
    return verticalHeader()->defaultSectionSize();
}

void DataGrid::SetAlternateRowColor(const QColor& color) {
    alternateRowColor_ = color;
    if (color.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::AlternateBase, color);
        setPalette(p);
    }
    setAlternatingRowColors(color.isValid());
    viewport()->update();
}

void DataGrid::SetCurrentRowColor(const QColor& color) {
    currentRowColor_ = color;
    viewport()->update();
}

int DataGrid::CharWidth() const {
    return fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

void DataGrid::SetColumnWidthChars(int column, int chars) {
    setColumnWidth(column, chars * CharWidth() + 4);
}

int DataGrid::CheckColumn() const {
    return datasetModel_ != nullptr ? datasetModel_->CheckColumn() : -1;
}

CellColors DataGrid::ColorsFor(const QModelIndex& index, bool highlighted) const {
    CellColors colors;
    colors.text = Qt::black;
    const bool current = index.row() == currentIndex().row() && currentIndex().isValid();
    if (currentRowColor_.isValid() && (current || highlighted)) {
        colors.background = currentRowColor_;
    } else if (alternateRowColor_.isValid() && index.row() % 2 == 1) {
        colors.background = alternateRowColor_;
    } else {
        colors.background = palette().color(QPalette::Base);
    }
    if (calcCellColors_) {
        calcCellColors_(index, current, highlighted, colors);
    }
    return colors;
}

DataGrid* DataGrid::GridOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* grid = qobject_cast<DataGrid*>(w)) {
            return grid;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return nullptr;
}

int DataGrid::DataRow() const {
    if (source_ == nullptr) {
        return -1;
    }
    if (QueryDataset* dataset = source_->DataSet()) {
        return dataset->Active() ? dataset->CurrentRow() : -1;
    }
    if (MemTable* table = source_->Table()) {
        return table->CurrentRow();
    }
    return -1;
}

void DataGrid::MoveDataTo(int row) {
    if (source_ == nullptr || row == DataRow()) {
        return;
    }
    RunHandler([&] {
        if (QueryDataset* dataset = source_->DataSet()) {
            dataset->MoveToRow(row);
        } else if (MemTable* table = source_->Table()) {
            table->MoveTo(row);
        }
    });
}

void DataGrid::SyncFromData() {
    if (model() == nullptr || syncing_) {
        return;
    }
    const int row = DataRow();
    if (row < 0 || row >= model()->rowCount()) {
        return;
    }
    const QModelIndex current = currentIndex();
    int column = current.isValid() ? current.column() : 0;
    if (!current.isValid()) {
        // Start on the first visible column.
        for (int c = 0; c < model()->columnCount(); ++c) {
            if (!isColumnHidden(c)) {
                column = c;
                break;
            }
        }
    }
    const QModelIndex target = model()->index(row, column);
    if (target == current) {
        return;
    }
    QScopedValueRollback<bool> guard(syncing_, true);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (selectionBehavior() == QAbstractItemView::SelectRows) {
        flags |= QItemSelectionModel::Rows;
    }
    selectionModel()->setCurrentIndex(target, flags);
    scrollTo(target);
}

void DataGrid::UpdateRow(int row) {
    if (row < 0 || model() == nullptr || row >= model()->rowCount()) {
        return;
    }
    viewport()->update(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row()) {
        UpdateRow(previous.row());
        UpdateRow(current.row());
    }
    if (!syncing_ && current.isValid()) {
        MoveDataTo(current.row());
    }
    if (current != previous && current.isValid()) {
        Q_EMIT CellChanged();
    }
}

void DataGrid::ApplyColumnWidths() {
    if (datasetModel_ == nullptr || datasetModel_->Dataset() == nullptr) {
        return;
    }
    QueryDataset* dataset = datasetModel_->Dataset();
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    for (int c = 0; c < dataset->FieldCount(); ++c) {
        const Field& field = dataset->FieldAt(c);
        const int data = field.EffectiveDisplayWidth() * CharWidth() + 4;
        const int title = titleMetrics.horizontalAdvance(field.Label()) + 8;
        setColumnWidth(c, std::max(data, title));
    }
}

void DataGrid::ToggleCheck(int row) {
    if (datasetModel_ != nullptr) {
        datasetModel_->ToggleCheck(row);
    }
}

void DataGrid::mousePressEvent(QMouseEvent* event) {
    pressed_ = indexAt(event->position().toPoint());
    QTableView::mousePressEvent(event);
}

void DataGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex released = indexAt(event->position().toPoint());
    const bool click =
        event->button() == Qt::LeftButton && released.isValid() && released == pressed_;
    pressed_ = QPersistentModelIndex();
    if (click && released.column() == CheckColumn()) {
        ToggleCheck(released.row());
    }
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    pressed_ = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT DblClick();
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        current.isValid() && current.column() == CheckColumn()) {
        ToggleCheck(current.row());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // Shift+F10 opens the context menu at the current cell, as the Menu
        // key does (the platform turns that one into a context menu event).
        const QRect cell = visualRect(current);
        const QPoint at = cell.isValid() ? cell.center() : viewport()->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, viewport()->mapTo(this, at),
                               viewport()->mapToGlobal(at), event->modifiers());
        QCoreApplication::sendEvent(this, &menu);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // Enter belongs to the grid; it never reaches the window
    }
}

}  // namespace prvc03
