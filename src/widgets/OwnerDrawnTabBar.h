#pragma once
// A tab bar that leaves the drawing of each visible tab to a callback, which
// receives the tab's index counted among the visible tabs only.

#include <QRect>
#include <QTabBar>

#include <functional>

class QPainter;

namespace prvc03 {

class OwnerDrawnTabBar final : public QTabBar {
    Q_OBJECT

  public:
    using DrawTab =
        std::function<void(QPainter& canvas, int tabIndex, const QRect& rect, bool active)>;

    // Where a tab's caption starts inside the tab: the size of each tab
    // leaves room for its caption in bold at this offset.
    static constexpr int TextLeft = 6;
    static constexpr int TextTop = 4;

    explicit OwnerDrawnTabBar(QWidget* parent = nullptr);
    void SetDrawTab(DrawTab drawTab) { drawTab_ = std::move(drawTab); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;

  private:
    DrawTab drawTab_;
};

}  // namespace prvc03
