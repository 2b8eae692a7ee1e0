// The Xlib functions an editor window uses, looked up in libX11 when a window
// opens. The plug-in libraries are not linked with libX11, so they load and
// sound on a machine without X; there a window just fails to open.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace window {

struct XlibApi {
    decltype(&::XOpenDisplay) openDisplay;
    decltype(&::XCloseDisplay) closeDisplay;
    decltype(&::XConnectionNumber) connectionNumber;
    decltype(&::XDefaultScreen) defaultScreen;
    decltype(&::XMatchVisualInfo) matchVisualInfo;
    decltype(&::XCreateColormap) createColormap;
    decltype(&::XFreeColormap) freeColormap;
    decltype(&::XCreateWindow) createWindow;
    decltype(&::XDestroyWindow) destroyWindow;
    decltype(&::XMapWindow) mapWindow;
    decltype(&::XUnmapWindow) unmapWindow;
    decltype(&::XResizeWindow) resizeWindow;
    decltype(&::XSetClassHint) setClassHint;
    decltype(&::XCreateGC) createGC;
    decltype(&::XFreeGC) freeGC;
    decltype(&::XInitImage) initImage;
    decltype(&::XPutImage) putImage;
    decltype(&::XPending) pending;
    decltype(&::XNextEvent) nextEvent;
    decltype(&::XPeekEvent) peekEvent;
    decltype(&::XLookupString) lookupString;
    decltype(&::XSetInputFocus) setInputFocus;
    decltype(&::XSetWMNormalHints) setNormalHints;
    decltype(&::XSetErrorHandler) setErrorHandler;
    decltype(&::XSync) sync;
};

// libX11 while it is open; closing it is the last thing a window does.
class XlibLibrary {
  public:
    // Null when libX11.so.6 cannot be loaded or lacks one of the functions.
    static std::unique_ptr<XlibLibrary> load();
    ~XlibLibrary();
    XlibLibrary(const XlibLibrary&) = delete;
    XlibLibrary& operator=(const XlibLibrary&) = delete;

    const XlibApi& api() const { return api_; }

  private:
    XlibLibrary(void* handle, const XlibApi& api) : handle_(handle), api_(api) {}

    void* handle_;
    XlibApi api_;
};

}  // namespace window
