#include "Vst2Plugin.h"

#include <filesystem>
#include <stdexcept>

#include "FactoryPreset.h"
#include "HostError.h"
#include "ParameterSetter.h"
#include "ProgramFile.h"
#include "TextMatch.h"

namespace host {

namespace {

// Positions sampled to tell numbers from choices and to list the choices.
constexpr int kSamples = 256;

}  // namespace

Vst2Plugin::Vst2Plugin(const std::string& path, double sampleRate, std::int32_t maxBlock)
    : owned_(std::make_unique<PluginInstance>(path, sampleRate, maxBlock)),
      plugin_(*owned_),
      twin_(std::make_unique<PluginInstance>(owned_->library(), sampleRate, maxBlock)) {
    describeParameters();
}

Vst2Plugin::Vst2Plugin(PluginInstance& instance) : plugin_(instance) {}

Vst2Plugin::~Vst2Plugin() {
    session_.reset();
    twin_.reset();
}

std::string Vst2Plugin::name() const {
    const std::string effect = trimText(plugin_.effectName());
    return effect.empty() ? trimText(plugin_.productName()) : effect;
}

std::string Vst2Plugin::vendor() const {
    return trimText(plugin_.vendorName());
}

std::vector<std::string> Vst2Plugin::ports() const {
    return {"audio in:  " + std::to_string(plugin_.numInputs()) + " channel(s)",
            "audio out: " + std::to_string(plugin_.numOutputs()) + " channel(s)"};
}

// Each parameter's ends and, when it shows words rather than numbers, the
// words in order with the middle position of each; the position it has on
// loading is its default.
void Vst2Plugin::describeParameters() {
    for (std::int32_t index = 0; index < twin_->numParams(); ++index) {
        const ParameterState state = describeParameter(*twin_, index);
        Control control;
        control.id = std::to_string(index);
        control.name = state.name;
        control.unit = state.label;
        control.defaultValue = static_cast<double>(state.position);
        control.defaultText = state.display;
        std::vector<std::pair<int, std::string>> runs;  // first sample, text
        for (int step = 0; step <= kSamples; ++step) {
            twin_->setParameter(index, static_cast<float>(step) / kSamples);
            const std::string shown = trimText(twin_->parameterDisplay(index));
            if (runs.empty() || runs.back().second != shown) runs.emplace_back(step, shown);
        }
        twin_->setParameter(index, state.position);
        // A number when both ends show one: texts cut short in between
        // ("4.65661e") do not make it a list.
        if (leadingNumber(runs.front().second, state.label) &&
            leadingNumber(runs.back().second, state.label)) {
            control.range = runs.front().second + " to " + runs.back().second +
                            (state.label.empty() ? "" : " " + state.label);
        } else {
            for (std::size_t r = 0; r < runs.size(); ++r) {
                const int end = r + 1 < runs.size() ? runs[r + 1].first - 1 : kSamples;
                control.choices.emplace_back((runs[r].first + end) / 2.0 / kSamples,
                                             runs[r].second);
                control.range += (r == 0 ? "" : ", ") + runs[r].second;
            }
        }
        parameters_.push_back(std::move(control));
    }
}

std::vector<std::string> Vst2Plugin::presets() const {
    std::vector<std::string> programs;
    for (std::int32_t i = 0; i < plugin_.numPrograms(); ++i) {
        char name[256] = {};
        plugin_.dispatch(vst::effGetProgramNameIndexed, i, 0, name);
        programs.push_back(trimText(name));
    }
    std::vector<std::string> names = factoryPresetNames(plugin_);
    // A single unnamed program is no preset to choose.
    if (programs.size() != 1 || !programs.front().empty()) {
        names.insert(names.end(), programs.begin(), programs.end());
    }
    return names;
}

void Vst2Plugin::loadPreset(const std::string& name) {
    std::error_code missing;
    if (!factoryPresetNames(plugin_).empty() || std::filesystem::is_regular_file(name, missing)) {
        programName_ = host::loadPreset(plugin_, name);
        return;
    }
    const std::vector<std::string> names = presets();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (normaliseText(names[i]) == normaliseText(name)) {
            plugin_.dispatch(vst::effSetProgram, 0, static_cast<vst::IntPtr>(i));
            programName_.clear();
            return;
        }
    }
    std::string list;
    for (const std::string& program : names) list += (list.empty() ? "" : ", ") + program;
    throw HostError("no program file or program '" + name + "'; the plug-in's programs: " + list);
}

Program Vst2Plugin::program() const {
    Program program = captureProgram(plugin_);
    if (!programName_.empty()) program.name = programName_;
    return program;
}

double Vst2Plugin::valueFor(std::size_t parameter, const std::string& text) {
    if (twin_ == nullptr) throw HostError("the plug-in's parameters are not described");
    return static_cast<double>(
        ParameterSetter(*twin_).positionForValue(static_cast<std::int32_t>(parameter), text));
}

void Vst2Plugin::setValue(std::size_t parameter, double value) {
    plugin_.setParameter(static_cast<std::int32_t>(parameter), static_cast<float>(value));
}

double Vst2Plugin::value(std::size_t parameter) const {
    return static_cast<double>(plugin_.parameter(static_cast<std::int32_t>(parameter)));
}

std::string Vst2Plugin::display(std::size_t parameter) const {
    const ParameterState state = describeParameter(plugin_, static_cast<std::int32_t>(parameter));
    return state.label.empty() ? state.display : state.display + " " + state.label;
}

void Vst2Plugin::setAccumulating(bool accumulating) {
    accumulating_ = accumulating;
}

void Vst2Plugin::activate() {
    if (!plugin_.canReplace() && !plugin_.hasAccumulatingProcess()) {
        throw HostError("the plug-in offers no process entry");
    }
    session_ = std::make_unique<ProcessingSession>(plugin_);
}

void Vst2Plugin::deactivate() {
    session_.reset();
}

void Vst2Plugin::process(const float* const* inputs, float* const* outputs, std::int32_t frames) {
    auto** in = const_cast<float**>(inputs);
    auto** out = const_cast<float**>(outputs);
    if (accumulating_ || !plugin_.canReplace()) {
        plugin_.processAccumulating(in, out, frames);
    } else {
        plugin_.processReplacing(in, out, frames);
    }
}

double Vst2Plugin::meter(std::size_t) const {
    throw std::logic_error("a VST 2 plug-in has no read-only outputs");
}

}  // namespace host
