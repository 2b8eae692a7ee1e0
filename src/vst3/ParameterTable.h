// The parameters as the VST 3 controller lists them: the effect's twenty at
// IDs 0..19 (their VST 2 indices; normalized value = VST 2 position, plain
// value = the shown number), the bypass switch, and one read-only
// gain-reduction meter per band in dB.
//
// Threads: built once, then only read; safe from any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "effect/ControlDescription.h"
#include "effect/ParameterIndex.h"
#include "vst3/Vst3Interfaces.h"

namespace params {
class ParameterList;
}

namespace vst3 {

// Outside the VST 2 indices, so that these never meet a parameter added there.
inline constexpr ParamID kBypassId = 100;
inline constexpr ParamID kFirstMeterId = 101;
inline constexpr int32 kMeterCount = 4;
// A meter's plain range: this many dB up to 0.
inline constexpr double kDeepestMeterDb = -60.0;

// A meter's normalized value for a reduction in dB; deeper ones read as the floor.
double meterNormalized(double decibels);

class ParameterTable final {
  public:
    static constexpr int32 kEffectParameters = effect::param::count;
    static constexpr int32 kCount = kEffectParameters + 1 + kMeterCount;

    explicit ParameterTable(const params::ParameterList& parameters);

    // The parameter listed at an index: effect parameters, bypass, meters.
    static ParamID idAt(int32 index);
    static bool isEffectParameter(ParamID id) { return id < kEffectParameters; }
    static bool isMeter(ParamID id) {
        return id >= kFirstMeterId && id < kFirstMeterId + kMeterCount;
    }
    static bool isKnown(ParamID id) { return isEffectParameter(id) || id == kBypassId || isMeter(id); }

    bool describe(int32 index, ParameterInfo& info) const;
    double defaultNormalized(ParamID id) const;
    double toPlain(ParamID id, double normalized) const;
    double toNormalized(ParamID id, double plain) const;
    // The position the effect reports once it has taken this one: a choice's
    // or switch's own position, a range's unchanged.
    double reportedPosition(ParamID id, double normalized) const {
        return toNormalized(id, toPlain(id, normalized));
    }
    std::string text(ParamID id, double normalized) const;
    // The normalized value for what a user typed; nothing for an unknown ID or text.
    std::optional<double> fromText(ParamID id, const std::string& text) const;

  private:
    std::vector<effect::ControlDescription> controls_;
};

// UTF-8 into a host's UTF-16 buffer of `capacity` units, cut and terminated.
void copyUtf16(const std::string& text, char16* into, std::size_t capacity);
// A host's NUL-terminated UTF-16 text as UTF-8.
std::string fromUtf16(const char16* text);

}  // namespace vst3
