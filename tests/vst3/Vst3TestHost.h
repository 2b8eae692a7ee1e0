// The VST 3 bundle under test, opened through the host's VST 3 loader
// (host/Vst3Module.h) at the tests' rate and largest block.
#pragma once

#include <cstddef>
#include <string>

#include "PluginHarness.h"
#include "Vst3Module.h"

namespace vst3test {

using vst3host::Module;
using vst3host::scan;
using vst3host::ScanReport;

// The library inside the bundle under test: VST3_PLUGIN_PATH when set,
// otherwise the one the build compiled in.
std::string libraryPath();

// The bundle under test, loaded once per test program.
Module& sharedModule();

class Instance : public vst3host::Instance {
  public:
    explicit Instance(double sampleRate = testhost::kSampleRate,
                      vst3::int32 largestBlock = testhost::kLargestBlock,
                      Module& module = sharedModule())
        : vst3host::Instance(module, sampleRate, largestBlock) {}

    // The signal processed in place in blocks of `block` frames, the queued
    // points in the first.
    testhost::Stereo render(const testhost::Stereo& in, std::size_t block);
};

}  // namespace vst3test
