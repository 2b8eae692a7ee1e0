#include "ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace host {

namespace {
constexpr int kBarWidth = 40;
}

ProgressBar::ProgressBar(std::string label, bool quiet)
    : label_(std::move(label)), enabled_(!quiet && isatty(STDERR_FILENO) != 0) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(double fraction) {
    if (!enabled_) return;
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), percent);
    std::fflush(stderr);
}

void ProgressBar::clear() {
    if (!enabled_ || shownPercent_ < 0) return;
    // Erase the line so the next message starts clean.
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}

}  // namespace host
