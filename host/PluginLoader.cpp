// One loader per format behind Plugin.h's loadPlugin.
#include "ClapPlugin.h"
#include "FpuState.h"
#include "HostError.h"
#include "Lv2Plugin.h"
#include "Plugin.h"
#include "Vst2Plugin.h"
#include "Vst3Plugin.h"

namespace host {

namespace {

std::unique_ptr<Plugin> open(PluginFormat format, const std::string& location, double sampleRate,
                             std::int32_t maxBlock) {
    switch (format) {
        case PluginFormat::vst2:
            return std::make_unique<Vst2Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::vst3:
            return std::make_unique<Vst3Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::lv2:
            return std::make_unique<Lv2Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::clap:
            return std::make_unique<ClapPlugin>(location, sampleRate, maxBlock);
    }
    throw HostError("unknown plug-in format: " + location);
}

}  // namespace

std::unique_ptr<Plugin> loadPlugin(const std::string& location, double sampleRate,
                                   std::int32_t maxBlock) {
    const PluginFormat format = formatOf(location);
    // A plug-in set up under the floating-point state another one left (on
    // loading, processing or unloading) could compute its tables differently.
    FpuState::processDefault().restore();
    std::unique_ptr<Plugin> plugin = open(format, location, sampleRate, maxBlock);
    FpuState::processDefault().restore();
    return plugin;
}

}  // namespace host
