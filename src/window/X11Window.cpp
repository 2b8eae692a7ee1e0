#include "window/X11Window.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "editor/Editor.h"
#include "window/XlibApi.h"

namespace window {
namespace {

// X errors of our own requests, which Xlib's default handler would answer by
// ending the host: caught while a trap is set (on the GUI thread, the only
// one that opens, drives and closes windows).
Display* trappedDisplay = nullptr;
int trappedErrors = 0;
XErrorHandler hostHandler = nullptr;

int countTrappedError(Display* display, XErrorEvent* error) {
    if (display == trappedDisplay) {
        ++trappedErrors;
        return 0;
    }
    return hostHandler != nullptr ? hostHandler(display, error) : 0;
}

// Errors of the requests made while it lives (a parent or a window that is
// gone, a focus it cannot take) are counted instead of reported; the host's
// handler is back afterwards. Every request of ours is made under one, so
// none of our errors is pending when it starts.
class ErrorTrap {
  public:
    ErrorTrap(const XlibApi& api, Display* display) : api_(api), display_(display) {
        trappedDisplay = display_;
        trappedErrors = 0;
        hostHandler = api_.setErrorHandler(countTrappedError);
    }
    ~ErrorTrap() {
        api_.sync(display_, False);
        api_.setErrorHandler(hostHandler);
        trappedDisplay = nullptr;
        hostHandler = nullptr;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits for the server's answers so far: true if none was an error.
    bool clean() {
        api_.sync(display_, False);
        return trappedErrors == 0;
    }

  private:
    const XlibApi& api_;
    Display* display_;
};

unsigned modifiersOf(unsigned state) {
    unsigned modifiers = 0;
    if ((state & ShiftMask) != 0) modifiers |= editor::kShift;
    if ((state & ControlMask) != 0) modifiers |= editor::kControl;
    if ((state & Mod1Mask) != 0) modifiers |= editor::kAlt;
    return modifiers;
}

editor::Key keyOf(KeySym symbol) {
    switch (symbol) {
        case XK_Tab: return editor::Key::tab;
        case XK_ISO_Left_Tab: return editor::Key::backTab;
        case XK_Left: case XK_KP_Left: return editor::Key::left;
        case XK_Right: case XK_KP_Right: return editor::Key::right;
        case XK_Up: case XK_KP_Up: return editor::Key::up;
        case XK_Down: case XK_KP_Down: return editor::Key::down;
        case XK_Home: case XK_KP_Home: return editor::Key::home;
        case XK_End: case XK_KP_End: return editor::Key::end;
        case XK_Page_Up: case XK_KP_Page_Up: return editor::Key::pageUp;
        case XK_Page_Down: case XK_KP_Page_Down: return editor::Key::pageDown;
        case XK_Return: case XK_KP_Enter: return editor::Key::enter;
        case XK_Escape: return editor::Key::escape;
        case XK_BackSpace: return editor::Key::backspace;
        case XK_Delete: case XK_KP_Delete: return editor::Key::del;
        default: return editor::Key::other;
    }
}

// XLookupString's characters are Latin-1; the editor takes UTF-8. Control
// characters are no text.
std::string printableUtf8(const char* latin1, int count) {
    std::string utf8;
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(latin1[i]);
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) continue;
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

bool nativeIsLittleEndian() {
    const std::uint32_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// Presses closer than this in time (ms) and space (pixels) make a double click.
constexpr Time kDoubleClickTime = 400;
constexpr int kDoubleClickDistance = 4;

}  // namespace

struct X11Window::Connection {
    std::unique_ptr<XlibLibrary> library;
    Display* display = nullptr;
    Colormap colormap = 0;
    Window window = 0;
    GC gc = nullptr;
    XImage image{};
    // The window is gone with its parent: nothing more to draw or destroy.
    bool destroyed = false;
    Time lastPress = 0;
    int lastPressX = -100, lastPressY = -100;

    const XlibApi& api() const { return library->api(); }

    ~Connection() {
        if (display == nullptr) return;
        {
            ErrorTrap trap(api(), display);
            if (gc != nullptr) api().freeGC(display, gc);
            if (window != 0 && !destroyed) api().destroyWindow(display, window);
            if (colormap != 0) api().freeColormap(display, colormap);
        }
        api().closeDisplay(display);
    }

    // The editor's pixels as an image the server takes in its depth-24 format.
    void describeImage(const editor::Editor& editor) {
        image = XImage{};
        image.width = editor.width();
        image.height = editor.height();
        image.format = ZPixmap;
        image.data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(editor.pixels()));
        image.byte_order = nativeIsLittleEndian() ? LSBFirst : MSBFirst;
        image.bitmap_unit = 32;
        image.bitmap_bit_order = image.byte_order;
        image.bitmap_pad = 32;
        image.depth = 24;
        image.bytes_per_line = image.width * 4;
        image.bits_per_pixel = 32;
        image.red_mask = 0xFF0000;
        image.green_mask = 0x00FF00;
        image.blue_mask = 0x0000FF;
        api().initImage(&image);
    }

    // Hosts size their socket from the hints; the window has one size per scale.
    void hintSize(int width, int height) {
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize | PBaseSize;
        hints.min_width = hints.max_width = hints.base_width = width;
        hints.min_height = hints.max_height = hints.base_height = height;
        api().setNormalHints(display, window, &hints);
    }

    void show(int x, int y, int width, int height) {
        const int left = std::max(x, 0), top = std::max(y, 0);
        const int right = std::min(x + width, image.width);
        const int bottom = std::min(y + height, image.height);
        if (destroyed || right <= left || bottom <= top) return;
        api().putImage(display, window, gc, &image, left, top, left, top,
                       static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top));
    }
};

std::unique_ptr<X11Window> X11Window::open(unsigned long parent, editor::Editor& editor) {
    if (parent == 0) return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->library = XlibLibrary::load();
    if (connection->library == nullptr) return nullptr;
    const XlibApi& api = connection->api();
    connection->display = api.openDisplay(nullptr);
    if (connection->display == nullptr) return nullptr;
    Display* display = connection->display;

    XVisualInfo visual{};
    if (api.matchVisualInfo(display, api.defaultScreen(display), 24, TrueColor, &visual) == 0 ||
        visual.red_mask != 0xFF0000 || visual.green_mask != 0x00FF00 ||
        visual.blue_mask != 0x0000FF)
        return nullptr;

    ErrorTrap trap(api, display);
    connection->colormap = api.createColormap(display, parent, visual.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = connection->colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                            PointerMotionMask | KeyPressMask | StructureNotifyMask;
    connection->window = api.createWindow(
        display, parent, 0, 0, static_cast<unsigned>(editor.width()),
        static_cast<unsigned>(editor.height()), 0, visual.depth, InputOutput, visual.visual,
        CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    char name[] = "TesselCompressor";
    XClassHint classHint{name, name};
    api.setClassHint(display, connection->window, &classHint);
    connection->hintSize(editor.width(), editor.height());
    connection->gc = api.createGC(display, connection->window, 0, nullptr);
    connection->describeImage(editor);
    editor.draw();
    api.mapWindow(display, connection->window);
    if (!trap.clean()) {
        // The window, if made, went with the failed parent.
        connection->destroyed = true;
        return nullptr;
    }
    return std::unique_ptr<X11Window>(new X11Window(std::move(connection), editor));
}

X11Window::X11Window(std::unique_ptr<Connection> connection, editor::Editor& editor)
    : connection_(std::move(connection)), editor_(editor),
      lastTick_(std::chrono::steady_clock::now()) {}

X11Window::~X11Window() = default;

unsigned long X11Window::id() const { return connection_->window; }

int X11Window::descriptor() const {
    return connection_->api().connectionNumber(connection_->display);
}

void X11Window::dispatch() {
    Connection& c = *connection_;
    const XlibApi& api = c.api();
    ErrorTrap trap(api, c.display);
    while (api.pending(c.display) > 0) {
        XEvent event;
        api.nextEvent(c.display, &event);
        switch (event.type) {
            case Expose:
                c.show(event.xexpose.x, event.xexpose.y, event.xexpose.width,
                       event.xexpose.height);
                break;
            case ButtonPress: {
                const XButtonEvent& press = event.xbutton;
                const unsigned modifiers = modifiersOf(press.state);
                if (press.button == Button1) {
                    const bool doubleClick = press.time - c.lastPress < kDoubleClickTime &&
                                             std::abs(press.x - c.lastPressX) <= kDoubleClickDistance &&
                                             std::abs(press.y - c.lastPressY) <= kDoubleClickDistance;
                    // A third press starts a new pair.
                    c.lastPress = doubleClick ? 0 : press.time;
                    c.lastPressX = press.x;
                    c.lastPressY = press.y;
                    api.setInputFocus(c.display, c.window, RevertToParent, press.time);
                    editor_.pointerDown(press.x, press.y, modifiers, doubleClick);
                } else if (press.button == Button4 || press.button == Button5) {
                    editor_.wheel(press.x, press.y, press.button == Button4 ? 1.0 : -1.0,
                                  modifiers);
                }
                break;
            }
            case ButtonRelease:
                if (event.xbutton.button == Button1)
                    editor_.pointerUp(event.xbutton.x, event.xbutton.y,
                                      modifiersOf(event.xbutton.state));
                break;
            case MotionNotify: {
                // Only the latest of a run of motions matters.
                XEvent next;
                if (api.pending(c.display) > 0 && (api.peekEvent(c.display, &next), next.type == MotionNotify))
                    break;
                editor_.pointerMove(event.xmotion.x, event.xmotion.y,
                                    modifiersOf(event.xmotion.state));
                break;
            }
            case KeyPress: {
                char characters[16];
                KeySym symbol = NoSymbol;
                const int count = api.lookupString(&event.xkey, characters, sizeof characters,
                                                   &symbol, nullptr);
                const editor::Key key = keyOf(symbol);
                if (key != editor::Key::other) {
                    editor_.key(key, modifiersOf(event.xkey.state));
                } else {
                    const std::string text = printableUtf8(characters, count);
                    if (!text.empty()) editor_.text(text);
                }
                break;
            }
            case DestroyNotify:
                if (event.xdestroywindow.window == c.window) c.destroyed = true;
                break;
            default:
                break;
        }
    }
    const editor::Rect changed = editor_.draw();
    c.show(changed.x, changed.y, changed.width, changed.height);
}

void X11Window::tick() {
    const auto now = std::chrono::steady_clock::now();
    editor_.tick(std::chrono::duration<double>(now - lastTick_).count());
    lastTick_ = now;
    dispatch();
}

void X11Window::setVisible(bool visible) {
    Connection& c = *connection_;
    if (c.destroyed) return;
    {
        ErrorTrap trap(c.api(), c.display);
        if (visible) {
            c.api().mapWindow(c.display, c.window);
        } else {
            c.api().unmapWindow(c.display, c.window);
        }
    }
    dispatch();
}

void X11Window::fitEditor() {
    Connection& c = *connection_;
    c.describeImage(editor_);
    if (c.destroyed) return;
    {
        ErrorTrap trap(c.api(), c.display);
        c.api().resizeWindow(c.display, c.window, static_cast<unsigned>(editor_.width()),
                             static_cast<unsigned>(editor_.height()));
        c.hintSize(editor_.width(), editor_.height());
    }
    dispatch();
}

}  // namespace window
