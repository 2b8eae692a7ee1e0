#include "window/Win32Api.h"

#include <cstring>

namespace window {
namespace {

template <typename Function>
bool find(HMODULE module, const char* name, Function& function) {
    const FARPROC found = GetProcAddress(module, name);
    static_assert(sizeof function == sizeof found);
    std::memcpy(&function, &found, sizeof function);
    return function != nullptr;
}

// The pointer-sized window data functions are macros for the 32-bit ones on 32-bit Windows.
#if defined(_WIN64)
constexpr const char* kSetWindowLong = "SetWindowLongPtrW";
constexpr const char* kGetWindowLong = "GetWindowLongPtrW";
#else
constexpr const char* kSetWindowLong = "SetWindowLongW";
constexpr const char* kGetWindowLong = "GetWindowLongW";
#endif

}  // namespace

std::unique_ptr<Win32Library> Win32Library::load() {
    const HMODULE user = LoadLibraryW(L"user32.dll");
    const HMODULE gdi = LoadLibraryW(L"gdi32.dll");
    Win32Api api{};
    const bool complete =
        user != nullptr && gdi != nullptr && find(user, "RegisterClassExW", api.registerClass) &&
        find(user, "UnregisterClassW", api.unregisterClass) &&
        find(user, "LoadCursorW", api.loadCursor) &&
        find(user, "CreateWindowExW", api.createWindow) &&
        find(user, "DestroyWindow", api.destroyWindow) &&
        find(user, "DefWindowProcW", api.defaultProcedure) &&
        find(user, kSetWindowLong, api.setWindowLong) &&
        find(user, kGetWindowLong, api.getWindowLong) &&
        find(user, "SetWindowPos", api.setWindowPos) && find(user, "SetTimer", api.setTimer) &&
        find(user, "KillTimer", api.killTimer) &&
        find(user, "InvalidateRect", api.invalidateRect) &&
        find(user, "BeginPaint", api.beginPaint) && find(user, "EndPaint", api.endPaint) &&
        find(user, "SetCapture", api.setCapture) &&
        find(user, "ReleaseCapture", api.releaseCapture) && find(user, "SetFocus", api.setFocus) &&
        find(user, "GetKeyState", api.getKeyState) &&
        find(user, "ScreenToClient", api.screenToClient) &&
        find(gdi, "StretchDIBits", api.stretchDIBits);
    if (!complete) {
        if (user != nullptr) FreeLibrary(user);
        if (gdi != nullptr) FreeLibrary(gdi);
        return nullptr;
    }
    return std::unique_ptr<Win32Library>(new Win32Library(user, gdi, api));
}

Win32Library::~Win32Library() {
    FreeLibrary(gdi_);
    FreeLibrary(user_);
}

}  // namespace window
