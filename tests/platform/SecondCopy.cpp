// Built as a module with its own static copy of the platform layer and hidden
// symbols, like the plug-in; the test reaches it through these three calls.
#include "platform/Windows.h"

using namespace prvc03::platform;

extern "C" __attribute__((visibility("default"))) HWND SecondCopyRegister(
    const char* className, WindowEndpoint* endpoint) {
    return RegisterWindow(className, endpoint);
}

extern "C" __attribute__((visibility("default"))) void SecondCopyUnregister(HWND handle) {
    UnregisterWindow(handle);
}

extern "C" __attribute__((visibility("default"))) HWND SecondCopyFind(const char* className) {
    return FindWindowA(className, nullptr);
}

extern "C" __attribute__((visibility("default"))) LRESULT SecondCopySend(HWND handle,
                                                                         unsigned message,
                                                                         LPARAM lParam) {
    return SendMessageA(handle, message, 0, lParam);
}

extern "C" __attribute__((visibility("default"))) int SecondCopyMessageBox(const char* text) {
    return MessageBoxA(0, text, "", MB_OK);
}
