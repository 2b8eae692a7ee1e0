#include "ClapTestHost.h"

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

namespace claptest {

using namespace clap;

namespace {

void check(bool ok, const std::string& step) {
    if (!ok) throw std::runtime_error(step + " failed");
}

int calls = 0;

const void* CLAP_CALL hostExtension(const clap_host*, const char*) {
    ++calls;
    return nullptr;
}

void CLAP_CALL hostRequest(const clap_host*) {
    ++calls;
}

const clap_host kHost = {kVersion, nullptr,        "test host",  "Tessel @ Vantrelix", "",
                         "1",      hostExtension, hostRequest, hostRequest,          hostRequest};

template <typename Extension>
const Extension* extension(const clap_plugin* plugin, const char* id) {
    const auto* found = static_cast<const Extension*>(plugin->get_extension(plugin, id));
    check(found != nullptr, std::string("get_extension ") + id);
    return found;
}

}  // namespace

std::string pluginPath() {
    if (const char* path = std::getenv("CLAP_PLUGIN_PATH")) return path;
    return CLAP_PLUGIN_FILE;
}

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

Module& sharedModule() {
    static Module module(pluginPath());
    return module;
}

const clap_host& testHost() {
    return kHost;
}

int hostCalls() {
    return calls;
}

Instance::Instance(double sampleRate, std::uint32_t largestBlock, Module& module)
    : largestBlock_(largestBlock) {
    const clap_plugin_factory& factory = module.factory();
    check(factory.get_plugin_count(&factory) >= 1, "get_plugin_count");
    const clap_plugin_descriptor* descriptor = factory.get_plugin_descriptor(&factory, 0);
    check(descriptor != nullptr, "get_plugin_descriptor");
    plugin_ = factory.create_plugin(&factory, &kHost, descriptor->id);
    check(plugin_ != nullptr, "create_plugin");
    check(plugin_->init(plugin_), "init");
    params_ = extension<clap_plugin_params>(plugin_, kExtParams);
    state_ = extension<clap_plugin_state>(plugin_, kExtState);
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
    clap_process data{};
    data.steady_time = -1;
    data.frames_count = frames;
    data.audio_inputs = &buffer;
    data.audio_outputs = &output;
    data.audio_inputs_count = 1;
    data.audio_outputs_count = 1;
    data.in_events = input_.list();
    data.out_events = output_.list();
    output_.clear();
    const clap_process_status status = plugin_->process(plugin_, &data);
    input_.clear();
    return status;
}

testhost::Stereo Instance::render(const testhost::Stereo& in, std::size_t block) {
    testhost::Stereo out = in;
    for (std::size_t start = 0; start < out.frames(); start += block) {
        const auto frames = static_cast<std::uint32_t>(std::min(block, out.frames() - start));
        check(process(out.left.data() + start, out.right.data() + start, frames) ==
                  kProcessContinue,
              "process");
    }
    return out;
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
    OutputStream stream(chunk);
    check(state_->save(plugin_, stream.stream()), "state save");
    return stream.bytes();
}

bool Instance::restore(const std::vector<std::uint8_t>& bytes, std::size_t chunk) {
    InputStream stream(bytes, chunk);
    return state_->load(plugin_, stream.stream());
}

}  // namespace claptest
