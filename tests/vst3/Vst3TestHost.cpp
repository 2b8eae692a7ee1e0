#include "Vst3TestHost.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace vst3test {

std::string libraryPath() {
    if (const char* path = std::getenv("VST3_PLUGIN_PATH")) return path;
    return VST3_LIBRARY_PATH;
}

Module& sharedModule() {
    static Module module(libraryPath());
    return module;
}

testhost::Stereo Instance::render(const testhost::Stereo& in, std::size_t block) {
    testhost::Stereo out = in;
    for (std::size_t start = 0; start < out.frames(); start += block) {
        const auto frames = static_cast<vst3::int32>(std::min(block, out.frames() - start));
        if (process(out.left.data() + start, out.right.data() + start, frames) != vst3::kResultOk) {
            throw std::runtime_error("process failed");
        }
    }
    return out;
}

}  // namespace vst3test
