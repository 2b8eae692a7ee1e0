// One CLAP instance of the compressor: the plug-in record a host holds and
// the engine it drives. Parameter values arrive as events in shown units and
// reach the engine as positions at their frames; the meters go back to the
// host as read-only parameters, in events after each block.
//
// Threads, as the interface assigns them: the host's main thread makes,
// activates and destroys the instance and calls the params (but for a flush
// while active), state and ports functions; its audio thread calls
// start_processing, process, reset, stop_processing and an active flush,
// never two at a time. Only the gui calls the host, on the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "clap/ClapInterfaces.h"
#include "engine/CompressorEngine.h"
#include "engine/EditQueue.h"

namespace clap {

class EditorGui;

class CompressorClap final {
  public:
    // The new instance's record, or null when it cannot be made.
    static const clap_plugin* create(const clap_plugin_descriptor& descriptor,
                                     const clap_host& host);

    // The instance behind a record a host hands back.
    static CompressorClap& of(const clap_plugin* plugin) {
        return *static_cast<CompressorClap*>(plugin->plugin_data);
    }

    bool activate(double sampleRate);
    void deactivate() { active_ = false; }
    void reset() { engine_.reset(); }
    clap_process_status process(const clap_process& process);
    const void* extension(const char* id) const;

    // params
    std::uint32_t parameterCount() const;
    bool parameterInfo(std::uint32_t index, clap_param_info& info) const;
    bool value(clap_id id, double& value) const;
    bool valueToText(clap_id id, double value, char* text, std::uint32_t capacity) const;
    bool textToValue(clap_id id, const char* text, double& value) const;
    void flush(const clap_input_events* in, const clap_output_events* out);

    // state
    bool save(const clap_ostream& stream) const;
    bool load(const clap_istream& stream);

    // gui: one at a time; null while none is made.
    bool createGui(const char* api, bool floating);
    void destroyGui();
    EditorGui* gui() const { return gui_.get(); }

  private:
    CompressorClap(const clap_plugin_descriptor& descriptor, const clap_host& host);

    void sendMeters(const clap_output_events* out) const;

    clap_plugin plugin_;
    const clap_host& host_;
    engine::CompressorEngine engine_;
    std::atomic<bool> active_{false};
    engine::EditQueue edits_;
    std::unique_ptr<EditorGui> gui_;
};

}  // namespace clap
