#pragma once
// The caller's side of a lookup: create the window of the wanted kind (owned
// by the current application object) unless one exists, hand it the request,
// run it modally, copy what it picked and free it. Freeing resets the
// window's module-wide pointer, so the next lookup builds a fresh window.

#include <QPointer>
#include <QString>

#include <optional>

#include "session/Global.h"
#include "session/VariantArray.h"

namespace prvc03 {

class QueryDataset;

// Deletes the window at the end of the caller's scope, on every path, unless
// its owner has already done so.
template <class Window>
class LookupWindowGuard {
  public:
    explicit LookupWindowGuard(Window* window) : window_(window) {}
    ~LookupWindowGuard() { delete window_.data(); }
    LookupWindowGuard(LookupWindowGuard&& other) noexcept : window_(other.window_) {
        other.window_ = nullptr;
    }
    LookupWindowGuard(const LookupWindowGuard&) = delete;
    LookupWindowGuard& operator=(const LookupWindowGuard&) = delete;
    LookupWindowGuard& operator=(LookupWindowGuard&&) = delete;
    Window* get() const { return window_.data(); }

  private:
    QPointer<Window> window_;
};

// Runs one lookup of `Window` (TfrmRootFS or TfrmRootFH) over the columns of
// `source` and the FROM ... WHERE text `fromText`. Nothing when nothing was
// picked (cancelled, or the show step failed); otherwise the picked rows.
template <class Window>
std::optional<VariantArray> RunLookup(QueryDataset& source, const QString& fromText) {
    if (Window::Current() == nullptr) {
        // Owned by the application object; the guard below frees it first.
        Window::Current() = new Window(CurrentApplication());
    }
    LookupWindowGuard<Window> window(Window::Current());
    window.get()->SourceQuery = &source;
    window.get()->FromText = fromText;
    window.get()->exec();
    std::optional<VariantArray> picked;
    if (window.get() != nullptr) {
        picked = window.get()->ResultValue;
    }
    return picked;
}

}  // namespace prvc03
