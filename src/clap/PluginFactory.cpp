#include "clap/PluginFactory.h"

#include <cstring>

#include "clap/CompressorClap.h"
#include "effect/ProductInfo.h"

namespace clap {

namespace {

const char* const kFeatures[] = {"audio-effect", "compressor", "stereo", nullptr};

// No web pages: the manual comes with the plug-in.
const clap_plugin_descriptor kDescriptor = {
    kVersion,
    kPluginId,
    effect::product::kEffectName,
    effect::product::kVendorName,
    "",  // url
    "",  // manual_url
    "",  // support_url
    effect::product::kVersion,
    "Four-band stereo compressor",
    kFeatures,
};

std::uint32_t CLAP_CALL pluginCount(const clap_plugin_factory*) {
    return 1;
}

const clap_plugin_descriptor* CLAP_CALL descriptorAt(const clap_plugin_factory*,
                                                     std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

// Calls nothing of the host's: a host may not be ready for it yet.
const clap_plugin* CLAP_CALL createPlugin(const clap_plugin_factory*, const clap_host* host,
                                          const char* pluginId) {
    if (host == nullptr || pluginId == nullptr || std::strcmp(pluginId, kPluginId) != 0) {
        return nullptr;
    }
    return CompressorClap::create(kDescriptor, *host);
}

const clap_plugin_factory kFactory = {pluginCount, descriptorAt, createPlugin};

}  // namespace

const clap_plugin_descriptor& compressorDescriptor() {
    return kDescriptor;
}

const clap_plugin_factory& pluginFactory() {
    return kFactory;
}

}  // namespace clap
