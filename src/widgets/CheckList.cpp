#include "widgets/CheckList.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "session/Errors.h"

namespace prvc03 {

CheckList::CheckList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void CheckList::SetImages(std::vector<QIcon> images) {
    images_ = std::move(images);
    for (int row = 0; row < count(); ++row) {
        SetImageIndex(row, ImageIndex(row));
    }
}

int CheckList::AddItem(const QString& text) {
    auto* item = new QListWidgetItem(text, this);
    item->setData(CheckedRole, false);
    item->setData(ImageRole, -1);
    return row(item);
}

void CheckList::SetItemIndex(int row) {
    if (row < 0) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    ItemAt(row);
    setCurrentRow(row);
}

QListWidgetItem* CheckList::ItemAt(int row) const {
    QListWidgetItem* found = row >= 0 ? item(row) : nullptr;
    if (found == nullptr) {
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(row));
    }
    return found;
}

QString CheckList::ItemText(int row) const {
    return ItemAt(row)->text();
}

bool CheckList::Checked(int row) const {
    return ItemAt(row)->data(CheckedRole).toBool();
}

void CheckList::SetChecked(int row, bool checked) {
    ItemAt(row)->setData(CheckedRole, checked);
}

int CheckList::ImageIndex(int row) const {
    const QVariant image = ItemAt(row)->data(ImageRole);
    return image.isValid() ? image.toInt() : -1;
}

void CheckList::SetImageIndex(int row, int image) {
    QListWidgetItem* it = ItemAt(row);
    it->setData(ImageRole, image);
    it->setIcon(image >= 0 && image < static_cast<int>(images_.size()) ? images_[image] : QIcon());
}

void CheckList::DeleteItem(int row) {
    delete takeItem(row < 0 ? -1 : row);
}

void CheckList::FlipSelected() {
    const int row = currentRow();
    QListWidgetItem* it = row >= 0 ? item(row) : nullptr;
    if (it == nullptr || !(it->flags() & Qt::ItemIsEnabled)) {
        return;
    }
    it->setData(CheckedRole, !it->data(CheckedRole).toBool());
    Q_EMIT CheckStateFlipped(row);
}

void CheckList::mouseDoubleClickEvent(QMouseEvent* event) {
    QListWidget::mouseDoubleClickEvent(event);
    // The owner's handler sees the state before the flip.
    Q_EMIT DblClick();
    FlipSelected();
}

void CheckList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        FlipSelected();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace prvc03
