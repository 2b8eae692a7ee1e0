// A one-line progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <string>

namespace host {

class ProgressBar final {
  public:
    // Draws nothing when quiet or when stderr is not a terminal.
    ProgressBar(std::string label, bool quiet);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // fraction 0..1; redraws only when the shown percentage changes.
    void update(double fraction);

  private:
    void clear();

    std::string label_;
    bool enabled_;
    int shownPercent_ = -1;
};

}  // namespace host
