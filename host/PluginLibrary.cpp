#include "PluginLibrary.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "HostError.h"

namespace host {

namespace {

// dlsym hands back an object pointer; the entry is a function. POSIX
// guarantees the two convert, the language only through a copy of the bits.
vst::PluginEntry toEntry(void* symbol) {
    vst::PluginEntry entry = nullptr;
    static_assert(sizeof(entry) == sizeof(symbol));
    std::memcpy(&entry, &symbol, sizeof(entry));
    return entry;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        throw HostError("plug-in '" + path + "' does not exist or is not a file");
    }
    // An absolute path, so dlopen never searches the library path for a bare name.
    const std::string absolute = fs::absolute(path, error).string();
    // Lazy, local binding, as DAWs load plug-ins: one plug-in's symbols never
    // resolve another's.
    handle_ = dlopen(absolute.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw HostError("cannot load plug-in '" + path + "': " + (reason ? reason : "unknown"));
    }
    for (const char* name : {"VSTPluginMain", "main"}) {
        if (void* symbol = dlsym(handle_, name)) {
            entry_ = toEntry(symbol);
            return;
        }
    }
    dlclose(handle_);
    throw HostError("'" + path +
                    "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main");
}

PluginLibrary::~PluginLibrary() {
    dlclose(handle_);
}

}  // namespace host
