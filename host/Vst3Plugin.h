// A VST 3 plug-in behind the host's plug-in interface: values are plain
// values (the shown numbers), sent to the processor as points at the start of
// the next block; read-only parameters are the meters, read from the output
// parameter changes after each block; the presets are the choices of its
// program-change parameter, or a preset file (.vstpreset) by its path.
#pragma once

#include <memory>

#include "Plugin.h"
#include "Vst3Module.h"

namespace host {

class Vst3Plugin final : public Plugin {
  public:
    // A bundle folder or the library inside one.
    Vst3Plugin(const std::string& bundle, double sampleRate, std::int32_t maxBlock);
    ~Vst3Plugin() override;

    PluginFormat format() const override { return PluginFormat::vst3; }
    std::string name() const override;
    std::string vendor() const override;
    std::string location() const override { return location_; }
    std::int32_t inputs() const override { return instance_->inputChannels(); }
    std::int32_t outputs() const override { return instance_->outputChannels(); }
    std::vector<std::string> ports() const override;
    std::int32_t latency() const override;

    std::vector<std::string> presets() const override;
    void loadPreset(const std::string& name) override;

    void setValue(std::size_t parameter, double value) override;
    double value(std::size_t parameter) const override;
    std::string display(std::size_t parameter) const override;

    void activate() override {}
    void deactivate() override {}
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames) override;
    double meter(std::size_t index) const override { return meterValues_.at(index); }

  private:
    Control describe(const vst3::ParameterInfo& info) const;
    void loadPresetFile(const std::string& path);
    std::string shown(vst3::ParamID id, double normalized) const;

    std::string location_;
    std::unique_ptr<vst3host::Module> module_;
    std::unique_ptr<vst3host::Instance> instance_;
    std::vector<vst3::ParamID> parameterIds_;
    std::vector<vst3::ParamID> meterIds_;
    std::vector<double> meterValues_;
    // The program-change parameter's index, or none.
    std::size_t programParameter_ = static_cast<std::size_t>(-1);
};

}  // namespace host
