#pragma once
// Stand-ins for the user-interface calls the module takes from the operating
// system: window handles, synchronous messages, ShowWindow, the desktop window
// and MessageBoxA. Windows that take messages register an endpoint and receive
// a handle; a message sent to a handle is delivered at once, on the caller's
// thread, to that endpoint.

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace prvc03::platform {

using HWND = std::intptr_t;  // 0 is "no window"
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr unsigned WM_NEXTDLGCTL = 0x0028;
inline constexpr unsigned WM_COPYDATA = 0x004A;
inline constexpr unsigned WM_HOST_NOTICE = 1124;   // 0x464, to "TfrmMain"
inline constexpr unsigned WM_ERROR_REPORT = 1225;  // 0x4C9, to the host window

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// Virtual-key codes. The digits and the letters A to Z are their own
// character codes; F1 to F24 follow each other from VK_F1.
inline constexpr int VK_BACK = 8;
inline constexpr int VK_TAB = 9;
inline constexpr int VK_RETURN = 13;
inline constexpr int VK_SHIFT = 16;
inline constexpr int VK_CONTROL = 17;
inline constexpr int VK_MENU = 18;
inline constexpr int VK_ESCAPE = 27;
inline constexpr int VK_SPACE = 32;
inline constexpr int VK_PRIOR = 33;
inline constexpr int VK_NEXT = 34;
inline constexpr int VK_END = 35;
inline constexpr int VK_HOME = 36;
inline constexpr int VK_LEFT = 37;
inline constexpr int VK_UP = 38;
inline constexpr int VK_RIGHT = 39;
inline constexpr int VK_DOWN = 40;
inline constexpr int VK_INSERT = 45;
inline constexpr int VK_DELETE = 46;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F4 = VK_F1 + 3;

inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_YESNO = 0x04;  // 是 / 否: IDYES or IDNO (MessageBoxButtons.h)
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr int IDOK = 1;

// The three-field record every host message points at (COPYDATASTRUCT).
struct COPYDATASTRUCT {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};

// What a registered window implements to take messages and ShowWindow calls.
class WindowEndpoint {
  public:
    virtual ~WindowEndpoint() = default;
    virtual LRESULT HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void ApplyShowCommand(int command) = 0;
};

// Registers a window under a window class name; returns its new handle.
HWND RegisterWindow(const QByteArray& className, WindowEndpoint* endpoint);
// Removes a handle; messages sent to it afterwards go nowhere.
void UnregisterWindow(HWND handle);
bool IsWindow(HWND handle);

// The first registered window (in registration order) of the class; the
// window name must be null: windows here carry no title to match.
HWND FindWindowA(const char* className, const char* windowName);
// Delivers the message synchronously; 0 when the handle is unknown.
LRESULT SendMessageA(HWND handle, unsigned message, WPARAM wParam, LPARAM lParam);
bool ShowWindow(HWND handle, int command);
HWND GetDesktopWindow();

// MessageBoxA: texts are code page 936 bytes. The GUI installs a presenter
// (a real message box); tests install a recorder. Without one the call
// returns IDOK and shows nothing.
using MessageBoxPresenter = std::function<int(HWND owner, const QByteArray& text,
                                              const QByteArray& caption, unsigned type)>;
int MessageBoxA(HWND owner, const char* text, const char* caption, unsigned type);
// Installs a presenter and returns the one it replaces.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

}  // namespace prvc03::platform
