// libFuzzer target: each input is decoded into a sequence of host calls on a
// CLAP instance of the compressor, made through the file's own factory (the
// face is linked in, not loaded, so the fuzzer sees its coverage) and active
// at 44.1 kHz. The calls are made the way a valid host makes them, with any
// events, values, texts and state bytes in them.
//
// A run fails on a crash, on any sanitizer report, and on an answer that
// breaks the interface's rules: a process call with buffers that does not
// continue, or one without that claims to; an output sample that is not
// finite where its input was; a meter outside its range; a value outside its
// parameter's range; a text not terminated within the host's buffer; a
// refused state that changed the saved bytes, or saving twice that gives two
// different records.
//
// Input format, read front to back; whatever is missing at the end reads as
// zero bytes. Each step starts with one byte, taken modulo 6:
//   0 process: frames u16 (n % 8193), a fill byte (% 3: 0 raw f32 samples
//     from the input, 1 a sine of an f32 amplitude, 2 a constant from a table
//     of awkward values picked by a byte), a flags byte (bit 0: no buffers,
//     bit 1: separate output buffers), then the events (below)
//   1 flush: the events (below), no audio
//   2 state load: kind byte % 3 (0 raw bytes of length u16 % 300, 1 the
//     saved record with the byte at position u8 set to a value byte, 2 the
//     saved record cut to length u8), then a chunk byte % 8 (bytes per read;
//     0: all)
//   3 params: ID (below), a value f64, a buffer capacity byte, a text of
//     length byte % 40: value_to_text, text_to_value
//   4 reset
//   5 activate again at a rate f64 (refused exactly for the unusable rates;
//     then at 44.1 kHz)
// Events: a count byte % 17, each a type byte (% 14: the core types 0..12
// and one unknown; bit 7: another space), a size byte (% 4: the record's
// own, a header alone, a record cut before its value, a longer one), a time
// u16, an ID and a value byte (below 0x80: a point on the parameter's range,
// b / 127 of the way; otherwise an f64 follows).
// An ID is one byte b % 27: 0..19 the parameters, 20 the bypass, 21..24 the
// meters, 25 the unknown 20, 26 a u32 follows.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ClapHostObjects.h"
#include "clap/PluginFactory.h"
#include "engine/ControlTable.h"

namespace {

using namespace clap;

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

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

[[noreturn]] void fail(const char* what, long long detail) {
    std::fprintf(stderr, "clap_fuzzer: %s (%lld)\n", what, detail);
    std::abort();
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
    std::numeric_limits<float>::min(),
    std::numeric_limits<float>::denorm_min(),
    1e12f,
};

const engine::ControlTable& table() {
    return engine::ControlTable::instance();
}

clap_id readId(Reader& in) {
    const int b = in.byte() % 27;
    if (b < 20) return static_cast<clap_id>(b);
    if (b == 20) return engine::kBypassId;
    if (b < 25) return engine::meterId(static_cast<std::size_t>(b - 21));
    if (b == 25) return 20;
    return in.number<std::uint32_t>();
}

double readValue(Reader& in, clap_id id) {
    const std::uint8_t b = in.byte();
    if (b >= 0x80) return in.number<double>();
    const engine::Control* control = table().find(id);
    if (control == nullptr) return b;
    return control->minimum() + (control->maximum() - control->minimum()) * b / 127.0;
}

void readEvents(Reader& in, claphost::InputEvents& events) {
    events.clear();
    const int count = in.byte() % 17;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t type = in.byte();
        const std::uint8_t size = in.byte();
        const auto time = in.number<std::uint16_t>();
        const clap_id id = readId(in);
        clap_event_param_value event = claphost::paramValue(id, readValue(in, id), time);
        event.header.type = static_cast<std::uint16_t>((type & 0x7F) % 14);
        if ((type & 0x80) != 0) event.header.space_id = 1;
        std::uint8_t record[sizeof event + 16] = {};
        std::size_t length = sizeof event;
        switch (size % 4) {
            case 1:
                length = sizeof event.header;
                break;
            case 2:
                length = offsetof(clap_event_param_value, value);
                break;
            case 3:
                length = sizeof record;
                break;
            default:
                break;
        }
        event.header.size = static_cast<std::uint32_t>(length);
        std::memcpy(record, &event, std::min(length, sizeof event));
        events.addBytes(record, length);
    }
}

void fill(Reader& in, std::vector<float>& samples) {
    switch (in.byte() % 3) {
        case 0:
            for (float& sample : samples) sample = in.number<float>();
            break;
        case 1: {
            const auto amplitude = static_cast<double>(in.number<float>());
            for (std::size_t i = 0; i < samples.size(); ++i) {
                samples[i] =
                    static_cast<float>(amplitude * std::sin(0.05 * static_cast<double>(i)));
            }
            break;
        }
        default:
            std::fill(samples.begin(), samples.end(),
                      kAwkwardValues[in.byte() % std::size(kAwkwardValues)]);
            break;
    }
}

class Session {
  public:
    Session() {
        const clap_plugin_factory& factory = pluginFactory();
        plugin_ = factory.create_plugin(&factory, &host_, kPluginId);
        if (plugin_ == nullptr || !plugin_->init(plugin_)) fail("no instance", 0);
        params_ =
            static_cast<const clap_plugin_params*>(plugin_->get_extension(plugin_, kExtParams));
        state_ = static_cast<const clap_plugin_state*>(plugin_->get_extension(plugin_, kExtState));
        if (params_ == nullptr || state_ == nullptr) fail("an extension is missing", 0);
        activate(44100.0);
    }

    ~Session() {
        plugin_->stop_processing(plugin_);
        plugin_->deactivate(plugin_);
        plugin_->destroy(plugin_);
    }

    void step(Reader& in) {
        switch (in.byte() % 6) {
            case 0:
                process(in);
                break;
            case 1:
                readEvents(in, events_);
                params_->flush(plugin_, events_.list(), output_.list());
                break;
            case 2:
                load(in);
                break;
            case 3:
                texts(in);
                break;
            case 4:
                plugin_->reset(plugin_);
                break;
            default: {
                plugin_->stop_processing(plugin_);
                plugin_->deactivate(plugin_);
                const auto rate = in.number<double>();
                const auto single = static_cast<float>(rate);
                const bool usable = single > 0.0f && std::isfinite(single);
                if (plugin_->activate(plugin_, rate, 1, 8192) != usable) {
                    fail("activate answered wrongly for a rate", 0);
                }
                if (usable) {
                    plugin_->start_processing(plugin_);
                } else {
                    activate(44100.0);
                }
                break;
            }
        }
        checkValues();
    }

  private:
    void activate(double rate) {
        if (!plugin_->activate(plugin_, rate, 1, 8192) || !plugin_->start_processing(plugin_)) {
            fail("activation failed", 0);
        }
    }

    void process(Reader& in) {
        const std::uint32_t frames = in.number<std::uint16_t>() % 8193;
        std::vector<float> left(frames);
        std::vector<float> right(frames);
        fill(in, left);
        fill(in, right);
        const std::uint8_t flags = in.byte();
        readEvents(in, events_);
        const std::vector<float> inLeft = left;
        const std::vector<float> inRight = right;
        std::vector<float> outLeft(frames);
        std::vector<float> outRight(frames);
        const bool separate = (flags & 2) != 0;
        float* inputs[2] = {left.data(), right.data()};
        float* outputs[2] = {separate ? outLeft.data() : left.data(),
                             separate ? outRight.data() : right.data()};
        const bool buffers = (flags & 1) == 0;
        clap_audio_buffer input{};
        input.data32 = buffers ? inputs : nullptr;
        input.channel_count = 2;
        clap_audio_buffer output{};
        output.data32 = buffers ? outputs : nullptr;
        output.channel_count = 2;
        clap_process data{};
        data.steady_time = -1;
        data.frames_count = frames;
        data.audio_inputs = &input;
        data.audio_outputs = &output;
        data.audio_inputs_count = 1;
        data.audio_outputs_count = 1;
        data.in_events = events_.list();
        data.out_events = output_.list();
        output_.clear();
        const clap_process_status status = plugin_->process(plugin_, &data);
        const bool continues = status == kProcessContinue;
        if (continues != (buffers || frames == 0)) fail("process answered wrongly", status);
        if (!buffers) return;
        for (std::uint32_t i = 0; i < frames; ++i) {
            if ((std::isfinite(inLeft[i]) && !std::isfinite(outputs[0][i])) ||
                (std::isfinite(inRight[i]) && !std::isfinite(outputs[1][i]))) {
                fail("a finite input gave a non-finite output at frame", i);
            }
        }
        for (const auto& [id, value] : output_.values()) {
            const engine::Control* meter = table().find(id);
            if (meter == nullptr || !meter->readOnly()) fail("an output event for", id);
            if (!(value >= meter->minimum() && value <= meter->maximum())) {
                fail("a meter outside its range", id);
            }
        }
    }

    void load(Reader& in) {
        std::vector<std::uint8_t> bytes = save(0);
        const std::vector<std::uint8_t> before = bytes;
        switch (in.byte() % 3) {
            case 0:
                bytes.resize(in.number<std::uint16_t>() % 300);
                for (std::uint8_t& b : bytes) b = in.byte();
                break;
            case 1: {
                const std::size_t at = in.byte() % bytes.size();
                bytes[at] = in.byte();
                break;
            }
            default:
                bytes.resize(std::min<std::size_t>(in.byte(), bytes.size()));
                break;
        }
        claphost::InputStream stream(bytes, in.byte() % 8);
        const bool loaded = state_->load(plugin_, stream.stream());
        const std::vector<std::uint8_t> after = save(3);
        if (!loaded && after != before) fail("a refused state changed the instance", 0);
        if (save(0) != after) fail("saving twice gave two records", 0);
    }

    std::vector<std::uint8_t> save(std::size_t chunk) {
        claphost::OutputStream stream(chunk);
        if (!state_->save(plugin_, stream.stream())) fail("the state could not be saved", 0);
        return stream.bytes();
    }

    void texts(Reader& in) {
        const clap_id id = readId(in);
        const auto value = in.number<double>();
        const std::uint32_t capacity = in.byte();
        std::vector<char> text(capacity + 1, '\x7F');
        if (params_->value_to_text(plugin_, id, value, text.data(), capacity)) {
            if (std::find(text.begin(), text.begin() + capacity, '\0') == text.begin() + capacity) {
                fail("a text not terminated within its buffer", capacity);
            }
        }
        std::string typed(in.byte() % 40, ' ');
        for (char& c : typed) c = static_cast<char>(in.byte());
        double read = 0.0;
        const engine::Control* control = table().find(id);
        if (params_->text_to_value(plugin_, id, typed.c_str(), &read) &&
            (control == nullptr || !(read >= control->minimum() && read <= control->maximum()))) {
            fail("a typed value outside the range of", id);
        }
    }

    void checkValues() {
        for (std::uint32_t index = 0; index < params_->count(plugin_); ++index) {
            clap_param_info info{};
            double value = 0.0;
            if (!params_->get_info(plugin_, index, &info) ||
                !params_->get_value(plugin_, info.id, &value)) {
                fail("a listed parameter without info or value", index);
            }
            if (!(value >= info.min_value && value <= info.max_value)) {
                fail("a value outside its range for", info.id);
            }
        }
    }

    clap_host host_{kVersion, nullptr, "fuzzer", "", "", "1", nullptr, nullptr, nullptr, nullptr};
    const clap_plugin* plugin_ = nullptr;
    const clap_plugin_params* params_ = nullptr;
    const clap_plugin_state* state_ = nullptr;
    claphost::InputEvents events_;
    claphost::OutputEvents output_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    Session session;
    while (!in.empty()) session.step(in);
    return 0;
}
