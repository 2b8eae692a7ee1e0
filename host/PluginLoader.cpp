// One loader per format behind Plugin.h's loadPlugin.
#include "HostError.h"
#include "Lv2Plugin.h"
#include "Plugin.h"
#include "Vst2Plugin.h"
#include "Vst3Plugin.h"

namespace host {

std::unique_ptr<Plugin> loadPlugin(const std::string& location, double sampleRate,
                                   std::int32_t maxBlock) {
    switch (formatOf(location)) {
        case PluginFormat::vst2: return std::make_unique<Vst2Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::vst3: return std::make_unique<Vst3Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::lv2: return std::make_unique<Lv2Plugin>(location, sampleRate, maxBlock);
        case PluginFormat::clap: break;
    }
    throw HostError("CLAP plug-ins are not supported yet: " + location);
}

}  // namespace host
