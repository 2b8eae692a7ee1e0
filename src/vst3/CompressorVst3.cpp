#include "vst3/CompressorVst3.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/ProductInfo.h"

namespace vst3 {

namespace {

// The compressed signal of a bypassed or crossfading block goes here, in
// parts of at most this many frames, so that process() never allocates.
constexpr std::size_t kScratchFrames = 4096;
constexpr int32 kBypassSlot = ParameterTable::kEffectParameters;
constexpr int32 kNoPoint = std::numeric_limits<int32>::max();

// The slot of a parameter the processor and the controller hold a value for.
int32 slotOf(ParamID id) {
    if (ParameterTable::isEffectParameter(id)) return static_cast<int32>(id);
    return id == kBypassId ? kBypassSlot : -1;
}

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

CompressorVst3::CompressorVst3() : effect_(nullptr), table_(effect_.parameterList()) {
    for (int32 slot = 0; slot < kControlCount; ++slot) {
        shown_[static_cast<std::size_t>(slot)] =
            table_.defaultNormalized(ParameterTable::idAt(slot));
    }
    for (auto& meter : meters_) meter = meterNormalized(0.0);
    for (auto& channel : scratch_) channel.assign(kScratchFrames, 0.0f);
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
    if (state != 0) {
        effect_.resetState();
        fade_.setBypassed(bypass_.load());
        fade_.settle();
    }
    active_ = state != 0;
    return kResultOk;
}

tresult CompressorVst3::setProcessorState(IBStream* stream) {
    const std::optional<PluginState> state = readState(stream, effect::product::kUniqueId);
    if (!state) return kResultFalse;
    for (std::size_t i = 0; i < state->positions.size(); ++i) {
        effect_.stageParameter(static_cast<std::int32_t>(i), state->positions[i]);
    }
    effect_.commitParameters();
    bypass_ = state->bypass;
    showInController(*state);
    return kResultOk;
}

tresult CompressorVst3::getProcessorState(IBStream* stream) {
    PluginState state;
    for (std::size_t i = 0; i < state.positions.size(); ++i) {
        state.positions[i] = effect_.getParameter(static_cast<std::int32_t>(i));
    }
    state.bypass = bypass_.load();
    return writeState(stream, state) ? kResultOk : kResultFalse;
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
    effect_.setSampleRate(static_cast<float>(setup.sampleRate));
    fade_.setSampleRate(setup.sampleRate);
    return kResultOk;
}

tresult CompressorVst3::setProcessing(TBool) {
    return kResultOk;
}

uint32 CompressorVst3::getTailSamples() {
    return 0;
}

// Splits the block at every parameter point: the values of a point take
// effect at its frame, each part is one effect call (one lock). Points at or
// past the block's end apply after it, ready for the next block.
tresult CompressorVst3::process(ProcessData& data) {
    if (data.symbolicSampleSize != kSample32) return kResultFalse;
    collectLanes(data.inputParameterChanges);
    fade_.setBypassed(bypass_.load());
    lowestGains_.fill(1.0f);

    float* inputs[2] = {};
    float* outputs[2] = {};
    const int32 frames = stereoChannels(data, inputs, outputs) ? std::max(data.numSamples, 0) : 0;
    for (int32 at = 0;;) {
        const int32 next = applyPointsUpTo(at);
        if (at >= frames) break;
        const int32 end = std::min(next, frames);
        float* partInputs[2] = {inputs[0] + at, inputs[1] + at};
        float* partOutputs[2] = {outputs[0] + at, outputs[1] + at};
        processPart(partInputs, partOutputs, end - at);
        at = end;
    }
    applyPointsUpTo(kNoPoint);
    if (frames > 0) data.outputs[0].silenceFlags = 0;
    sendMeters(data.outputParameterChanges);
    return kResultOk;
}

// The first queue of each parameter the processor takes; others are ignored.
void CompressorVst3::collectLanes(IParameterChanges* changes) {
    lanes_.fill(PointLane{});
    const int32 queues = changes != nullptr ? changes->getParameterCount() : 0;
    for (int32 i = 0; i < queues; ++i) {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (queue == nullptr) continue;
        const int32 slot = slotOf(queue->getParameterId());
        if (slot < 0) continue;
        PointLane& lane = lanes_[static_cast<std::size_t>(slot)];
        if (lane.queue != nullptr) continue;
        lane = PointLane{queue, 0, queue->getPointCount()};
    }
}

int32 CompressorVst3::applyPointsUpTo(int32 frame) {
    int32 next = kNoPoint;
    bool staged = false;
    for (std::size_t slot = 0; slot < lanes_.size(); ++slot) {
        PointLane& lane = lanes_[slot];
        while (lane.queue != nullptr && lane.next < lane.count) {
            int32 offset = 0;
            ParamValue value = 0.0;
            if (lane.queue->getPoint(lane.next, offset, value) != kResultOk) {
                lane.next = lane.count;
                break;
            }
            if (offset > frame) {
                next = std::min(next, offset);
                break;
            }
            ++lane.next;
            if (std::isnan(value)) continue;
            value = std::clamp(value, 0.0, 1.0);
            if (static_cast<int32>(slot) == kBypassSlot) {
                bypass_ = value >= 0.5;
                fade_.setBypassed(value >= 0.5);
            } else {
                // The float the host sees as the value: an unchanged one changes nothing.
                effect_.stageParameter(static_cast<std::int32_t>(slot),
                                       static_cast<float>(value));
                staged = true;
            }
        }
    }
    if (staged) effect_.commitParameters();
    return next;
}

// The compressor runs whatever the bypass, so that it stays warm.
void CompressorVst3::processPart(float* const* inputs, float* const* outputs, int32 frames) {
    float gains[kMeterCount];
    const auto noteGains = [&]() {
        for (std::size_t band = 0; band < lowestGains_.size(); ++band) {
            lowestGains_[band] = std::min(lowestGains_[band], gains[band]);
        }
    };
    if (fade_.compressing()) {
        effect_.processReplacingMetered(const_cast<float**>(inputs), const_cast<float**>(outputs),
                                        frames, gains);
        noteGains();
        return;
    }
    for (int32 done = 0; done < frames;) {
        const int32 count = std::min(frames - done, static_cast<int32>(kScratchFrames));
        float* in[2] = {inputs[0] + done, inputs[1] + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        float* compressed[2] = {scratch_[0].data(), scratch_[1].data()};
        effect_.processReplacingMetered(in, compressed, count, gains);
        noteGains();
        fade_.mix(in, compressed, out, count);
        done += count;
    }
}

// Gain reduction in dB, 0 at rest; a gain that underflowed to 0 reads as the
// smallest normal float's level, not -inf.
void CompressorVst3::sendMeters(IParameterChanges* changes) {
    for (std::size_t band = 0; band < lowestGains_.size(); ++band) {
        const float gain = std::max(lowestGains_[band], std::numeric_limits<float>::min());
        const double normalized = meterNormalized(20.0 * std::log10(static_cast<double>(gain)));
        meters_[band] = normalized;
        if (changes == nullptr) continue;
        const ParamID id = kFirstMeterId + static_cast<ParamID>(band);
        int32 queueIndex = 0;
        IParamValueQueue* queue = changes->addParameterData(id, queueIndex);
        int32 pointIndex = 0;
        if (queue != nullptr) queue->addPoint(0, normalized, pointIndex);
    }
}

// ---- IEditController --------------------------------------------------------

// The controller shows what the processor reports for the state, so that the
// two agree: a choice's position in a VST 2 program may lie anywhere within
// the choice.
void CompressorVst3::showInController(const PluginState& state) {
    for (std::size_t i = 0; i < state.positions.size(); ++i) {
        shown_[i] = table_.reportedPosition(static_cast<ParamID>(i),
                                            static_cast<double>(state.positions[i]));
    }
    shown_[kBypassSlot] = state.bypass ? 1.0 : 0.0;
}

tresult CompressorVst3::setComponentState(IBStream* stream) {
    const std::optional<PluginState> state = readState(stream, effect::product::kUniqueId);
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

int32 CompressorVst3::getParameterCount() {
    return ParameterTable::kCount;
}

tresult CompressorVst3::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    return table_.describe(paramIndex, info) ? kResultOk : kInvalidArgument;
}

tresult CompressorVst3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                              String128 string) {
    if (!ParameterTable::isKnown(id) || string == nullptr || std::isnan(valueNormalized)) {
        return kInvalidArgument;
    }
    copyUtf16(table_.text(id, valueNormalized), string, 128);
    return kResultOk;
}

tresult CompressorVst3::getParamValueByString(ParamID id, TChar* string,
                                              ParamValue& valueNormalized) {
    if (string == nullptr) return kInvalidArgument;
    const std::optional<double> value = table_.fromText(id, fromUtf16(string));
    if (!value) return kResultFalse;
    valueNormalized = *value;
    return kResultOk;
}

ParamValue CompressorVst3::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
    return ParameterTable::isKnown(id) ? table_.toPlain(id, valueNormalized) : valueNormalized;
}

ParamValue CompressorVst3::plainParamToNormalized(ParamID id, ParamValue plainValue) {
    return ParameterTable::isKnown(id) ? table_.toNormalized(id, plainValue) : plainValue;
}

ParamValue CompressorVst3::getParamNormalized(ParamID id) {
    if (ParameterTable::isMeter(id)) return meters_[id - kFirstMeterId];
    const int32 slot = slotOf(id);
    return slot >= 0 ? shown_[static_cast<std::size_t>(slot)].load() : 0.0;
}

// A host may also hand a meter's reading from the output changes back here.
tresult CompressorVst3::setParamNormalized(ParamID id, ParamValue value) {
    const int32 slot = slotOf(id);
    if (!(value >= 0.0 && value <= 1.0)) return kInvalidArgument;
    if (ParameterTable::isMeter(id)) {
        meters_[id - kFirstMeterId] = value;
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

}  // namespace vst3
