#pragma once
// A list whose items carry a check state and an image index but show no
// check boxes: the image is the visible sign. A double click reports
// DblClick first and then flips the selected item's check state; Space flips
// it too. Every flip is reported, so the owner can keep the image in step.

#include <QIcon>
#include <QListWidget>

#include <vector>

namespace prvc03 {

class CheckList final : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int CheckedRole = Qt::UserRole + 1;
    static constexpr int ImageRole = Qt::UserRole + 2;

    explicit CheckList(QWidget* parent = nullptr);

    void SetImages(std::vector<QIcon> images);
    // Appends an item, unchecked, without image; returns its row.
    int AddItem(const QString& text);
    // The selected row, -1 when none; setting -1 clears the selection.
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int row);
    // Item access raises "List index out of bounds (n)" for a bad row.
    QString ItemText(int row) const;
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);
    int ImageIndex(int row) const;
    void SetImageIndex(int row, int image);
    void DeleteItem(int row);

  Q_SIGNALS:
    void DblClick();
    void CheckStateFlipped(int row);

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QListWidgetItem* ItemAt(int row) const;
    void FlipSelected();

    std::vector<QIcon> images_;
};

}  // namespace prvc03
