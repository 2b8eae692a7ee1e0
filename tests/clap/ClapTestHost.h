// The CLAP file under test, opened through the host's CLAP loader
// (host/ClapModule.h) with a host record that counts every call the plug-in
// makes through it. Audio is processed in place, in one stereo input and one
// stereo output buffer sharing their channels.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "ClapModule.h"
#include "PluginHarness.h"

namespace claptest {

using claphost::Module;

// The plug-in file under test: CLAP_PLUGIN_PATH when set, otherwise the one
// the build compiled in.
std::string pluginPath();

// The file under test, loaded once per test program.
Module& sharedModule();

// The host record handed to the plug-in; counts every call the plug-in makes
// through it. It offers a main-thread loop for windows (timers and descriptors)
// and takes requests for a flush.
const clap::clap_host& testHost();
int hostCalls();
int flushRequests();
// The timers and descriptors registered now.
std::size_t registrations();
// One turn of the host's main-thread loop: the plug-in's due timers and
// readable descriptors are called.
void pumpLoop(const clap::clap_plugin& plugin);

// A gui of an instance, opened in a host's order (create embedded for the
// parent's window system, set_scale, set_parent, show) and destroyed on
// leaving. Throws std::runtime_error naming the step that failed.
class OpenGui {
  public:
    OpenGui(const clap::clap_plugin& plugin, const clap::clap_window& parent, double scale = 1.0);
    ~OpenGui();
    OpenGui(const OpenGui&) = delete;
    OpenGui& operator=(const OpenGui&) = delete;

    const clap::clap_plugin_gui* operator->() const { return gui_; }
    std::pair<std::uint32_t, std::uint32_t> size() const;

  private:
    const clap::clap_plugin& plugin_;
    const clap::clap_plugin_gui* gui_;
};

class Instance : public claphost::Instance {
  public:
    explicit Instance(double sampleRate = testhost::kSampleRate,
                      std::uint32_t largestBlock = testhost::kLargestBlock,
                      Module& module = sharedModule())
        : claphost::Instance(module, testHost(), sampleRate, largestBlock) {}

    // The signal in blocks of `block` frames, the queued events in the first.
    testhost::Stereo render(const testhost::Stereo& in, std::size_t block);
};

}  // namespace claptest
