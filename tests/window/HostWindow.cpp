#include "HostWindow.h"

#include <chrono>
#include <cstdint>

namespace displaytest {
namespace {

void send(HWND window, UINT message, int x, int y) {
    PostMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    pumpFor(pumpMessages, std::chrono::milliseconds(20));
}

}  // namespace

void pumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HostWindow::HostWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TestHostWindow";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"TestHostWindow", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1600, 1000,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() { DestroyWindow(window_); }

Capture HostWindow::capture() const {
    Capture capture;
    const HWND window = child();
    RECT area{};
    if (window == nullptr || !GetClientRect(window, &area)) return capture;
    capture.width = area.right;
    capture.height = area.bottom;
    BITMAPINFO bitmap{};
    bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
    bitmap.bmiHeader.biWidth = capture.width;
    bitmap.bmiHeader.biHeight = -capture.height;
    bitmap.bmiHeader.biPlanes = 1;
    bitmap.bmiHeader.biBitCount = 32;
    bitmap.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(window);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP section = CreateDIBSection(memory, &bitmap, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < capture.width * capture.height; ++i)
        capture.pixels.push_back(pixels[i] & 0xFFFFFFu);
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return capture;
}

Capture HostWindow::settled() const {
    pumpFor(pumpMessages, std::chrono::milliseconds(150));
    return capture();
}

void HostWindow::drag(int x, int y) const {
    send(child(), WM_LBUTTONDOWN, x, y);
    for (int step = 1; step <= 6; ++step) send(child(), WM_MOUSEMOVE, x + 10 * step, y - 10 * step);
    send(child(), WM_LBUTTONUP, x + 60, y - 60);
}

}  // namespace displaytest
