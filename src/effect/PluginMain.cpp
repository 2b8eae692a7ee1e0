#include <new>

#include "effect/CompressorEffect.h"
#include "platform/PluginExport.h"

extern "C" vst::AEffect* VST_CALL pluginMain(vst::HostCallback hostCallback) {
    // Without a callback the host's version cannot be asked; treat it like a
    // host that answers 0 rather than calling through a null pointer.
    if (hostCallback == nullptr) return nullptr;
    try {
        if (hostCallback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
            return nullptr;
        }
        auto* effect = new (std::nothrow) effect::CompressorEffect(hostCallback);
        return effect != nullptr ? effect->record() : nullptr;
    } catch (...) {
        // No exception may cross into a host built with another compiler.
        return nullptr;
    }
}
