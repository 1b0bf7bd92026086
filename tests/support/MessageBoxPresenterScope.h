#pragma once
// A message-box presenter installed for one scope: the one it replaced comes
// back however the scope ends, a failed assertion or an exception included.

#include <utility>

#include "platform/Windows.h"

namespace prvc03::test {

class MessageBoxPresenterScope {
  public:
    explicit MessageBoxPresenterScope(platform::MessageBoxPresenter presenter)
        : previous_(platform::SetMessageBoxPresenter(std::move(presenter))) {}
    ~MessageBoxPresenterScope() { platform::SetMessageBoxPresenter(previous_); }
    MessageBoxPresenterScope(const MessageBoxPresenterScope&) = delete;
    MessageBoxPresenterScope& operator=(const MessageBoxPresenterScope&) = delete;

    // The presenter this scope replaced.
    const platform::MessageBoxPresenter& Previous() const { return previous_; }

  private:
    platform::MessageBoxPresenter previous_;
};

}  // namespace prvc03::test
