// The editor in an X11 child window of a host's window, on an X connection of
// its own. The host's loop drives it: dispatch() when the connection's
// descriptor is readable, tick() about 30 times a second; it has no thread of
// its own. GUI thread only.
#pragma once

#include <chrono>
#include <memory>

namespace editor {
class Editor;
}

namespace window {

class X11Window final {
  public:
    // How often the host's loop calls tick(): about 30 frames a second, the meters' rate.
    static constexpr unsigned kTickMilliseconds = 33;

    // Opens a child of the window `parent` showing the editor, mapped. Null
    // when libX11 or the display cannot be had or the parent is no window.
    static std::unique_ptr<X11Window> open(unsigned long parent, editor::Editor& editor);
    ~X11Window();
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    unsigned long id() const;
    // The X connection's file descriptor, readable when events arrive.
    int descriptor() const;
    // Hands every queued event to the editor and shows what it drew.
    void dispatch();
    // Advances the editor's animations by the time since the last tick, then
    // dispatches: events Xlib read while sending raise no descriptor callback.
    void tick();
    // Follows the editor's size after a scale change.
    void fitEditor();
    // Maps or unmaps the window (it opens mapped).
    void setVisible(bool visible);

  private:
    struct Connection;
    X11Window(std::unique_ptr<Connection> connection, editor::Editor& editor);

    std::unique_ptr<Connection> connection_;
    editor::Editor& editor_;
    std::chrono::steady_clock::time_point lastTick_;
};

}  // namespace window
