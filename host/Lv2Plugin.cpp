#include "Lv2Plugin.h"

#include <stdexcept>

#include "HostError.h"
#include "TextMatch.h"

namespace host {

namespace {

Control describe(const lv2host::Port& port) {
    Control control;
    control.id = port.symbol;
    control.name = port.name;
    control.unit = port.unit;
    control.minimum = static_cast<double>(port.minimum);
    control.maximum = static_cast<double>(port.maximum);
    control.defaultValue = static_cast<double>(port.defaultValue);
    if (port.toggled) {
        control.choices = {{0.0, "off"}, {1.0, "on"}};
    } else if (port.integer && !port.scalePoints.empty()) {
        for (const auto& [value, label] : port.scalePoints)
            control.choices.emplace_back(value, label);
    }
    control.range = rangeText(control);
    if (control.choices.empty()) control.defaultText = numberText(control.defaultValue);
    for (const auto& [value, label] : control.choices) {
        if (value == control.defaultValue) control.defaultText = label;
    }
    return control;
}

}  // namespace

Lv2Plugin::Lv2Plugin(const std::string& bundleOrUri, double sampleRate, std::int32_t maxBlock) {
    try {
        world_ = std::make_unique<lv2host::World>(bundleOrUri);
        instance_ = std::make_unique<lv2host::Instance>(*world_, sampleRate,
                                                        static_cast<std::uint32_t>(maxBlock));
    } catch (const std::runtime_error& error) {
        throw HostError(error.what());
    }
    for (const lv2host::Port& port : world_->ports()) {
        switch (port.kind) {
            case lv2host::PortKind::audioIn:
                ++inputs_;
                break;
            case lv2host::PortKind::audioOut:
                ++outputs_;
                break;
            case lv2host::PortKind::controlIn:
                parameterPorts_.push_back(port.index);
                parameters_.push_back(describe(port));
                break;
            case lv2host::PortKind::controlOut:
                meterPorts_.push_back(port.index);
                meters_.push_back(describe(port));
                break;
            case lv2host::PortKind::other:
                break;
        }
    }
}

Lv2Plugin::~Lv2Plugin() {
    instance_.reset();
    world_.reset();
}

std::vector<std::string> Lv2Plugin::ports() const {
    std::vector<std::string> lines;
    for (const lv2host::Port& port : world_->ports()) {
        const char* kind = "";
        switch (port.kind) {
            case lv2host::PortKind::audioIn:
                kind = "audio in";
                break;
            case lv2host::PortKind::audioOut:
                kind = "audio out";
                break;
            case lv2host::PortKind::controlIn:
                kind = "control in";
                break;
            case lv2host::PortKind::controlOut:
                kind = "control out";
                break;
            case lv2host::PortKind::other:
                kind = port.atom ? "event" : "other";
                break;
        }
        lines.push_back(std::to_string(port.index) + " " + kind + ": " + port.symbol + " (" +
                        port.name + ")");
    }
    return lines;
}

std::int32_t Lv2Plugin::latency() const {
    if (!lilv_plugin_has_latency(world_->plugin())) return 0;
    return static_cast<std::int32_t>(
        instance_->value(lilv_plugin_get_latency_port_index(world_->plugin())));
}

std::vector<std::string> Lv2Plugin::presets() const {
    std::vector<std::string> names;
    for (const auto& preset : world_->presets()) names.push_back(preset.first);
    return names;
}

void Lv2Plugin::loadPreset(const std::string& name) {
    std::string list;
    for (const auto& [label, node] : world_->presets()) {
        if (normaliseText(label) == normaliseText(name)) {
            try {
                instance_->applyPreset(node);
            } catch (const std::runtime_error& error) {
                throw HostError(error.what());
            }
            return;
        }
        list += (list.empty() ? "" : ", ") + label;
    }
    throw HostError("no preset '" + name +
                    "'; the plug-in's presets: " + (list.empty() ? "none" : list));
}

void Lv2Plugin::setValue(std::size_t parameter, double value) {
    instance_->set(parameterPorts_.at(parameter), static_cast<float>(value));
}

double Lv2Plugin::value(std::size_t parameter) const {
    return static_cast<double>(instance_->value(parameterPorts_.at(parameter)));
}

std::string Lv2Plugin::display(std::size_t parameter) const {
    const Control& control = parameters_.at(parameter);
    const double now = value(parameter);
    for (const auto& [value, label] : control.choices) {
        if (value == now) return label;
    }
    return numberText(now) + (control.unit.empty() ? "" : " " + control.unit);
}

void Lv2Plugin::process(const float* const* inputs, float* const* outputs, std::int32_t frames) {
    instance_->run(inputs, outputs, static_cast<std::uint32_t>(frames));
}

double Lv2Plugin::meter(std::size_t index) const {
    return static_cast<double>(instance_->value(meterPorts_.at(index)));
}

}  // namespace host
