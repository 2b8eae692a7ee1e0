#include "Vst3Plugin.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "HostError.h"
#include "TextMatch.h"
#include "Vst3PresetFile.h"

namespace host {

using namespace vst3;

namespace {

// Lists longer than this are shown as their range.
constexpr int32 kLongestList = 128;

std::string fixedText(const char* text, std::size_t size) {
    return trimText(std::string(text, strnlen(text, size)));
}

}  // namespace

Vst3Plugin::Vst3Plugin(const std::string& bundle, double sampleRate, std::int32_t maxBlock)
    : location_(bundle) {
    try {
        module_ = std::make_unique<vst3host::Module>(vst3host::bundleLibrary(bundle));
        instance_ = std::make_unique<vst3host::Instance>(*module_, sampleRate, maxBlock);
    } catch (const std::runtime_error& error) {
        throw HostError("cannot load the VST 3 plug-in " + bundle + ": " + error.what());
    }
    for (const ParameterInfo& info : instance_->parameters()) {
        if ((info.flags & kIsReadOnly) != 0) {
            meterIds_.push_back(info.id);
            meters_.push_back(describe(info));
            meterValues_.push_back(meters_.back().defaultValue);
        } else {
            if ((info.flags & kIsProgramChange) != 0) programParameter_ = parameters_.size();
            parameterIds_.push_back(info.id);
            parameters_.push_back(describe(info));
        }
    }
}

Vst3Plugin::~Vst3Plugin() {
    instance_.reset();
    module_.reset();
}

std::string Vst3Plugin::shown(ParamID id, double normalized) const {
    String128 text{};
    if (instance_->controller()->getParamStringByValue(id, normalized, text) != kResultOk) {
        return numberText(instance_->controller()->normalizedParamToPlain(id, normalized));
    }
    return trimText(vst3host::narrow(text));
}

Control Vst3Plugin::describe(const ParameterInfo& info) const {
    IEditController* controller = instance_->controller();
    Control control;
    control.id = std::to_string(info.id);
    control.name = trimText(vst3host::narrow(info.title));
    control.unit = trimText(vst3host::narrow(info.units));
    control.minimum = controller->normalizedParamToPlain(info.id, 0.0);
    control.maximum = controller->normalizedParamToPlain(info.id, 1.0);
    control.defaultValue = controller->normalizedParamToPlain(info.id, info.defaultNormalizedValue);
    control.defaultText = shown(info.id, info.defaultNormalizedValue);
    if (info.stepCount > 0 && info.stepCount <= kLongestList) {
        bool words = false;
        std::vector<std::pair<double, std::string>> steps;
        for (int32 step = 0; step <= info.stepCount; ++step) {
            const double normalized = static_cast<double>(step) / info.stepCount;
            const std::string text = shown(info.id, normalized);
            if (!leadingNumber(text, control.unit)) words = true;
            steps.emplace_back(controller->normalizedParamToPlain(info.id, normalized), text);
        }
        if (words || (info.flags & kIsList) != 0) control.choices = std::move(steps);
    }
    control.range = rangeText(control);
    return control;
}

std::string Vst3Plugin::name() const {
    return fixedText(instance_->classInfo().name, sizeof instance_->classInfo().name);
}

std::string Vst3Plugin::vendor() const {
    PFactoryInfo info{};
    if (module_->factory()->getFactoryInfo(&info) != kResultOk) return {};
    return fixedText(info.vendor, sizeof info.vendor);
}

std::vector<std::string> Vst3Plugin::ports() const {
    std::vector<std::string> lines;
    IComponent* component = instance_->component();
    for (const MediaType type : {kAudio, kEvent}) {
        for (const BusDirection direction : {kInput, kOutput}) {
            for (int32 i = 0; i < component->getBusCount(type, direction); ++i) {
                BusInfo bus{};
                if (component->getBusInfo(type, direction, i, bus) != kResultOk) continue;
                lines.push_back(std::string(type == kAudio ? "audio" : "event") +
                                (direction == kInput ? " in " : " out ") + std::to_string(i) +
                                ": " + trimText(vst3host::narrow(bus.name)) + " (" +
                                std::to_string(bus.channelCount) + " channel(s), " +
                                (bus.busType == kMain ? "main" : "aux") +
                                (i == 0 && type == kAudio ? ", used)" : ")"));
            }
        }
    }
    return lines;
}

std::int32_t Vst3Plugin::latency() const {
    return static_cast<std::int32_t>(instance_->processor()->getLatencySamples());
}

std::vector<std::string> Vst3Plugin::presets() const {
    std::vector<std::string> names;
    if (programParameter_ < parameters_.size()) {
        for (const auto& choice : parameters_[programParameter_].choices) {
            names.push_back(choice.second);
        }
    }
    return names;
}

void Vst3Plugin::loadPreset(const std::string& name) {
    std::error_code missing;
    if (std::filesystem::is_regular_file(name, missing)) {
        loadPresetFile(name);
        return;
    }
    if (programParameter_ >= parameters_.size()) {
        throw HostError("the VST 3 plug-in has no programs to choose '" + name + "' from");
    }
    setValue(programParameter_, valueFor(programParameter_, name));
    // The controller sets the program's values on itself; the processor
    // hears of them only as points, like any other change.
    IEditController* controller = instance_->controller();
    for (std::size_t i = 0; i < parameterIds_.size(); ++i) {
        if (i == programParameter_) continue;
        instance_->queue(parameterIds_[i], controller->getParamNormalized(parameterIds_[i]));
    }
}

void Vst3Plugin::loadPresetFile(const std::string& path) {
    const Vst3Preset preset = readVst3Preset(path);
    const std::string ours = classIdText(instance_->classInfo().cid.bytes);
    if (preset.classId != ours) {
        throw HostError(path + " is a preset of another plug-in (class " + preset.classId +
                        ", not " + ours + ")");
    }
    if (instance_->restore(preset.component) != kResultOk) {
        throw HostError("the plug-in refused the state in " + path);
    }
    if (!preset.controller.empty()) {
        vst3host::MemoryStream stream(preset.controller);
        instance_->controller()->setState(&stream);
    }
}

void Vst3Plugin::setValue(std::size_t parameter, double value) {
    const ParamID id = parameterIds_.at(parameter);
    instance_->queue(id, instance_->controller()->plainParamToNormalized(id, value));
}

double Vst3Plugin::value(std::size_t parameter) const {
    const ParamID id = parameterIds_.at(parameter);
    IEditController* controller = instance_->controller();
    return controller->normalizedParamToPlain(id, controller->getParamNormalized(id));
}

std::string Vst3Plugin::display(std::size_t parameter) const {
    const ParamID id = parameterIds_.at(parameter);
    const std::string text = shown(id, instance_->controller()->getParamNormalized(id));
    const std::string& unit = parameters_[parameter].unit;
    return unit.empty() ? text : text + " " + unit;
}

void Vst3Plugin::process(const float* const* inputs, float* const* outputs, std::int32_t frames) {
    const tresult result =
        instance_->processChannels(const_cast<float* const*>(inputs), outputs, frames);
    if (result != kResultOk) {
        throw HostError("the VST 3 plug-in's process call failed (" + std::to_string(result) + ")");
    }
    for (std::size_t i = 0; i < meterIds_.size(); ++i) {
        const double reported = instance_->reported(meterIds_[i]);
        if (!std::isnan(reported)) {
            meterValues_[i] =
                instance_->controller()->normalizedParamToPlain(meterIds_[i], reported);
        }
    }
}

}  // namespace host
