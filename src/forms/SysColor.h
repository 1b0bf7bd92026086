#pragma once
// System colours as QColor, for the windows' palettes and owner drawing.

#include <QColor>

#include "platform/SysColors.h"

namespace prvc03 {

inline QColor SysColor(int index) {
    const platform::COLORREF colour = platform::GetSysColor(index);
    return QColor(platform::GetRValue(colour), platform::GetGValue(colour),
                  platform::GetBValue(colour));
}

}  // namespace prvc03
