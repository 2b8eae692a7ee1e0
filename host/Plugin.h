// A plug-in of any format as the command-line host uses it: what it is, its
// parameters and read-only outputs (meters) in the terms it shows them, its
// presets, and its audio. One loader per format stands behind it
// (Vst2Plugin, Vst3Plugin, Lv2Plugin, ClapPlugin); renders, reports and
// benchmarks see only this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace host {

enum class PluginFormat { vst2, vst3, lv2, clap };

// "VST 2", "VST 3", "LV2", "CLAP".
const char* formatName(PluginFormat format);

// The format a plug-in's location names: a .so or .dll library (VST 2), a
// .vst3 bundle, a .lv2 bundle or an LV2 URI, a .clap library. Throws
// HostError for anything else.
PluginFormat formatOf(const std::string& location);

// One parameter or read-only output. Values are in the plug-in's shown units
// (a choice's value is its number), except for VST 2, whose values are
// positions 0..1 and whose range is what it shows at either end.
struct Control {
    std::string id;  // the format's own key: index, ID or port symbol
    std::string name;
    std::string unit;
    double minimum = 0.0;
    double maximum = 1.0;
    double defaultValue = 0.0;
    std::string range;        // as info shows it ("-24 to 24 dB", "off, on")
    std::string defaultText;  // as the plug-in shows the default
    // Each choice's value and text, for lists and switches; empty for numbers.
    std::vector<std::pair<double, std::string>> choices;
};

class Plugin {
  public:
    virtual ~Plugin() = default;
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    virtual PluginFormat format() const = 0;
    virtual std::string name() const = 0;
    virtual std::string vendor() const = 0;
    // Where it was loaded from: the library, bundle or URI.
    virtual std::string location() const = 0;
    virtual std::int32_t inputs() const = 0;
    virtual std::int32_t outputs() const = 0;
    // The audio ports or buses, one line each, as info lists them.
    virtual std::vector<std::string> ports() const = 0;
    // Frames the output runs late, valid once active.
    virtual std::int32_t latency() const = 0;

    const std::vector<Control>& parameters() const { return parameters_; }
    const std::vector<Control>& meters() const { return meters_; }
    // The index of a parameter by its name (case and spacing ignored) or its
    // id. Unknown and shared names are HostErrors.
    std::size_t findParameter(const std::string& nameOrId) const;

    // The presets' names, and loading one by name (a VST 2 plug-in also takes
    // a program file's path). Unknown names are HostErrors listing the presets.
    virtual std::vector<std::string> presets() const = 0;
    virtual void loadPreset(const std::string& name) = 0;

    // The value that shows `text`: a choice by its text (or its value), a
    // number within the range (the unit may follow). Refused with the range
    // or the choices.
    virtual double valueFor(std::size_t parameter, const std::string& text);
    // Takes effect from the next processed frame.
    virtual void setValue(std::size_t parameter, double value) = 0;
    virtual double value(std::size_t parameter) const = 0;
    // The value as the plug-in shows it, with its unit.
    virtual std::string display(std::size_t parameter) const = 0;

    // Processing runs between activate and deactivate.
    virtual void activate() = 0;
    virtual void deactivate() = 0;
    // One block: a buffer per input and per output, `frames` long, at most
    // the largest block the plug-in was opened with.
    virtual void process(const float* const* inputs, float* const* outputs,
                         std::int32_t frames) = 0;
    // Whether process can add to what the outputs hold instead (VST 2's
    // accumulating call), and turning that on.
    virtual bool canAccumulate() const { return false; }
    virtual void setAccumulating(bool) {}
    // A read-only output's value after the last block.
    virtual double meter(std::size_t index) const = 0;

  protected:
    Plugin() = default;
    std::vector<Control> parameters_;
    std::vector<Control> meters_;
};

// Loads the plug-in of the format the location names, opened at the rate for
// blocks of up to `maxBlock` frames. Throws HostError with the reason.
std::unique_ptr<Plugin> loadPlugin(const std::string& location, double sampleRate,
                                   std::int32_t maxBlock);

// The range as info shows it: the choices' texts ("off, on"), else "-24 to 24 dB"
// trimmed of needless digits.
std::string rangeText(const Control& control);
// A number in the fewest digits (up to 6 significant) that show it.
std::string numberText(double value);

}  // namespace host
