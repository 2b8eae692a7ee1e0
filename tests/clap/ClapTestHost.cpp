#include "ClapTestHost.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace claptest {

using namespace clap;

namespace {

int calls = 0;

const void* CLAP_CALL hostExtension(const clap_host*, const char*) {
    ++calls;
    return nullptr;
}

void CLAP_CALL hostRequest(const clap_host*) {
    ++calls;
}

const clap_host kHost = {kVersion, nullptr,       "test host", "Tessel @ Vantrelix", "",
                         "1",      hostExtension, hostRequest, hostRequest,          hostRequest};

}  // namespace

std::string pluginPath() {
    if (const char* path = std::getenv("CLAP_PLUGIN_PATH")) return path;
    return CLAP_PLUGIN_FILE;
}

Module& sharedModule() {
    static Module module(pluginPath());
    return module;
}

const clap_host& testHost() {
    return kHost;
}

int hostCalls() {
    return calls;
}

testhost::Stereo Instance::render(const testhost::Stereo& in, std::size_t block) {
    testhost::Stereo out = in;
    for (std::size_t start = 0; start < out.frames(); start += block) {
        const auto frames = static_cast<std::uint32_t>(std::min(block, out.frames() - start));
        if (process(out.left.data() + start, out.right.data() + start, frames) !=
            kProcessContinue) {
            throw std::runtime_error("process failed");
        }
    }
    return out;
}

}  // namespace claptest
