#pragma once

#include <memory>
#include <string>

#include "params/RangeParameterKinds.h"

namespace params::testing {

enum class RangeKind { decibel, decibelSqrt, percent, frequency, time, degree, octave, log };

inline std::unique_ptr<RangeParameter> makeRange(RangeKind kind, ParameterList* list,
                                                 double defaultValue, double minimum,
                                                 double maximum) {
    const std::string id = "id";
    const std::string name = "Name";
    switch (kind) {
        case RangeKind::decibel:
            return std::make_unique<DecibelParameter>(list, id, name, defaultValue, minimum,
                                                      maximum);
        case RangeKind::decibelSqrt:
            return std::make_unique<DecibelSqrtParameter>(list, id, name, defaultValue, minimum,
                                                          maximum);
        case RangeKind::percent:
            return std::make_unique<PercentParameter>(list, id, name, defaultValue, minimum,
                                                      maximum);
        case RangeKind::frequency:
            return std::make_unique<FrequencyParameter>(list, id, name, defaultValue, minimum,
                                                        maximum);
        case RangeKind::time:
            return std::make_unique<TimeParameter>(list, id, name, defaultValue, minimum, maximum);
        case RangeKind::degree:
            return std::make_unique<DegreeParameter>(list, id, name, defaultValue, minimum,
                                                     maximum);
        case RangeKind::octave:
            return std::make_unique<OctaveParameter>(list, id, name, defaultValue, minimum,
                                                     maximum);
        case RangeKind::log:
            return std::make_unique<LogParameter>(list, id, name, defaultValue, minimum, maximum);
    }
    return nullptr;
}

}  // namespace params::testing
