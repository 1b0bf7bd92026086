#include "widgets/OwnerDrawnPageControl.h"

namespace prvc03 {

OwnerDrawnPageControl::OwnerDrawnPageControl(QWidget* parent)
    : QTabWidget(parent), tabBar_(new OwnerDrawnTabBar(this)) {
    setTabBar(tabBar_);
}

}  // namespace prvc03
