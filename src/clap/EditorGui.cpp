#include "clap/EditorGui.h"

#include <cstring>

#include "engine/ControlIds.h"
#if defined(_WIN32)
#include "window/Win32Window.h"
#else
#include "window/X11Window.h"
#endif

namespace clap {
namespace {

constexpr std::uint32_t kNoGesture = kInvalidId;

template <typename Extension>
const Extension* hostExtension(const clap_host& host, const char* id) {
    if (host.get_extension == nullptr) return nullptr;
    return static_cast<const Extension*>(host.get_extension(&host, id));
}

engine::ControlId idAt(std::size_t index) {
    return index < engine::kParameterCount ? static_cast<engine::ControlId>(index)
                                           : engine::kBypassId;
}

}  // namespace

const char* EditorGui::api() {
#if defined(_WIN32)
    return kWindowApiWin32;
#else
    return kWindowApiX11;
#endif
}

bool EditorGui::supports(const char* api, bool floating) {
    return !floating && api != nullptr && std::strcmp(api, EditorGui::api()) == 0;
}

EditorGui::EditorGui(const clap_host& host, const engine::CompressorEngine& engine,
                     engine::EditQueue& edits, const std::atomic<bool>& active)
    : host_(host), engine_(engine), edits_(edits), active_(active),
      hostParams_(hostExtension<clap_host_params>(host, kExtParams)), editor_(*this, 1.0),
      gesture_(kNoGesture)
#if !defined(_WIN32)
      ,
      timers_(hostExtension<clap_host_timer_support>(host, kExtTimerSupport)),
      descriptors_(hostExtension<clap_host_posix_fd_support>(host, kExtPosixFdSupport))
#endif
{
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        shown_[i] = engine_.positionOf(idAt(i));
        editor_.setPosition(idAt(i), shown_[i]);
    }
    showEngine();
}

#if defined(_WIN32)
EditorGui::~EditorGui() = default;

bool EditorGui::setParent(const clap_window& parent) {
    if (window_ != nullptr || !supports(parent.api, false)) return false;
    window_ = window::Win32Window::open(parent.win32, editor_, [this] { showEngine(); });
    return window_ != nullptr;
}
#else
EditorGui::~EditorGui() { close(); }

// Linux hosts drive plug-in windows only through their timers and descriptors.
bool EditorGui::setParent(const clap_window& parent) {
    if (window_ != nullptr || !supports(parent.api, false) || timers_ == nullptr ||
        descriptors_ == nullptr)
        return false;
    window_ = window::X11Window::open(parent.x11, editor_);
    if (window_ == nullptr) return false;
    if (descriptors_->register_fd(&host_, window_->descriptor(), kPosixFdRead | kPosixFdError))
        descriptor_ = window_->descriptor();
    if (descriptor_ < 0 || !timers_->register_timer(&host_, window::X11Window::kTickMilliseconds, &timer_)) {
        close();
        return false;
    }
    return true;
}

// The host calls whatever is left registered: everything goes before the window.
void EditorGui::close() {
    if (timer_ != kInvalidId) timers_->unregister_timer(&host_, timer_);
    if (descriptor_ >= 0) descriptors_->unregister_fd(&host_, descriptor_);
    timer_ = kInvalidId;
    descriptor_ = -1;
    window_.reset();
}
#endif

bool EditorGui::setScale(double scale) {
    if (!(scale >= 0.5 && scale <= 4.0)) return false;
    editor_.setScale(scale);
    if (window_ != nullptr) window_->fitEditor();
    return true;
}

std::uint32_t EditorGui::width() const { return static_cast<std::uint32_t>(editor_.width()); }
std::uint32_t EditorGui::height() const { return static_cast<std::uint32_t>(editor_.height()); }

bool EditorGui::setVisible(bool visible) {
    if (window_ == nullptr) return false;
    window_->setVisible(visible);
    return true;
}

#if !defined(_WIN32)
void EditorGui::onTimer(clap_id timer) {
    if (window_ == nullptr || timer != timer_) return;
    showEngine();
    window_->tick();
}

void EditorGui::onFd(int fd) {
    if (window_ != nullptr && fd == descriptor_) window_->dispatch();
}
#endif

// A control being dragged shows the drag, not the engine catching up with it.
void EditorGui::showEngine() {
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const engine::ControlId id = idAt(i);
        const double position = engine_.positionOf(id);
        if (position == shown_[i] || id == gesture_) continue;
        shown_[i] = position;
        editor_.setPosition(id, position);
    }
    for (std::size_t band = 0; band < engine::kMeterCount; ++band)
        editor_.setMeter(static_cast<int>(band), static_cast<float>(engine_.meterDb(band)));
}

void EditorGui::beginEdit(std::uint32_t id) {
    gesture_ = id;
    queue({engine::Edit::Kind::begin, id, 0.0});
}

void EditorGui::performEdit(std::uint32_t id, double position) {
    queue({engine::Edit::Kind::perform, id, position});
}

void EditorGui::endEdit(std::uint32_t id) {
    queue({engine::Edit::Kind::end, id, 0.0});
    gesture_ = kNoGesture;
}

// Active, the host processes (or flushes) on its own; inactive, it is asked to.
void EditorGui::queue(const engine::Edit& edit) {
    edits_.push(edit);
    if (!active_.load() && hostParams_ != nullptr && hostParams_->request_flush != nullptr)
        hostParams_->request_flush(&host_);
}

}  // namespace clap
