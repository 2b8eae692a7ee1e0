// The editor in a child window of a host's HWND, drawn with GDI. The window's
// own timer drives it about 30 times a second; input arrives as the window's
// messages, which the host's GUI thread pumps. GUI thread only.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace editor {
class Editor;
}

namespace window {

class Win32Window final {
  public:
    // Opens a child of the HWND `parent` showing the editor; `onFrame` runs
    // before each timer frame (the face's meters). Null when it cannot be made.
    static std::unique_ptr<Win32Window> open(void* parent, editor::Editor& editor,
                                             std::function<void()> onFrame);
    ~Win32Window();
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Follows the editor's size after a scale change.
    void fitEditor();
    // Shows or hides the window (it opens shown).
    void setVisible(bool visible);
    // One of the window's messages (the window procedure's types as integers).
    std::intptr_t handleMessage(void* window, unsigned message, std::uintptr_t wParam,
                                std::intptr_t lParam);

  private:
    Win32Window(editor::Editor& editor, std::function<void()> onFrame);

    // Copies what the editor drew since the last frame to the screen.
    void flush();
    void frame();

    editor::Editor& editor_;
    std::function<void()> onFrame_;
    void* window_ = nullptr;
    std::chrono::steady_clock::time_point lastFrame_;
};

}  // namespace window
