// The library's one entry, lv2_descriptor, and the static trampolines of the
// descriptor: each finds the instance and makes one member call. No exception
// crosses into the host.
#include <lv2/core/lv2.h>

#include <cmath>
#include <new>

#include "lv2/CompressorPlugin.h"
#include "lv2/PortLayout.h"

namespace {

lv2::CompressorPlugin* self(LV2_Handle instance) {
    return static_cast<lv2::CompressorPlugin*>(instance);
}

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const*) {
    const auto rate = static_cast<float>(sampleRate);
    if (!(rate > 0.0f && std::isfinite(rate))) return nullptr;
    try {
        return new lv2::CompressorPlugin(sampleRate);
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, uint32_t port, void* data) {
    self(instance)->connectPort(port, data);
}

void activate(LV2_Handle instance) {
    self(instance)->activate();
}

void run(LV2_Handle instance, uint32_t frames) {
    self(instance)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle instance) {
    delete self(instance);
}

const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor descriptor = {lv2::kPluginUri, instantiate, connectPort,  activate, run,
                                   deactivate,      cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
