#include "params/RangeParameterKinds.h"

#include <utility>

#include "params/ValueCurves.h"
#include "params/ValueFormatters.h"

namespace params {

DecibelParameter::DecibelParameter(ParameterList* list, std::string identifier,
                                   std::string displayName, double defaultValue, double minimum,
                                   double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "dB", logCurve(),
                     decibelFormatter(), defaultValue, minimum, maximum) {}

DecibelSqrtParameter::DecibelSqrtParameter(ParameterList* list, std::string identifier,
                                           std::string displayName, double defaultValue,
                                           double minimum, double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "dB", sqrtCurve(),
                     decibelFormatter(), defaultValue, minimum, maximum) {}

PercentParameter::PercentParameter(ParameterList* list, std::string identifier,
                                   std::string displayName, double defaultValue, double minimum,
                                   double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "%", linearCurve(),
                     percentFormatter(), defaultValue, minimum, maximum) {}

FrequencyParameter::FrequencyParameter(ParameterList* list, std::string identifier,
                                       std::string displayName, double defaultValue, double minimum,
                                       double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "Hz", logCurve(),
                     plainFormatter(), defaultValue, minimum, maximum) {}

TimeParameter::TimeParameter(ParameterList* list, std::string identifier, std::string displayName,
                             double defaultValue, double minimum, double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "ms", fourthPowerCurve(),
                     milliFormatter(), defaultValue, minimum, maximum) {}

DegreeParameter::DegreeParameter(ParameterList* list, std::string identifier,
                                 std::string displayName, double defaultValue, double minimum,
                                 double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "deg", linearCurve(),
                     plainFormatter(), defaultValue, minimum, maximum) {}

OctaveParameter::OctaveParameter(ParameterList* list, std::string identifier,
                                 std::string displayName, double defaultValue, double minimum,
                                 double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "oct", logCurve(),
                     plainFormatter(), defaultValue, minimum, maximum) {}

LogParameter::LogParameter(ParameterList* list, std::string identifier, std::string displayName,
                           double defaultValue, double minimum, double maximum)
    : RangeParameter(list, std::move(identifier), std::move(displayName), "", logCurve(),
                     plainFormatter(), defaultValue, minimum, maximum) {}

}  // namespace params
