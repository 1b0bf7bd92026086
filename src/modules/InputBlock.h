#pragma once
// Keeps a window from taking input while a step of it runs: the message
// boxes have no owner window, so without it the window could start the step
// a second time.

#include <QWidget>

namespace prvc03 {

class InputBlock final {
  public:
    explicit InputBlock(QWidget* window) : window_(window) { window_->setEnabled(false); }
    ~InputBlock() { window_->setEnabled(true); }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

  private:
    QWidget* window_;
};

}  // namespace prvc03
