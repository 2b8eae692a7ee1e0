// The CLAP loader: a plug-in file loaded as hosts load it (its exported entry
// record, init with its path and deinit around its use) and an instance of the
// factory's first plug-in driven in the interface's order: create, init,
// activate, start processing; stop, deactivate, destroy. Parameter values
// reach the plug-in as events in shown units; read-only values come back as
// output events. Shared by the command-line host, the tests and the
// benchmark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ClapHostObjects.h"
#include "clap/ClapInterfaces.h"

namespace claphost {

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

// The host record of the command-line host: no extensions, requests ignored.
const clap::clap_host& plainHost();

// One instance of the factory's first plug-in, active and processing at a
// rate and largest block; torn down on destruction. Throws
// std::runtime_error naming the step that failed.
class Instance {
  public:
    Instance(Module& module, const clap::clap_host& host, double sampleRate,
             std::uint32_t largestBlock);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    const clap::clap_plugin& plugin() const { return *plugin_; }
    const clap::clap_plugin_descriptor& descriptor() const { return *descriptor_; }
    // The extensions; params is required, audio ports and latency may be null.
    const clap::clap_plugin_params& params() const { return *params_; }
    const clap::clap_plugin_audio_ports* audioPorts() const { return audioPorts_; }
    const clap::clap_plugin_latency* latency() const { return latency_; }
    // Channels of the first input and output ports (stereo without the extension).
    std::uint32_t inputChannels() const { return inputChannels_; }
    std::uint32_t outputChannels() const { return outputChannels_; }

    // A value in shown units at a frame of the next process call.
    void queue(clap::clap_id id, double value, std::uint32_t time = 0) {
        input_.add(paramValue(id, value, time));
    }
    // The events of the next process call or flush, as the host hands them.
    InputEvents& events() { return input_; }
    // One stereo process call, in place; the queued events go in. Null
    // channels with 0 frames are allowed. The call's status.
    clap::clap_process_status process(float* left, float* right, std::uint32_t frames);
    // The same with separate buffers, one per channel of the first ports.
    clap::clap_process_status processChannels(float* const* inputs, float* const* outputs,
                                              std::uint32_t frames);
    // The queued events through params.flush.
    void flush();
    // What the last process call sent for a parameter; NaN when nothing.
    double reported(clap::clap_id id) const;
    // The edits reported since they were last cleared, by every process call and flush.
    OutputEvents& output() { return output_; }
    // The plug-in's current value of a parameter; throws for an unknown one.
    double value(clap::clap_id id) const;

    // Out of processing and inactive, and back: what a host does around a
    // rate change or a flush without audio.
    void deactivate();
    void activate(double sampleRate);

    // The saved state, and loading one; both throw without the state extension.
    std::vector<std::uint8_t> state(std::size_t chunk = 0) const;
    bool restore(const std::vector<std::uint8_t>& bytes, std::size_t chunk = 0);

  private:
    clap::clap_process_status processBuffers(clap::clap_audio_buffer& input,
                                             clap::clap_audio_buffer& output, std::uint32_t frames);

    const clap::clap_plugin* plugin_ = nullptr;
    const clap::clap_plugin_descriptor* descriptor_ = nullptr;
    const clap::clap_plugin_params* params_ = nullptr;
    const clap::clap_plugin_state* state_ = nullptr;
    const clap::clap_plugin_audio_ports* audioPorts_ = nullptr;
    const clap::clap_plugin_latency* latency_ = nullptr;
    std::uint32_t inputChannels_ = 2;
    std::uint32_t outputChannels_ = 2;
    std::uint32_t largestBlock_;
    bool active_ = false;
    InputEvents input_;
    OutputEvents output_;
};

}  // namespace claphost
