// A small VST 3 host for tests: loads the bundle's library as Ardour 7.3 does
// and drives the plug-in in Ardour's order and manner. Scan: factory, class
// infos, a component whose processor is queried from it, released first.
// Instance: initialize, the controller queried from the component and
// initialized again (one object), the component's state handed to the
// controller, setup, stereo, active, processing; teardown in reverse, with
// terminate twice. Audio is processed in place; parameter values reach the
// processor only as points in the input parameter changes; read-only values
// come back in the output parameter changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PluginHarness.h"
#include "Vst3HostObjects.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3test {

// The library inside the bundle under test: VST3_PLUGIN_PATH when set,
// otherwise the one the build compiled in.
std::string libraryPath();

// The library, loaded with its module entry called; the module exit is called
// before it is unloaded. Throws std::runtime_error when a step fails.
class Module {
  public:
    explicit Module(const std::string& path);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    vst3::IPluginFactory* factory() const { return factory_; }

  private:
    void* handle_ = nullptr;
    vst3::IPluginFactory* factory_ = nullptr;
};

// The bundle under test, loaded once per test program.
Module& sharedModule();

// What a scan in Ardour's order found.
struct ScanReport {
    vst3::PFactoryInfo factory{};
    vst3::int32 classCount = 0;
    vst3::PClassInfo2 info{};
    // Channels of each bus, by media type and direction.
    std::vector<vst3::int32> audioInputs, audioOutputs;
    vst3::int32 eventInputs = 0, eventOutputs = 0;
    bool canProcess32 = false, canProcess64 = false;
    // What each release returned: the component's, then the processor's.
    vst3::uint32 componentRelease = 0, processorRelease = 0;
};

// Scans the module's first class, as Ardour's scanner does. Throws when a
// step the scanner insists on fails.
ScanReport scan(Module& module);

// One instance, opened in Ardour's order at a rate and largest block, closed
// in its order on destruction. Throws std::runtime_error naming the step when
// a call Ardour checks fails.
class Instance {
  public:
    explicit Instance(double sampleRate = testhost::kSampleRate,
                      vst3::int32 largestBlock = testhost::kLargestBlock,
                      Module& module = sharedModule());
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst3::IComponent* component() const { return component_; }
    vst3::IAudioProcessor* processor() const { return processor_; }
    vst3::IEditController* controller() const { return controller_; }
    const std::vector<vst3::ParameterInfo>& parameters() const { return parameters_; }
    // The ID of the parameter whose flags include these (the bypass, a meter).
    std::vector<vst3::ParamID> parametersFlagged(vst3::int32 flags) const;

    // A value a user set (offset 0) or automation (any offset), as Ardour
    // sends it: to the controller, and as a point in the next process call.
    void queue(vst3::ParamID id, double normalized, vst3::int32 offset = 0);
    // One process call, in place: the queued points go in, the output changes
    // are kept. Null buffers with 0 frames are allowed. The call's result.
    vst3::tresult process(float* left, float* right, vst3::int32 frames);
    // The signal processed in place in blocks of `block` frames, the queued
    // points in the first.
    testhost::Stereo render(const testhost::Stereo& in, std::size_t block);
    // The last value the previous process call reported for a parameter;
    // NaN when it reported none.
    double reported(vst3::ParamID id) const;
    // The process mode the next calls announce (realtime, or offline as in
    // an export), without a new setup, as Ardour switches it.
    void setProcessMode(vst3::int32 mode) { processMode_ = mode; }

    // The component's state, as Ardour saves it.
    std::vector<std::uint8_t> state() const;
    // Ardour's load order: the component's setState, then the controller's
    // setComponentState. The component's result.
    vst3::tresult restore(const std::vector<std::uint8_t>& bytes);

    // Teardown in Ardour's order; what the last release returned (0: the
    // object is gone). Called by the destructor if not before.
    vst3::uint32 close();

  private:
    vst3::IComponent* component_ = nullptr;
    vst3::IAudioProcessor* processor_ = nullptr;
    vst3::IEditController* controller_ = nullptr;
    std::vector<vst3::ParameterInfo> parameters_;
    ParameterChanges input_;
    ParameterChanges output_;
    vst3::int32 processMode_ = vst3::kRealtime;
};

}  // namespace vst3test
