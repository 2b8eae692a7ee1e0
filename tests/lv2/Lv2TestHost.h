// The built LV2 bundle for tests, through the host's LV2 loader
// (host/Lv2Loader.h): its world, and instances with our plug-in's ports by
// symbol.
#pragma once

#include <lilv/lilv.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Lv2Loader.h"
#include "PluginHarness.h"
#include "lv2/ControlPorts.h"

namespace lv2test {

// The control ports as the plug-in describes them to itself.
const std::vector<lv2::ControlPort>& controlPorts();
const lv2::ControlPort& controlPort(const std::string& symbol);

// Gives a VST 2 instance the position the LV2 plug-in derives from a port
// value, as the LV2 plug-in gives it to its effect.
void setAsPort(host::PluginInstance& plugin, const lv2::ControlPort& port, float value);

// A preset as a host loads it through lilv's state: its label and its port
// values, only those typed as floats (hosts skip any other type).
struct Lv2Preset {
    std::string label;
    std::vector<std::pair<std::string, float>> values;
};

// The world with the built bundle loaded, shared by all tests.
class Lv2Bundle {
  public:
    static Lv2Bundle& shared();

    LilvWorld* world() const { return world_.world(); }
    const LilvPlugin* plugin() const { return world_.plugin(); }
    lv2host::World& loaded() { return world_; }
    std::uint32_t portCount() const;
    std::uint32_t portIndex(const std::string& symbol) const;
    // The presets the bundle lists for the plug-in.
    std::vector<Lv2Preset> presets() const;

  private:
    Lv2Bundle();
    lv2host::World world_;
};

// One instance with a control value for every control port, all connected.
class Lv2Plugin {
  public:
    explicit Lv2Plugin(double sampleRate);
    Lv2Plugin(const Lv2Plugin&) = delete;
    Lv2Plugin& operator=(const Lv2Plugin&) = delete;

    // Null when the plug-in refused the rate.
    static LilvInstance* instantiate(double sampleRate);

    void set(const std::string& symbol, float value);
    // Leaves the port unconnected (null), as a host may.
    void disconnect(const std::string& symbol);
    float meter(std::int32_t band) const;
    void activate();

    // One run; the output may be the input buffer (in place).
    void run(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
             std::uint32_t frames);
    // The whole signal in runs of the given size, into separate or the same buffers.
    void process(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                 std::vector<float>& outLeft, std::vector<float>& outRight, std::uint32_t blockSize,
                 bool inPlace = false);

  private:
    lv2host::Instance instance_;
};

}  // namespace lv2test
