// The built plug-in as a host sees it, for benchmarks: the library mapped
// with dlopen, its entry "main" called with a host callback, and one effect
// driven only through the interface record (dispatcher, setParameter,
// processReplacing).
#pragma once

#include <cstdint>
#include <string>

#include "binding/AEffect.h"

namespace bench {

// The plug-in file: the PLUGIN_PATH environment variable when set, otherwise
// the file this build produced.
std::string pluginPath();

// Answers the version query with 2400 (a VST 2.4 host) and all else with 0.
vst::IntPtr VST_CALL benchHostCallback(vst::AEffect* effect, std::int32_t opcode,
                                       std::int32_t index, vst::IntPtr value, void* ptr, float opt);

// One dlopen of the plug-in file, closed on destruction. Throws
// std::runtime_error when the file cannot be loaded or exports no "main".
class PluginLibrary final {
  public:
    explicit PluginLibrary(const std::string& path = pluginPath());
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    vst::PluginEntry entry() const { return entry_; }
    void* handle() const { return handle_; }

    // dlclose now; true if the file is then no longer mapped, so that the
    // next PluginLibrary maps and initialises it anew.
    bool unload();

    // Whether the process has the file mapped (dlopen with RTLD_NOLOAD).
    static bool isMapped(const std::string& path);

  private:
    std::string path_;
    void* handle_ = nullptr;
    vst::PluginEntry entry_ = nullptr;
};

// One effect instance made by the library's entry, closed (effClose) on
// destruction. Throws std::runtime_error when the entry returns null.
class LoadedPlugin final {
  public:
    explicit LoadedPlugin(const PluginLibrary& library);
    // Adopts a record that the caller already got from the entry.
    explicit LoadedPlugin(vst::AEffect* record);
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    vst::AEffect* record() const { return effect_; }

    // The set-up a host does before its first block: open, sample rate,
    // block size, mains on (resume).
    void start(float sampleRate, std::int32_t blockSize);

    vst::IntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, vst::IntPtr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    void setParameter(std::int32_t index, float value);
    std::string parameterDisplay(std::int32_t index);

    // One processReplacing call on two channels.
    void processReplacing(const float* inLeft, const float* inRight, float* outLeft,
                          float* outRight, std::int32_t frames) {
        float* inputs[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
        float* outputs[2] = {outLeft, outRight};
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }

  private:
    vst::AEffect* effect_ = nullptr;
};

}  // namespace bench
