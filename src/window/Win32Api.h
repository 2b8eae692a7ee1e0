// The USER32 and GDI32 functions an editor window uses, looked up when a
// window opens, as the X11 window's are: the plug-in DLLs import nothing but
// KERNEL32 and the C runtime.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <memory>

namespace window {

struct Win32Api {
    decltype(&::RegisterClassExW) registerClass;
    decltype(&::UnregisterClassW) unregisterClass;
    decltype(&::LoadCursorW) loadCursor;
    decltype(&::CreateWindowExW) createWindow;
    decltype(&::DestroyWindow) destroyWindow;
    decltype(&::DefWindowProcW) defaultProcedure;
    decltype(&::SetWindowLongPtrW) setWindowLong;
    decltype(&::GetWindowLongPtrW) getWindowLong;
    decltype(&::SetWindowPos) setWindowPos;
    decltype(&::SetTimer) setTimer;
    decltype(&::KillTimer) killTimer;
    decltype(&::InvalidateRect) invalidateRect;
    decltype(&::BeginPaint) beginPaint;
    decltype(&::EndPaint) endPaint;
    decltype(&::SetCapture) setCapture;
    decltype(&::ReleaseCapture) releaseCapture;
    decltype(&::SetFocus) setFocus;
    decltype(&::GetKeyState) getKeyState;
    decltype(&::ScreenToClient) screenToClient;
    decltype(&::StretchDIBits) stretchDIBits;
};

// USER32 and GDI32 while they are open.
class Win32Library {
  public:
    // Null when either cannot be loaded or lacks one of the functions.
    static std::unique_ptr<Win32Library> load();
    ~Win32Library();
    Win32Library(const Win32Library&) = delete;
    Win32Library& operator=(const Win32Library&) = delete;

    const Win32Api& api() const { return api_; }

  private:
    Win32Library(HMODULE user, HMODULE gdi, const Win32Api& api)
        : user_(user), gdi_(gdi), api_(api) {}

    HMODULE user_;
    HMODULE gdi_;
    Win32Api api_;
};

}  // namespace window
