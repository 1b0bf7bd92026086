#include "platform/SysColors.h"

namespace prvc03::platform {

// The default colours of the system's standard scheme.
COLORREF GetSysColor(int index) {
    switch (index) {
        case COLOR_ACTIVECAPTION:
            return RGB(153, 180, 209);
        case COLOR_INACTIVECAPTION:
            return RGB(191, 205, 219);
        case COLOR_WINDOW:
            return RGB(255, 255, 255);
        case COLOR_WINDOWTEXT:
        case COLOR_CAPTIONTEXT:
            return RGB(0, 0, 0);
        case COLOR_BTNFACE:
            return RGB(240, 240, 240);
        case COLOR_HIGHLIGHT:
            return RGB(0, 120, 215);
        case COLOR_HIGHLIGHTTEXT:
            return RGB(255, 255, 255);
        case COLOR_INACTIVECAPTIONTEXT:
            return RGB(67, 78, 84);
        default:
            return 0;
    }
}

}  // namespace prvc03::platform
