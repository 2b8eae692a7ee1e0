// A minimal host for tests: loads the built plug-in library the way a host
// does and drives the effect only through the interface record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "binding/AEffect.h"

namespace testhost {

// Path of the plug-in library under test: the PLUGIN_PATH environment
// variable when set, otherwise the path the build compiled in.
std::string pluginPath();

class PluginLibrary {
  public:
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    vst::PluginEntry entry() const { return entry_; }

  private:
    void* handle_ = nullptr;
    vst::PluginEntry entry_ = nullptr;
};

// The library shared by all tests of one executable, loaded once.
PluginLibrary& sharedLibrary();

// Host callback that answers the version query with versionAnswer and every
// other request with 0.
void setVersionAnswer(vst::IntPtr answer);
vst::IntPtr VST_CALL testHostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                      vst::IntPtr value, void* ptr, float opt);

// One effect instance, closed on destruction.
class Plugin {
  public:
    Plugin();
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    vst::AEffect* record() const { return effect_; }
    vst::IntPtr dispatch(std::int32_t opcode, std::int32_t index = 0, vst::IntPtr value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
    void set(std::int32_t index, float value);
    float get(std::int32_t index);
    std::string name(std::int32_t index);
    std::string label(std::int32_t index);
    std::string display(std::int32_t index);
    std::string text(std::int32_t opcode);

    // Process a stereo block; replacing or accumulating into out.
    void process(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                 std::vector<float>& outLeft, std::vector<float>& outRight, bool replace = true);
    void processInBlocks(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                         std::vector<float>& outLeft, std::vector<float>& outRight,
                         std::int32_t blockSize);

  private:
    vst::AEffect* effect_ = nullptr;
};

// Deterministic test signals.
std::vector<float> sine(double frequency, double amplitude, std::size_t frames,
                        double sampleRate = 44100.0);
std::vector<float> noise(std::uint32_t seed, double amplitude, std::size_t frames);

}  // namespace testhost
