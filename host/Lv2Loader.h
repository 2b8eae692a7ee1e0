// The LV2 loader, on lilv: finds a plug-in by URI among the installed bundles
// or as the first plug-in of a bundle folder, describes its ports and runs
// instances as real hosts do (audio ports connected again before every run,
// controls in host-owned memory, the URID map and the block-length options
// that plug-ins require). Shared by the command-line host and the tests.
#pragma once

#include <lilv/lilv.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace lv2host {

enum class PortKind { audioIn, audioOut, controlIn, controlOut, other };

struct Port {
    std::uint32_t index = 0;
    PortKind kind = PortKind::other;
    bool output = false;
    bool atom = false;  // an event port: it gets an empty sequence
    std::string symbol;
    std::string name;
    std::string unit;  // the unit's symbol ("dB", "ms"), or empty
    float minimum = 0.0f, maximum = 1.0f, defaultValue = 0.0f;
    bool toggled = false;
    bool integer = false;
    std::vector<std::pair<float, std::string>> scalePoints;  // by value
};

// URIs to numbers, as the urid:map feature asks; numbers count from 1.
class UridMap {
  public:
    std::uint32_t map(const char* uri);
    const char* unmap(std::uint32_t urid) const;

  private:
    std::deque<std::string> uris_;
};

// A lilv world with the plug-in loaded. Throws std::runtime_error when the
// bundle or URI holds none.
class World {
  public:
    explicit World(const std::string& bundleOrUri);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }
    std::string uri() const;
    std::string name() const;
    std::string vendor() const;
    const std::vector<Port>& ports() const { return ports_; }
    // The port with this symbol; throws std::runtime_error without one.
    const Port& port(const std::string& symbol) const;
    // The presets' labels, and each one's node, in the order lilv lists them.
    const std::vector<std::pair<std::string, const LilvNode*>>& presets() const { return presets_; }
    UridMap& uridMap() { return urids_; }

  private:
    void describePorts();
    void findPresets();

    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvNodes* presetNodes_ = nullptr;
    std::vector<Port> ports_;
    std::vector<std::pair<std::string, const LilvNode*>> presets_;
    UridMap urids_;
};

// One instance with a value for every control port, all connected, and an
// empty sequence on every event port; activated while it lives.
class Instance {
  public:
    // Throws std::runtime_error when the plug-in refuses to instantiate.
    Instance(World& world, double sampleRate, std::uint32_t maxBlock);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    const World& world() const { return world_; }
    World& world() { return world_; }
    // Control values by port index; setting one connects it again.
    void set(std::uint32_t port, float value);
    float value(std::uint32_t port) const { return controls_[port]; }
    // Leaves a port unconnected (null), as a host may.
    void disconnect(std::uint32_t port);
    // The instance's deactivate and activate, as a host resets a plug-in.
    void reactivate();
    // Applies a preset of the world. Throws std::runtime_error when it cannot be read.
    void applyPreset(const LilvNode* preset);

    // One run: the audio ports in port order get these buffers, each
    // connected for the run alone.
    void run(const float* const* inputs, float* const* outputs, std::uint32_t frames);

  private:
    struct Features;

    World& world_;
    std::unique_ptr<Features> features_;
    LilvInstance* instance_ = nullptr;
    std::vector<float> controls_;
    std::vector<std::uint32_t> audioIns_, audioOuts_;
    std::vector<std::vector<std::uint64_t>> atoms_;  // per event port, 8-byte aligned
    std::uint32_t sequenceType_;
    std::uint32_t chunkType_;
};

}  // namespace lv2host
