#include "vst3/CompressorVst3.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "effect/ProductInfo.h"
#include "vst3/StateStream.h"

namespace vst3 {

namespace {

bool isMainAudioBus(MediaType type, BusDirection dir, int32 index) {
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0;
}

// The stereo main buses' channel pointers, or false when the host gave none.
bool stereoChannels(const ProcessData& data, float* (&inputs)[2], float* (&outputs)[2]) {
    if (data.numInputs < 1 || data.numOutputs < 1 || data.inputs == nullptr ||
        data.outputs == nullptr) {
        return false;
    }
    const AudioBusBuffers& in = data.inputs[0];
    const AudioBusBuffers& out = data.outputs[0];
    if (in.numChannels < 2 || out.numChannels < 2 || in.channelBuffers32 == nullptr ||
        out.channelBuffers32 == nullptr) {
        return false;
    }
    for (int channel = 0; channel < 2; ++channel) {
        inputs[channel] = in.channelBuffers32[channel];
        outputs[channel] = out.channelBuffers32[channel];
        if (inputs[channel] == nullptr || outputs[channel] == nullptr) return false;
    }
    return true;
}

}  // namespace

CompressorVst3::CompressorVst3()
    : table_(engine_.controls()), programs_(engine::PresetTable::factory()), points_(programs_) {
    for (std::size_t slot = 0; slot < kControlSlots; ++slot) {
        shown_[slot] = engine_.controls().at(slot).defaultPosition();
    }
    for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
        meters_[band] = engine_.controls().meter(band).defaultPosition();
    }
}

CompressorVst3::~CompressorVst3() {
    if (handler_ != nullptr) handler_->release();
}

// ---- FUnknown ---------------------------------------------------------------

tresult CompressorVst3::queryInterface(const char* interfaceId, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknown::iid.matches(interfaceId) || IPluginBase::iid.matches(interfaceId) ||
        IComponent::iid.matches(interfaceId)) {
        *obj = static_cast<IComponent*>(this);
    } else if (IAudioProcessor::iid.matches(interfaceId)) {
        *obj = static_cast<IAudioProcessor*>(this);
    } else if (IEditController::iid.matches(interfaceId)) {
        *obj = static_cast<IEditController*>(this);
    } else if (IUnitInfo::iid.matches(interfaceId)) {
        *obj = static_cast<IUnitInfo*>(this);
    } else {
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

uint32 CompressorVst3::addRef() {
    return references_.fetch_add(1) + 1;
}

uint32 CompressorVst3::release() {
    const uint32 left = references_.fetch_sub(1) - 1;
    if (left == 0) delete this;
    return left;
}

// ---- IPluginBase ------------------------------------------------------------

tresult CompressorVst3::initialize(FUnknown*) {
    initializations_.fetch_add(1);
    return kResultOk;
}

tresult CompressorVst3::terminate() {
    int32 count = initializations_.load();
    while (count > 0 && !initializations_.compare_exchange_weak(count, count - 1)) {
    }
    return kResultOk;
}

// ---- IComponent -------------------------------------------------------------

// Component and controller are this one object: there is no controller class.
tresult CompressorVst3::getControllerClassId(char*) {
    return kNotImplemented;
}

tresult CompressorVst3::setIoMode(IoMode) {
    return kResultOk;
}

int32 CompressorVst3::getBusCount(MediaType type, BusDirection dir) {
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult CompressorVst3::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) {
    if (!isMainAudioBus(type, dir, index)) return kInvalidArgument;
    bus = BusInfo{};
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = 2;
    copyUtf16(dir == kInput ? "Stereo In" : "Stereo Out", bus.name, 128);
    bus.busType = kMain;
    bus.flags = kDefaultActive;
    return kResultOk;
}

tresult CompressorVst3::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
    return kNotImplemented;
}

tresult CompressorVst3::activateBus(MediaType type, BusDirection dir, int32 index, TBool) {
    return isMainAudioBus(type, dir, index) ? kResultOk : kInvalidArgument;
}

// Activation starts the signal's history afresh, as a new instance would.
tresult CompressorVst3::setActive(TBool state) {
    if (state != 0) engine_.reset();
    return kResultOk;
}

tresult CompressorVst3::setProcessorState(IBStream* stream) {
    const std::optional<std::vector<std::uint8_t>> data = readState(stream);
    if (!data) return kResultFalse;
    const std::optional<engine::PluginState> state = engine_.loadState(data->data(), data->size());
    if (!state) return kResultFalse;
    showInController(*state);
    reportPositions_ = true;
    return kResultOk;
}

tresult CompressorVst3::getProcessorState(IBStream* stream) {
    return writeState(stream, engine_.saveState()) ? kResultOk : kResultFalse;
}

// ---- IAudioProcessor --------------------------------------------------------

// Stereo in, stereo out, nothing else; refused arrangements keep stereo.
tresult CompressorVst3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                           SpeakerArrangement* outputs, int32 numOuts) {
    const bool stereo = numIns == 1 && numOuts == 1 && inputs != nullptr && outputs != nullptr &&
                        inputs[0] == kStereo && outputs[0] == kStereo;
    return stereo ? kResultOk : kResultFalse;
}

tresult CompressorVst3::getBusArrangement(BusDirection dir, int32 index,
                                          SpeakerArrangement& arrangement) {
    if (!isMainAudioBus(kAudio, dir, index)) return kInvalidArgument;
    arrangement = kStereo;
    return kResultOk;
}

tresult CompressorVst3::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultOk : kResultFalse;
}

uint32 CompressorVst3::getLatencySamples() {
    return 0;
}

// The rate reaches the filters and the dynamics now, as a VST 2 rate change does.
tresult CompressorVst3::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32) return kResultFalse;
    engine_.setSampleRate(setup.sampleRate);
    return kResultOk;
}

tresult CompressorVst3::setProcessing(TBool) {
    return kResultOk;
}

uint32 CompressorVst3::getTailSamples() {
    return 0;
}

// The values of a point take effect at its frame; points at or past the
// block's end apply after it, ready for the next block.
tresult CompressorVst3::process(ProcessData& data) {
    if (data.symbolicSampleSize != kSample32) return kResultFalse;
    points_.collect(data.inputParameterChanges);
    float* inputs[2] = {};
    float* outputs[2] = {};
    const int32 frames = stereoChannels(data, inputs, outputs) ? std::max(data.numSamples, 0) : 0;
    engine_.process(inputs, outputs, frames, &points_);
    if (frames > 0) data.outputs[0].silenceFlags = 0;
    sendMeters(data.outputParameterChanges);
    if (reportPositions_.exchange(false) || points_.programTaken()) {
        sendPositions(data.outputParameterChanges);
    }
    return kResultOk;
}

// Gain reduction on the meters' normalized scale, for the host and the controller.
void CompressorVst3::sendMeters(IParameterChanges* changes) {
    for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
        const double normalized = engine_.positionOf(engine::meterId(band));
        meters_[band] = normalized;
        if (changes == nullptr) continue;
        int32 queueIndex = 0;
        IParamValueQueue* queue = changes->addParameterData(engine::meterId(band), queueIndex);
        int32 pointIndex = 0;
        if (queue != nullptr) queue->addPoint(0, normalized, pointIndex);
    }
}

// Every parameter's position as the effect reports it, for the host's view
// and the controller, which learn of a program or a loaded state so.
void CompressorVst3::sendPositions(IParameterChanges* changes) {
    if (changes == nullptr) return;
    for (engine::ControlId id = 0; id < engine::kParameterCount; ++id) {
        int32 queueIndex = 0;
        IParamValueQueue* queue = changes->addParameterData(id, queueIndex);
        int32 pointIndex = 0;
        if (queue != nullptr) queue->addPoint(0, engine_.positionOf(id), pointIndex);
    }
}

// ---- IEditController --------------------------------------------------------

// The controller shows what the processor reports for the state, so that the
// two agree: a choice's position in a VST 2 program may lie anywhere within
// the choice.
void CompressorVst3::showInController(const engine::PluginState& state) {
    for (std::size_t i = 0; i < state.positions.size(); ++i) {
        shown_[i] = table_.reportedPosition(engine_.controls().parameter(i),
                                            static_cast<double>(state.positions[i]));
    }
    shown_[engine::kParameterCount] = state.bypass ? 1.0 : 0.0;
}

tresult CompressorVst3::setComponentState(IBStream* stream) {
    const std::optional<std::vector<std::uint8_t>> data = readState(stream);
    if (!data) return kResultFalse;
    const std::optional<engine::PluginState> state = engine::decodeState(
        data->data(), data->size(), effect::product::kUniqueId, engine_.defaultState());
    if (!state) return kResultFalse;
    showInController(*state);
    return kResultOk;
}

// The controller has no state beyond the component's.
tresult CompressorVst3::setControllerState(IBStream*) {
    return kResultOk;
}

tresult CompressorVst3::getControllerState(IBStream*) {
    return kResultOk;
}

// The controls, then the program change.
int32 CompressorVst3::getParameterCount() {
    return ParameterTable::kCount + 1;
}

tresult CompressorVst3::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    if (paramIndex == ParameterTable::kCount) {
        programs_.describeParameter(info);
        return kResultOk;
    }
    return table_.describe(paramIndex, info) ? kResultOk : kInvalidArgument;
}

tresult CompressorVst3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                              String128 string) {
    if (id == kProgramChangeId && string != nullptr && !std::isnan(valueNormalized)) {
        copyUtf16(programs_.text(valueNormalized), string, 128);
        return kResultOk;
    }
    const engine::Control* control = table_.find(id);
    if (control == nullptr || string == nullptr || std::isnan(valueNormalized)) {
        return kInvalidArgument;
    }
    copyUtf16(control->displayText(valueNormalized), string, 128);
    return kResultOk;
}

tresult CompressorVst3::getParamValueByString(ParamID id, TChar* string,
                                              ParamValue& valueNormalized) {
    if (string == nullptr) return kInvalidArgument;
    const engine::Control* control = table_.find(id);
    if (control == nullptr && id != kProgramChangeId) return kResultFalse;
    const std::string text = fromUtf16(string);
    const std::optional<double> value =
        control != nullptr ? control->positionFromText(text) : programs_.fromText(text);
    if (!value) return kResultFalse;
    valueNormalized = *value;
    return kResultOk;
}

ParamValue CompressorVst3::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
    if (id == kProgramChangeId) return programs_.plainOf(valueNormalized);
    const engine::Control* control = table_.find(id);
    return control != nullptr ? control->shownAt(valueNormalized) : valueNormalized;
}

ParamValue CompressorVst3::plainParamToNormalized(ParamID id, ParamValue plainValue) {
    if (id == kProgramChangeId) return programs_.normalizedFor(plainValue);
    const engine::Control* control = table_.find(id);
    return control != nullptr ? control->positionFor(plainValue) : plainValue;
}

ParamValue CompressorVst3::getParamNormalized(ParamID id) {
    if (id == kProgramChangeId) return program_;
    if (engine::isMeter(id)) return meters_[id - engine::kFirstMeterId];
    const int32 slot = slotOf(id);
    return slot >= 0 ? shown_[static_cast<std::size_t>(slot)].load() : 0.0;
}

// A host may also hand a meter's reading from the output changes back here.
tresult CompressorVst3::setParamNormalized(ParamID id, ParamValue value) {
    const int32 slot = slotOf(id);
    if (!(value >= 0.0 && value <= 1.0)) return kInvalidArgument;
    if (engine::isMeter(id)) {
        meters_[id - engine::kFirstMeterId] = value;
    } else if (id == kProgramChangeId) {
        // The controller shows the program at once; the processor takes it
        // from the host's point, and tells the host the positions it then has.
        program_ = value;
        showInController(programs_.state(*programs_.programAt(value)));
    } else if (slot >= 0) {
        shown_[static_cast<std::size_t>(slot)] = value;
    } else {
        return kInvalidArgument;
    }
    return kResultOk;
}

tresult CompressorVst3::setComponentHandler(IComponentHandler* handler) {
    if (handler == handler_) return kResultOk;
    if (handler != nullptr) handler->addRef();
    if (handler_ != nullptr) handler_->release();
    handler_ = handler;
    return kResultOk;
}

IPlugView* CompressorVst3::createView(FIDString) {
    return nullptr;
}

// ---- IUnitInfo --------------------------------------------------------------

int32 CompressorVst3::getUnitCount() {
    return 1;
}

tresult CompressorVst3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
    return programs_.describeUnit(unitIndex, info) ? kResultOk : kInvalidArgument;
}

int32 CompressorVst3::getProgramListCount() {
    return 1;
}

tresult CompressorVst3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
    return programs_.describeList(listIndex, info) ? kResultOk : kInvalidArgument;
}

tresult CompressorVst3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
    return programs_.programName(listId, programIndex, name) ? kResultOk : kInvalidArgument;
}

// The programs carry no attributes and no pitch names.
tresult CompressorVst3::getProgramInfo(ProgramListID, int32, CString, String128) {
    return kResultFalse;
}

tresult CompressorVst3::hasProgramPitchNames(ProgramListID, int32) {
    return kResultFalse;
}

tresult CompressorVst3::getProgramPitchName(ProgramListID, int32, int16, String128) {
    return kResultFalse;
}

UnitID CompressorVst3::getSelectedUnit() {
    return kRootUnitId;
}

tresult CompressorVst3::selectUnit(UnitID unitId) {
    return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}

// Every bus and channel belongs to the root unit.
tresult CompressorVst3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID& unitId) {
    unitId = kRootUnitId;
    return kResultOk;
}

// A program is selected through the program-change parameter, not as data.
tresult CompressorVst3::setUnitProgramData(int32, int32, IBStream*) {
    return kNotImplemented;
}

}  // namespace vst3
