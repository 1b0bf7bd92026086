#pragma once
// Tells the window layer while statements of the module run, so that the
// host shows a busy cursor for exactly that time. The data layer knows no
// cursor: the window layer installs the hook. Scopes nest; the hook hears
// the first start and the last end, on the thread that runs the windows.

#include <functional>

namespace prvc03 {

using BusyHook = std::function<void(bool busy)>;
// Replaces the hook (an empty one turns the indicator off).
void SetBusyHook(BusyHook hook);

// Busy from construction to destruction, on every path.
class BusyScope {
  public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace prvc03
