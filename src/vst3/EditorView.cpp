#include "vst3/EditorView.h"

#include <cstdint>
#include <cstring>

#include "engine/ControlIds.h"
#if defined(_WIN32)
#include "window/Win32Window.h"
#else
#include "window/X11Window.h"
#endif

namespace vst3 {
namespace {

bool sameText(FIDString a, const char* b) {
    return a != nullptr && std::strcmp(a, b) == 0;
}

#if defined(_WIN32)
constexpr const char* kPlatformType = kPlatformTypeHWND;
#else
constexpr const char* kPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

}  // namespace

EditorView::EditorView(ViewOwner& owner) : owner_(owner), editor_(*this, 1.0) {
    owner_.retain();
    for (ParamID id = 0; id < engine::kParameterCount; ++id)
        editor_.setPosition(id, owner_.positionShown(id));
    editor_.setPosition(engine::kBypassId, owner_.positionShown(engine::kBypassId));
    showMeters();
}

EditorView::~EditorView() {
    close();
    owner_.viewClosed(this);
    owner_.releaseOwner();
}

tresult EditorView::queryInterface(const char* interfaceId, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    if (FUnknown::iid.matches(interfaceId) || IPlugView::iid.matches(interfaceId)) {
        *obj = static_cast<IPlugView*>(this);
    } else if (IPlugViewContentScaleSupport::iid.matches(interfaceId)) {
        *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    } else if (IEventHandler::iid.matches(interfaceId)) {
        *obj = static_cast<IEventHandler*>(this);
    } else if (ITimerHandler::iid.matches(interfaceId)) {
        *obj = static_cast<ITimerHandler*>(this);
    } else {
        *obj = nullptr;
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

uint32 EditorView::addRef() { return ++references_; }

uint32 EditorView::release() {
    const uint32 left = --references_;
    if (left == 0) delete this;
    return left;
}

void EditorView::show(ParamID id, double position) { editor_.setPosition(id, position); }

tresult EditorView::isPlatformTypeSupported(FIDString type) {
    return sameText(type, kPlatformType) ? kResultTrue : kResultFalse;
}

tresult EditorView::attached(void* parent, FIDString type) {
    if (parent == nullptr || !sameText(type, kPlatformType)) return kInvalidArgument;
    if (window_ != nullptr) return kResultFalse;
#if defined(_WIN32)
    window_ = window::Win32Window::open(parent, editor_, [this] { showMeters(); });
    return window_ != nullptr ? kResultOk : kResultFalse;
#else
    // Linux hosts drive plug-in windows only through the frame's run loop.
    if (frame_ == nullptr) return kResultFalse;
    void* loop = nullptr;
    if (frame_->queryInterface(IRunLoop::iid.bytes, &loop) != kResultOk || loop == nullptr)
        return kResultFalse;
    runLoop_ = static_cast<IRunLoop*>(loop);
    window_ = window::X11Window::open(reinterpret_cast<std::uintptr_t>(parent), editor_);
    if (window_ == nullptr ||
        runLoop_->registerEventHandler(this, window_->descriptor()) != kResultOk ||
        runLoop_->registerTimer(this, window::X11Window::kTickMilliseconds) != kResultOk) {
        close();
        return kResultFalse;
    }
    return kResultOk;
#endif
}

tresult EditorView::removed() {
    close();
    return kResultOk;
}

// The host's run loop holds no references and calls whatever is registered,
// even after the view is gone: everything is unregistered here.
void EditorView::close() {
#if !defined(_WIN32)
    if (runLoop_ != nullptr) {
        runLoop_->unregisterTimer(this);
        runLoop_->unregisterEventHandler(this);
        runLoop_->release();
        runLoop_ = nullptr;
    }
#endif
    window_.reset();
}

// The window takes its keys and wheel itself.
tresult EditorView::onWheel(float) { return kResultFalse; }
tresult EditorView::onKeyDown(char16, int16, int16) { return kResultFalse; }
tresult EditorView::onKeyUp(char16, int16, int16) { return kResultFalse; }

ViewRect EditorView::rect() const { return ViewRect{0, 0, editor_.width(), editor_.height()}; }

tresult EditorView::getSize(ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    *size = rect();
    return kResultOk;
}

// One size per scale: a host that sizes the view otherwise gets the view's own.
tresult EditorView::onSize(ViewRect* newSize) {
    if (newSize == nullptr) return kInvalidArgument;
    return newSize->right - newSize->left == editor_.width() &&
                   newSize->bottom - newSize->top == editor_.height()
               ? kResultOk
               : kResultFalse;
}

tresult EditorView::onFocus(TBool) { return kResultOk; }

tresult EditorView::setFrame(IPlugFrame* frame) {
    frame_ = frame;
    return kResultOk;
}

tresult EditorView::canResize() { return kResultFalse; }

tresult EditorView::checkSizeConstraint(ViewRect* rect) {
    if (rect == nullptr) return kInvalidArgument;
    *rect = this->rect();
    return kResultOk;
}

tresult EditorView::setContentScaleFactor(float factor) {
    if (!(factor >= 0.5f && factor <= 4.0f)) return kInvalidArgument;
    editor_.setScale(static_cast<double>(factor));
    if (window_ != nullptr) {
        window_->fitEditor();
        ViewRect size = rect();
        if (frame_ != nullptr) frame_->resizeView(this, &size);
    }
    return kResultOk;
}

void EditorView::onFDIsSet(FileDescriptor) {
#if !defined(_WIN32)
    if (window_ != nullptr) window_->dispatch();
#endif
}

void EditorView::onTimer() {
#if !defined(_WIN32)
    if (window_ == nullptr) return;
    showMeters();
    window_->tick();
#endif
}

void EditorView::showMeters() {
    for (std::size_t band = 0; band < engine::kMeterCount; ++band)
        editor_.setMeter(static_cast<int>(band), static_cast<float>(owner_.meterDb(band)));
}

void EditorView::beginEdit(std::uint32_t id) { owner_.beginEdit(id); }
void EditorView::performEdit(std::uint32_t id, double position) {
    owner_.performEdit(id, position);
}
void EditorView::endEdit(std::uint32_t id) { owner_.endEdit(id); }

}  // namespace vst3
