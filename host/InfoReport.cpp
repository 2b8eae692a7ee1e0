#include "InfoReport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "ParameterSetter.h"
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

void printInfo(const PluginInstance& plugin, std::ostream& out) {
    out << "file:          " << plugin.path() << "\n"
        << "effect:        " << plugin.effectName() << "\n"
        << "vendor:        " << plugin.vendorName() << "\n"
        << "product:       " << plugin.productName() << "\n"
        << "unique id:     " << uniqueIdText(plugin.uniqueId()) << "\n"
        << "version:       " << plugin.version() << " (vendor version " << plugin.vendorVersion()
        << ", VST " << plugin.vstVersion() << ")\n"
        << "inputs:        " << plugin.numInputs() << "\n"
        << "outputs:       " << plugin.numOutputs() << "\n"
        << "flags:         " << flagsInWords(plugin.flags()) << "\n"
        << "latency:       " << plugin.initialDelay() << " samples\n"
        << "programs:      " << plugin.numPrograms() << "\n"
        << "parameters:    " << plugin.numParams() << "\n";

    std::vector<ParameterState> states;
    std::size_t nameWidth = 4;
    std::size_t displayWidth = 7;
    for (std::int32_t i = 0; i < plugin.numParams(); ++i) {
        states.push_back(describeParameter(plugin, i));
        nameWidth = std::max(nameWidth, states.back().name.size());
        displayWidth = std::max(displayWidth, states.back().display.size());
    }
    if (states.empty()) return;
    char line[1024];
    const int nw = static_cast<int>(std::min<std::size_t>(nameWidth, 48));
    const int dw = static_cast<int>(std::min<std::size_t>(displayWidth, 24));
    out << "\n";
    std::snprintf(line, sizeof line, "%5s  %-*s  %-*s  %-8s  %s\n", "index", nw, "name", dw,
                  "display", "unit", "position");
    out << line;
    for (const ParameterState& state : states) {
        std::snprintf(line, sizeof line, "%5d  %-*s  %-*s  %-8s  %s\n", state.index, nw,
                      state.name.c_str(), dw, state.display.c_str(), state.label.c_str(),
                      positionText(state.position).c_str());
        out << line;
    }
}

}  // namespace host
