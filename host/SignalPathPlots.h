// Pictures of what the effect does, measured on the project's own signal-path
// classes (not through the host interface): the four band responses of each
// filter bank, and the static curves of the band compressor and the clipper.
#pragma once

#include <array>
#include <vector>

#include "SvgPlot.h"

namespace host {

inline constexpr std::array<float, 3> kDefaultCrossovers = {200.0f, 700.0f, 2000.0f};

struct BankResponse {
    std::vector<double> frequencies;            // Hz, log-spaced 20 Hz .. 20 kHz
    std::array<std::vector<double>, 4> bandDb;  // magnitude of each band
    std::vector<double> sumDb;                  // magnitude of the four bands' sum
};

// The response of bank `bankIndex` (0..11, the filter-bank choice order),
// from the DTFT of its impulse response.
BankResponse measureBankResponse(std::size_t bankIndex, const std::array<float, 3>& crossovers,
                                 float sampleRate);

// The settled output level of one band for a steady band input level, both
// in dBFS, at the effect's default settings apart from the master drive.
double staticBandOutputDb(bool squareRootLaw, double driveDb, double inputDb, float sampleRate);

// All twelve banks, one panel each.
SvgFigure filterBankFigure(const std::array<float, 3>& crossovers, float sampleRate);
// One panel per drive with both laws, and the output clipper.
SvgFigure compressorCurveFigure(const std::vector<double>& drivesDb, float sampleRate);

}  // namespace host
