// The host side of the VST 2 callback: what a plug-in may ask of the host.
#pragma once

#include <cstdint>

#include "binding/AEffect.h"

namespace host {

// The interface version the host reports: VST 2.4.
inline constexpr vst::IntPtr kHostVersion = 2400;

// The facts the host tells one plug-in instance about its processing.
struct HostContext {
    double sampleRate = 48000.0;
    std::int32_t blockSize = 512;
};

// Binds a plug-in's record to its context. The callback finds the context
// through the record's resvd1 field, which the interface leaves to the host.
void attachContext(vst::AEffect& effect, HostContext& context);

// While a plug-in's entry runs, its record is not yet attached; calls into the
// host made during the entry on this thread answer from this context.
class EntryScope final {
  public:
    explicit EntryScope(HostContext& context);
    ~EntryScope();
    EntryScope(const EntryScope&) = delete;
    EntryScope& operator=(const EntryScope&) = delete;

  private:
    HostContext* previous_;
};

// Answers the version query, the sample rate and the block size; every other
// request gets the interface's neutral answer, 0.
vst::IntPtr VST_CALL hostCallback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                  vst::IntPtr value, void* ptr, float opt);

}  // namespace host
