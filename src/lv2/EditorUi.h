// The LV2 UI: the editor in an X11 child window of the host's ui:parent.
// Edits go to the plug-in's control ports through the host's write function
// as port values; control values and meter readings come back as port events.
// The host's idle calls drive the window.
//
// Threads: the host's UI thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "editor/Editor.h"
#include "lv2/ControlPorts.h"
#include "window/X11Window.h"

namespace lv2 {

class EditorUi final : public editor::EditSink {
  public:
    // Writes a float (protocol 0) to a port, as LV2UI_Write_Function does.
    using WriteFunction = void (*)(void* controller, std::uint32_t port, std::uint32_t size,
                                   std::uint32_t protocol, const void* buffer);

    // The host's ui:touch: a control's port grabbed or released, as LV2UI_Touch has it.
    struct Touch {
        void* handle;
        void (*touch)(void* handle, std::uint32_t port, bool grabbed);
    };

    // Null when the window cannot be opened (no X display, no libX11). Without
    // `touch` (a host that offers none), gestures are only their writes.
    static std::unique_ptr<EditorUi> open(unsigned long parent, double scale,
                                          WriteFunction write, void* controller,
                                          const Touch* touch);
    ~EditorUi();
    EditorUi(const EditorUi&) = delete;
    EditorUi& operator=(const EditorUi&) = delete;

    unsigned long windowId() const { return window_->id(); }
    int width() const { return editor_.width(); }
    int height() const { return editor_.height(); }

    // A port's value from the host: a control's setting or a meter's reading.
    void portEvent(std::uint32_t port, float value);
    // One turn of the UI's loop, at the host's update rate.
    void idle() { window_->tick(); }

    void beginEdit(std::uint32_t id) override;
    void performEdit(std::uint32_t id, double position) override;
    void endEdit(std::uint32_t id) override;

  private:
    EditorUi(double scale, WriteFunction write, void* controller, const Touch* touch);

    // The port that carries a control's edits; none (0) for another ID.
    std::uint32_t portOf(std::uint32_t id) const;

    std::vector<ControlPort> ports_;
    WriteFunction write_;
    void* controller_;
    Touch touch_;
    editor::Editor editor_;
    std::unique_ptr<window::X11Window> window_;
};

}  // namespace lv2
