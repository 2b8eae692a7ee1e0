#include "ControlProbe.h"

#include <set>
#if defined(_WIN32)
#include <windows.h>
#else
#include <thread>
#endif

#include "editor/Editor.h"

namespace displaytest {
namespace {

class ProbeSink final : public editor::EditSink {
  public:
    void beginEdit(std::uint32_t id) override { begun.push_back(id); }
    void performEdit(std::uint32_t, double) override {}
    void endEdit(std::uint32_t) override {}
    std::vector<std::uint32_t> begun;
};

}  // namespace

std::size_t Capture::distinctColours() const {
    return std::set<std::uint32_t>(pixels.begin(), pixels.end()).size();
}

bool pumpUntil(const std::function<void()>& pump, const std::function<bool()>& done,
               std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        pump();
#if defined(_WIN32)
        Sleep(5);
#else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
#endif
    }
    return true;
}

void pumpFor(const std::function<void()>& pump, std::chrono::milliseconds time) {
    pumpUntil(pump, [] { return false; }, time);
}

std::optional<std::pair<int, int>> pointOnControl(std::uint32_t id, double scale) {
    ProbeSink sink;
    editor::Editor probe(sink, scale);
    long sumX = 0, sumY = 0, hits = 0;
    for (int y = 1; y < probe.height(); y += 3) {
        for (int x = 1; x < probe.width(); x += 3) {
            sink.begun.clear();
            probe.pointerDown(x, y, 0, false);
            probe.pointerMove(x + 10, y - 10, 0);
            probe.pointerUp(x + 10, y - 10, 0);
            if (!sink.begun.empty() && sink.begun.front() == id) {
                sumX += x;
                sumY += y;
                ++hits;
            }
        }
    }
    if (hits == 0) return std::nullopt;
    return std::make_pair(static_cast<int>(sumX / hits), static_cast<int>(sumY / hits));
}

}  // namespace displaytest
