#include "editor/PeakMeter.h"

#include <algorithm>
#include <cmath>

#include "engine/ControlIds.h"

namespace editor {

namespace {
// Changes smaller than this do not show in the text (one decimal) nor in a bar.
constexpr double kVisibleDb = 0.05;
}  // namespace

bool PeakMeter::set(double decibels) {
    if (std::isnan(decibels)) return false;
    // Deeper than the meter's scale shows nothing more, and a peak at -inf would never return.
    const double reading = std::clamp(decibels, engine::kDeepestMeterDb, 0.0);
    bool changed = std::fabs(reading - reading_) >= kVisibleDb;
    if (changed) reading_ = reading;
    if (reading < peak_) {
        changed = changed || peak_ - reading >= kVisibleDb;
        peak_ = reading;
        held_ = 0.0;
    }
    return changed;
}

bool PeakMeter::tick(double seconds) {
    if (peak_ >= reading_) return false;
    held_ += seconds;
    if (held_ < kHoldSeconds) return false;
    const double before = peak_;
    peak_ = std::min(reading_, peak_ + kReturnDbPerSecond * seconds);
    return peak_ != before;
}

}  // namespace editor
