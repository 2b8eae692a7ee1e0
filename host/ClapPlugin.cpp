#include "ClapPlugin.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "HostError.h"
#include "TextMatch.h"

namespace host {

using namespace clap;

namespace {

// Stepped parameters with more values than this are shown as their range.
constexpr double kLongestList = 128.0;

// What a text shows after its number: "12 dB" gives "dB".
std::string unitOf(const std::string& shown) {
    const std::string text = trimText(shown);
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return {};
    return trimText(end);
}

}  // namespace

ClapPlugin::ClapPlugin(const std::string& path, double sampleRate, std::int32_t maxBlock)
    : location_(path) {
    try {
        module_ = std::make_unique<claphost::Module>(path);
        instance_ = std::make_unique<claphost::Instance>(
            *module_, claphost::plainHost(), sampleRate, static_cast<std::uint32_t>(maxBlock));
    } catch (const std::runtime_error& error) {
        throw HostError("cannot load the CLAP plug-in " + path + ": " + error.what());
    }
    const clap_plugin_params& params = instance_->params();
    const std::uint32_t count = params.count(&instance_->plugin());
    for (std::uint32_t i = 0; i < count; ++i) {
        clap_param_info info{};
        if (!params.get_info(&instance_->plugin(), i, &info)) continue;
        if ((info.flags & kParamIsReadonly) != 0) {
            meterIds_.push_back(info.id);
            meters_.push_back(describe(info));
            meterValues_.push_back(instance_->value(info.id));
        } else {
            parameterIds_.push_back(info.id);
            parameters_.push_back(describe(info));
        }
    }
    pending_.resize(parameterIds_.size());
}

ClapPlugin::~ClapPlugin() {
    instance_.reset();
    module_.reset();
}

std::string ClapPlugin::text(clap_id id, double value) const {
    char buffer[256] = {};
    if (!instance_->params().value_to_text(&instance_->plugin(), id, value, buffer,
                                           sizeof buffer)) {
        return numberText(value);
    }
    return trimText(buffer);
}

Control ClapPlugin::describe(const clap_param_info& info) const {
    Control control;
    control.id = std::to_string(info.id);
    control.name = trimText(std::string(info.name, strnlen(info.name, sizeof info.name)));
    control.minimum = info.min_value;
    control.maximum = info.max_value;
    control.defaultValue = info.default_value;
    const std::string shownDefault = text(info.id, info.default_value);
    control.unit = unitOf(shownDefault);
    control.defaultText =
        control.unit.empty() || shownDefault.size() <= control.unit.size()
            ? shownDefault
            : trimText(shownDefault.substr(0, shownDefault.size() - control.unit.size()));
    if ((info.flags & kParamIsStepped) != 0 && info.max_value - info.min_value <= kLongestList) {
        bool words = (info.flags & kParamIsEnum) != 0;
        std::vector<std::pair<double, std::string>> steps;
        for (double v = std::ceil(info.min_value); v <= info.max_value; v += 1.0) {
            steps.emplace_back(v, text(info.id, v));
            if (!leadingNumber(steps.back().second, control.unit)) words = true;
        }
        if (words) {
            control.choices = std::move(steps);
            control.unit.clear();
            control.defaultText = shownDefault;
        }
    }
    control.range = rangeText(control);
    return control;
}

std::string ClapPlugin::name() const {
    const char* name = instance_->descriptor().name;
    return name == nullptr ? std::string() : name;
}

std::string ClapPlugin::vendor() const {
    const char* vendor = instance_->descriptor().vendor;
    return vendor == nullptr ? std::string() : vendor;
}

std::int32_t ClapPlugin::inputs() const {
    return static_cast<std::int32_t>(instance_->inputChannels());
}

std::int32_t ClapPlugin::outputs() const {
    return static_cast<std::int32_t>(instance_->outputChannels());
}

std::vector<std::string> ClapPlugin::ports() const {
    std::vector<std::string> lines;
    const clap_plugin_audio_ports* ports = instance_->audioPorts();
    if (ports == nullptr) return {"audio in 0 and out 0: stereo (the plug-in describes no ports)"};
    for (const bool input : {true, false}) {
        for (std::uint32_t i = 0; i < ports->count(&instance_->plugin(), input); ++i) {
            clap_audio_port_info info{};
            if (!ports->get(&instance_->plugin(), i, input, &info)) continue;
            lines.push_back(std::string(input ? "audio in " : "audio out ") + std::to_string(i) +
                            ": " + trimText(std::string(info.name, strnlen(info.name, kNameSize))) +
                            " (" + std::to_string(info.channel_count) + " channel(s)" +
                            ((info.flags & kAudioPortIsMain) != 0 ? ", main" : "") +
                            (i == 0 ? ", used)" : ")"));
        }
    }
    return lines;
}

std::int32_t ClapPlugin::latency() const {
    const clap_plugin_latency* latency = instance_->latency();
    return latency == nullptr ? 0 : static_cast<std::int32_t>(latency->get(&instance_->plugin()));
}

void ClapPlugin::loadPreset(const std::string& name) {
    throw HostError("the CLAP plug-in offers no presets the host can load ('" + name + "')");
}

void ClapPlugin::setValue(std::size_t parameter, double value) {
    instance_->queue(parameterIds_.at(parameter), value);
    pending_[parameter] = value;
}

double ClapPlugin::value(std::size_t parameter) const {
    if (pending_.at(parameter)) return *pending_[parameter];
    return instance_->value(parameterIds_[parameter]);
}

std::string ClapPlugin::display(std::size_t parameter) const {
    return text(parameterIds_.at(parameter), value(parameter));
}

void ClapPlugin::process(const float* const* inputs, float* const* outputs, std::int32_t frames) {
    const clap_process_status status = instance_->processChannels(
        const_cast<float* const*>(inputs), outputs, static_cast<std::uint32_t>(frames));
    if (status == kProcessError) throw HostError("the CLAP plug-in's process call failed");
    for (auto& value : pending_) value.reset();
    for (std::size_t i = 0; i < meterIds_.size(); ++i) {
        const double reported = instance_->reported(meterIds_[i]);
        if (!std::isnan(reported)) meterValues_[i] = reported;
    }
}

}  // namespace host
