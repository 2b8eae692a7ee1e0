#include "window/XlibApi.h"

#include <dlfcn.h>

namespace window {
namespace {

template <typename Function>
bool find(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

}  // namespace

std::unique_ptr<XlibLibrary> XlibLibrary::load() {
    void* handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    XlibApi api{};
    const bool complete =
        find(handle, "XOpenDisplay", api.openDisplay) &&
        find(handle, "XCloseDisplay", api.closeDisplay) &&
        find(handle, "XConnectionNumber", api.connectionNumber) &&
        find(handle, "XDefaultScreen", api.defaultScreen) &&
        find(handle, "XMatchVisualInfo", api.matchVisualInfo) &&
        find(handle, "XCreateColormap", api.createColormap) &&
        find(handle, "XFreeColormap", api.freeColormap) &&
        find(handle, "XCreateWindow", api.createWindow) &&
        find(handle, "XDestroyWindow", api.destroyWindow) &&
        find(handle, "XMapWindow", api.mapWindow) &&
        find(handle, "XUnmapWindow", api.unmapWindow) &&
        find(handle, "XResizeWindow", api.resizeWindow) &&
        find(handle, "XSetClassHint", api.setClassHint) &&
        find(handle, "XCreateGC", api.createGC) && find(handle, "XFreeGC", api.freeGC) &&
        find(handle, "XInitImage", api.initImage) && find(handle, "XPutImage", api.putImage) &&
        find(handle, "XPending", api.pending) && find(handle, "XNextEvent", api.nextEvent) &&
        find(handle, "XPeekEvent", api.peekEvent) &&
        find(handle, "XLookupString", api.lookupString) &&
        find(handle, "XSetInputFocus", api.setInputFocus) &&
        find(handle, "XSetWMNormalHints", api.setNormalHints) &&
        find(handle, "XSetErrorHandler", api.setErrorHandler) && find(handle, "XSync", api.sync);
    if (!complete) {
        dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<XlibLibrary>(new XlibLibrary(handle, api));
}

XlibLibrary::~XlibLibrary() { dlclose(handle_); }

}  // namespace window
