#pragma once
// A button with a caption, a glyph and a drop-down menu: pressing the button
// part (or Space) emits clicked(), the arrow part, F4 or Alt+Down opens the
// menu. With a purpose set, its accessible name is "purpose：caption" and
// follows the caption, so a screen reader hears what the button now does.

#include <QToolButton>

class QMenu;

namespace prvc03 {

class DropDownButton final : public QToolButton {
    Q_OBJECT
  public:
    explicit DropDownButton(QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const { return text(); }
    void SetPurpose(const QString& purpose);
    void SetGlyph(const QIcon& glyph) { setIcon(glyph); }
    void SetDropDownMenu(QMenu* menu) { setMenu(menu); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void UpdateAccessibleName();

    QString purpose_;
};

}  // namespace prvc03
