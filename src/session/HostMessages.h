#pragma once
// The two messages the module sends: the host notice and a text under a
// given message number (the error report).

#include <QString>

#include <cstdint>

namespace prvc03 {

// Host notice 1124 to the window of class "TfrmMain".
void NotifyHost(const QString& text, std::int32_t kind);
// Sends `text` under `message` to `window`, or to every open module window
// when `window` is 0 or below.
void SendTextMessage(std::int32_t window, unsigned message, const QString& text);

}  // namespace prvc03
