#pragma once
// A button with a caption, a glyph and a drop-down menu: pressing the button
// part (or Space) emits clicked(), the arrow part, F4 or Alt+Down opens the
// menu.

#include <QToolButton>

class QMenu;

namespace prvc03 {

class DropDownButton final : public QToolButton {
    Q_OBJECT
  public:
    explicit DropDownButton(QWidget* parent = nullptr);

    void SetCaption(const QString& caption) { setText(caption); }
    QString Caption() const { return text(); }
    void SetGlyph(const QIcon& glyph) { setIcon(glyph); }
    void SetDropDownMenu(QMenu* menu) { setMenu(menu); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace prvc03
