#include "lv2/PresetWriter.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "lv2/PortLayout.h"

namespace lv2 {

namespace {

// "Mix-bus glue" is <PLUGIN:preset:mix-bus-glue>.
std::string presetUri(const std::string& name) {
    std::string slug;
    for (const char c : name) {
        const auto letter = static_cast<unsigned char>(c);
        if (std::isalnum(letter)) {
            slug += static_cast<char>(std::tolower(letter));
        } else if (!slug.empty() && slug.back() != '-') {
            slug += '-';
        }
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return std::string("<") + kPluginUri + ":preset:" + slug + ">";
}

// The port value for a position: the fewest decimals that the plug-in turns
// back into exactly that position, always as a Turtle decimal, which hosts
// read as a float: an integer literal is another type, and lilv's hosts
// skip it.
std::string portValue(const ControlPort& port, float position) {
    const double shown = port.control.shownAt(static_cast<double>(position));
    char text[64];
    for (int decimals = 1; decimals <= 17; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, shown);
        if (std::strtod(text, nullptr) == shown) break;
    }
    const auto value = static_cast<float>(std::strtod(text, nullptr));
    if (static_cast<float>(
            port.control.positionFor(static_cast<double>(clampToPort(port, value)))) != position) {
        throw std::logic_error("no port value of " + port.control.symbol() +
                               " gives the position " + std::to_string(position));
    }
    return text;
}

}  // namespace

void writePresetManifest(std::ostream& out, const engine::PresetTable& presets) {
    out << "\n@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n";
    for (std::size_t i = 0; i < presets.size(); ++i) {
        out << "\n"
            << presetUri(presets.name(i)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:seeAlso <" << kPresetsTurtleName << "> .\n";
    }
}

void writePresets(std::ostream& out, const engine::PresetTable& presets,
                  const std::vector<ControlPort>& controls) {
    out << "# Generated from the factory preset table when the plug-in is built.\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (std::size_t i = 0; i < presets.size(); ++i) {
        // Every control, so that a preset loaded after another leaves nothing of it.
        out << "\n"
            << presetUri(presets.name(i)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << kPluginUri << "> ;\n"
            << "    rdfs:label \"" << presets.name(i) << "\" ;\n"
            << "    lv2:port ";
        for (std::size_t c = 0; c < controls.size(); ++c) {
            const ControlPort& port = controls[c];
            const float position = presets.state(i).positions.at(port.control.id());
            out << (c == 0 ? "[\n" : " , [\n") << "        lv2:symbol \"" << port.control.symbol()
                << "\" ;\n"
                << "        pset:value " << portValue(port, position) << "\n"
                << "    ]";
        }
        out << " .\n";
    }
}

}  // namespace lv2
