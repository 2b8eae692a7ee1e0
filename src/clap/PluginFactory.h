// The file's one factory and its one plug-in: the compressor's descriptor
// (its stable ID, names, version, features) and the making of instances.
// Everything here is constant or made on request: safe from any thread.
#pragma once

#include "clap/ClapInterfaces.h"

namespace clap {

// Reverse-domain and stable: hosts save projects under it.
inline constexpr const char* kPluginId = "com.vantrelix.tessel.compressor";

const clap_plugin_descriptor& compressorDescriptor();
const clap_plugin_factory& pluginFactory();

}  // namespace clap
