#include "window/Win32Window.h"

#include <windowsx.h>

#include <string>

#include "editor/Editor.h"
#include "window/Win32Api.h"

namespace window {
namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMilliseconds = 33;

// The class is this module's: a module loaded again elsewhere registers its
// own, and the last window of a module unregisters it. USER32 and GDI32 stay
// open as long as a window does (GUI thread only).
const wchar_t kClassName[] = L"TesselCompressorEditor";
int openWindows = 0;
std::unique_ptr<Win32Library> library;

const Win32Api& api() { return library->api(); }

HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        api().setWindowLong(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(api().getWindowLong(window, GWLP_USERDATA));
    if (self == nullptr) return api().defaultProcedure(window, message, wParam, lParam);
    return self->handleMessage(window, message, wParam, lParam);
}

unsigned modifiers() {
    unsigned result = 0;
    if (api().getKeyState(VK_SHIFT) < 0) result |= editor::kShift;
    if (api().getKeyState(VK_CONTROL) < 0) result |= editor::kControl;
    if (api().getKeyState(VK_MENU) < 0) result |= editor::kAlt;
    return result;
}

editor::Key keyOf(WPARAM key) {
    switch (key) {
        case VK_TAB:
            return api().getKeyState(VK_SHIFT) < 0 ? editor::Key::backTab : editor::Key::tab;
        case VK_LEFT: return editor::Key::left;
        case VK_RIGHT: return editor::Key::right;
        case VK_UP: return editor::Key::up;
        case VK_DOWN: return editor::Key::down;
        case VK_HOME: return editor::Key::home;
        case VK_END: return editor::Key::end;
        case VK_PRIOR: return editor::Key::pageUp;
        case VK_NEXT: return editor::Key::pageDown;
        case VK_RETURN: return editor::Key::enter;
        case VK_ESCAPE: return editor::Key::escape;
        case VK_BACK: return editor::Key::backspace;
        case VK_DELETE: return editor::Key::del;
        default: return editor::Key::other;
    }
}

// One UTF-16 unit of a typed character as UTF-8; control characters and
// surrogate halves are no text.
std::string printableUtf8(WPARAM unit) {
    const auto c = static_cast<unsigned>(unit);
    std::string utf8;
    if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c < 0xE000) || c > 0xFFFF) return utf8;
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        utf8 += static_cast<char>(0xE0 | (c >> 12));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
    return utf8;
}

}  // namespace

std::unique_ptr<Win32Window> Win32Window::open(void* parent, editor::Editor& editor,
                                               std::function<void()> onFrame) {
    if (parent == nullptr) return nullptr;
    const HMODULE module = thisModule();
    if (openWindows == 0) {
        library = Win32Library::load();
        if (library == nullptr) return nullptr;
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = module;
        windowClass.hCursor = api().loadCursor(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = kClassName;
        if (api().registerClass(&windowClass) == 0) {
            library.reset();
            return nullptr;
        }
    }
    ++openWindows;
    std::unique_ptr<Win32Window> window(new Win32Window(editor, std::move(onFrame)));
    editor.draw();
    window->window_ = api().createWindow(
        0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, editor.width(),
        editor.height(), static_cast<HWND>(parent), nullptr, module, window.get());
    if (window->window_ == nullptr) return nullptr;
    api().setTimer(static_cast<HWND>(window->window_), kFrameTimer, kFrameMilliseconds, nullptr);
    return window;
}

Win32Window::Win32Window(editor::Editor& editor, std::function<void()> onFrame)
    : editor_(editor), onFrame_(std::move(onFrame)), lastFrame_(std::chrono::steady_clock::now()) {}

Win32Window::~Win32Window() {
    if (window_ != nullptr) {
        const auto window = static_cast<HWND>(window_);
        api().killTimer(window, kFrameTimer);
        api().setWindowLong(window, GWLP_USERDATA, 0);
        api().destroyWindow(window);
    }
    if (--openWindows == 0) {
        api().unregisterClass(kClassName, thisModule());
        library.reset();
    }
}

void Win32Window::fitEditor() {
    if (window_ == nullptr) return;
    api().setWindowPos(static_cast<HWND>(window_), nullptr, 0, 0, editor_.width(),
                       editor_.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    flush();
}

void Win32Window::setVisible(bool visible) {
    if (window_ == nullptr) return;
    api().setWindowPos(static_cast<HWND>(window_), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                           (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Win32Window::flush() {
    const editor::Rect changed = editor_.draw();
    if (changed.width <= 0 || changed.height <= 0 || window_ == nullptr) return;
    const RECT area{changed.x, changed.y, changed.x + changed.width, changed.y + changed.height};
    api().invalidateRect(static_cast<HWND>(window_), &area, FALSE);
}

void Win32Window::frame() {
    if (onFrame_) onFrame_();
    const auto now = std::chrono::steady_clock::now();
    editor_.tick(std::chrono::duration<double>(now - lastFrame_).count());
    lastFrame_ = now;
    flush();
}

std::intptr_t Win32Window::handleMessage(void* handle, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    const auto window = static_cast<HWND>(handle);
    switch (message) {
        case WM_NCCREATE:
            // Before CreateWindowExW returns: the messages that follow need the handle.
            window_ = handle;
            break;
        case WM_TIMER:
            if (wParam == kFrameTimer) frame();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = api().beginPaint(window, &paint);
            BITMAPINFO bitmap{};
            bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
            bitmap.bmiHeader.biWidth = editor_.width();
            // Negative: the rows run from the top, as the editor's do.
            bitmap.bmiHeader.biHeight = -editor_.height();
            bitmap.bmiHeader.biPlanes = 1;
            bitmap.bmiHeader.biBitCount = 32;
            bitmap.bmiHeader.biCompression = BI_RGB;
            const RECT& area = paint.rcPaint;
            api().stretchDIBits(dc, area.left, area.top, area.right - area.left,
                                area.bottom - area.top, area.left, area.top,
                                area.right - area.left, area.bottom - area.top, editor_.pixels(),
                                &bitmap, DIB_RGB_COLORS, SRCCOPY);
            api().endPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            api().setCapture(window);
            api().setFocus(window);
            editor_.pointerDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), modifiers(),
                                message == WM_LBUTTONDBLCLK);
            flush();
            return 0;
        case WM_MOUSEMOVE:
            editor_.pointerMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), modifiers());
            flush();
            return 0;
        case WM_LBUTTONUP:
            api().releaseCapture();
            editor_.pointerUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), modifiers());
            flush();
            return 0;
        case WM_MOUSEWHEEL: {
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            api().screenToClient(window, &point);
            editor_.wheel(point.x, point.y, GET_WHEEL_DELTA_WPARAM(wParam) / double{WHEEL_DELTA},
                          modifiers());
            flush();
            return 0;
        }
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_KEYDOWN: {
            const editor::Key key = keyOf(wParam);
            if (key == editor::Key::other) break;
            editor_.key(key, modifiers());
            flush();
            return 0;
        }
        case WM_CHAR: {
            const std::string text = printableUtf8(wParam);
            if (text.empty()) return 0;
            editor_.text(text);
            flush();
            return 0;
        }
        case WM_NCDESTROY:
            // Gone with the parent: nothing left to destroy.
            window_ = nullptr;
            break;
        default:
            break;
    }
    return api().defaultProcedure(window, message, wParam, lParam);
}

}  // namespace window
