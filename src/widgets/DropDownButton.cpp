#include "widgets/DropDownButton.h"

namespace prvc03 {

DropDownButton::DropDownButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::MenuButtonPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

}  // namespace prvc03
