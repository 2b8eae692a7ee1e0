#include "Vst3Module.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>

namespace vst3host {

using namespace vst3;

namespace {

void check(tresult result, const std::string& step) {
    if (result != kResultOk) {
        throw std::runtime_error(step + " failed (" + std::to_string(result) + ")");
    }
}

// The loader hands back an object pointer; entries have their own types.
template <typename Function>
Function symbol(void* handle, const char* name) {
#if defined(_WIN32)
    auto found = GetProcAddress(static_cast<HMODULE>(handle), name);
#else
    void* found = dlsym(handle, name);
#endif
    Function function = nullptr;
    static_assert(sizeof function == sizeof found);
    std::memcpy(&function, &found, sizeof function);
    return function;
}

HostApplication hostApplication;

template <typename Interface>
Interface* query(FUnknown* object, const std::string& what) {
    void* found = nullptr;
    check(object->queryInterface(Interface::iid.bytes, &found), "querying " + what);
    return static_cast<Interface*>(found);
}

bool isAudioModule(const PClassInfo& info) {
    return std::string(info.category, strnlen(info.category, sizeof info.category)) ==
           "Audio Module Class";
}

// Mono is the centre speaker alone; wider buses take the first speakers in order.
SpeakerArrangement arrangementFor(int32 channels) {
    if (channels == 1) return SpeakerArrangement{1} << 19;
    return (SpeakerArrangement{1} << channels) - 1;
}

}  // namespace

std::string bundleLibrary(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path bundle(path);
    std::error_code error;
    if (!fs::is_directory(bundle, error)) return path;
    const fs::path library =
        bundle / "Contents" / "x86_64-linux" / (bundle.filename().replace_extension(".so"));
    if (!fs::is_regular_file(library, error)) {
        throw std::runtime_error(path + " holds no Linux library (" + library.string() + ")");
    }
    return library.string();
}

Module::Module(const std::string& path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + path);
    const auto entry = symbol<InitDllProc>(handle_, "InitDll");
#else
    // As Ardour loads modules: lazy and local.
    handle_ = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
    const auto entry = symbol<ModuleEntryProc>(handle_, "ModuleEntry");
    // Ardour refuses a module without its exit.
    if (symbol<ModuleExitProc>(handle_, "ModuleExit") == nullptr) {
        dlclose(handle_);
        throw std::runtime_error(path + " has no ModuleExit");
    }
#endif
    const auto getFactory = symbol<GetFactoryProc>(handle_, "GetPluginFactory");
    bool entered = false;
    if (entry != nullptr && getFactory != nullptr) {
#if defined(_WIN32)
        entered = entry();
#else
        entered = entry(handle_);
#endif
    }
    if (entered) factory_ = getFactory();
    if (factory_ == nullptr) {
#if defined(_WIN32)
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
        dlclose(handle_);
#endif
        throw std::runtime_error(path + (entered ? ": GetPluginFactory returned null"
                                                 : " lacks an entry point, or its entry failed"));
    }
}

Module::~Module() {
    factory_->release();
#if defined(_WIN32)
    symbol<ExitDllProc>(handle_, "ExitDll")();
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    symbol<ModuleExitProc>(handle_, "ModuleExit")();
    dlclose(handle_);
#endif
}

int32 Module::audioClass() const {
    for (int32 i = 0; i < factory_->countClasses(); ++i) {
        PClassInfo info{};
        if (factory_->getClassInfo(i, &info) == kResultOk && isAudioModule(info)) return i;
    }
    throw std::runtime_error("the module has no audio module class");
}

ScanReport scan(Module& module) {
    ScanReport report;
    IPluginFactory* factory = module.factory();
    check(factory->getFactoryInfo(&report.factory), "getFactoryInfo");
    auto* factory2 = query<IPluginFactory2>(factory, "IPluginFactory2");
    report.classCount = factory2->countClasses();
    const int32 index = module.audioClass();
    PClassInfo info{};
    check(factory2->getClassInfo(index, &info), "getClassInfo");
    check(factory2->getClassInfo2(index, &report.info), "getClassInfo2");
    factory2->release();

    void* object = nullptr;
    check(factory->createInstance(info.cid.bytes, IComponent::iid.bytes, &object),
          "createInstance");
    auto* component = static_cast<IComponent*>(object);
    check(component->initialize(&hostApplication), "initialize");
    auto* processor = query<IAudioProcessor>(component, "IAudioProcessor");
    report.canProcess32 = processor->canProcessSampleSize(kSample32) == kResultOk;
    report.canProcess64 = processor->canProcessSampleSize(kSample64) == kResultOk;
    for (BusDirection direction : {kInput, kOutput}) {
        for (int32 i = 0; i < component->getBusCount(kAudio, direction); ++i) {
            BusInfo bus{};
            check(component->getBusInfo(kAudio, direction, i, bus), "getBusInfo");
            (direction == kInput ? report.audioInputs : report.audioOutputs)
                .push_back(bus.channelCount);
        }
    }
    report.eventInputs = component->getBusCount(kEvent, kInput);
    report.eventOutputs = component->getBusCount(kEvent, kOutput);
    processor->setProcessing(0);
    component->setActive(0);
    component->terminate();
    report.componentRelease = component->release();
    report.processorRelease = processor->release();
    return report;
}

Instance::Instance(Module& module, double sampleRate, int32 largestBlock) {
    check(module.factory()->getClassInfo(module.audioClass(), &classInfo_), "getClassInfo");
    void* object = nullptr;
    check(module.factory()->createInstance(classInfo_.cid.bytes, IComponent::iid.bytes, &object),
          "createInstance");
    component_ = static_cast<IComponent*>(object);
    check(component_->initialize(&hostApplication), "component initialize");
    void* found = nullptr;
    if (component_->queryInterface(IEditController::iid.bytes, &found) == kResultOk) {
        // One object: the controller is the component, and is initialized again.
        controller_ = static_cast<IEditController*>(found);
    } else {
        Uid controllerClass{};
        check(component_->getControllerClassId(controllerClass.bytes), "getControllerClassId");
        check(module.factory()->createInstance(controllerClass.bytes, IEditController::iid.bytes,
                                               &found),
              "creating the controller");
        controller_ = static_cast<IEditController*>(found);
    }
    check(controller_->initialize(&hostApplication), "controller initialize");
    check(controller_->setComponentHandler(&handler_), "setComponentHandler");
    processor_ = query<IAudioProcessor>(component_, "IAudioProcessor");
    SpeakerArrangement in = 0;
    SpeakerArrangement out = 0;
    for (BusDirection direction : {kInput, kOutput}) {
        if (component_->getBusCount(kAudio, direction) < 1) continue;
        BusInfo bus{};
        check(component_->getBusInfo(kAudio, direction, 0, bus), "getBusInfo");
        (direction == kInput ? inputChannels_ : outputChannels_) = bus.channelCount;
        (direction == kInput ? in : out) = arrangementFor(bus.channelCount);
    }
    if (outputChannels_ < 1) throw std::runtime_error("the plug-in has no audio output bus");
    for (int32 i = 0; i < controller_->getParameterCount(); ++i) {
        ParameterInfo parameter{};
        check(controller_->getParameterInfo(i, parameter), "getParameterInfo");
        parameters_.push_back(parameter);
    }
    MemoryStream saved;
    check(component_->getState(&saved), "getState");
    MemoryStream handed(saved.bytes());
    check(controller_->setComponentState(&handed), "setComponentState");
    ProcessSetup setup{kRealtime, kSample32, largestBlock, sampleRate};
    check(processor_->setupProcessing(setup), "setupProcessing");
    if (inputChannels_ > 0) check(component_->activateBus(kAudio, kInput, 0, 1), "activateBus in");
    check(component_->activateBus(kAudio, kOutput, 0, 1), "activateBus out");
    check(processor_->setBusArrangements(&in, inputChannels_ > 0 ? 1 : 0, &out, 1),
          "setBusArrangements");
    check(component_->setActive(1), "setActive");
    check(processor_->setProcessing(1), "setProcessing");
}

Instance::~Instance() {
    close();
}

uint32 Instance::close() {
    if (component_ == nullptr) return 0;
    processor_->setProcessing(0);
    component_->setActive(0);
    controller_->setComponentHandler(nullptr);
    controller_->terminate();
    component_->terminate();
    controller_->release();
    // The component goes before the processor reference queried from it.
    component_->release();
    component_ = nullptr;
    return processor_->release();
}

std::vector<ParamID> Instance::parametersFlagged(int32 flags) const {
    std::vector<ParamID> ids;
    for (const ParameterInfo& parameter : parameters_) {
        if ((parameter.flags & flags) == flags) ids.push_back(parameter.id);
    }
    return ids;
}

void Instance::queue(ParamID id, double normalized, int32 offset) {
    controller_->setParamNormalized(id, normalized);
    int32 index = 0;
    input_.addParameterData(id, index)->addPoint(offset, normalized, index);
}

tresult Instance::process(float* left, float* right, int32 frames) {
    float* channels[2] = {left, right};
    AudioBusBuffers buffers{};
    buffers.numChannels = 2;
    buffers.channelBuffers32 = left == nullptr ? nullptr : channels;
    // In place: input and output are one buffer.
    AudioBusBuffers output = buffers;
    return processBuses(buffers, output, frames);
}

tresult Instance::processChannels(float* const* inputs, float* const* outputs, int32 frames) {
    AudioBusBuffers input{};
    input.numChannels = inputChannels_;
    input.channelBuffers32 = const_cast<float**>(inputs);
    AudioBusBuffers output{};
    output.numChannels = outputChannels_;
    output.channelBuffers32 = const_cast<float**>(outputs);
    return processBuses(input, output, frames);
}

tresult Instance::processBuses(AudioBusBuffers& input, AudioBusBuffers& output, int32 frames) {
    ProcessData data{};
    data.processMode = processMode_;
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = inputChannels_ > 0 ? 1 : 0;
    data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    // The controller's own edits go to the processor, as hosts forward them.
    for (const auto& [id, value] : handler_.takeEdits()) {
        int32 index = 0;
        input_.addParameterData(id, index)->addPoint(0, value, index);
    }
    data.inputParameterChanges = &input_;
    data.outputParameterChanges = &output_;
    output_.clear();
    const tresult result = processor_->process(data);
    input_.clear();
    return result;
}

double Instance::reported(ParamID id) const {
    const ValueQueue* queue = output_.find(id);
    if (queue == nullptr || queue->points().empty()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return queue->points().back().second;
}

std::vector<std::uint8_t> Instance::state() const {
    MemoryStream stream;
    check(component_->getState(&stream), "getState");
    return stream.bytes();
}

tresult Instance::restore(const std::vector<std::uint8_t>& bytes) {
    MemoryStream forComponent(bytes);
    const tresult result = component_->setState(&forComponent);
    MemoryStream forController(bytes);
    controller_->setComponentState(&forController);
    return result;
}

}  // namespace vst3host
