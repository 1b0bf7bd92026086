#pragma once
// A drop-down list used as a grid cell editor; its items are what the cells
// of its column may hold. With the clear key on, Delete or Backspace empties
// the choice.

#include <QComboBox>

namespace prvc03 {

class GridCombo final : public QComboBox {
    Q_OBJECT
  public:
    // 0xBBGGRR 15532027: red 251, green 255, blue 236.
    static constexpr QRgb EditorRgb = 0xFFFBFFEC;

    explicit GridCombo(QWidget* parent = nullptr);

    void SetClearKey(bool on) { clearKey_ = on; }
    bool ClearKey() const { return clearKey_; }
    void SetBackground(const QColor& color);
    // Takes over the items, the clear key and the colours of `other`.
    void CopyFrom(const GridCombo& other);
    // The chosen text; empty when nothing is chosen.
    QString Choice() const { return currentIndex() < 0 ? QString() : currentText(); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool clearKey_ = false;
};

}  // namespace prvc03
