// The VST 3 loader: a bundle's library opened with its module entry called,
// and one instance of its first audio class driven in the order Ardour 7.3
// uses. Scan: factory, class infos, a component whose processor is queried
// from it, released first. Instance: initialize, the controller (the component
// itself, initialized again, or the class the component names), the
// component's state handed to the controller, setup, the main buses active,
// processing; teardown in reverse. Parameter values reach the processor only
// as points in the input parameter changes; read-only values come back in the
// output parameter changes. Shared by the command-line host, the tests and the
// benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Vst3HostObjects.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3host {

// The library for this machine inside a bundle folder
// (NAME.vst3/Contents/x86_64-linux/NAME.so); a path that is a file already
// is taken as it is.
std::string bundleLibrary(const std::string& path);

// The library, loaded with its module entry called; the module exit is called
// before it is unloaded. Throws std::runtime_error when a step fails.
class Module {
  public:
    explicit Module(const std::string& path);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    vst3::IPluginFactory* factory() const { return factory_; }
    // The index of the first class that is an audio module. Throws without one.
    vst3::int32 audioClass() const;

  private:
    void* handle_ = nullptr;
    vst3::IPluginFactory* factory_ = nullptr;
};

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

// Scans the module's first audio class, as Ardour's scanner does. Throws when
// a step the scanner insists on fails.
ScanReport scan(Module& module);

// One instance, opened in Ardour's order at a rate and largest block, closed
// in its order on destruction. Throws std::runtime_error naming the step when
// a call Ardour checks fails.
class Instance {
  public:
    Instance(Module& module, double sampleRate, vst3::int32 largestBlock);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst3::IComponent* component() const { return component_; }
    vst3::IAudioProcessor* processor() const { return processor_; }
    vst3::IEditController* controller() const { return controller_; }
    const vst3::PClassInfo& classInfo() const { return classInfo_; }
    const std::vector<vst3::ParameterInfo>& parameters() const { return parameters_; }
    // The ID of the parameter whose flags include these (the bypass, a meter).
    std::vector<vst3::ParamID> parametersFlagged(vst3::int32 flags) const;
    // Channels of the main input and output buses (0 without one).
    vst3::int32 inputChannels() const { return inputChannels_; }
    vst3::int32 outputChannels() const { return outputChannels_; }

    // A value a user set (offset 0) or automation (any offset), as Ardour
    // sends it: to the controller, and as a point in the next process call.
    void queue(vst3::ParamID id, double normalized, vst3::int32 offset = 0);
    // One stereo process call, in place, as Ardour runs plug-ins: the queued
    // points go in, the output changes are kept. Null buffers with 0 frames
    // are allowed. The call's result.
    vst3::tresult process(float* left, float* right, vst3::int32 frames);
    // The same with separate buffers, one per channel of the main buses.
    vst3::tresult processChannels(float* const* inputs, float* const* outputs, vst3::int32 frames);
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
    vst3::tresult processBuses(vst3::AudioBusBuffers& input, vst3::AudioBusBuffers& output,
                               vst3::int32 frames);

    vst3::PClassInfo classInfo_{};
    vst3::IComponent* component_ = nullptr;
    vst3::IAudioProcessor* processor_ = nullptr;
    vst3::IEditController* controller_ = nullptr;
    vst3::int32 inputChannels_ = 0;
    vst3::int32 outputChannels_ = 0;
    std::vector<vst3::ParameterInfo> parameters_;
    ComponentHandler handler_;
    ParameterChanges input_;
    ParameterChanges output_;
    vst3::int32 processMode_ = vst3::kRealtime;
};

}  // namespace vst3host
