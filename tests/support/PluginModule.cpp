#include "PluginModule.h"

#include <cstring>
#include <stdexcept>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hosttest {

namespace {

// The loaders hand back a data or generic function pointer; the entry's type
// is only reached through a copy of the bits.
template <typename Symbol>
vst::PluginEntry toEntry(Symbol symbol) {
    vst::PluginEntry entry = nullptr;
    static_assert(sizeof(entry) == sizeof(symbol));
    std::memcpy(&entry, &symbol, sizeof(entry));
    return entry;
}

#if defined(_WIN32)

void* openLibrary(const std::string& path) {
    return LoadLibraryA(path.c_str());
}
vst::PluginEntry findEntry(void* handle) {
    return toEntry(GetProcAddress(static_cast<HMODULE>(handle), "main"));
}
std::string lastError() {
    return "Windows error " + std::to_string(GetLastError());
}
void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

#else

void* openLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
}
vst::PluginEntry findEntry(void* handle) {
    return toEntry(dlsym(handle, "main"));
}
std::string lastError() {
    const char* reason = dlerror();
    return reason != nullptr ? reason : "unknown error";
}
void closeLibrary(void* handle) {
    dlclose(handle);
}

#endif

}  // namespace

PluginModule::PluginModule(const std::string& path) {
    handle_ = openLibrary(path);
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load " + path + ": " + lastError());
    }
    entry_ = findEntry(handle_);
    if (entry_ == nullptr) {
        closeLibrary(handle_);
        throw std::runtime_error(path + " exports no \"main\"");
    }
}

PluginModule::~PluginModule() {
    closeLibrary(handle_);
}

vst::IntPtr VST_CALL testHostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, vst::IntPtr,
                                      void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace hosttest
