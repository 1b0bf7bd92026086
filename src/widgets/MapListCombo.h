#pragma once
// A drop-down list whose items may be "display<TAB>value": in map-list mode
// it shows the display text and yields the value.

#include <QComboBox>

namespace prvc03 {

class MapListCombo final : public QComboBox {
    Q_OBJECT
  public:
    explicit MapListCombo(QWidget* parent = nullptr);

    // Map-list mode applies to the items added while it is on.
    void SetMapList(bool on) { mapList_ = on; }
    bool MapList() const { return mapList_; }
    // Adds an item; in map-list mode "display\tvalue" shows `display` and
    // yields `value` (an item without a tab yields its own text).
    void AddItem(const QString& item);
    // The item as it was added.
    QString Item(int index) const;
    // The value of the chosen item; empty when nothing is chosen.
    QString Value() const;

  private:
    bool mapList_ = false;
};

}  // namespace prvc03
