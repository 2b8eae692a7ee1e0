#include "Vst3ViewHost.h"

#include <poll.h>

#include <algorithm>
#include <chrono>

namespace vst3test {

using namespace vst3;

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

tresult RunLoop::registerEventHandler(IEventHandler* handler, FileDescriptor fd) {
    if (handler == nullptr) return kInvalidArgument;
    for (const auto& [registered, descriptor] : handlers_)
        if (descriptor == fd) return kInvalidArgument;
    handlers_.emplace_back(handler, fd);
    return kResultOk;
}

tresult RunLoop::unregisterEventHandler(IEventHandler* handler) {
    const auto end = std::remove_if(handlers_.begin(), handlers_.end(),
                                    [&](const auto& entry) { return entry.first == handler; });
    if (end == handlers_.end()) return kInvalidArgument;
    handlers_.erase(end, handlers_.end());
    return kResultOk;
}

tresult RunLoop::registerTimer(ITimerHandler* handler, TimerInterval ms) {
    if (handler == nullptr || ms == 0) return kInvalidArgument;
    const auto interval = static_cast<std::int64_t>(ms);
    timers_.push_back({handler, interval, nowMs() + interval});
    return kResultOk;
}

tresult RunLoop::unregisterTimer(ITimerHandler* handler) {
    const auto end = std::remove_if(timers_.begin(), timers_.end(),
                                    [&](const Timer& timer) { return timer.handler == handler; });
    if (end == timers_.end()) return kInvalidArgument;
    timers_.erase(end, timers_.end());
    return kResultOk;
}

// A handler may unregister itself or another while called: each is found again.
void RunLoop::pump() {
    std::vector<std::pair<IEventHandler*, FileDescriptor>> readable;
    for (const auto& [handler, fd] : handlers_) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 0) > 0) readable.emplace_back(handler, fd);
    }
    for (const auto& entry : readable)
        if (std::find(handlers_.begin(), handlers_.end(), entry) != handlers_.end())
            entry.first->onFDIsSet(entry.second);
    const std::int64_t now = nowMs();
    std::vector<ITimerHandler*> due;
    for (Timer& timer : timers_) {
        if (timer.dueMs > now) continue;
        timer.dueMs = now + timer.intervalMs;
        due.push_back(timer.handler);
    }
    for (ITimerHandler* handler : due)
        if (std::any_of(timers_.begin(), timers_.end(),
                        [&](const Timer& timer) { return timer.handler == handler; }))
            handler->onTimer();
}

tresult PlugFrame::queryInterface(const char* id, void** object) {
    if (IRunLoop::iid.matches(id)) {
        *object = &loop_;
        return kResultOk;
    }
    return HostObject<IPlugFrame>::queryInterface(id, object);
}

tresult PlugFrame::resizeView(IPlugView*, ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    requested_ = *size;
    return kResultOk;
}

}  // namespace vst3test
