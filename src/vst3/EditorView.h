// The editor as a VST 3 view: the editor in a child of the host's window (an
// X window driven by the host's run loop on Linux, an HWND with its own timer
// on Windows). Gestures go to the controller as begin, perform and end; the
// controller hands the view the host's changes. The view never touches the
// processor: meters come from the engine's atomics.
//
// Threads: the host's GUI thread only.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "editor/Editor.h"
#include "vst3/Vst3Interfaces.h"

namespace window {
#if defined(_WIN32)
class Win32Window;
#else
class X11Window;
#endif
}  // namespace window

namespace vst3 {

class EditorView;

// What a view asks of the controller that made it.
class ViewOwner {
  public:
    virtual double positionShown(ParamID id) = 0;
    virtual double meterDb(std::size_t band) = 0;
    virtual void beginEdit(ParamID id) = 0;
    virtual void performEdit(ParamID id, double position) = 0;
    virtual void endEdit(ParamID id) = 0;
    // The view is going: the owner forgets it.
    virtual void viewClosed(EditorView* view) = 0;
    // The view keeps its owner alive.
    virtual void retain() = 0;
    virtual void releaseOwner() = 0;

  protected:
    ~ViewOwner() = default;
};

class EditorView final : public IPlugView,
                         public IPlugViewContentScaleSupport,
                         public IEventHandler,
                         public ITimerHandler,
                         private editor::EditSink {
  public:
    // Starts with one reference, the caller's.
    explicit EditorView(ViewOwner& owner);

    // A change the host made (automation, preset, undo), shown at the next frame.
    void show(ParamID id, double position);

    // FUnknown
    tresult VST3_CALL queryInterface(const char* interfaceId, void** obj) override;
    uint32 VST3_CALL addRef() override;
    uint32 VST3_CALL release() override;

    // IPlugView
    tresult VST3_CALL isPlatformTypeSupported(FIDString type) override;
    tresult VST3_CALL attached(void* parent, FIDString type) override;
    tresult VST3_CALL removed() override;
    tresult VST3_CALL onWheel(float distance) override;
    tresult VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
    tresult VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) override;
    tresult VST3_CALL getSize(ViewRect* size) override;
    tresult VST3_CALL onSize(ViewRect* newSize) override;
    tresult VST3_CALL onFocus(TBool state) override;
    tresult VST3_CALL setFrame(IPlugFrame* frame) override;
    tresult VST3_CALL canResize() override;
    tresult VST3_CALL checkSizeConstraint(ViewRect* rect) override;

    // IPlugViewContentScaleSupport
    tresult VST3_CALL setContentScaleFactor(float factor) override;

    // The run loop's calls: the X connection is readable; a frame is due.
    void VST3_CALL onFDIsSet(FileDescriptor fd) override;
    void VST3_CALL onTimer() override;

  private:
    ~EditorView();

    void beginEdit(std::uint32_t id) override;
    void performEdit(std::uint32_t id, double position) override;
    void endEdit(std::uint32_t id) override;

    void close();
    void showMeters();
    ViewRect rect() const;

    std::atomic<uint32> references_{1};
    ViewOwner& owner_;
    editor::Editor editor_;
    IPlugFrame* frame_ = nullptr;
#if defined(_WIN32)
    std::unique_ptr<window::Win32Window> window_;
#else
    std::unique_ptr<window::X11Window> window_;
    IRunLoop* runLoop_ = nullptr;
#endif
};

}  // namespace vst3
