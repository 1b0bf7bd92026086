#pragma once
// The system colours, by GetSysColor index: as COLORREF values (0x00BBGGRR),
// or through SysColor as any colour type built from red, green and blue
// (QColor for the windows' palettes and owner drawing). Qt Core only: the
// colour type comes from the caller.

#include <cstdint>

namespace prvc03::platform {

using COLORREF = std::uint32_t;

inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;

inline constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
inline constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

COLORREF GetSysColor(int index);

template <class Colour>
Colour SysColor(int index) {
    const COLORREF colour = GetSysColor(index);
    return Colour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

}  // namespace prvc03::platform
