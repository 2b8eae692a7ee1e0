#include "HostCallback.h"

#include <cmath>

namespace host {

namespace {

thread_local HostContext* entryContext = nullptr;

// While an entry runs on this thread, its context; the record may not even
// have its fields set yet. Afterwards the context the record carries.
HostContext* contextOf(const vst::AEffect* effect) {
    if (entryContext != nullptr) return entryContext;
    if (effect != nullptr && effect->resvd1 != 0) {
        return reinterpret_cast<HostContext*>(effect->resvd1);
    }
    return nullptr;
}

}  // namespace

void attachContext(vst::AEffect& effect, HostContext& context) {
    effect.resvd1 = reinterpret_cast<vst::IntPtr>(&context);
}

EntryScope::EntryScope(HostContext& context) : previous_(entryContext) {
    entryContext = &context;
}

EntryScope::~EntryScope() {
    entryContext = previous_;
}

vst::IntPtr VST_CALL hostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t /*index*/,
                                  vst::IntPtr /*value*/, void* /*ptr*/, float /*opt*/) {
    switch (opcode) {
        case vst::audioMasterVersion:
            return kHostVersion;
        case vst::audioMasterGetSampleRate:
            if (const HostContext* context = contextOf(effect)) {
                return static_cast<vst::IntPtr>(std::lround(context->sampleRate));
            }
            return 0;
        case vst::audioMasterGetBlockSize:
            if (const HostContext* context = contextOf(effect)) return context->blockSize;
            return 0;
        default:
            return 0;
    }
}

}  // namespace host
