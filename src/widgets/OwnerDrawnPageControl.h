#pragma once
// A page control (tab widget) whose tabs are drawn by their owner through
// its OwnerDrawnTabBar.

#include <QTabWidget>

#include "widgets/OwnerDrawnTabBar.h"

namespace prvc03 {

class OwnerDrawnPageControl final : public QTabWidget {
    Q_OBJECT

  public:
    explicit OwnerDrawnPageControl(QWidget* parent = nullptr);
    OwnerDrawnTabBar* TabBar() const { return tabBar_; }

  private:
    OwnerDrawnTabBar* tabBar_;  // a child of the page control
};

}  // namespace prvc03
