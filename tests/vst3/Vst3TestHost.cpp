#include "Vst3TestHost.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vst3test {

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
ComponentHandler componentHandler;

template <typename Interface>
Interface* query(FUnknown* object, const std::string& what) {
    void* found = nullptr;
    check(object->queryInterface(Interface::iid.bytes, &found), "querying " + what);
    return static_cast<Interface*>(found);
}

}  // namespace

std::string libraryPath() {
    if (const char* path = std::getenv("VST3_PLUGIN_PATH")) return path;
    return VST3_LIBRARY_PATH;
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
        throw std::runtime_error(path + " has no ModuleExit");
    }
#endif
    const auto getFactory = symbol<GetFactoryProc>(handle_, "GetPluginFactory");
    if (entry == nullptr || getFactory == nullptr) {
        throw std::runtime_error(path + " lacks an entry point");
    }
#if defined(_WIN32)
    if (!entry()) throw std::runtime_error("InitDll failed");
#else
    if (!entry(handle_)) throw std::runtime_error("ModuleEntry failed");
#endif
    factory_ = getFactory();
    if (factory_ == nullptr) throw std::runtime_error("GetPluginFactory returned null");
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

Module& sharedModule() {
    static Module module(libraryPath());
    return module;
}

ScanReport scan(Module& module) {
    ScanReport report;
    IPluginFactory* factory = module.factory();
    check(factory->getFactoryInfo(&report.factory), "getFactoryInfo");
    auto* factory2 = query<IPluginFactory2>(factory, "IPluginFactory2");
    report.classCount = factory2->countClasses();
    PClassInfo info{};
    check(factory2->getClassInfo(0, &info), "getClassInfo");
    if (std::string(info.category) != "Audio Module Class") {
        throw std::runtime_error("class 0 is not an audio module: " + std::string(info.category));
    }
    check(factory2->getClassInfo2(0, &report.info), "getClassInfo2");
    factory2->release();

    void* object = nullptr;
    check(factory->createInstance(info.cid.bytes, IComponent::iid.bytes, &object), "createInstance");
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

Instance::Instance(double sampleRate, int32 largestBlock, Module& module) {
    PClassInfo info{};
    check(module.factory()->getClassInfo(0, &info), "getClassInfo");
    void* object = nullptr;
    check(module.factory()->createInstance(info.cid.bytes, IComponent::iid.bytes, &object),
          "createInstance");
    component_ = static_cast<IComponent*>(object);
    check(component_->initialize(&hostApplication), "component initialize");
    // One object: the controller is the component, and is initialized again.
    controller_ = query<IEditController>(component_, "IEditController");
    check(controller_->initialize(&hostApplication), "controller initialize");
    check(controller_->setComponentHandler(&componentHandler), "setComponentHandler");
    processor_ = query<IAudioProcessor>(component_, "IAudioProcessor");
    for (BusDirection direction : {kInput, kOutput}) {
        BusInfo bus{};
        check(component_->getBusInfo(kAudio, direction, 0, bus), "getBusInfo");
    }
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
    check(component_->activateBus(kAudio, kInput, 0, 1), "activateBus in");
    check(component_->activateBus(kAudio, kOutput, 0, 1), "activateBus out");
    SpeakerArrangement in = kStereo;
    SpeakerArrangement out = kStereo;
    check(processor_->setBusArrangements(&in, 1, &out, 1), "setBusArrangements");
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
    // In place, as Ardour runs plug-ins: input and output are one buffer.
    AudioBusBuffers output = buffers;
    ProcessData data{};
    data.processMode = processMode_;
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &buffers;
    data.outputs = &output;
    data.inputParameterChanges = &input_;
    data.outputParameterChanges = &output_;
    output_.clear();
    const tresult result = processor_->process(data);
    input_.clear();
    return result;
}

testhost::Stereo Instance::render(const testhost::Stereo& in, std::size_t block) {
    testhost::Stereo out = in;
    for (std::size_t start = 0; start < out.frames(); start += block) {
        const auto frames = static_cast<int32>(std::min(block, out.frames() - start));
        check(process(out.left.data() + start, out.right.data() + start, frames), "process");
    }
    return out;
}

double Instance::reported(ParamID id) const {
    const ValueQueue* queue = output_.find(id);
    if (queue == nullptr) return std::numeric_limits<double>::quiet_NaN();
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

}  // namespace vst3test
