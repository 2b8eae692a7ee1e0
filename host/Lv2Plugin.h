// An LV2 plug-in behind the host's plug-in interface: values are control
// port values, output control ports are the meters, presets come from lilv.
#pragma once

#include <memory>

#include "Lv2Loader.h"
#include "Plugin.h"

namespace host {

class Lv2Plugin final : public Plugin {
  public:
    // A bundle folder, or the URI of an installed plug-in.
    Lv2Plugin(const std::string& bundleOrUri, double sampleRate, std::int32_t maxBlock);
    ~Lv2Plugin() override;

    PluginFormat format() const override { return PluginFormat::lv2; }
    std::string name() const override { return world_->name(); }
    std::string vendor() const override { return world_->vendor(); }
    std::string location() const override { return world_->uri(); }
    std::int32_t inputs() const override { return inputs_; }
    std::int32_t outputs() const override { return outputs_; }
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
    double meter(std::size_t index) const override;

  private:
    std::unique_ptr<lv2host::World> world_;
    std::unique_ptr<lv2host::Instance> instance_;
    std::vector<std::uint32_t> parameterPorts_;
    std::vector<std::uint32_t> meterPorts_;
    std::int32_t inputs_ = 0;
    std::int32_t outputs_ = 0;
};

}  // namespace host
