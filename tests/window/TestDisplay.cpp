#include "TestDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>

namespace displaytest {
namespace {

int errorCount = 0;

int countError(Display*, XErrorEvent*) {
    ++errorCount;
    return 0;
}

}  // namespace

TestDisplay::TestDisplay() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) throw std::runtime_error("no X display (DISPLAY unset?)");
    errorCount = 0;
    XSetErrorHandler(countError);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x404040;
    const int screen = DefaultScreen(display_);
    parent_ = XCreateWindow(display_, RootWindow(display_, screen), 0, 0, 1600, 1000, 0,
                            CopyFromParent, InputOutput, nullptr,
                            CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display_, parent_);
    sync();
}

TestDisplay::~TestDisplay() {
    XDestroyWindow(display_, parent_);
    XCloseDisplay(display_);
    XSetErrorHandler(nullptr);
}

int TestDisplay::errors() const {
    XSync(display_, False);
    return errorCount;
}

void TestDisplay::sync() { XSync(display_, False); }

unsigned long TestDisplay::child() {
    sync();
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, parent_, &root, &parent, &children, &count);
    const unsigned long only = count == 1 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return only;
}

Capture TestDisplay::capture(unsigned long window) {
    sync();
    Capture capture;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0 ||
        attributes.map_state != IsViewable)
        return capture;
    XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return capture;
    capture.width = attributes.width;
    capture.height = attributes.height;
    capture.pixels.reserve(static_cast<std::size_t>(capture.width) *
                           static_cast<std::size_t>(capture.height));
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x)
            capture.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) &
                                     0xFFFFFFu);
    XDestroyImage(image);
    return capture;
}

void TestDisplay::drag(int fromX, int fromY, int toX, int toY,
                       const std::function<void()>& pump) {
    const auto step = [&](auto&& send) {
        send();
        sync();
        pumpFor(pump, std::chrono::milliseconds(20));
    };
    step([&] { XTestFakeMotionEvent(display_, -1, fromX, fromY, CurrentTime); });
    step([&] { XTestFakeButtonEvent(display_, 1, True, CurrentTime); });
    constexpr int kSteps = 8;
    for (int i = 1; i <= kSteps; ++i) {
        step([&] {
            XTestFakeMotionEvent(display_, -1, fromX + (toX - fromX) * i / kSteps,
                                 fromY + (toY - fromY) * i / kSteps, CurrentTime);
        });
    }
    step([&] { XTestFakeButtonEvent(display_, 1, False, CurrentTime); });
}

void TestDisplay::typeKey(unsigned long keysym, const std::function<void()>& pump) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    for (const Bool down : {True, False}) {
        XTestFakeKeyEvent(display_, code, down, CurrentTime);
        sync();
        pumpFor(pump, std::chrono::milliseconds(20));
    }
}

}  // namespace displaytest
