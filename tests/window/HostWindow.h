// What the Windows editor window tests share: a host's top-level window at
// the screen's origin for a view to sit in, its message loop, captures of the
// view's pixels and mouse messages posted to it.
#pragma once

#include <windows.h>

#include "ControlProbe.h"

namespace displaytest {

// Dispatches the thread's waiting messages, as a host's GUI thread does.
void pumpMessages();

class HostWindow {
  public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND handle() const { return window_; }
    // The view: the window's first child; null when there is none.
    HWND child() const { return GetWindow(window_, GW_CHILD); }
    // The child's pixels as its window DC holds them.
    Capture capture() const;
    // The child's pixels after the loop ran a while.
    Capture settled() const;
    // A drag with the left button from one point of the child in six steps up and right.
    void drag(int x, int y) const;

  private:
    HWND window_ = nullptr;
};

}  // namespace displaytest
