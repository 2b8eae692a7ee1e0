#include "PluginLibrary.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <filesystem>
#include <system_error>

#include "FpuState.h"
#include "HostError.h"

namespace host {

namespace {

// The loader hands back an object or a generic function pointer; the entry
// has its own function type. The two convert only through a copy of the bits.
template <typename Symbol>
vst::PluginEntry toEntry(Symbol symbol) {
    vst::PluginEntry entry = nullptr;
    static_assert(sizeof(entry) == sizeof(symbol));
    std::memcpy(&entry, &symbol, sizeof(entry));
    return entry;
}

#if defined(_WIN32)
void* openLibrary(const std::string& path, std::string& reason) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) reason = "error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
}

vst::PluginEntry findEntry(void* handle, const char* name) {
    return toEntry(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openLibrary(const std::string& path, std::string& reason) {
    // Lazy, local binding, as DAWs load plug-ins: one plug-in's symbols never
    // resolve another's.
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        reason = why != nullptr ? why : "unknown";
    }
    return handle;
}

vst::PluginEntry findEntry(void* handle, const char* name) {
    return toEntry(dlsym(handle, name));
}

void closeLibrary(void* handle) {
    dlclose(handle);
}
#endif

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw HostError("plug-in '" + path + "' does not exist or is not a file");
    }
    // The state to restore after a plug-in changed it is the one from before
    // the first plug-in was loaded.
    const FpuState& before = FpuState::processDefault();
    // An absolute path, so the loader never searches its library path for a bare name.
    const std::string absolute = fs::absolute(path, error).string();
    std::string reason;
    handle_ = openLibrary(absolute, reason);
    before.restore();
    if (handle_ == nullptr) {
        throw HostError("cannot load plug-in '" + path + "': " + reason);
    }
    for (const char* name : {"VSTPluginMain", "main"}) {
        entry_ = findEntry(handle_, name);
        if (entry_ != nullptr) return;
    }
    closeLibrary(handle_);
    throw HostError("'" + path +
                    "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
}

PluginLibrary::~PluginLibrary() {
    if (handle_ != nullptr) closeLibrary(handle_);
}

bool PluginLibrary::unload() {
    if (handle_ != nullptr) {
        closeLibrary(handle_);
        handle_ = nullptr;
        entry_ = nullptr;
    }
    return !isMapped(path_);
}

bool PluginLibrary::isMapped(const std::string& path) {
#if defined(_WIN32)
    return GetModuleHandleA(path.c_str()) != nullptr;
#else
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);  // drops the reference the query took
    return true;
#endif
}

}  // namespace host
