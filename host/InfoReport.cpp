#include "InfoReport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "ParameterSetter.h"
#include "Vst2Plugin.h"
#include "binding/AEffect.h"

namespace host {

namespace {

struct FlagName {
    std::int32_t bit;
    const char* words;
};

constexpr FlagName kFlagNames[] = {
    {vst::effFlagsHasEditor, "editor"},
    {vst::effFlagsHasClip, "clip"},
    {vst::effFlagsHasVu, "VU"},
    {vst::effFlagsCanMono, "mono"},
    {vst::effFlagsCanReplacing, "replacing"},
    {vst::effFlagsProgramChunks, "program chunks"},
    {vst::effFlagsIsSynth, "synth"},
    {vst::effFlagsNoSoundInStop, "no sound in stop"},
    {vst::effFlagsExtIsAsync, "async"},
    {vst::effFlagsExtHasBuffer, "external buffer"},
};

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned int>(value));
    return text;
}

}  // namespace

std::string flagsInWords(std::int32_t flags) {
    std::string words;
    std::int32_t unknown = flags;
    for (const FlagName& flag : kFlagNames) {
        if ((flags & flag.bit) == 0) continue;
        words += (words.empty() ? "" : ", ") + std::string(flag.words);
        unknown &= ~flag.bit;
    }
    if (unknown != 0) words += (words.empty() ? "" : ", ") + ("unknown " + hex(unknown));
    return words.empty() ? "none" : words;
}

std::string uniqueIdText(std::int32_t id) {
    std::string chars;
    const auto bits = static_cast<std::uint32_t>(id);
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(bits >> shift);
        chars += std::isprint(c) != 0 ? static_cast<char>(c) : '?';
    }
    return chars + " (" + hex(id) + ")";
}

std::string positionText(float position) {
    char text[32];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, position);
    return std::string(text, end.ptr);
}

namespace {

// What only a VST 2 plug-in's record says.
void printRecord(const PluginInstance& plugin, std::ostream& out) {
    out << "product:       " << plugin.productName() << "\n"
        << "unique id:     " << uniqueIdText(plugin.uniqueId()) << "\n"
        << "version:       " << plugin.version() << " (vendor version " << plugin.vendorVersion()
        << ", VST " << plugin.vstVersion() << ")\n"
        << "flags:         " << flagsInWords(plugin.flags()) << "\n";
}

std::string clipped(const std::string& text, std::size_t width) {
    return text.size() <= width ? text : text.substr(0, width - 3) + "...";
}

void printControls(const std::vector<Control>& controls, const std::vector<std::string>& values,
                   const std::vector<std::string>& positions, std::ostream& out) {
    std::size_t idWidth = 2;
    std::size_t nameWidth = 4;
    std::size_t valueWidth = 5;
    std::size_t defaultWidth = 7;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        idWidth = std::max(idWidth, controls[i].id.size());
        nameWidth = std::max(nameWidth, controls[i].name.size());
        valueWidth = std::max(valueWidth, values[i].size());
        defaultWidth = std::max(defaultWidth, controls[i].defaultText.size());
    }
    const int iw = static_cast<int>(std::min<std::size_t>(idWidth, 24));
    const int nw = static_cast<int>(std::min<std::size_t>(nameWidth, 40));
    const int vw = static_cast<int>(std::min<std::size_t>(valueWidth, 24));
    const int dw = static_cast<int>(std::min<std::size_t>(defaultWidth, 24));
    const bool withPositions = !positions.empty();
    char line[2048];
    std::snprintf(line, sizeof line, "%-*s  %-*s  %-*s  %-*s  %-8s  %s%s\n", iw, "id", nw, "name",
                  vw, "value", dw, "default", "unit", withPositions ? "position    " : "",
                  "range or choices");
    out << line;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& control = controls[i];
        std::string position;
        if (withPositions) {
            position = positions[i];
            position.resize(std::max<std::size_t>(position.size(), 10), ' ');
            position += "  ";
        }
        std::snprintf(line, sizeof line, "%-*s  %-*s  %-*s  %-*s  %-8s  %s%s\n", iw,
                      control.id.c_str(), nw, clipped(control.name, 40).c_str(), vw,
                      clipped(values[i], 24).c_str(), dw, clipped(control.defaultText, 24).c_str(),
                      control.unit.c_str(), position.c_str(), clipped(control.range, 400).c_str());
        out << line;
    }
}

}  // namespace

void printInfo(const Plugin& plugin, std::ostream& out) {
    const auto* vst2 = dynamic_cast<const Vst2Plugin*>(&plugin);
    out << "plug-in:       " << plugin.location() << "\n"
        << "format:        " << formatName(plugin.format()) << "\n"
        << "name:          " << plugin.name() << "\n"
        << "vendor:        " << plugin.vendor() << "\n";
    if (vst2 != nullptr) printRecord(vst2->instance(), out);
    out << "inputs:        " << plugin.inputs() << "\n"
        << "outputs:       " << plugin.outputs() << "\n"
        << "latency:       " << plugin.latency() << " samples\n";
    const std::vector<std::string> ports = plugin.ports();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        out << (i == 0 ? "ports:         " : "               ") << ports[i] << "\n";
    }
    const std::vector<std::string> presets = plugin.presets();
    out << "presets:       " << presets.size();
    for (std::size_t i = 0; i < presets.size(); ++i) out << (i == 0 ? ": " : ", ") << presets[i];
    out << "\n"
        << "parameters:    " << plugin.parameters().size() << "\n"
        << "outputs read:  " << plugin.meters().size() << " (meters)\n";

    if (!plugin.parameters().empty()) {
        std::vector<std::string> values;
        std::vector<std::string> positions;
        for (std::size_t i = 0; i < plugin.parameters().size(); ++i) {
            values.push_back(plugin.display(i));
            if (vst2 != nullptr)
                positions.push_back(positionText(static_cast<float>(plugin.value(i))));
        }
        out << "\nParameters\n";
        printControls(plugin.parameters(), values, positions, out);
    }
    if (!plugin.meters().empty()) {
        std::vector<std::string> values;
        for (std::size_t i = 0; i < plugin.meters().size(); ++i) {
            values.push_back(numberText(plugin.meter(i)));
        }
        out << "\nRead-only outputs (meters)\n";
        printControls(plugin.meters(), values, {}, out);
    }
}

}  // namespace host
