// A small CLAP host for tests: loads the plug-in file as a host does (by its
// exported entry record, with init and deinit around its use) and drives an
// instance in the interface's order: create, init, activate, start
// processing; stop, deactivate, destroy. Audio is processed in place, in one
// stereo input and one stereo output buffer sharing their channels;
// parameter values reach the plug-in as events in shown units; the meters
// come back as output events.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ClapHostObjects.h"
#include "PluginHarness.h"
#include "clap/ClapInterfaces.h"

namespace claptest {

// The plug-in file under test: CLAP_PLUGIN_PATH when set, otherwise the one
// the build compiled in.
std::string pluginPath();

// The file, loaded, its entry's init called with its path; deinit is called
// before it is unloaded. Throws std::runtime_error when a step fails.
class Module {
  public:
    explicit Module(const std::string& path);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const clap::clap_plugin_entry& entry() const { return *entry_; }
    const clap::clap_plugin_factory& factory() const { return *factory_; }

  private:
    void* handle_ = nullptr;
    const clap::clap_plugin_entry* entry_ = nullptr;
    const clap::clap_plugin_factory* factory_ = nullptr;
};

// The file under test, loaded once per test program.
Module& sharedModule();

// The host record handed to the plug-in; counts every call the plug-in makes
// through it.
const clap::clap_host& testHost();
int hostCalls();

// One instance of the factory's first plug-in, active and processing at a
// rate and largest block; torn down on destruction. Throws
// std::runtime_error naming the step that failed.
class Instance {
  public:
    explicit Instance(double sampleRate = testhost::kSampleRate,
                      std::uint32_t largestBlock = testhost::kLargestBlock,
                      Module& module = sharedModule());
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    const clap::clap_plugin& plugin() const { return *plugin_; }
    const clap::clap_plugin_params& params() const { return *params_; }
    const clap::clap_plugin_state& stateExtension() const { return *state_; }

    // A value in shown units at a frame of the next process call.
    void queue(clap::clap_id id, double value, std::uint32_t time = 0) {
        input_.add(paramValue(id, value, time));
    }
    // The events of the next process call or flush, as the host hands them.
    InputEvents& events() { return input_; }
    // One process call, in place; the queued events go in. Null channels
    // with 0 frames are allowed. The call's status.
    clap::clap_process_status process(float* left, float* right, std::uint32_t frames);
    // The signal in blocks of `block` frames, the queued events in the first.
    testhost::Stereo render(const testhost::Stereo& in, std::size_t block);
    // The queued events through params.flush.
    void flush();
    // What the last process call sent for a parameter; NaN when nothing.
    double reported(clap::clap_id id) const;
    // The plug-in's current value of a parameter; throws for an unknown one.
    double value(clap::clap_id id) const;

    // Out of processing and inactive, and back: what a host does around a
    // rate change or a flush without audio.
    void deactivate();
    void activate(double sampleRate);

    std::vector<std::uint8_t> state(std::size_t chunk = 0) const;
    bool restore(const std::vector<std::uint8_t>& bytes, std::size_t chunk = 0);

  private:
    const clap::clap_plugin* plugin_ = nullptr;
    const clap::clap_plugin_params* params_ = nullptr;
    const clap::clap_plugin_state* state_ = nullptr;
    std::uint32_t largestBlock_;
    bool active_ = false;
    InputEvents input_;
    OutputEvents output_;
};

}  // namespace claptest
