#include "Lv2Loader.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/units/units.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace lv2host {

namespace {

// A node made for a look-up, freed at the end of the scope.
class Node {
  public:
    Node(LilvWorld* world, const char* uri) : node_(lilv_new_uri(world, uri)) {}
    ~Node() { lilv_node_free(node_); }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    operator const LilvNode*() const { return node_; }

  private:
    LilvNode* node_;
};

std::string text(const LilvNode* node) {
    return node != nullptr && (lilv_node_is_string(node) || lilv_node_is_uri(node))
               ? lilv_node_as_string(node)
               : std::string();
}

// Takes a node lilv returned for the caller to free.
std::string take(LilvNode* node) {
    std::string result = text(node);
    lilv_node_free(node);
    return result;
}

float number(const LilvNode* node, float fallback) {
    return node != nullptr && (lilv_node_is_float(node) || lilv_node_is_int(node))
               ? lilv_node_as_float(node)
               : fallback;
}

// The symbol of a unit from the LV2 units vocabulary, for worlds that have
// not loaded its description (a bundle loaded alone); else the URI's last word.
std::string unitSymbol(const std::string& uri) {
    static const std::pair<const char*, const char*> kSymbols[] = {
        {"db", "dB"},      {"pc", "%"},         {"hz", "Hz"},      {"khz", "kHz"},
        {"mhz", "MHz"},    {"ms", "ms"},        {"s", "s"},        {"min", "min"},
        {"bpm", "BPM"},    {"cent", "ct"},      {"oct", "oct"},    {"semitone12TET", "semi"},
        {"degree", "deg"}, {"frame", "frames"}, {"beat", "beats"}, {"bar", "bars"}};
    const std::string word = uri.substr(uri.find_last_of("#/") + 1);
    if (uri.rfind(LV2_UNITS_PREFIX, 0) == 0) {
        for (const auto& [name, symbol] : kSymbols) {
            if (word == name) return symbol;
        }
    }
    return word;
}

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->map(uri);
}

const char* unmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    return static_cast<UridMap*>(handle)->unmap(urid);
}

// The preset restore hands values by port symbol.
void setPortValue(const char* symbol, void* data, const void* value, std::uint32_t size,
                  std::uint32_t type) {
    auto* instance = static_cast<Instance*>(data);
    const Port& port = instance->world().port(symbol);
    UridMap& urids = instance->world().uridMap();
    if (port.kind != PortKind::controlIn || size < 4) return;
    if (type == urids.map(LV2_ATOM__Float)) {
        instance->set(port.index, *static_cast<const float*>(value));
    } else if (type == urids.map(LV2_ATOM__Double) && size >= 8) {
        instance->set(port.index, static_cast<float>(*static_cast<const double*>(value)));
    } else if (type == urids.map(LV2_ATOM__Int)) {
        instance->set(port.index, static_cast<float>(*static_cast<const std::int32_t*>(value)));
    }
}

}  // namespace

std::uint32_t UridMap::map(const char* uri) {
    for (std::size_t i = 0; i < uris_.size(); ++i) {
        if (uris_[i] == uri) return static_cast<std::uint32_t>(i + 1);
    }
    uris_.emplace_back(uri);
    return static_cast<std::uint32_t>(uris_.size());
}

const char* UridMap::unmap(std::uint32_t urid) const {
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1].c_str() : nullptr;
}

World::World(const std::string& bundleOrUri) : world_(lilv_world_new()) {
    std::error_code error;
    const LilvPlugins* plugins = nullptr;
    if (std::filesystem::is_directory(bundleOrUri, error)) {
        // The bundle alone, so that an installed copy of the same plug-in is not taken instead.
        const std::string folder = std::filesystem::absolute(bundleOrUri).string() + "/";
        LilvNode* bundle = lilv_new_file_uri(world_, nullptr, folder.c_str());
        lilv_world_load_specifications(world_);
        lilv_world_load_plugin_classes(world_);
        lilv_world_load_bundle(world_, bundle);
        plugins = lilv_world_get_all_plugins(world_);
        LILV_FOREACH(plugins, i, plugins) {
            const LilvPlugin* candidate = lilv_plugins_get(plugins, i);
            if (lilv_node_equals(lilv_plugin_get_bundle_uri(candidate), bundle)) {
                plugin_ = candidate;
                break;
            }
        }
        lilv_node_free(bundle);
    } else {
        lilv_world_load_all(world_);
        const Node uri(world_, bundleOrUri.c_str());
        plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    }
    if (plugin_ == nullptr) {
        lilv_world_free(world_);
        throw std::runtime_error("no LV2 plug-in " + bundleOrUri +
                                 " (a bundle folder, or the URI of an installed plug-in)");
    }
    describePorts();
    findPresets();
}

World::~World() {
    lilv_nodes_free(presetNodes_);
    lilv_world_free(world_);
}

std::string World::uri() const {
    return text(lilv_plugin_get_uri(plugin_));
}

std::string World::name() const {
    return take(lilv_plugin_get_name(plugin_));
}

std::string World::vendor() const {
    return take(lilv_plugin_get_author_name(plugin_));
}

const Port& World::port(const std::string& symbol) const {
    for (const Port& port : ports_) {
        if (port.symbol == symbol) return port;
    }
    throw std::runtime_error("no port " + symbol);
}

void World::describePorts() {
    const Node input(world_, LV2_CORE__InputPort);
    const Node output(world_, LV2_CORE__OutputPort);
    const Node audio(world_, LV2_CORE__AudioPort);
    const Node control(world_, LV2_CORE__ControlPort);
    const Node atom(world_, LV2_ATOM__AtomPort);
    const Node toggled(world_, LV2_CORE__toggled);
    const Node integer(world_, LV2_CORE__integer);
    const Node enumeration(world_, LV2_CORE__enumeration);
    const Node unitProperty(world_, LV2_UNITS__unit);
    const Node symbolProperty(world_, LV2_UNITS__symbol);
    for (std::uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin_); ++i) {
        const LilvPort* lilvPort = lilv_plugin_get_port_by_index(plugin_, i);
        Port port;
        port.index = i;
        port.symbol = text(lilv_port_get_symbol(plugin_, lilvPort));
        port.name = take(lilv_port_get_name(plugin_, lilvPort));
        const bool isInput = lilv_port_is_a(plugin_, lilvPort, input);
        port.output = lilv_port_is_a(plugin_, lilvPort, output);
        if (lilv_port_is_a(plugin_, lilvPort, audio)) {
            port.kind = isInput ? PortKind::audioIn : PortKind::audioOut;
        } else if (lilv_port_is_a(plugin_, lilvPort, control)) {
            port.kind = isInput ? PortKind::controlIn : PortKind::controlOut;
        }
        port.atom = lilv_port_is_a(plugin_, lilvPort, atom);
        LilvNode* def = nullptr;
        LilvNode* min = nullptr;
        LilvNode* max = nullptr;
        lilv_port_get_range(plugin_, lilvPort, &def, &min, &max);
        port.minimum = number(min, 0.0f);
        port.maximum = number(max, 1.0f);
        port.defaultValue = number(def, port.minimum);
        lilv_node_free(def);
        lilv_node_free(min);
        lilv_node_free(max);
        port.toggled = lilv_port_has_property(plugin_, lilvPort, toggled);
        port.integer = lilv_port_has_property(plugin_, lilvPort, integer) ||
                       lilv_port_has_property(plugin_, lilvPort, enumeration);
        if (LilvNodes* units = lilv_port_get_value(plugin_, lilvPort, unitProperty)) {
            const LilvNode* unit = lilv_nodes_get_first(units);
            port.unit = take(lilv_world_get(world_, unit, symbolProperty, nullptr));
            if (port.unit.empty()) port.unit = unitSymbol(text(unit));
            lilv_nodes_free(units);
        }
        if (LilvScalePoints* points = lilv_port_get_scale_points(plugin_, lilvPort)) {
            LILV_FOREACH(scale_points, p, points) {
                const LilvScalePoint* point = lilv_scale_points_get(points, p);
                port.scalePoints.emplace_back(number(lilv_scale_point_get_value(point), 0.0f),
                                              text(lilv_scale_point_get_label(point)));
            }
            lilv_scale_points_free(points);
            std::sort(port.scalePoints.begin(), port.scalePoints.end());
        }
        ports_.push_back(std::move(port));
    }
}

void World::findPresets() {
    const Node presetClass(world_, LV2_PRESETS__Preset);
    const Node label(world_, LILV_NS_RDFS "label");
    presetNodes_ = lilv_plugin_get_related(plugin_, presetClass);
    LILV_FOREACH(nodes, i, presetNodes_) {
        const LilvNode* preset = lilv_nodes_get(presetNodes_, i);
        lilv_world_load_resource(world_, preset);
        std::string name = take(lilv_world_get(world_, preset, label, nullptr));
        if (name.empty()) name = text(preset);
        presets_.emplace_back(name, preset);
    }
}

struct Instance::Features {
    LV2_URID_Map map;
    LV2_URID_Unmap unmap;
    std::int32_t minBlock = 1;
    std::int32_t maxBlock;
    float sampleRate;
    LV2_Options_Option options[5];
    LV2_Feature mapFeature{LV2_URID__map, &map};
    LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    LV2_Feature boundedFeature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* list[5] = {&mapFeature, &unmapFeature, &optionsFeature, &boundedFeature,
                                  nullptr};

    Features(UridMap& urids, double rate, std::uint32_t largest)
        : map{&urids, mapUri},
          unmap{&urids, unmapUrid},
          maxBlock(static_cast<std::int32_t>(largest)),
          sampleRate(static_cast<float>(rate)) {
        const LV2_URID intType = urids.map(LV2_ATOM__Int);
        const LV2_URID floatType = urids.map(LV2_ATOM__Float);
        options[0] = {LV2_OPTIONS_INSTANCE, 0,       urids.map(LV2_BUF_SIZE__minBlockLength),
                      sizeof minBlock,      intType, &minBlock};
        options[1] = {LV2_OPTIONS_INSTANCE, 0,       urids.map(LV2_BUF_SIZE__maxBlockLength),
                      sizeof maxBlock,      intType, &maxBlock};
        options[2] = {LV2_OPTIONS_INSTANCE, 0,       urids.map(LV2_BUF_SIZE__nominalBlockLength),
                      sizeof maxBlock,      intType, &maxBlock};
        options[3] = {LV2_OPTIONS_INSTANCE, 0,         urids.map(LV2_PARAMETERS__sampleRate),
                      sizeof sampleRate,    floatType, &sampleRate};
        options[4] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    }
};

// Room for the events a plug-in may write into an output sequence.
constexpr std::size_t kAtomWords = 1024;

Instance::Instance(World& world, double sampleRate, std::uint32_t maxBlock)
    : world_(world),
      features_(std::make_unique<Features>(world.uridMap(), sampleRate, maxBlock)),
      controls_(world.ports().size(), 0.0f),
      sequenceType_(world.uridMap().map(LV2_ATOM__Sequence)),
      chunkType_(world.uridMap().map(LV2_ATOM__Chunk)) {
    instance_ = lilv_plugin_instantiate(world.plugin(), sampleRate, features_->list);
    if (instance_ == nullptr) {
        throw std::runtime_error(world.uri() + " refused to instantiate at " +
                                 std::to_string(sampleRate) + " Hz");
    }
    for (const Port& port : world.ports()) {
        switch (port.kind) {
            case PortKind::audioIn:
                audioIns_.push_back(port.index);
                break;
            case PortKind::audioOut:
                audioOuts_.push_back(port.index);
                break;
            case PortKind::controlIn:
            case PortKind::controlOut:
                controls_[port.index] = port.defaultValue;
                lilv_instance_connect_port(instance_, port.index, &controls_[port.index]);
                break;
            case PortKind::other:
                if (port.atom) {
                    atoms_.emplace_back(kAtomWords, 0);
                    lilv_instance_connect_port(instance_, port.index, atoms_.back().data());
                }
                break;
        }
    }
    lilv_instance_activate(instance_);
}

Instance::~Instance() {
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

void Instance::set(std::uint32_t port, float value) {
    controls_[port] = value;
    lilv_instance_connect_port(instance_, port, &controls_[port]);
}

void Instance::disconnect(std::uint32_t port) {
    lilv_instance_connect_port(instance_, port, nullptr);
}

void Instance::reactivate() {
    lilv_instance_deactivate(instance_);
    lilv_instance_activate(instance_);
}

void Instance::applyPreset(const LilvNode* preset) {
    LV2_URID_Map* map = &features_->map;
    LilvState* state = lilv_state_new_from_world(world_.world(), map, preset);
    if (state == nullptr) {
        throw std::runtime_error("cannot read the preset " + text(preset));
    }
    lilv_state_restore(state, instance_, setPortValue, this, 0, features_->list);
    lilv_state_free(state);
}

void Instance::run(const float* const* inputs, float* const* outputs, std::uint32_t frames) {
    // Event ports: empty sequences in, the full capacity offered out.
    std::size_t atom = 0;
    for (const Port& port : world_.ports()) {
        if (port.kind != PortKind::other || !port.atom) continue;
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(atoms_[atom++].data());
        if (port.output) {
            sequence->atom.type = chunkType_;
            sequence->atom.size = kAtomWords * sizeof(std::uint64_t) - sizeof(LV2_Atom);
        } else {
            sequence->atom.type = sequenceType_;
            sequence->atom.size = sizeof(LV2_Atom_Sequence_Body);
            sequence->body.unit = 0;
            sequence->body.pad = 0;
        }
    }
    for (std::size_t i = 0; i < audioIns_.size(); ++i) {
        lilv_instance_connect_port(instance_, audioIns_[i], const_cast<float*>(inputs[i]));
    }
    for (std::size_t i = 0; i < audioOuts_.size(); ++i) {
        lilv_instance_connect_port(instance_, audioOuts_[i], outputs[i]);
    }
    lilv_instance_run(instance_, frames);
    // Nothing may be read through these pointers once the run is over.
    for (const std::uint32_t port : audioIns_) lilv_instance_connect_port(instance_, port, nullptr);
    for (const std::uint32_t port : audioOuts_)
        lilv_instance_connect_port(instance_, port, nullptr);
}

}  // namespace lv2host
