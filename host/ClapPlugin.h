// A CLAP plug-in behind the host's plug-in interface: values are the
// plug-in's own (shown) units, sent as events at the start of the next block;
// read-only parameters are the meters, read from the output events. CLAP
// names no unit, so a parameter's unit is what its text shows after the
// number.
#pragma once

#include <memory>
#include <optional>

#include "ClapModule.h"
#include "Plugin.h"

namespace host {

class ClapPlugin final : public Plugin {
  public:
    ClapPlugin(const std::string& path, double sampleRate, std::int32_t maxBlock);
    ~ClapPlugin() override;

    PluginFormat format() const override { return PluginFormat::clap; }
    std::string name() const override;
    std::string vendor() const override;
    std::string location() const override { return location_; }
    std::int32_t inputs() const override;
    std::int32_t outputs() const override;
    std::vector<std::string> ports() const override;
    std::int32_t latency() const override;

    std::vector<std::string> presets() const override { return {}; }
    void loadPreset(const std::string& name) override;

    void setValue(std::size_t parameter, double value) override;
    double value(std::size_t parameter) const override;
    std::string display(std::size_t parameter) const override;

    void activate() override {}
    void deactivate() override {}
    void process(const float* const* inputs, float* const* outputs, std::int32_t frames) override;
    double meter(std::size_t index) const override { return meterValues_.at(index); }

  private:
    Control describe(const clap::clap_param_info& info) const;
    std::string text(clap::clap_id id, double value) const;

    std::string location_;
    std::unique_ptr<claphost::Module> module_;
    std::unique_ptr<claphost::Instance> instance_;
    std::vector<clap::clap_id> parameterIds_;
    // Values sent but not yet processed, which the plug-in does not report yet.
    std::vector<std::optional<double>> pending_;
    std::vector<clap::clap_id> meterIds_;
    std::vector<double> meterValues_;
};

}  // namespace host
