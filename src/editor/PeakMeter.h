// A gain-reduction reading with a peak hold: the deepest reduction stays for
// a while, then follows the reading back up. Values are dB, <= 0.
#pragma once

namespace editor {

class PeakMeter {
  public:
    static constexpr double kHoldSeconds = 1.5;
    static constexpr double kReturnDbPerSecond = 20.0;

    // True when what the meter shows changed.
    bool set(double decibels);
    bool tick(double seconds);
    double reading() const { return reading_; }
    double peak() const { return peak_; }

  private:
    double reading_ = 0.0;
    double peak_ = 0.0;
    double held_ = 0.0;
};

}  // namespace editor
