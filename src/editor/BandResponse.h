// The four bands' magnitude responses of a filter bank at given crossovers,
// computed through the bank's own filters: an impulse through the bank, then
// each band's response read at log-spaced frequencies. GUI thread; every
// buffer and bank is made on construction, so compute() allocates nothing.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "dsp/BandSplitter.h"

namespace editor {

class BandResponse {
  public:
    static constexpr int kPoints = 121;
    static constexpr double kLowestHz = 20.0;
    static constexpr double kHighestHz = 20000.0;

    BandResponse();
    ~BandResponse();

    void compute(std::size_t bank, const std::array<float, 3>& crossovers);
    // The frequency of point i, log-spaced from kLowestHz to kHighestHz.
    static double frequency(int i);
    double decibels(std::size_t band, int i) const {
        return decibels_[band][static_cast<std::size_t>(i)];
    }

  private:
    std::vector<std::unique_ptr<dsp::BandSplitter>> banks_;
    // The four bands' impulse responses, sample by sample.
    std::vector<std::array<float, 4>> impulse_;
    std::array<std::array<double, kPoints>, 4> decibels_{};
};

}  // namespace editor
