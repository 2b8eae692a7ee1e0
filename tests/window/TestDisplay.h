// What the X11 editor window tests share: the X display they run on (ctest
// starts each on an Xvfb of its own), a top-level window at the origin for a view to
// sit in, pointer input through XTest, captures of a window's pixels and a
// count of X errors.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "ControlProbe.h"

struct _XDisplay;

namespace displaytest {

class TestDisplay {
  public:
    // Throws std::runtime_error when no display can be opened.
    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    // A mapped top-level window at the screen's origin: its coordinates are the screen's.
    unsigned long parent() const { return parent_; }
    // The view inside the parent: its only child window; 0 unless there is exactly one.
    unsigned long child();
    // The X errors any connection of this process met since the display opened.
    int errors() const;

    // The window's pixels now; empty when it is not mapped.
    Capture capture(unsigned long window);
    // A drag with the first button from one point to another in steps, each
    // step's events handed to `pump` (the view's loop) before the next.
    void drag(int fromX, int fromY, int toX, int toY, const std::function<void()>& pump);
    // Presses and releases the key of an X keysym, the events handed to `pump`.
    void typeKey(unsigned long keysym, const std::function<void()>& pump);

  private:
    void sync();

    ::_XDisplay* display_ = nullptr;
    unsigned long parent_ = 0;
};

}  // namespace displaytest
