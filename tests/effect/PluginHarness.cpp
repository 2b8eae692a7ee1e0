#include "PluginHarness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace testhost {

std::string pluginPath() {
    if (const char* path = std::getenv("PLUGIN_PATH")) return path;
    return PLUGIN_LIBRARY_PATH;
}

PluginLibrary::PluginLibrary(const std::string& path) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path.c_str());
    handle_ = reinterpret_cast<void*>(module);
    if (module != nullptr) {
        entry_ = reinterpret_cast<vst::PluginEntry>(
            reinterpret_cast<void*>(GetProcAddress(module, "main")));
    }
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) entry_ = reinterpret_cast<vst::PluginEntry>(dlsym(handle_, "main"));
#endif
}

PluginLibrary::~PluginLibrary() {
    if (handle_ == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

PluginLibrary& sharedLibrary() {
    static PluginLibrary library(pluginPath());
    if (!library.loaded() || library.entry() == nullptr) {
        throw std::runtime_error("cannot load the plug-in or find its entry: " + pluginPath());
    }
    return library;
}

namespace {
vst::IntPtr versionAnswer = 2400;
}

void setVersionAnswer(vst::IntPtr answer) {
    versionAnswer = answer;
}

vst::IntPtr VST_CALL testHostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, vst::IntPtr,
                                      void*, float) {
    return opcode == vst::audioMasterVersion ? versionAnswer : 0;
}

Plugin::Plugin() {
    effect_ = sharedLibrary().entry()(testHostCallback);
    if (effect_ == nullptr) throw std::runtime_error("the plug-in's entry returned null");
}

Plugin::~Plugin() {
    dispatch(vst::effClose);
}

vst::IntPtr Plugin::dispatch(std::int32_t opcode, std::int32_t index, vst::IntPtr value, void* ptr,
                             float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void Plugin::set(std::int32_t index, float value) {
    effect_->setParameter(effect_, index, value);
}

float Plugin::get(std::int32_t index) {
    return effect_->getParameter(effect_, index);
}

namespace {
std::string query(Plugin& plugin, std::int32_t opcode, std::int32_t index) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    plugin.dispatch(opcode, index, 0, buffer);
    return buffer;
}
}  // namespace

std::string Plugin::name(std::int32_t index) {
    return query(*this, vst::effGetParamName, index);
}
std::string Plugin::label(std::int32_t index) {
    return query(*this, vst::effGetParamLabel, index);
}
std::string Plugin::display(std::int32_t index) {
    return query(*this, vst::effGetParamDisplay, index);
}
std::string Plugin::text(std::int32_t opcode) {
    return query(*this, opcode, 0);
}

void Plugin::process(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                     std::vector<float>& outLeft, std::vector<float>& outRight, bool replace) {
    float* inputs[2] = {const_cast<float*>(inLeft.data()), const_cast<float*>(inRight.data())};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    const auto frames = static_cast<std::int32_t>(inLeft.size());
    if (replace) {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    } else {
        effect_->process(effect_, inputs, outputs, frames);
    }
}

void Plugin::processInBlocks(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                             std::vector<float>& outLeft, std::vector<float>& outRight,
                             std::int32_t blockSize) {
    const std::size_t total = inLeft.size();
    outLeft.assign(total, 0.0f);
    outRight.assign(total, 0.0f);
    for (std::size_t start = 0; start < total; start += static_cast<std::size_t>(blockSize)) {
        const std::size_t frames = std::min(total - start, static_cast<std::size_t>(blockSize));
        float* inputs[2] = {const_cast<float*>(inLeft.data() + start),
                            const_cast<float*>(inRight.data() + start)};
        float* outputs[2] = {outLeft.data() + start, outRight.data() + start};
        effect_->processReplacing(effect_, inputs, outputs, static_cast<std::int32_t>(frames));
    }
}

std::vector<float> sine(double frequency, double amplitude, std::size_t frames, double sampleRate) {
    std::vector<float> samples(frames);
    const double step = 2.0 * 3.14159265358979323846 * frequency / sampleRate;
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(step * static_cast<double>(i)));
    }
    return samples;
}

std::vector<float> noise(std::uint32_t seed, double amplitude, std::size_t frames) {
    std::vector<float> samples(frames);
    std::uint32_t state = seed;
    for (float& sample : samples) {
        state = state * 1103515245u + 12345u;
        const double unit = static_cast<double>(state >> 8) / 16777216.0;  // [0, 1)
        sample = static_cast<float>(amplitude * (2.0 * unit - 1.0));
    }
    return samples;
}

}  // namespace testhost
