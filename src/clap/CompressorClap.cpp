#include "clap/CompressorClap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "clap/AudioPorts.h"
#include "clap/EditorGui.h"
#include "clap/EventQueue.h"
#include "clap/StateStreams.h"
#include "clap/WindowEdits.h"
#include "effect/ProductInfo.h"

namespace clap {

namespace {

// ---- The records' functions: each hands the call to the instance ----------------

bool CLAP_CALL pluginInit(const clap_plugin*) {
    return true;
}

void CLAP_CALL pluginDestroy(const clap_plugin* plugin) {
    delete &CompressorClap::of(plugin);
}

bool CLAP_CALL pluginActivate(const clap_plugin* plugin, double sampleRate, std::uint32_t,
                              std::uint32_t) {
    return CompressorClap::of(plugin).activate(sampleRate);
}

void CLAP_CALL pluginDeactivate(const clap_plugin* plugin) {
    CompressorClap::of(plugin).deactivate();
}

bool CLAP_CALL pluginStartProcessing(const clap_plugin*) {
    return true;
}

void CLAP_CALL pluginStopProcessing(const clap_plugin*) {}

void CLAP_CALL pluginReset(const clap_plugin* plugin) {
    CompressorClap::of(plugin).reset();
}

clap_process_status CLAP_CALL pluginProcess(const clap_plugin* plugin,
                                            const clap_process* process) {
    if (process == nullptr) return kProcessError;
    return CompressorClap::of(plugin).process(*process);
}

const void* CLAP_CALL pluginExtension(const clap_plugin* plugin, const char* id) {
    return CompressorClap::of(plugin).extension(id);
}

void CLAP_CALL pluginOnMainThread(const clap_plugin*) {}

std::uint32_t CLAP_CALL paramsCount(const clap_plugin* plugin) {
    return CompressorClap::of(plugin).parameterCount();
}

bool CLAP_CALL paramsInfo(const clap_plugin* plugin, std::uint32_t index, clap_param_info* info) {
    return info != nullptr && CompressorClap::of(plugin).parameterInfo(index, *info);
}

bool CLAP_CALL paramsValue(const clap_plugin* plugin, clap_id id, double* value) {
    return value != nullptr && CompressorClap::of(plugin).value(id, *value);
}

bool CLAP_CALL paramsValueToText(const clap_plugin* plugin, clap_id id, double value, char* text,
                                 std::uint32_t capacity) {
    return CompressorClap::of(plugin).valueToText(id, value, text, capacity);
}

bool CLAP_CALL paramsTextToValue(const clap_plugin* plugin, clap_id id, const char* text,
                                 double* value) {
    return text != nullptr && value != nullptr &&
           CompressorClap::of(plugin).textToValue(id, text, *value);
}

void CLAP_CALL paramsFlush(const clap_plugin* plugin, const clap_input_events* in,
                           const clap_output_events* out) {
    CompressorClap::of(plugin).flush(in, out);
}

bool CLAP_CALL stateSave(const clap_plugin* plugin, const clap_ostream* stream) {
    return stream != nullptr && CompressorClap::of(plugin).save(*stream);
}

bool CLAP_CALL stateLoad(const clap_plugin* plugin, const clap_istream* stream) {
    return stream != nullptr && CompressorClap::of(plugin).load(*stream);
}

std::uint32_t CLAP_CALL latencyFrames(const clap_plugin*) {
    return 0;
}

bool CLAP_CALL guiIsApiSupported(const clap_plugin*, const char* api, bool floating) {
    return EditorGui::supports(api, floating);
}

bool CLAP_CALL guiPreferredApi(const clap_plugin*, const char** api, bool* floating) {
    if (api == nullptr || floating == nullptr) return false;
    *api = EditorGui::api();
    *floating = false;
    return true;
}

bool CLAP_CALL guiCreate(const clap_plugin* plugin, const char* api, bool floating) {
    return CompressorClap::of(plugin).createGui(api, floating);
}

void CLAP_CALL guiDestroy(const clap_plugin* plugin) {
    CompressorClap::of(plugin).destroyGui();
}

bool CLAP_CALL guiSetScale(const clap_plugin* plugin, double scale) {
    EditorGui* gui = CompressorClap::of(plugin).gui();
    return gui != nullptr && gui->setScale(scale);
}

// get_size, and adjust_size: whatever the host asks, the size of the scale.
bool CLAP_CALL guiSize(const clap_plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    const EditorGui* gui = CompressorClap::of(plugin).gui();
    if (gui == nullptr || width == nullptr || height == nullptr) return false;
    *width = gui->width();
    *height = gui->height();
    return true;
}

// One size per scale.
bool CLAP_CALL guiCanResize(const clap_plugin*) {
    return false;
}

bool CLAP_CALL guiResizeHints(const clap_plugin*, clap_gui_resize_hints* hints) {
    if (hints == nullptr) return false;
    *hints = clap_gui_resize_hints{false, false, false, 0, 0};
    return true;
}

bool CLAP_CALL guiSetSize(const clap_plugin* plugin, std::uint32_t width, std::uint32_t height) {
    const EditorGui* gui = CompressorClap::of(plugin).gui();
    return gui != nullptr && width == gui->width() && height == gui->height();
}

bool CLAP_CALL guiSetParent(const clap_plugin* plugin, const clap_window* window) {
    EditorGui* gui = CompressorClap::of(plugin).gui();
    return gui != nullptr && window != nullptr && gui->setParent(*window);
}

// Embedded only: no window of its own to lend.
bool CLAP_CALL guiSetTransient(const clap_plugin*, const clap_window*) {
    return false;
}

void CLAP_CALL guiSuggestTitle(const clap_plugin*, const char*) {}

bool CLAP_CALL guiShow(const clap_plugin* plugin) {
    EditorGui* gui = CompressorClap::of(plugin).gui();
    return gui != nullptr && gui->setVisible(true);
}

bool CLAP_CALL guiHide(const clap_plugin* plugin) {
    EditorGui* gui = CompressorClap::of(plugin).gui();
    return gui != nullptr && gui->setVisible(false);
}

#if !defined(_WIN32)
void CLAP_CALL timerFired(const clap_plugin* plugin, clap_id timer) {
    if (EditorGui* gui = CompressorClap::of(plugin).gui()) gui->onTimer(timer);
}

void CLAP_CALL descriptorReady(const clap_plugin* plugin, int fd, std::uint32_t) {
    if (EditorGui* gui = CompressorClap::of(plugin).gui()) gui->onFd(fd);
}

const clap_plugin_timer_support kTimerSupport = {timerFired};
const clap_plugin_posix_fd_support kPosixFdSupport = {descriptorReady};
#endif

const clap_plugin_gui kGui = {guiIsApiSupported, guiPreferredApi, guiCreate,     guiDestroy,
                              guiSetScale,       guiSize,         guiCanResize,  guiResizeHints,
                              guiSize,           guiSetSize,      guiSetParent,  guiSetTransient,
                              guiSuggestTitle,   guiShow,         guiHide};

const clap_plugin_params kParams = {paramsCount,       paramsInfo,        paramsValue,
                                    paramsValueToText, paramsTextToValue, paramsFlush};
const clap_plugin_state kState = {stateSave, stateLoad};
const clap_plugin_latency kLatency = {latencyFrames};

// The stereo main ports' channels, or false when the host gave none usable.
bool stereoChannels(const clap_process& process, float* const*& inputs, float* const*& outputs) {
    if (process.audio_inputs_count < 1 || process.audio_outputs_count < 1 ||
        process.audio_inputs == nullptr || process.audio_outputs == nullptr) {
        return false;
    }
    const clap_audio_buffer& in = process.audio_inputs[0];
    const clap_audio_buffer& out = process.audio_outputs[0];
    if (in.channel_count < 2 || out.channel_count < 2 || in.data32 == nullptr ||
        out.data32 == nullptr) {
        return false;
    }
    for (int channel = 0; channel < 2; ++channel) {
        if (in.data32[channel] == nullptr || out.data32[channel] == nullptr) return false;
    }
    inputs = in.data32;
    outputs = out.data32;
    return true;
}

template <std::size_t N>
void copyText(char (&into)[N], const std::string& text) {
    std::strncpy(into, text.c_str(), N - 1);
    into[N - 1] = '\0';
}

}  // namespace

CompressorClap::CompressorClap(const clap_plugin_descriptor& descriptor, const clap_host& host)
    : plugin_{&descriptor,
              this,
              pluginInit,
              pluginDestroy,
              pluginActivate,
              pluginDeactivate,
              pluginStartProcessing,
              pluginStopProcessing,
              pluginReset,
              pluginProcess,
              pluginExtension,
              pluginOnMainThread},
      host_(host) {}

const clap_plugin* CompressorClap::create(const clap_plugin_descriptor& descriptor,
                                          const clap_host& host) {
    try {
        return &(new CompressorClap(descriptor, host))->plugin_;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The signal's history starts afresh, as in a new instance; the rate must be
// one the effect can run at.
bool CompressorClap::activate(double sampleRate) {
    const auto rate = static_cast<float>(sampleRate);
    if (!(rate > 0.0f && std::isfinite(rate))) return false;
    engine_.setSampleRate(sampleRate);
    engine_.reset();
    active_ = true;
    return true;
}

void CompressorClap::destroyGui() { gui_.reset(); }

bool CompressorClap::createGui(const char* api, bool floating) {
    if (gui_ != nullptr || !EditorGui::supports(api, floating)) return false;
    try {
        gui_ = std::make_unique<EditorGui>(host_, engine_, edits_, active_);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

const void* CompressorClap::extension(const char* id) const {
    if (id == nullptr) return nullptr;
    if (std::strcmp(id, kExtParams) == 0) return &kParams;
    if (std::strcmp(id, kExtState) == 0) return &kState;
    if (std::strcmp(id, kExtAudioPorts) == 0) return &audioPorts();
    if (std::strcmp(id, kExtLatency) == 0) return &kLatency;
    if (std::strcmp(id, kExtGui) == 0) return &kGui;
#if !defined(_WIN32)
    if (std::strcmp(id, kExtTimerSupport) == 0) return &kTimerSupport;
    if (std::strcmp(id, kExtPosixFdSupport) == 0) return &kPosixFdSupport;
#endif
    return nullptr;
}

// Events take effect at their frames. Without usable buffers the events
// still apply, so that no value is lost, and a block of frames is an error.
clap_process_status CompressorClap::process(const clap_process& process) {
    EventQueue hostEvents(engine_.controls(), process.in_events);
    WindowEdits events(edits_, engine_.controls(), process.out_events, hostEvents);
    float* const* inputs = nullptr;
    float* const* outputs = nullptr;
    const bool usable = stereoChannels(process, inputs, outputs) &&
                        process.frames_count <= std::numeric_limits<std::int32_t>::max();
    if (!usable) {
        engine_.process(nullptr, nullptr, 0, &events);
        return process.frames_count == 0 ? kProcessContinue : kProcessError;
    }
    engine_.process(inputs, outputs, static_cast<std::int32_t>(process.frames_count), &events);
    process.audio_outputs[0].constant_mask = 0;
    sendMeters(process.out_events);
    return kProcessContinue;
}

// Each band's reading over the block, at its first frame, within the range
// the meter's info gives: deeper readings show as its floor.
void CompressorClap::sendMeters(const clap_output_events* out) const {
    if (out == nullptr || out->try_push == nullptr) return;
    for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
        const engine::Control& meter = engine_.controls().meter(band);
        clap_event_param_value event{};
        event.header = {sizeof event, 0, kCoreEventSpace, kEventParamValue, 0};
        event.param_id = engine::meterId(band);
        event.note_id = -1;
        event.port_index = -1;
        event.channel = -1;
        event.key = -1;
        event.value = std::clamp(engine_.meterDb(band), meter.minimum(), meter.maximum());
        out->try_push(out, &event.header);
    }
}

// ---- params -----------------------------------------------------------------------

std::uint32_t CompressorClap::parameterCount() const {
    return static_cast<std::uint32_t>(engine_.controls().size());
}

bool CompressorClap::parameterInfo(std::uint32_t index, clap_param_info& info) const {
    const engine::ControlTable& table = engine_.controls();
    if (index >= table.size()) return false;
    const engine::Control& control = table.at(index);
    info = clap_param_info{};
    info.id = control.id();
    switch (control.kind()) {
        case engine::ControlKind::range:
            info.flags = kParamIsAutomatable;
            break;
        case engine::ControlKind::choice:
            info.flags = kParamIsAutomatable | kParamIsStepped | kParamIsEnum;
            break;
        case engine::ControlKind::toggle:
            info.flags = kParamIsAutomatable | kParamIsStepped;
            break;
        case engine::ControlKind::bypass:
            info.flags = kParamIsAutomatable | kParamIsStepped | kParamIsBypass;
            break;
        case engine::ControlKind::meter:
            info.flags = kParamIsReadonly;
            break;
    }
    copyText(info.name, control.name());
    info.min_value = control.minimum();
    info.max_value = control.maximum();
    info.default_value = control.defaultValue();
    return true;
}

bool CompressorClap::value(clap_id id, double& value) const {
    const engine::Control* control = engine_.controls().find(id);
    if (control == nullptr) return false;
    value = control->shownAt(engine_.positionOf(id));
    return true;
}

// The display text with its unit, cut to the host's buffer.
bool CompressorClap::valueToText(clap_id id, double value, char* text,
                                 std::uint32_t capacity) const {
    const engine::Control* control = engine_.controls().find(id);
    if (control == nullptr || text == nullptr || capacity == 0 || std::isnan(value)) return false;
    std::string shown = control->displayText(control->positionFor(value));
    if (!control->unitLabel().empty()) shown += " " + control->unitLabel();
    const std::size_t length = std::min<std::size_t>(shown.size(), capacity - 1);
    std::memcpy(text, shown.data(), length);
    text[length] = '\0';
    return true;
}

bool CompressorClap::textToValue(clap_id id, const char* text, double& value) const {
    const engine::Control* control = engine_.controls().find(id);
    if (control == nullptr) return false;
    const std::optional<double> position = control->positionFromText(text);
    if (!position) return false;
    value = control->shownAt(*position);
    return true;
}

// Inactive, on the main thread; active, on the audio thread between blocks:
// either way a block of no frames.
void CompressorClap::flush(const clap_input_events* in, const clap_output_events* out) {
    EventQueue hostEvents(engine_.controls(), in);
    WindowEdits events(edits_, engine_.controls(), out, hostEvents);
    engine_.process(nullptr, nullptr, 0, &events);
}

// ---- state ------------------------------------------------------------------------

bool CompressorClap::save(const clap_ostream& stream) const {
    const engine::StateBytes bytes = engine_.saveState();
    return writeAll(stream, bytes.data(), bytes.size());
}

// Reads the head, which tells the whole size, then the rest; data the
// engine refuses changes nothing.
bool CompressorClap::load(const clap_istream& stream) {
    try {
        std::vector<std::uint8_t> bytes(engine::kStateHeadBytes);
        if (!readExactly(stream, bytes.data(), bytes.size())) return false;
        const std::optional<std::size_t> size = engine::stateSize(bytes.data());
        if (!size || *size < bytes.size()) return false;
        bytes.resize(*size);
        if (!readExactly(stream, bytes.data() + engine::kStateHeadBytes,
                         *size - engine::kStateHeadBytes)) {
            return false;
        }
        return engine_.loadState(bytes.data(), bytes.size()).has_value();
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace clap
