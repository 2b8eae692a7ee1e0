#pragma once

#include <string>

#include "params/RangeParameter.h"

namespace params {

// The range kinds: each fixes the unit label, curve and formatter of a RangeParameter.
// Threads: as RangeParameter.

// A linear gain factor, positioned logarithmically and shown in decibels.
class DecibelParameter final : public RangeParameter {
  public:
    DecibelParameter(ParameterList* list, std::string identifier, std::string displayName,
                     double defaultValue, double minimum, double maximum);
};

// A linear gain factor, positioned by its square root and shown in decibels.
class DecibelSqrtParameter final : public RangeParameter {
  public:
    DecibelSqrtParameter(ParameterList* list, std::string identifier, std::string displayName,
                         double defaultValue, double minimum, double maximum);
};

// A fraction 0..1, positioned linearly and shown in percent.
class PercentParameter final : public RangeParameter {
  public:
    PercentParameter(ParameterList* list, std::string identifier, std::string displayName,
                     double defaultValue, double minimum, double maximum);
};

// A frequency in Hz, positioned logarithmically.
class FrequencyParameter final : public RangeParameter {
  public:
    FrequencyParameter(ParameterList* list, std::string identifier, std::string displayName,
                       double defaultValue, double minimum, double maximum);
};

// A time in seconds, positioned by its fourth root and shown in milliseconds.
class TimeParameter final : public RangeParameter {
  public:
    TimeParameter(ParameterList* list, std::string identifier, std::string displayName,
                  double defaultValue, double minimum, double maximum);
};

// An angle in degrees, positioned linearly.
class DegreeParameter final : public RangeParameter {
  public:
    DegreeParameter(ParameterList* list, std::string identifier, std::string displayName,
                    double defaultValue, double minimum, double maximum);
};

// A value in octaves, positioned logarithmically.
class OctaveParameter final : public RangeParameter {
  public:
    OctaveParameter(ParameterList* list, std::string identifier, std::string displayName,
                    double defaultValue, double minimum, double maximum);
};

// A unitless value, positioned logarithmically.
class LogParameter final : public RangeParameter {
  public:
    LogParameter(ParameterList* list, std::string identifier, std::string displayName,
                 double defaultValue, double minimum, double maximum);
};

}  // namespace params
