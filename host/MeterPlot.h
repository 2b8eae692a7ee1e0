// A render's read-only outputs over time, drawn under its waveform: the
// input's and output's peak in each block above, every meter's value after
// each block below, on one time axis.
#pragma once

#include <string>

#include "AudioBuffer.h"
#include "MeterLog.h"
#include "SvgPlot.h"

namespace host {

SvgFigure meterFigure(const std::string& title, const AudioBuffer& input, const AudioBuffer& output,
                      const MeterLog& meters);

}  // namespace host
