#include "LoadedPlugin.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace bench {

std::string pluginPath() {
    if (const char* path = std::getenv("PLUGIN_PATH")) return path;
    return PLUGIN_LIBRARY_PATH;
}

vst::IntPtr VST_CALL benchHostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t,
                                       vst::IntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw std::runtime_error("cannot load " + path + ": " + (why != nullptr ? why : "?"));
    }
    entry_ = reinterpret_cast<vst::PluginEntry>(dlsym(handle_, "main"));
    if (entry_ == nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
        throw std::runtime_error(path + " exports no \"main\"");
    }
}

PluginLibrary::~PluginLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

bool PluginLibrary::unload() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
        entry_ = nullptr;
    }
    return !isMapped(path_);
}

bool PluginLibrary::isMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);  // drops the reference the query took
    return true;
}

LoadedPlugin::LoadedPlugin(const PluginLibrary& library)
    : LoadedPlugin(library.entry()(benchHostCallback)) {}

LoadedPlugin::LoadedPlugin(vst::AEffect* record) : effect_(record) {
    if (effect_ == nullptr) throw std::runtime_error("the plug-in's entry returned null");
}

LoadedPlugin::~LoadedPlugin() {
    dispatch(vst::effClose);
}

void LoadedPlugin::start(float sampleRate, std::int32_t blockSize) {
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(vst::effSetBlockSize, 0, blockSize);
    dispatch(vst::effMainsChanged, 0, 1);
}

vst::IntPtr LoadedPlugin::dispatch(std::int32_t opcode, std::int32_t index, vst::IntPtr value,
                                   void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void LoadedPlugin::setParameter(std::int32_t index, float value) {
    effect_->setParameter(effect_, index, value);
}

std::string LoadedPlugin::parameterDisplay(std::int32_t index) {
    // Larger than any text the interface allows, and always terminated.
    char text[256];
    std::memset(text, 0, sizeof text);
    dispatch(vst::effGetParamDisplay, index, 0, text);
    text[sizeof text - 1] = '\0';
    return text;
}

}  // namespace bench
