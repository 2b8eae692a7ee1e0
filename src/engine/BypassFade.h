// The bypass switch as the output hears it: the compressed signal, the input
// unchanged, or a short linear crossfade between them after each switch, so
// that switching never clicks.
//
// Threads: the audio thread only.
#pragma once

#include <cstdint>

namespace engine {

class BypassFade final {
  public:
    // The crossfade lasts this long at any rate.
    static constexpr double kFadeSeconds = 0.005;

    void setSampleRate(double rate);
    void setBypassed(bool bypassed) { target_ = bypassed ? 1.0f : 0.0f; }
    // Ends a crossfade at once, as after the signal's history was forgotten.
    void settle() { dry_ = target_; }

    // The compressed signal alone reaches the output.
    bool compressing() const { return dry_ == 0.0f && target_ == 0.0f; }
    // Writes `frames` output frames of one channel pair from the input and
    // the compressed signal; the output may be the input. Advances the fade.
    void mix(float* const* input, const float* const* compressed, float* const* output,
             std::int32_t frames);

  private:
    // The input's share of the output: 0 compressing, 1 bypassed.
    float dry_ = 0.0f;
    float target_ = 0.0f;
    float step_ = 1.0f;
};

}  // namespace engine
