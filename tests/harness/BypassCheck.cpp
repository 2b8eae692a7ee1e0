#include "BypassCheck.h"

#include <algorithm>
#include <cmath>

namespace testhost {

namespace {

// The largest step between neighbouring samples of a channel in [from, to).
float largestStep(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float largest = 0.0f;
    for (std::size_t i = from + 1; i < to; ++i) {
        largest = std::max(largest, std::abs(samples[i] - samples[i - 1]));
    }
    return largest;
}

}  // namespace

Stereo bypassTestTone(std::size_t frames) {
    return Stereo(sine(110.0, 0.9, frames), sine(90.0, 0.9, frames));
}

std::size_t widestGap(const Stereo& signal, const Stereo& compressed, std::size_t from,
                      std::size_t to) {
    std::size_t widest = from;
    for (std::size_t i = from; i < to; ++i) {
        if (std::abs(signal.left[i] - compressed.left[i]) >
            std::abs(signal.left[widest] - compressed.left[widest])) {
            widest = i;
        }
    }
    return widest;
}

std::string bypassFault(const Stereo& out, const Stereo& signal, const Stereo& compressed,
                        std::size_t on, std::size_t off) {
    // Well beyond a crossfade of 5 ms.
    const auto settled = static_cast<std::size_t>(0.02 * kSampleRate);
    for (std::size_t i = 0; i < out.frames(); ++i) {
        const bool bypassed = i >= on + settled && i < off;
        const bool compressing = i < on || i >= off + settled;
        const bool same =
            bypassed ? out.left[i] == signal.left[i] && out.right[i] == signal.right[i]
                     : out.left[i] == compressed.left[i] && out.right[i] == compressed.right[i];
        if ((bypassed || compressing) && !same) {
            return std::string(bypassed ? "not the input" : "not the compressed sound") +
                   " at frame " + std::to_string(i);
        }
    }
    for (const std::size_t at : {on, off}) {
        const std::size_t from = at - 50;
        const std::size_t to = at + settled;
        const float natural =
            std::max(largestStep(signal.left, from, to), largestStep(compressed.left, from, to));
        const float gap = std::abs(signal.left[at] - compressed.left[at]);
        if (!(gap > 10.0f * natural)) {
            return "the signal cannot tell a click at frame " + std::to_string(at);
        }
        if (!(largestStep(out.left, from, to) < natural + 0.5f * gap)) {
            return "a click at frame " + std::to_string(at);
        }
    }
    return {};
}

}  // namespace testhost
