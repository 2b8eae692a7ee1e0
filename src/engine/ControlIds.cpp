#include "engine/ControlIds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

double gainReductionDb(float lowestGain) {
    const float gain = std::max(lowestGain, std::numeric_limits<float>::min());
    return 20.0 * std::log10(static_cast<double>(gain));
}

}  // namespace engine
