// One row of the control table: a parameter, the bypass or a meter, with
// everything a face shows of it. Positions are the 0..1 values a host
// automates (a parameter's VST 2 position; the bypass 0 or 1; a meter's
// place on its -60..0 dB scale); shown values are in the unit the display
// shows (dB, Hz, ms, %; a choice's index; 0 or 1 for a switch).
//
// Threads: built once, then only read; safe from any thread. positionFor and
// shownAt allocate nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "effect/ControlDescription.h"
#include "engine/ControlIds.h"

namespace engine {

enum class ControlKind { range, choice, toggle, bypass, meter };

class Control final {
  public:
    static Control parameter(effect::ControlDescription description);
    static Control bypass();
    static Control meter(std::size_t band);

    ControlId id() const { return id_; }
    // Stable across versions: a face's symbol and the state's key.
    const std::string& symbol() const { return symbol_; }
    const std::string& name() const { return name_; }
    const std::string& shortName() const { return shortName_; }
    // "dB", "Hz", "ms", "%", or empty.
    const std::string& unitLabel() const { return unitLabel_; }
    ControlKind kind() const { return kind_; }
    bool isParameter() const { return description_.has_value(); }
    bool readOnly() const { return kind_ == ControlKind::meter; }
    // Distinct values a stepped control takes, less one; 0 when continuous.
    int stepCount() const;

    // Shown range and default; the default maps exactly to the default position.
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double defaultValue() const { return defaultValue_; }
    double defaultPosition() const;
    // True where a slider in the shown unit reads best on a logarithmic scale.
    bool logarithmic() const { return logarithmic_; }
    // A choice's texts in index order; empty for the other kinds.
    const std::vector<std::string>& choiceTexts() const;

    // The position that shows a shown value; outside the range counts as the
    // nearer end. For a parameter, the float the effect takes; NaN gives NaN.
    double positionFor(double shown) const;
    // The shortest shown value at a position (a parameter shows "700", not
    // "699.999939"); positions outside 0..1 count as the nearer end.
    double shownAt(double position) const;
    // The text the display shows at a position (a parameter's VST 2 text).
    std::string displayText(double position) const;
    // The position for what a user typed: a number, alone or with the unit,
    // or a choice's or switch's text; nothing for anything else.
    std::optional<double> positionFromText(const std::string& text) const;

  private:
    Control() = default;

    ControlId id_ = 0;
    std::string symbol_;
    std::string name_;
    std::string shortName_;
    std::string unitLabel_;
    ControlKind kind_ = ControlKind::range;
    double minimum_ = 0.0;
    double maximum_ = 1.0;
    double defaultValue_ = 0.0;
    bool logarithmic_ = false;
    std::optional<effect::ControlDescription> description_;
};

}  // namespace engine
