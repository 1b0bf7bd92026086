#include "widgets/MapListCombo.h"

namespace prvc03 {

namespace {
constexpr int RawRole = Qt::UserRole + 1;
}

MapListCombo::MapListCombo(QWidget* parent) : QComboBox(parent) {}

void MapListCombo::AddItem(const QString& item) {
    const int tab = item.indexOf(QLatin1Char('\t'));
    if (mapList_ && tab >= 0) {
        addItem(item.left(tab), item.mid(tab + 1));
    } else {
        addItem(item, item);
    }
    setItemData(count() - 1, item, RawRole);
}

QString MapListCombo::Item(int index) const {
    const QVariant raw = itemData(index, RawRole);
    return raw.isValid() ? raw.toString() : itemText(index);
}

QString MapListCombo::Value() const {
    const int index = currentIndex();
    if (index < 0) {
        return {};
    }
    const QVariant value = itemData(index);
    return value.isValid() ? value.toString() : itemText(index);
}

}  // namespace prvc03
