// The host objects a Linux view needs: the GUI loop and the frame. Shared by
// the view tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "Vst3HostObjects.h"

namespace vst3test {

using vst3host::EditRecorder;
using vst3host::HostObject;

// The GUI loop of a Linux host, as Ardour's behaves: one handler per
// descriptor, no null handler, no 0 ms timer; it keeps no references and
// calls whatever is still registered. pump() runs one turn.
class RunLoop final : public HostObject<vst3::IRunLoop> {
  public:
    vst3::tresult VST3_CALL registerEventHandler(vst3::IEventHandler* handler,
                                                 vst3::FileDescriptor fd) override;
    vst3::tresult VST3_CALL unregisterEventHandler(vst3::IEventHandler* handler) override;
    vst3::tresult VST3_CALL registerTimer(vst3::ITimerHandler* handler,
                                          vst3::TimerInterval ms) override;
    vst3::tresult VST3_CALL unregisterTimer(vst3::ITimerHandler* handler) override;

    // Calls the handlers whose descriptor is readable and the timers that are due.
    void pump();
    // Handlers and timers still registered.
    std::size_t registrations() const { return handlers_.size() + timers_.size(); }

  private:
    struct Timer {
        vst3::ITimerHandler* handler;
        std::int64_t intervalMs;
        std::int64_t dueMs;
    };
    std::vector<std::pair<vst3::IEventHandler*, vst3::FileDescriptor>> handlers_;
    std::vector<Timer> timers_;
};

// The frame a host gives a view: offers the run loop, takes resize requests.
class PlugFrame final : public HostObject<vst3::IPlugFrame> {
  public:
    explicit PlugFrame(RunLoop& loop) : loop_(loop) {}
    vst3::tresult VST3_CALL queryInterface(const char* id, void** object) override;
    vst3::tresult VST3_CALL resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override;

    // The size of the last resize request; all zero before one.
    const vst3::ViewRect& requested() const { return requested_; }

  private:
    RunLoop& loop_;
    vst3::ViewRect requested_{};
};

}  // namespace vst3test
