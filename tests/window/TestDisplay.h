// What the editor window tests share: the X display they run on (ctest starts
// them under xvfb-run), a top-level window at the origin for a view to sit
// in, pointer input through XTest, captures of a window's pixels, a count of
// X errors, and where on the editor a control takes a drag.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "editor/Editor.h"

struct _XDisplay;

namespace displaytest {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB, row-major

    std::size_t distinctColours() const;
    bool operator==(const Capture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const Capture& other) const { return !(*this == other); }
};

class TestDisplay {
  public:
    // Throws std::runtime_error when no display can be opened.
    TestDisplay();
    ~TestDisplay();
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    // A mapped top-level window at the screen's origin: its coordinates are the screen's.
    unsigned long parent() const { return parent_; }
    // The X errors any connection of this process met since the display opened.
    int errors() const;

    // The window's pixels now; empty when it is not mapped.
    Capture capture(unsigned long window);
    // A drag with the first button from one point to another in steps, each
    // step's events handed to `pump` (the view's loop) before the next.
    void drag(int fromX, int fromY, int toX, int toY, const std::function<void()>& pump);

  private:
    void sync();

    ::_XDisplay* display_ = nullptr;
    unsigned long parent_ = 0;
};

// Runs `pump` every few milliseconds until `done` or the time is up; done's last answer.
bool pumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
// Runs `pump` for a while, for a loop that should settle.
void pumpFor(const std::function<void()>& pump, std::chrono::milliseconds time);

// The centre of the points where a press and a small drag on an editor of
// our own begins a gesture on the control `id`; nothing if none does.
std::optional<std::pair<int, int>> pointOnControl(std::uint32_t id, double scale = 1.0);

}  // namespace displaytest
