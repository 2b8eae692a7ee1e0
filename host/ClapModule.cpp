#include "ClapModule.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <limits>
#include <stdexcept>

namespace claphost {

using namespace clap;

namespace {

void check(bool ok, const std::string& step) {
    if (!ok) throw std::runtime_error(step + " failed");
}

const void* CLAP_CALL noExtension(const clap_host*, const char*) {
    return nullptr;
}

void CLAP_CALL ignoreRequest(const clap_host*) {}

const clap_host kPlainHost = {
    kVersion, nullptr,     "tessel-host", "Tessel @ Vantrelix", "",
    "1",      noExtension, ignoreRequest, ignoreRequest,        ignoreRequest};

template <typename Extension>
const Extension* extension(const clap_plugin* plugin, const char* id) {
    return static_cast<const Extension*>(plugin->get_extension(plugin, id));
}

}  // namespace

Module::Module(const std::string& path) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + path);
    const auto found = GetProcAddress(static_cast<HMODULE>(handle_), "clap_entry");
    entry_ = reinterpret_cast<const clap_plugin_entry*>(found);
#else
    handle_ = dlopen(path.c_str(), RTLD_LOCAL | RTLD_NOW);
    if (handle_ == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
    entry_ = static_cast<const clap_plugin_entry*>(dlsym(handle_, "clap_entry"));
#endif
    check(entry_ != nullptr, "finding clap_entry in " + path);
    check(entry_->clap_version.major >= 1, "the entry's interface version");
    check(entry_->init(path.c_str()), "entry init");
    factory_ = static_cast<const clap_plugin_factory*>(entry_->get_factory(kPluginFactoryId));
    check(factory_ != nullptr, "get_factory");
}

Module::~Module() {
    entry_->deinit();
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

const clap_host& plainHost() {
    return kPlainHost;
}

Instance::Instance(Module& module, const clap_host& host, double sampleRate,
                   std::uint32_t largestBlock)
    : largestBlock_(largestBlock) {
    const clap_plugin_factory& factory = module.factory();
    check(factory.get_plugin_count(&factory) >= 1, "get_plugin_count");
    descriptor_ = factory.get_plugin_descriptor(&factory, 0);
    check(descriptor_ != nullptr, "get_plugin_descriptor");
    plugin_ = factory.create_plugin(&factory, &host, descriptor_->id);
    check(plugin_ != nullptr, "create_plugin");
    if (!plugin_->init(plugin_)) {
        plugin_->destroy(plugin_);
        throw std::runtime_error("init failed");
    }
    params_ = extension<clap_plugin_params>(plugin_, kExtParams);
    state_ = extension<clap_plugin_state>(plugin_, kExtState);
    audioPorts_ = extension<clap_plugin_audio_ports>(plugin_, kExtAudioPorts);
    latency_ = extension<clap_plugin_latency>(plugin_, kExtLatency);
    if (params_ == nullptr) {
        plugin_->destroy(plugin_);
        throw std::runtime_error(std::string("get_extension ") + kExtParams + " failed");
    }
    if (audioPorts_ != nullptr) {
        for (const bool input : {true, false}) {
            clap_audio_port_info info{};
            const bool has = audioPorts_->count(plugin_, input) > 0 &&
                             audioPorts_->get(plugin_, 0, input, &info);
            (input ? inputChannels_ : outputChannels_) = has ? info.channel_count : 0;
        }
    }
    activate(sampleRate);
}

Instance::~Instance() {
    deactivate();
    plugin_->destroy(plugin_);
}

void Instance::activate(double sampleRate) {
    check(plugin_->activate(plugin_, sampleRate, 1, largestBlock_), "activate");
    check(plugin_->start_processing(plugin_), "start_processing");
    active_ = true;
}

void Instance::deactivate() {
    if (!active_) return;
    plugin_->stop_processing(plugin_);
    plugin_->deactivate(plugin_);
    active_ = false;
}

clap_process_status Instance::process(float* left, float* right, std::uint32_t frames) {
    float* channels[2] = {left, right};
    clap_audio_buffer buffer{};
    buffer.data32 = left == nullptr ? nullptr : channels;
    buffer.channel_count = 2;
    clap_audio_buffer output = buffer;
    return processBuffers(buffer, output, frames);
}

clap_process_status Instance::processChannels(float* const* inputs, float* const* outputs,
                                              std::uint32_t frames) {
    clap_audio_buffer input{};
    input.data32 = const_cast<float**>(inputs);
    input.channel_count = inputChannels_;
    clap_audio_buffer output{};
    output.data32 = const_cast<float**>(outputs);
    output.channel_count = outputChannels_;
    return processBuffers(input, output, frames);
}

clap_process_status Instance::processBuffers(clap_audio_buffer& input, clap_audio_buffer& output,
                                             std::uint32_t frames) {
    clap_process data{};
    data.steady_time = -1;
    data.frames_count = frames;
    data.audio_inputs = &input;
    data.audio_outputs = &output;
    data.audio_inputs_count = inputChannels_ > 0 ? 1 : 0;
    data.audio_outputs_count = 1;
    data.in_events = input_.list();
    data.out_events = output_.list();
    output_.clear();
    const clap_process_status status = plugin_->process(plugin_, &data);
    input_.clear();
    return status;
}

void Instance::flush() {
    params_->flush(plugin_, input_.list(), output_.list());
    input_.clear();
}

double Instance::reported(clap_id id) const {
    const auto found = output_.values().find(id);
    if (found == output_.values().end()) return std::numeric_limits<double>::quiet_NaN();
    return found->second;
}

double Instance::value(clap_id id) const {
    double value = 0.0;
    check(params_->get_value(plugin_, id, &value), "get_value " + std::to_string(id));
    return value;
}

std::vector<std::uint8_t> Instance::state(std::size_t chunk) const {
    check(state_ != nullptr, "get_extension clap.state");
    OutputStream stream(chunk);
    check(state_->save(plugin_, stream.stream()), "state save");
    return stream.bytes();
}

bool Instance::restore(const std::vector<std::uint8_t>& bytes, std::size_t chunk) {
    check(state_ != nullptr, "get_extension clap.state");
    InputStream stream(bytes, chunk);
    return state_->load(plugin_, stream.stream());
}

}  // namespace claphost
