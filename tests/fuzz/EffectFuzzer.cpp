// libFuzzer target: each input is decoded into a sequence of host calls on a
// fresh effect, made the way a valid host makes them (every pointer the
// interface asks for points at a record of the right kind, or is null where
// the interface allows null), with any numbers in them. The effect is linked
// in, not loaded, so the fuzzer sees its coverage.
//
// A run fails on a crash, on any sanitizer report, and on an answer that
// breaks the interface's rules: a parameter position outside 0..1, a text
// longer than its opcode's budget, or a non-finite output sample where the
// output buffer held a finite value before (every sample when replacing).
//
// Input format, read front to back; whatever is missing at the end reads as
// zero bytes. Each step starts with one byte; below 0xF0 it is taken modulo 5:
//   0 dispatcher: opcode byte (-5 + b % 86; effClose becomes effOpen, the
//     close comes last), index i32, value i64, opt f32, flags byte (bit 0:
//     null instead of the optional pointer)
//   1 setParameter: index (see below), value f32
//   2 getParameter: index
//   3 processReplacing, 4 process: frames u16 (-1 + n % 4098), one fill byte
//     and one f32 per channel, layout byte (bit 0: in place)
// From 0xF0 on, modulo 3, the step drives the LV2 face of the same effect,
// one instance made on the first such step at a rate read as f64 (none when
// the rate is refused, which must be exactly the unusable rates):
//   0 control: port byte (the port is 4 + b % 24, meters included), value f32,
//     flags byte (bit 0: leave the port unconnected)
//   1 run: frames u16 (n % 8193), fill per channel as below, layout byte
//     (bit 0: in place); every output sample must be finite, every meter
//     finite and at most 0
//   2 activate again
// From 0xE0 to 0xEF, modulo 4, the step drives the VST 3 face: one instance
// opened on the first such step as Ardour opens it (44.1 kHz, stereo, active,
// processing), audio processed in place:
//   0 process: frames u16 (n % 8193), fill per channel as below, flags byte
//     (bit 0: no channel buffers, bit 1: offline), queue count byte (% 9),
//     each an ID byte (see below), a point count byte (% 9) and per point an
//     offset i16 and a value byte (below 0x80: b / 127, otherwise an f64
//     follows). The call must succeed; an output sample may be non-finite
//     only where its input was (a bypass passes the input on); every meter
//     must come back finite, within 0..1 and at most 0 dB.
//   1 setState: length u16 (% 300), kind byte % 3: 0 raw bytes, 1 the
//     current state with one byte (position u8 % 92) set to a value byte,
//     2 "CcnK" and raw bytes. Refused: the state and the controller's values
//     are unchanged; accepted: the controller shows the new state.
//   2 controller: ID byte, value f64, a text of length byte % 40 UTF-16
//     units; setParamNormalized, getParamStringByValue (terminated within
//     128 units), normalizedParamToPlain, getParamValueByString (accepted:
//     within 0..1).
//   3 setup: rate f64, largest block i32, sample size byte; then inactive,
//     an arrangement u64 for both buses, active again.
// A VST 3 parameter ID is one byte b % 26: 0..19 the effect's, 20 the
// bypass, 21..24 the meters, 25 an unknown ID.
// An index is one byte: below 0x80 it is -3 + b % 27, otherwise an i32
// follows. Fill byte modulo 4: 0 raw f32 samples read from the input (cycled
// when the input runs short), 1 a sine of the given amplitude, 2 a constant
// from a table of awkward values, 3 music-like noise and tone.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>

#include "Vst3HostObjects.h"
#include "binding/AEffect.h"
#include "effect/CompressorEffect.h"
#include "effect/ProductInfo.h"
#include "lv2/PortLayout.h"
#include "engine/ControlIds.h"
#include "engine/StateRecord.h"
#include "vst3/PluginFactory.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

namespace {

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

    template <typename T>
    T number() {
        std::uint8_t bytes[sizeof(T)] = {};
        for (std::uint8_t& b : bytes) b = byte();
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

    // Raw samples for `count` frames, cycling through what is left.
    void samples(float* out, std::size_t count) {
        const std::size_t available = (size_ - std::min(position_, size_)) / sizeof(float);
        if (available == 0) {
            std::fill(out, out + count, 0.0f);
            return;
        }
        const std::size_t used = std::min(available, count);
        for (std::size_t i = 0; i < count; ++i) {
            std::memcpy(&out[i], data_ + position_ + (i % used) * sizeof(float), sizeof(float));
        }
        position_ += used * sizeof(float);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

[[noreturn]] void fail(const char* what, long long detail) {
    std::fprintf(stderr, "effect_fuzzer: %s (%lld)\n", what, detail);
    std::abort();
}

vst::IntPtr VST_CALL hostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, vst::IntPtr,
                                  void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

constexpr float kAwkwardValues[] = {
    0.0f,
    -0.0f,
    1.0f,
    -1.0f,
    std::numeric_limits<float>::quiet_NaN(),
    std::numeric_limits<float>::infinity(),
    -std::numeric_limits<float>::infinity(),
    1e38f,
    -3e38f,
    std::numeric_limits<float>::max(),
    std::numeric_limits<float>::min(),
    std::numeric_limits<float>::denorm_min(),
    -1e-40f,
    1e12f,
    -1e12f,
    1.1e12f,
};

constexpr std::size_t kTextSize = 256;

// Text budgets of the opcodes that always write a text: the terminator must
// come within budget + 1 bytes.
std::size_t textBudget(std::int32_t opcode) {
    switch (opcode) {
        case vst::effGetParamLabel:
        case vst::effGetParamDisplay:
            return 8;
        case vst::effGetParamName:
        case vst::effGetProgramName:
            return 24;
        case vst::effGetEffectName:
            return 32;
        case vst::effGetVendorString:
        case vst::effGetProductString:
            return 64;
        default:
            return 0;
    }
}

// The LV2 instance, its control values and its meters, all in host memory.
class Lv2Session {
  public:
    static constexpr std::uint32_t kPortCount = lv2::kEnabledPort + 1;
    static constexpr std::uint32_t kFirstMeterPort = lv2::kFirstMeterPort;

    ~Lv2Session() {
        if (handle_ != nullptr) {
            descriptor_->deactivate(handle_);
            descriptor_->cleanup(handle_);
        }
    }

    // False when the instance could not be made for the rate read.
    bool ready(Reader& in) {
        if (!made_) {
            made_ = true;
            const auto rate = in.number<double>();
            handle_ = descriptor_->instantiate(descriptor_, rate, "", nullptr);
            const auto single = static_cast<float>(rate);
            const bool usable = single > 0.0f && std::isfinite(single);
            if ((handle_ != nullptr) != usable) fail("instantiate answered wrongly for a rate", 0);
            if (handle_ == nullptr) return false;
            for (std::uint32_t port = lv2::kFirstControlPort; port < kPortCount; ++port) {
                descriptor_->connect_port(handle_, port, &values_[port]);
                connected_[port] = true;
            }
            descriptor_->activate(handle_);
        }
        return handle_ != nullptr;
    }

    void control(Reader& in) {
        const std::uint32_t port =
            lv2::kFirstControlPort + in.byte() % (kPortCount - lv2::kFirstControlPort);
        values_[port] = in.number<float>();
        const bool unconnected = (in.byte() & 1) != 0;
        descriptor_->connect_port(handle_, port, unconnected ? nullptr : &values_[port]);
        connected_[port] = !unconnected;
    }

    void activate() {
        descriptor_->deactivate(handle_);
        descriptor_->activate(handle_);
    }

    void run(std::vector<float>& left, std::vector<float>& right, std::uint32_t frames,
             bool inPlace) {
        std::vector<float> outLeft(left.size(), 7.0f);
        std::vector<float> outRight(right.size(), 7.0f);
        float* outputs[2] = {inPlace ? left.data() : outLeft.data(),
                             inPlace ? right.data() : outRight.data()};
        descriptor_->connect_port(handle_, lv2::kInputLeftPort, left.data());
        descriptor_->connect_port(handle_, lv2::kInputRightPort, right.data());
        descriptor_->connect_port(handle_, lv2::kOutputLeftPort, outputs[0]);
        descriptor_->connect_port(handle_, lv2::kOutputRightPort, outputs[1]);
        // A connected meter must be written by every run; an unconnected one
        // must keep what the host left there.
        float meterBefore[lv2::kMeterCount];
        for (std::uint32_t band = 0; band < lv2::kMeterCount; ++band) {
            float& meter = values_[kFirstMeterPort + band];
            if (connected_[kFirstMeterPort + band]) meter = std::numeric_limits<float>::quiet_NaN();
            meterBefore[band] = meter;
        }
        // Bypassed, the input passes as it is, non-finite samples too.
        const std::vector<float> inLeft = left;
        const std::vector<float> inRight = right;
        descriptor_->run(handle_, frames);
        for (std::uint32_t i = 0; i < frames; ++i) {
            if ((!std::isfinite(outputs[0][i]) && std::isfinite(inLeft[i])) ||
                (!std::isfinite(outputs[1][i]) && std::isfinite(inRight[i]))) {
                fail("non-finite LV2 output at frame", static_cast<long long>(i));
            }
        }
        for (std::uint32_t band = 0; band < lv2::kMeterCount; ++band) {
            const float meter = values_[kFirstMeterPort + band];
            if (!connected_[kFirstMeterPort + band]) {
                if (std::memcmp(&meter, &meterBefore[band], sizeof meter) != 0) {
                    fail("unconnected meter written", band);
                }
            } else if (!(std::isfinite(meter) && meter <= 0.0f)) {
                fail("meter not finite or above 0", band);
            }
        }
    }

  private:
    const LV2_Descriptor* descriptor_ = lv2_descriptor(0);
    LV2_Handle handle_ = nullptr;
    bool made_ = false;
    float values_[kPortCount] = {};
    bool connected_[kPortCount] = {};
};

// The VST 3 instance, made through the module's factory and opened in
// Ardour's order, with the host's objects.
class Vst3Session {
  public:
    Vst3Session() {
        void* object = nullptr;
        vst3::pluginFactory().createInstance(vst3::kCompressorClassId.bytes,
                                             vst3::IComponent::iid.bytes, &object);
        component_ = static_cast<vst3::IComponent*>(object);
        component_->initialize(&host_);
        component_->queryInterface(vst3::IEditController::iid.bytes, &object);
        controller_ = static_cast<vst3::IEditController*>(object);
        controller_->initialize(&host_);
        controller_->setComponentHandler(&handler_);
        component_->queryInterface(vst3::IAudioProcessor::iid.bytes, &object);
        processor_ = static_cast<vst3::IAudioProcessor*>(object);
        vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, 8192, 44100.0};
        processor_->setupProcessing(setup);
        vst3::SpeakerArrangement stereo = vst3::kStereo;
        processor_->setBusArrangements(&stereo, 1, &stereo, 1);
        component_->setActive(1);
        processor_->setProcessing(1);
    }

    ~Vst3Session() {
        processor_->setProcessing(0);
        component_->setActive(0);
        controller_->setComponentHandler(nullptr);
        controller_->terminate();
        component_->terminate();
        controller_->release();
        component_->release();
        if (processor_->release() != 0) fail("VST 3 instance still referenced after teardown", 0);
    }

    void process(Reader& in, std::vector<float>& left, std::vector<float>& right,
                 std::uint32_t frames) {
        const std::uint8_t flags = in.byte();
        vst3host::ParameterChanges changes;
        const int queues = in.byte() % 9;
        for (int q = 0; q < queues; ++q) {
            const vst3::ParamID id = parameterId(in);
            vst3::int32 index = 0;
            vst3::IParamValueQueue* queue = changes.addParameterData(id, index);
            const int points = in.byte() % 9;
            for (int p = 0; p < points; ++p) {
                const vst3::int32 offset = in.number<std::int16_t>();
                const std::uint8_t b = in.byte();
                const double value = b < 0x80 ? b / 127.0 : in.number<double>();
                if (queue != nullptr) queue->addPoint(offset, value, index);
            }
        }
        const std::vector<float> inLeft = left;
        const std::vector<float> inRight = right;
        float* channels[2] = {left.data(), right.data()};
        vst3::AudioBusBuffers buffers{};
        buffers.numChannels = 2;
        buffers.channelBuffers32 = (flags & 1) != 0 ? nullptr : channels;
        vst3::ProcessData data{};
        data.processMode = (flags & 2) != 0 ? vst3::kOffline : vst3::kRealtime;
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = static_cast<vst3::int32>(frames);
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &buffers;
        data.outputs = &buffers;
        data.inputParameterChanges = &changes;
        data.outputParameterChanges = &output_;
        output_.clear();
        if (processor_->process(data) != vst3::kResultOk) fail("VST 3 process refused", frames);
        for (std::uint32_t i = 0; i < frames; ++i) {
            if ((!std::isfinite(left[i]) && std::isfinite(inLeft[i])) ||
                (!std::isfinite(right[i]) && std::isfinite(inRight[i]))) {
                fail("non-finite VST 3 output at frame", static_cast<long long>(i));
            }
        }
        for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
            const vst3::ParamID id = engine::meterId(band);
            const vst3host::ValueQueue* meter = output_.find(id);
            if (meter == nullptr) fail("VST 3 meter not reported", static_cast<long long>(band));
            const double value = meter->points().back().second;
            const double decibels = controller_->normalizedParamToPlain(id, value);
            if (!(value >= 0.0 && value <= 1.0 && std::isfinite(decibels) && decibels <= 0.0)) {
                fail("VST 3 meter out of range", static_cast<long long>(band));
            }
        }
    }

    void setState(Reader& in) {
        const std::size_t length = in.number<std::uint16_t>() % 300u;
        const int kind = in.byte() % 3;
        const std::vector<std::uint8_t> before = state();
        std::vector<std::uint8_t> bytes;
        if (kind == 1) {
            bytes = before;
            const std::size_t at = in.byte() % bytes.size();
            bytes[at] = in.byte();
        } else {
            if (kind == 2) bytes = {'C', 'c', 'n', 'K'};
            for (std::size_t i = 0; i < length; ++i) bytes.push_back(in.byte());
        }
        const std::vector<double> shownBefore = shown();
        vst3host::MemoryStream forComponent(bytes);
        const bool accepted = component_->setState(&forComponent) == vst3::kResultOk;
        vst3host::MemoryStream forController(bytes);
        controller_->setComponentState(&forController);
        if (!accepted) {
            if (state() != before || shown() != shownBefore) {
                fail("a refused VST 3 state changed something", static_cast<long long>(length));
            }
            return;
        }
        const std::vector<std::uint8_t> saved = state();
        const std::optional<engine::PluginState> now = engine::decodeState(
            saved.data(), saved.size(), effect::product::kUniqueId, engine::PluginState{});
        if (!now) fail("VST 3 state unreadable after an accepted one", 0);
        for (std::size_t i = 0; i < now->positions.size(); ++i) {
            if (shown()[i] != static_cast<double>(now->positions[i])) {
                fail("VST 3 controller disagrees with the state", static_cast<long long>(i));
            }
        }
    }

    void control(Reader& in) {
        const vst3::ParamID id = parameterId(in);
        const auto value = in.number<double>();
        std::u16string text;
        const int length = in.byte() % 40;
        for (int i = 0; i < length; ++i) text += static_cast<char16_t>(in.number<std::uint16_t>());
        controller_->setParamNormalized(id, value);
        vst3::String128 shownText;
        std::fill(std::begin(shownText), std::end(shownText), u'x');
        if (controller_->getParamStringByValue(id, value, shownText) == vst3::kResultOk &&
            std::find(std::begin(shownText), std::end(shownText), u'\0') == std::end(shownText)) {
            fail("VST 3 text not terminated for ID", id);
        }
        const double plain = controller_->normalizedParamToPlain(id, value);
        if (value >= 0.0 && value <= 1.0 && !std::isfinite(plain)) {
            fail("VST 3 plain value not finite for ID", id);
        }
        double typed = -1.0;
        if (controller_->getParamValueByString(id, text.data(), typed) == vst3::kResultOk &&
            !(typed >= 0.0 && typed <= 1.0)) {
            fail("VST 3 typed value outside 0..1 for ID", id);
        }
    }

    void setup(Reader& in) {
        vst3::ProcessSetup setup{vst3::kRealtime, 0, 0, in.number<double>()};
        setup.maxSamplesPerBlock = in.number<std::int32_t>();
        setup.symbolicSampleSize = in.byte() % 2;
        auto arrangement = in.number<std::uint64_t>();
        processor_->setProcessing(0);
        component_->setActive(0);
        processor_->setupProcessing(setup);
        processor_->setBusArrangements(&arrangement, 1, &arrangement, 1);
        component_->setActive(1);
        processor_->setProcessing(1);
    }

  private:
    static vst3::ParamID parameterId(Reader& in) {
        const int b = in.byte() % 26;
        if (b < 20) return static_cast<vst3::ParamID>(b);
        return b == 25 ? 12345u : engine::kBypassId + static_cast<vst3::ParamID>(b - 20);
    }

    std::vector<std::uint8_t> state() {
        vst3host::MemoryStream stream;
        component_->getState(&stream);
        return stream.bytes();
    }

    std::vector<double> shown() {
        std::vector<double> values;
        for (vst3::ParamID id = 0; id < effect::param::count; ++id) {
            values.push_back(controller_->getParamNormalized(id));
        }
        values.push_back(controller_->getParamNormalized(engine::kBypassId));
        return values;
    }

    vst3host::HostApplication host_;
    vst3host::ComponentHandler handler_;
    vst3::IComponent* component_ = nullptr;
    vst3::IEditController* controller_ = nullptr;
    vst3::IAudioProcessor* processor_ = nullptr;
    vst3host::ParameterChanges output_;
};

class Session {
  public:
    explicit Session(vst::AEffect* fx) : fx_(fx) {}

    void step(Reader& in) {
        const std::uint8_t first = in.byte();
        if (first >= 0xF0) {
            lv2Step(in, (first - 0xF0) % 3);
            return;
        }
        if (first >= 0xE0) {
            vst3Step(in, (first - 0xE0) % 4);
            return;
        }
        const int kind = first % 5;
        switch (kind) {
            case 0:
                dispatch(in);
                break;
            case 1: {
                const std::int32_t index = parameterIndex(in);
                fx_->setParameter(fx_, index, in.number<float>());
                break;
            }
            case 2: {
                const float position = fx_->getParameter(fx_, parameterIndex(in));
                if (!(position >= 0.0f && position <= 1.0f)) fail("position outside 0..1", 0);
                break;
            }
            default:
                process(in, kind == 3);
                break;
        }
    }

  private:
    void lv2Step(Reader& in, int kind) {
        if (!lv2_.ready(in)) return;
        switch (kind) {
            case 0:
                lv2_.control(in);
                break;
            case 1: {
                const std::uint32_t frames = in.number<std::uint16_t>() % 8193u;
                std::vector<float> left(std::max<std::size_t>(frames, 1));
                std::vector<float> right(left.size());
                fill(in, left, frames);
                fill(in, right, frames);
                phase_ += frames;
                lv2_.run(left, right, frames, (in.byte() & 1) != 0);
                break;
            }
            default:
                lv2_.activate();
                break;
        }
    }

    void vst3Step(Reader& in, int kind) {
        if (!vst3_) vst3_.emplace();
        switch (kind) {
            case 0: {
                const std::uint32_t frames = in.number<std::uint16_t>() % 8193u;
                std::vector<float> left(std::max<std::size_t>(frames, 1));
                std::vector<float> right(left.size());
                fill(in, left, frames);
                fill(in, right, frames);
                phase_ += frames;
                vst3_->process(in, left, right, frames);
                break;
            }
            case 1:
                vst3_->setState(in);
                break;
            case 2:
                vst3_->control(in);
                break;
            default:
                vst3_->setup(in);
                break;
        }
    }

    static std::int32_t parameterIndex(Reader& in) {
        const std::uint8_t b = in.byte();
        return b < 0x80 ? -3 + b % 27 : in.number<std::int32_t>();
    }

    void dispatch(Reader& in) {
        std::int32_t opcode = -5 + in.byte() % 86;
        if (opcode == vst::effClose) opcode = vst::effOpen;
        const auto index = in.number<std::int32_t>();
        auto value = static_cast<vst::IntPtr>(in.number<std::int64_t>());
        const auto opt = in.number<float>();
        const bool useNull = (in.byte() & 1) != 0;

        // Each opcode gets what a valid host passes: a text buffer by default,
        // the records or handles an opcode asks for, null only where allowed.
        char text[kTextSize];
        std::memset(text, 'x', sizeof text);
        text[kTextSize - 1] = '\0';
        alignas(16) unsigned char events[64] = {};  // a VstEvents block with 0 events
        void* chunk = nullptr;
        void* rect = nullptr;
        vst::VstSpeakerArrangement arrangementIn{};
        vst::VstSpeakerArrangement arrangementOut{};
        arrangementIn.numChannels = 2;
        arrangementOut.numChannels = 2;
        vst::VstSpeakerArrangement* handleIn = &arrangementIn;
        vst::VstSpeakerArrangement* handleOut = &arrangementOut;

        void* ptr = text;
        switch (opcode) {
            case vst::effEditGetRect:
                ptr = &rect;
                break;
            case vst::effEditOpen:
                ptr = nullptr;  // no window of the host's
                break;
            case vst::effGetChunk:
                ptr = &chunk;
                break;
            case vst::effSetChunk:
                value = static_cast<vst::IntPtr>(static_cast<std::uint64_t>(value) % kTextSize);
                break;
            case vst::effProcessEvents:
                ptr = useNull ? nullptr : events;
                break;
            case vst::effSetSpeakerArrangement:
                value = useNull ? 0 : reinterpret_cast<vst::IntPtr>(&arrangementIn);
                ptr = useNull ? nullptr : &arrangementOut;
                break;
            case vst::effGetSpeakerArrangement:
                value = useNull ? 0 : reinterpret_cast<vst::IntPtr>(&handleIn);
                ptr = useNull ? nullptr : &handleOut;
                break;
            default:
                break;
        }
        fx_->dispatcher(fx_, opcode, index, value, ptr, opt);

        const std::size_t budget = textBudget(opcode);
        if (budget > 0 && std::memchr(text, '\0', budget + 1) == nullptr) {
            fail("text longer than its budget, opcode", opcode);
        }
    }

    void fill(Reader& in, std::vector<float>& channel, std::size_t frames) {
        const std::uint8_t mode = in.byte() % 4;
        const auto amount = in.number<float>();
        switch (mode) {
            case 0:
                in.samples(channel.data(), frames);
                break;
            case 1:
                for (std::size_t i = 0; i < frames; ++i) {
                    channel[i] = amount * std::sin(0.05f * static_cast<float>(phase_ + i));
                }
                break;
            case 2: {
                const std::size_t count = sizeof kAwkwardValues / sizeof kAwkwardValues[0];
                const auto pick = static_cast<std::size_t>(in.byte()) % count;
                std::fill(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(frames),
                          kAwkwardValues[pick]);
                break;
            }
            default:
                for (std::size_t i = 0; i < frames; ++i) {
                    noise_ = noise_ * 1664525u + 1013904223u;
                    const float hiss = static_cast<float>(noise_ >> 8) / 16777216.0f - 0.5f;
                    channel[i] =
                        0.2f * hiss + 0.5f * std::sin(0.013f * static_cast<float>(phase_ + i));
                }
                break;
        }
    }

    void process(Reader& in, bool replace) {
        const std::int32_t frames =
            -1 + static_cast<std::int32_t>(in.number<std::uint16_t>() % 4098);
        const std::size_t count = frames > 0 ? static_cast<std::size_t>(frames) : 0;
        std::vector<float> inLeft(std::max<std::size_t>(count, 1));
        std::vector<float> inRight(inLeft.size());
        fill(in, inLeft, count);
        fill(in, inRight, count);
        const bool inPlace = (in.byte() & 1) != 0;
        phase_ += count;

        // Accumulating adds to what the output buffers hold: a finite value,
        // or the input itself when processing in place.
        std::vector<float> outLeft(inLeft.size(), replace ? 7.0f : 0.5f);
        std::vector<float> outRight(inLeft.size(), replace ? 7.0f : -0.5f);
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        if (inPlace) {
            outputs[0] = inLeft.data();
            outputs[1] = inRight.data();
        }
        std::vector<bool> heldFinite(2 * count);
        for (std::size_t i = 0; i < count; ++i) {
            heldFinite[2 * i] = replace || std::isfinite(outputs[0][i]);
            heldFinite[2 * i + 1] = replace || std::isfinite(outputs[1][i]);
        }

        if (replace) {
            fx_->processReplacing(fx_, inputs, outputs, frames);
        } else {
            fx_->process(fx_, inputs, outputs, frames);
        }

        for (std::size_t i = 0; i < count; ++i) {
            if ((heldFinite[2 * i] && !std::isfinite(outputs[0][i])) ||
                (heldFinite[2 * i + 1] && !std::isfinite(outputs[1][i]))) {
                fail("non-finite output at frame", static_cast<long long>(i));
            }
        }
        if (count == 0 && !inPlace && (outLeft[0] != (replace ? 7.0f : 0.5f))) {
            fail("output written for a frame count of", frames);
        }
    }

    vst::AEffect* fx_;
    Lv2Session lv2_;
    std::optional<Vst3Session> vst3_;
    std::size_t phase_ = 0;
    std::uint32_t noise_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Created as the plug-in's entry creates it for a host that answers the
    // version query; closed through the dispatcher, which deletes it.
    auto* effect = new effect::CompressorEffect(hostCallback);
    vst::AEffect* fx = effect->record();
    Reader in(data, size);
    Session session(fx);
    while (!in.empty()) session.step(in);
    fx->dispatcher(fx, vst::effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
