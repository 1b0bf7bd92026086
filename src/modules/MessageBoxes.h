#pragma once
// The module's message boxes: MessageBoxA with no owner window and the
// caption "提示信息".

#include <QString>

namespace prvc03 {

// Shows `text` with an OK button; `type` is MB_ICONSTOP or MB_ICONQUESTION.
void Tell(const QString& text, unsigned type);
// Tells the operator why a handler stops (stop icon), then stops it silently.
[[noreturn]] void Refuse(const QString& text);
// Asks `text` with 是 and 否 (question-mark icon); true for 是.
bool Ask(const QString& text);

}  // namespace prvc03
