// The module's exported entry points: the factory, and the load and unload
// calls of each system (nothing to set up or tear down in either).
#include "vst3/PluginFactory.h"

#if defined(_WIN32)
#define VST3_EXPORT
#else
#define VST3_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

VST3_EXPORT vst3::IPluginFactory* GetPluginFactory() {
    return &vst3::pluginFactory();
}

#if defined(_WIN32)
VST3_EXPORT bool InitDll() {
    return true;
}
VST3_EXPORT bool ExitDll() {
    return true;
}
#else
VST3_EXPORT bool ModuleEntry(void*) {
    return true;
}
VST3_EXPORT bool ModuleExit() {
    return true;
}
#endif
}
