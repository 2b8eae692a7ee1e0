#include "lv2/TurtleWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "effect/ProductInfo.h"
#include "lv2/PortLayout.h"

namespace lv2 {

namespace {

// The shortest decimal without an exponent that reads back as the same
// float (nine digits always do), always with a point, so that Turtle types it
// as a decimal rather than an integer.
std::string number(float value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strchr(text, 'e') == nullptr &&
            static_cast<float>(std::strtod(text, nullptr)) == value) {
            break;
        }
    }
    std::string result = text;
    if (result.find_first_of(".e") == std::string::npos) result += ".0";
    return result;
}

std::string quoted(const std::string& text) {
    std::string result = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') result += '\\';
        result += c;
    }
    return result + "\"";
}

void writeAudioPort(std::ostream& out, std::uint32_t index, bool input, const char* symbol,
                    const char* name) {
    out << "        a lv2:" << (input ? "InputPort" : "OutputPort") << " , lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(symbol) << " ;\n"
        << "        lv2:name " << quoted(name) << " ;\n";
}

void writeControlPort(std::ostream& out, std::uint32_t index, const ControlPort& port) {
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(port.control.symbol()) << " ;\n"
        << "        lv2:name " << quoted(port.control.name()) << " ;\n";
    if (port.control.kind() == engine::ControlKind::range) {
        out << "        lv2:default " << number(port.defaultValue) << " ;\n"
            << "        lv2:minimum " << number(port.minimum) << " ;\n"
            << "        lv2:maximum " << number(port.maximum) << " ;\n";
        if (!port.unit.empty()) out << "        units:unit units:" << port.unit << " ;\n";
        if (port.control.logarithmic()) out << "        lv2:portProperty pprops:logarithmic ;\n";
        return;
    }
    const auto whole = [](float value) { return std::to_string(static_cast<int>(value)); };
    out << "        lv2:default " << whole(port.defaultValue) << " ;\n"
        << "        lv2:minimum " << whole(port.minimum) << " ;\n"
        << "        lv2:maximum " << whole(port.maximum) << " ;\n";
    if (port.control.kind() == engine::ControlKind::toggle) {
        out << "        lv2:portProperty lv2:toggled ;\n";
        return;
    }
    out << "        lv2:portProperty lv2:integer , lv2:enumeration ;\n"
        << "        lv2:scalePoint ";
    for (std::size_t i = 0; i < port.control.choiceTexts().size(); ++i) {
        out << (i == 0 ? "" : " , ") << "[ rdfs:label " << quoted(port.control.choiceTexts()[i])
            << " ; rdf:value " << i << " ]";
    }
    out << " ;\n";
}

void writeMeterPort(std::ostream& out, std::uint32_t index, const engine::Control& meter) {
    out << "        a lv2:OutputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(meter.symbol()) << " ;\n"
        << "        lv2:name " << quoted(meter.name()) << " ;\n"
        << "        lv2:default " << number(static_cast<float>(meter.defaultValue())) << " ;\n"
        << "        lv2:minimum " << number(static_cast<float>(meter.minimum())) << " ;\n"
        << "        lv2:maximum " << number(static_cast<float>(meter.maximum())) << " ;\n"
        << "        units:unit units:" << unitName(meter.unitLabel()) << " ;\n";
}

// The engine's bypass as LV2 designates it: enabled, the inverse.
void writeEnabledPort(std::ostream& out, std::uint32_t index) {
    out << "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(kEnabledSymbol) << " ;\n"
        << "        lv2:name \"Enabled\" ;\n"
        << "        lv2:default 1 ;\n"
        << "        lv2:minimum 0 ;\n"
        << "        lv2:maximum 1 ;\n"
        << "        lv2:designation lv2:enabled ;\n"
        << "        lv2:portProperty lv2:toggled ;\n";
}

}  // namespace

void writeManifest(std::ostream& out) {
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n"
        << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << kBinaryName << "> ;\n"
        << "    rdfs:seeAlso <" << kTurtleName << "> .\n";
}

void writePluginDescription(std::ostream& out, const engine::ControlTable& table,
                            const std::vector<ControlPort>& controls) {
    out << "# Generated from the engine's control table when the plug-in is built.\n"
        << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
        << "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
        << "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
        << "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n"
        << "<" << kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:CompressorPlugin , doap:Project ;\n"
        << "    doap:name " << quoted(effect::product::kEffectName) << " ;\n"
        << "    doap:maintainer [\n"
        << "        a foaf:Person ;\n"
        << "        foaf:name " << quoted(effect::product::kVendorName) << " ;\n"
        << "    ] ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    lv2:port [\n";
    writeAudioPort(out, kInputLeftPort, true, "inLeft", "In left");
    out << "    ] , [\n";
    writeAudioPort(out, kInputRightPort, true, "inRight", "In right");
    out << "    ] , [\n";
    writeAudioPort(out, kOutputLeftPort, false, "outLeft", "Out left");
    out << "    ] , [\n";
    writeAudioPort(out, kOutputRightPort, false, "outRight", "Out right");
    std::uint32_t index = kFirstControlPort;
    for (const ControlPort& port : controls) {
        out << "    ] , [\n";
        writeControlPort(out, index++, port);
    }
    for (std::uint32_t band = 0; band < kMeterCount; ++band) {
        out << "    ] , [\n";
        writeMeterPort(out, index++, table.meter(band));
    }
    out << "    ] , [\n";
    writeEnabledPort(out, kEnabledPort);
    out << "    ] .\n";
}

}  // namespace lv2
