// A VST 2 plug-in behind the host's plug-in interface. Values are positions
// 0..1; a value in display terms is found as the parameter setter finds it.
// VST 2 tells a parameter's range and choices only through the texts it shows
// at each position, so those are read from a second instance: the one that
// renders is never moved and set back, which would not always restore it
// exactly.
// VST 2 has no read-only outputs, so there are no meters; presets are our
// plug-in's factory presets, the plug-in's programs, or a program file (.fxp)
// by its path.
#pragma once

#include <memory>

#include "Plugin.h"
#include "PluginInstance.h"
#include "ProgramFile.h"

namespace host {

class Vst2Plugin final : public Plugin {
  public:
    // Loads the library at a path and describes its parameters on a twin.
    Vst2Plugin(const std::string& path, double sampleRate, std::int32_t maxBlock);
    // Drives an instance already open, to render it: its parameters are not
    // described (parameters() is empty), so that nothing is touched.
    explicit Vst2Plugin(PluginInstance& instance);
    ~Vst2Plugin() override;

    PluginInstance& instance() { return plugin_; }
    const PluginInstance& instance() const { return plugin_; }

    PluginFormat format() const override { return PluginFormat::vst2; }
    std::string name() const override;
    std::string vendor() const override;
    std::string location() const override { return plugin_.path(); }
    std::int32_t inputs() const override { return plugin_.numInputs(); }
    std::int32_t outputs() const override { return plugin_.numOutputs(); }
    std::vector<std::string> ports() const override;
    std::int32_t latency() const override { return plugin_.initialDelay(); }

    std::vector<std::string> presets() const override;
    void loadPreset(const std::string& name) override;
    // The parameters as a program, named after the factory preset loaded last.
    Program program() const;

    double valueFor(std::size_t parameter, const std::string& text) override;
    void setValue(std::size_t parameter, double value) override;
    double value(std::size_t parameter) const override;
    std::string display(std::size_t parameter) const override;

    void activate() override;
    void deactivate() override;
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames) override;
    bool canAccumulate() const override { return plugin_.hasAccumulatingProcess(); }
    void setAccumulating(bool accumulating) override;
    double meter(std::size_t index) const override;

  private:
    void describeParameters();

    std::unique_ptr<PluginInstance> owned_;
    PluginInstance& plugin_;
    std::unique_ptr<PluginInstance> twin_;
    std::unique_ptr<ProcessingSession> session_;
    bool accumulating_ = false;
    std::string programName_;
};

}  // namespace host
