#include "widgets/GridCombo.h"

#include <QKeyEvent>

namespace prvc03 {

GridCombo::GridCombo(QWidget* parent) : QComboBox(parent) {
    SetBackground(QColor::fromRgb(EditorRgb));
}

void GridCombo::SetBackground(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Button, color);
    p.setColor(QPalette::Window, color);
    setPalette(p);
    setAutoFillBackground(true);
}

void GridCombo::CopyFrom(const GridCombo& other) {
    clear();
    for (int i = 0; i < other.count(); ++i) {
        addItem(other.itemText(i), other.itemData(i));
    }
    clearKey_ = other.clearKey_;
    setPalette(other.palette());
    setFont(other.font());
}

void GridCombo::keyPressEvent(QKeyEvent* event) {
    if (clearKey_ && event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        setCurrentIndex(-1);
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

}  // namespace prvc03
