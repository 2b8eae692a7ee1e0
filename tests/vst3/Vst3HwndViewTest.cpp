// The editor view as a Windows host opens it: attached to the host's HWND,
// driven by the window's own timer while the host pumps its messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "ControlProbe.h"
#include "Vst3TestHost.h"

namespace {

using namespace vst3;
using displaytest::Capture;
using vst3host::EditRecorder;

constexpr ParamID kMasterDrive = 1;

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A top-level window at the screen's origin, as the host's parent.
class HostWindow {
  public:
    HostWindow() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TestHostWindow";
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, L"TestHostWindow", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1600,
                                  1000, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HWND handle() const { return window_; }
    HWND child() const { return GetWindow(window_, GW_CHILD); }

    // The child's pixels as its window DC holds them.
    Capture capture() const {
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

  private:
    HWND window_ = nullptr;
};

class OpenView {
  public:
    OpenView(IEditController* controller, HWND parent) {
        view_ = controller->createView("editor");
        if (view_ == nullptr || view_->isPlatformTypeSupported(kPlatformTypeHWND) != kResultTrue ||
            view_->attached(parent, kPlatformTypeHWND) != kResultOk)
            throw std::runtime_error("the view did not attach");
    }
    ~OpenView() {
        view_->removed();
        view_->release();
    }

  private:
    IPlugView* view_ = nullptr;
};

Capture settled(const HostWindow& host) {
    displaytest::pumpFor(pump, std::chrono::milliseconds(150));
    return host.capture();
}

void send(HWND window, UINT message, int x, int y) {
    PostMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    displaytest::pumpFor(pump, std::chrono::milliseconds(20));
}

TEST(Vst3HwndView, ShowsHostChangesAndReportsADragAsOneGesture) {
    HostWindow host;
    // The handler outlives the instance, which releases it on closing.
    EditRecorder recorder;
    vst3test::Instance instance;
    instance.controller()->setComponentHandler(&recorder);
    OpenView view(instance.controller(), host.handle());
    const Capture opened = settled(host);
    ASSERT_GT(opened.width, 0);
    EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";
    // Away from the default, 0.25.
    instance.controller()->setParamNormalized(kMasterDrive, 0.75);
    EXPECT_NE(settled(host), opened) << "a host's change is shown";

    const auto point = displaytest::pointOnControl(kMasterDrive);
    ASSERT_TRUE(point);
    const auto [x, y] = *point;
    send(host.child(), WM_LBUTTONDOWN, x, y);
    for (int step = 1; step <= 6; ++step) send(host.child(), WM_MOUSEMOVE, x + 10 * step, y - 10 * step);
    send(host.child(), WM_LBUTTONUP, x + 60, y - 60);
    const auto& edits = recorder.edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, EditRecorder::Edit::begin);
    EXPECT_EQ(edits.back().kind, EditRecorder::Edit::end);
    for (std::size_t i = 1; i + 1 < edits.size(); ++i) {
        EXPECT_EQ(edits[i].kind, EditRecorder::Edit::perform);
        EXPECT_EQ(edits[i].id, kMasterDrive);
        EXPECT_GT(edits[i].value, 0.75);
    }
}

TEST(Vst3HwndView, OpensAndClosesTwentyTimes) {
    HostWindow host;
    vst3test::Instance instance;
    for (int i = 0; i < 20; ++i) {
        OpenView view(instance.controller(), host.handle());
        EXPECT_GT(settled(host).distinctColours(), 8u) << "opening " << i;
    }
    EXPECT_EQ(host.child(), nullptr) << "every window is gone";
}

}  // namespace
