// A VST 2 plug-in's shared library, open for as long as the object lives.
#pragma once

#include <string>

#include "binding/AEffect.h"

namespace host {

class PluginLibrary final {
  public:
    // Opens the library (dlopen, or LoadLibrary on Windows) and finds its
    // entry: "VSTPluginMain" first, then "main", as hosts do. Throws HostError
    // when either step fails.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();

    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    vst::PluginEntry entry() const { return entry_; }
    const std::string& path() const { return path_; }
    // The operating system's handle of the open library.
    void* handle() const { return handle_; }

    // Closes the library now; true if the process then no longer has the file
    // mapped, so that the next PluginLibrary maps and initialises it anew.
    bool unload();
    // Whether the process has the file mapped.
    static bool isMapped(const std::string& path);

  private:
    std::string path_;
    void* handle_ = nullptr;
    vst::PluginEntry entry_ = nullptr;
};

}  // namespace host
