#include "widgets/ListBox.h"

#include <QStyledItemDelegate>

#include "session/Errors.h"

namespace prvc03 {

namespace {

class FixedRowDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(ListBox::RowHeight);
        return size;
    }
};

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    // A heap copy of the name: Qt's font cache keeps it after an unload.
    QFont f(QString::fromUtf8("宋体"));
    f.setPixelSize(16);
    setFont(f);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new FixedRowDelegate(this));
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    Q_EMIT DblClick();
}

QString ListBox::ItemText(int row) const {
    QListWidgetItem* found = row >= 0 ? item(row) : nullptr;
    if (found == nullptr) {
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(row));
    }
    return found->text();
}

}  // namespace prvc03
