// One parameter of the effect as any face shows it to a host: its identifier,
// name and unit as the VST 2 interface gives them, its range in the unit the
// display shows ("shown values": dB, Hz, ms, %; a choice's index; 0 or 1 for
// a switch), and the mappings between shown values, the parameter's position
// (the 0..1 value the VST 2 interface sets) and display texts. Faces keep
// their own vocabulary (LV2 unit URIs, VST 3 step counts) and read this.
//
// Threads: built once, then only read; every member is safe from any thread.
// positionFor and shownValueAt allocate nothing (for the audio thread).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace params {
class Parameter;
class ParameterList;
class RangeParameter;
class ValueCurve;
class ValueFormatter;
}  // namespace params

namespace effect {

enum class ControlKind { range, choice, toggle };

class ControlDescription {
  public:
    // Throws std::logic_error for a parameter kind no face can show.
    ControlDescription(std::int32_t index, const params::Parameter& parameter);

    std::int32_t index() const { return index_; }
    // Stable across versions: a face's symbol or state key.
    const std::string& identifier() const { return identifier_; }
    // The VST 2 name and unit label ("dB", "Hz", "ms", "%", or empty).
    const std::string& name() const { return name_; }
    const std::string& unitLabel() const { return unitLabel_; }
    ControlKind kind() const { return kind_; }

    // Shown values. The minimum is what position 0 shows; the default is the
    // shortest decimal that maps exactly to the VST 2 default position.
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double defaultValue() const { return defaultValue_; }
    float defaultPosition() const { return positionFor(defaultValue_); }
    // True where a slider in the shown unit reads best on a logarithmic
    // scale (Hz, times); decibels already show a logarithm.
    bool logarithmic() const { return logarithmic_; }
    // A choice's texts in index order; empty for the other kinds.
    const std::vector<std::string>& choiceTexts() const { return choiceTexts_; }

    // The position that shows a shown value; a value outside the range
    // counts as the nearer end, NaN gives NaN (which the effect ignores).
    // A choice takes the nearest index, a switch is on above 0.
    float positionFor(double shown) const;
    // The shown value at a position, as the effect takes the position.
    double shownValueAt(double position) const;
    // The decimal with the fewest decimals that maps back to exactly this
    // position (in double and in float), so that a host shows "700" and not
    // "699.999939"; the exact shown value when no shorter one does.
    double shortestShownAt(float position) const;
    // The text the VST 2 display shows at a position.
    std::string displayText(double position) const;
    // What a user typed: a number, alone or followed by the unit label, or a
    // choice's or switch's text; case and surrounding spaces are ignored. A
    // number outside the range gives the nearer end; anything else nothing.
    std::optional<double> shownValueFromText(const std::string& text) const;

  private:
    void describeRange(const params::RangeParameter& range);
    double valueAt(double position) const;

    std::int32_t index_;
    std::string identifier_;
    std::string name_;
    std::string unitLabel_;
    ControlKind kind_ = ControlKind::range;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
    double defaultValue_ = 0.0;
    bool logarithmic_ = false;
    std::vector<std::string> choiceTexts_;
    // A switch's two texts, off first.
    std::string offText_;
    std::string onText_;
    // A range's conversion between its value, its position and its text.
    const params::ValueCurve* curve_ = nullptr;
    const params::ValueFormatter* formatter_ = nullptr;
    double valueMinimum_ = 0.0;
    double valueMaximum_ = 0.0;
};

// One description per parameter, in host-index order. Describe a new
// effect's list: a choice's or switch's default is its current value.
std::vector<ControlDescription> describeControls(const params::ParameterList& parameters);

}  // namespace effect
