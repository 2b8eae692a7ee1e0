#include "Lv2TestHost.h"

#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <stdexcept>

#include "lv2/PortLayout.h"

namespace lv2test {

const std::vector<lv2::ControlPort>& controlPorts() {
    static const std::vector<lv2::ControlPort> ports = lv2::describePorts();
    return ports;
}

const lv2::ControlPort& controlPort(const std::string& symbol) {
    for (const lv2::ControlPort& port : controlPorts()) {
        if (port.control.symbol() == symbol) return port;
    }
    throw std::runtime_error("no control " + symbol);
}

void setAsPort(host::PluginInstance& plugin, const lv2::ControlPort& port, float value) {
    const double position =
        port.control.positionFor(static_cast<double>(lv2::clampToPort(port, value)));
    plugin.setParameter(static_cast<std::int32_t>(port.control.id()), static_cast<float>(position));
}

namespace {

// The URIDs a host hands lilv: each URI's place in one list, from 1.
LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    const auto found = std::find(uris.begin(), uris.end(), uri);
    if (found != uris.end()) return static_cast<LV2_URID>(found - uris.begin() + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

struct PresetReading {
    Lv2Preset* preset;
    LV2_URID floatType;
};

void takePortValue(const char* symbol, void* reading, const void* value, std::uint32_t size,
                   std::uint32_t type) {
    const auto* into = static_cast<PresetReading*>(reading);
    if (type != into->floatType || size != sizeof(float)) return;
    into->preset->values.emplace_back(symbol, *static_cast<const float*>(value));
}

}  // namespace

std::vector<Lv2Preset> Lv2Bundle::presets() const {
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
    LilvNode* presetClass = lilv_new_uri(world(), LV2_PRESETS__Preset);
    LilvNodes* related = lilv_plugin_get_related(plugin(), presetClass);
    std::vector<Lv2Preset> presets;
    LILV_FOREACH(nodes, i, related) {
        const LilvNode* node = lilv_nodes_get(related, i);
        lilv_world_load_resource(world(), node);
        LilvState* state = lilv_state_new_from_world(world(), &map, node);
        if (state == nullptr) continue;
        Lv2Preset preset{lilv_state_get_label(state) ? lilv_state_get_label(state) : "", {}};
        PresetReading reading{&preset, mapUri(&uris, LV2_ATOM__Float)};
        lilv_state_emit_port_values(state, takePortValue, &reading);
        lilv_state_free(state);
        presets.push_back(std::move(preset));
    }
    lilv_nodes_free(related);
    lilv_node_free(presetClass);
    return presets;
}

Lv2Bundle& Lv2Bundle::shared() {
    static Lv2Bundle bundle;
    return bundle;
}

Lv2Bundle::Lv2Bundle() : world_(LV2_BUNDLE_PATH) {}

std::uint32_t Lv2Bundle::portCount() const {
    return static_cast<std::uint32_t>(world_.ports().size());
}

std::uint32_t Lv2Bundle::portIndex(const std::string& symbol) const {
    return world_.port(symbol).index;
}

LilvInstance* Lv2Plugin::instantiate(double sampleRate) {
    return lilv_plugin_instantiate(Lv2Bundle::shared().plugin(), sampleRate, nullptr);
}

Lv2Plugin::Lv2Plugin(double sampleRate)
    : instance_(Lv2Bundle::shared().loaded(), sampleRate, testhost::kLargestBlock) {}

void Lv2Plugin::set(const std::string& symbol, float value) {
    instance_.set(Lv2Bundle::shared().portIndex(symbol), value);
}

void Lv2Plugin::disconnect(const std::string& symbol) {
    instance_.disconnect(Lv2Bundle::shared().portIndex(symbol));
}

float Lv2Plugin::meter(std::int32_t band) const {
    return instance_.value(Lv2Bundle::shared().portIndex("gainReduction" + std::to_string(band)));
}

void Lv2Plugin::activate() {
    instance_.reactivate();
}

void Lv2Plugin::run(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                    std::uint32_t frames) {
    const float* inputs[2] = {inLeft, inRight};
    float* outputs[2] = {outLeft, outRight};
    instance_.run(inputs, outputs, frames);
}
void Lv2Plugin::process(const std::vector<float>& inLeft, const std::vector<float>& inRight,
                        std::vector<float>& outLeft, std::vector<float>& outRight,
                        std::uint32_t blockSize, bool inPlace) {
    if (inPlace) {
        outLeft = inLeft;
        outRight = inRight;
    } else {
        outLeft.assign(inLeft.size(), 0.0f);
        outRight.assign(inRight.size(), 0.0f);
    }
    const auto frames = static_cast<std::uint32_t>(inLeft.size());
    for (std::uint32_t start = 0; start < frames; start += blockSize) {
        const std::uint32_t count = std::min(blockSize, frames - start);
        const float* left = inPlace ? outLeft.data() : inLeft.data();
        const float* right = inPlace ? outRight.data() : inRight.data();
        run(left + start, right + start, outLeft.data() + start, outRight.data() + start, count);
    }
}

}  // namespace lv2test
