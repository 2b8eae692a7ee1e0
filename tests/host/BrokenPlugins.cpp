// Deliberately broken plug-in libraries; one is built per BROKEN_KIND.
#include <csignal>
#include <cstdint>

#include "binding/AEffect.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

#if BROKEN_KIND == 1
// Exports neither VSTPluginMain nor main.
EXPORT int notAnEntry() {
    return 0;
}
#elif BROKEN_KIND == 2
// The entry refuses to create an effect.
EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback) {
    return nullptr;
}
#elif BROKEN_KIND == 3
// The record's magic number is wrong; nothing else in it may be called.
namespace {
vst::AEffect record{};
}
EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback) {
    record.magic = 0x12345678;
    return &record;
}
#elif BROKEN_KIND == 4
// A valid record that claims replacing processing but leaves the processing
// and parameter entries empty.
namespace {
vst::IntPtr VST_CALL dispatcher(vst::AEffect*, std::int32_t, std::int32_t, vst::IntPtr, void*,
                                float) {
    return 0;
}
vst::AEffect record{};
}  // namespace
EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback) {
    record.magic = vst::kEffectMagic;
    record.dispatcher = dispatcher;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = vst::effFlagsCanReplacing;
    return &record;
}
#elif BROKEN_KIND == 5
// Loads and configures like any effect, then is terminated in the middle of a
// render, as by kill. (SIGINT is ignored in jobs a shell starts in the background.)
namespace {
vst::IntPtr VST_CALL dispatcher(vst::AEffect*, std::int32_t, std::int32_t, vst::IntPtr, void*,
                                float) {
    return 0;
}
void VST_CALL setParameter(vst::AEffect*, std::int32_t, float) {}
float VST_CALL getParameter(vst::AEffect*, std::int32_t) {
    return 0.0f;
}
void VST_CALL processReplacing(vst::AEffect*, float**, float**, std::int32_t) {
    std::raise(SIGTERM);
}
vst::AEffect record{};
}  // namespace
EXPORT vst::AEffect* VSTPluginMain(vst::HostCallback) {
    record.magic = vst::kEffectMagic;
    record.dispatcher = dispatcher;
    record.setParameter = setParameter;
    record.getParameter = getParameter;
    record.processReplacing = processReplacing;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = vst::effFlagsCanReplacing;
    return &record;
}
#endif
