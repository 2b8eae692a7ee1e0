// A plug-in library loaded the way a host loads it: dlopen on Linux,
// LoadLibrary on Windows, and the exported entry "main" looked up by name.
// The host-level tests and the render tool use it on every platform.
#pragma once

#include <string>

#include "binding/AEffect.h"

namespace hosttest {

class PluginModule final {
  public:
    // Loads the library and finds "main"; throws std::runtime_error with the
    // reason when either fails.
    explicit PluginModule(const std::string& path);
    ~PluginModule();

    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    vst::PluginEntry entry() const { return entry_; }

  private:
    void* handle_ = nullptr;
    vst::PluginEntry entry_ = nullptr;
};

// The host side of the callback: answers the version query as a VST 2.4 host
// does and every other request with 0.
vst::IntPtr VST_CALL testHostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                      vst::IntPtr value, void* ptr, float opt);

}  // namespace hosttest
