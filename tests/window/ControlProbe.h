// What the editor window tests share on every system: a window's captured
// pixels, a host loop pumped while waiting, and where on the editor a control
// takes a drag.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

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

// Runs `pump` every few milliseconds until `done` or the time is up; done's last answer.
bool pumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000));
// Runs `pump` for a while, for a loop that should settle.
void pumpFor(const std::function<void()>& pump, std::chrono::milliseconds time);

// The centre of the points where a press and a small drag on an editor of
// our own begins a gesture on the control `id`; nothing if none does.
std::optional<std::pair<int, int>> pointOnControl(std::uint32_t id, double scale = 1.0);

}  // namespace displaytest
