#include "ClapTestHost.h"

#if !defined(_WIN32)
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

namespace claptest {

using namespace clap;

namespace {

using Clock = std::chrono::steady_clock;

int calls = 0;
int flushes = 0;

struct Timer {
    std::chrono::milliseconds period;
    Clock::time_point due;
};
std::map<clap_id, Timer> timers;
clap_id nextTimer = 0;
std::set<int> descriptors;

void CLAP_CALL requestFlush(const clap_host*) {
    ++calls;
    ++flushes;
}

void CLAP_CALL paramsUnused(const clap_host*, std::uint32_t) {
    ++calls;
}

void CLAP_CALL paramsClear(const clap_host*, clap_id, std::uint32_t) {
    ++calls;
}

bool CLAP_CALL registerTimer(const clap_host*, std::uint32_t period, clap_id* id) {
    ++calls;
    if (id == nullptr) return false;
    *id = nextTimer++;
    timers[*id] = {std::chrono::milliseconds(period), Clock::now()};
    return true;
}

bool CLAP_CALL unregisterTimer(const clap_host*, clap_id id) {
    ++calls;
    return timers.erase(id) == 1;
}

// One registration per descriptor, as hosts' loops take them.
bool CLAP_CALL registerFd(const clap_host*, int fd, std::uint32_t flags) {
    ++calls;
    return (flags & kPosixFdRead) != 0 && descriptors.insert(fd).second;
}

bool CLAP_CALL modifyFd(const clap_host*, int fd, std::uint32_t) {
    ++calls;
    return descriptors.count(fd) == 1;
}

bool CLAP_CALL unregisterFd(const clap_host*, int fd) {
    ++calls;
    return descriptors.erase(fd) == 1;
}

const clap_host_params kHostParams = {paramsUnused, paramsClear, requestFlush};
const clap_host_timer_support kHostTimers = {registerTimer, unregisterTimer};
const clap_host_posix_fd_support kHostDescriptors = {registerFd, modifyFd, unregisterFd};

const void* CLAP_CALL hostExtension(const clap_host*, const char* id) {
    ++calls;
    if (id == nullptr) return nullptr;
    if (std::strcmp(id, kExtParams) == 0) return &kHostParams;
    if (std::strcmp(id, kExtTimerSupport) == 0) return &kHostTimers;
    if (std::strcmp(id, kExtPosixFdSupport) == 0) return &kHostDescriptors;
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

int flushRequests() {
    return flushes;
}

std::size_t registrations() {
    return timers.size() + descriptors.size();
}

// A callback may unregister: each turn works on copies.
void pumpLoop(const clap_plugin& plugin) {
    const auto* timerSupport = static_cast<const clap_plugin_timer_support*>(
        plugin.get_extension(&plugin, kExtTimerSupport));
#if !defined(_WIN32)
    const auto* fdSupport = static_cast<const clap_plugin_posix_fd_support*>(
        plugin.get_extension(&plugin, kExtPosixFdSupport));
    for (const int fd : std::set<int>(descriptors)) {
        pollfd ready{fd, POLLIN, 0};
        if (fdSupport != nullptr && descriptors.count(fd) == 1 && poll(&ready, 1, 0) == 1)
            fdSupport->on_fd(&plugin, fd, kPosixFdRead);
    }
#endif
    const Clock::time_point now = Clock::now();
    for (const auto& [id, timer] : std::map<clap_id, Timer>(timers)) {
        const auto left = timers.find(id);
        if (timerSupport == nullptr || left == timers.end() || now < timer.due) continue;
        left->second.due = now + timer.period;
        timerSupport->on_timer(&plugin, id);
    }
}

OpenGui::OpenGui(const clap_plugin& plugin, const clap_window& parent, double scale)
    : plugin_(plugin),
      gui_(static_cast<const clap_plugin_gui*>(plugin.get_extension(&plugin, kExtGui))) {
    if (gui_ == nullptr) throw std::runtime_error("no gui extension");
    if (!gui_->is_api_supported(&plugin, parent.api, false) ||
        gui_->is_api_supported(&plugin, parent.api, true))
        throw std::runtime_error("is_api_supported: embedded only");
    if (!gui_->create(&plugin, parent.api, false)) throw std::runtime_error("create");
    if (!gui_->set_scale(&plugin, scale)) throw std::runtime_error("set_scale");
    if (!gui_->set_parent(&plugin, &parent)) throw std::runtime_error("set_parent");
    if (!gui_->show(&plugin)) throw std::runtime_error("show");
}

OpenGui::~OpenGui() { gui_->destroy(&plugin_); }

std::pair<std::uint32_t, std::uint32_t> OpenGui::size() const {
    std::uint32_t width = 0, height = 0;
    gui_->get_size(&plugin_, &width, &height);
    return {width, height};
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
