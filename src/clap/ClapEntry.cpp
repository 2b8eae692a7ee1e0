// The file's one exported symbol: the entry record hosts look up by name.
// Nothing to set up or tear down, so init may come again after deinit.
#include <cstring>

#include "clap/PluginFactory.h"

namespace {

bool CLAP_CALL initEntry(const char*) {
    return true;
}

void CLAP_CALL deinitEntry() {}

const void* CLAP_CALL factoryFor(const char* factoryId) {
    if (factoryId == nullptr || std::strcmp(factoryId, clap::kPluginFactoryId) != 0) return nullptr;
    return &clap::pluginFactory();
}

}  // namespace

#if defined(_WIN32)
#define CLAP_ENTRY_EXPORT
#else
#define CLAP_ENTRY_EXPORT __attribute__((visibility("default")))
#endif

extern "C" CLAP_ENTRY_EXPORT const clap::clap_plugin_entry clap_entry;
extern "C" const clap::clap_plugin_entry clap_entry = {clap::kVersion, initEntry, deinitEntry,
                                                       factoryFor};
