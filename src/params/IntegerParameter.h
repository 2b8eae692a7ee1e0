#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "params/Parameter.h"

namespace params {

// A whole number; each value in [minimum, maximum] owns an equal slice of the 0..1 positions.
//
// Threads: host threads set the value; the processing side calls value(), lock-free.
class IntegerParameter final : public Parameter {
  public:
    // The initial value becomes both the value and the default.
    IntegerParameter(ParameterList* list, std::string identifier, std::string displayName,
                     std::string unitLabel, std::int32_t minimum, std::int32_t maximum,
                     std::int32_t initialValue);

    std::string valueToText() const override;
    bool setFromText(const std::string& text) override;
    std::string displayText() const override;
    void resetToDefault() override;
    // 0.5 when the range holds one value.
    double normalisedValue() const override;
    // A NaN position is ignored; others are taken within 0..1.
    void setNormalisedValue(double x) override;

    // Clears the changed mark and gives the current value.
    virtual std::int32_t value();
    // With checkRange a value outside the bounds is refused with false; without it any value is
    // accepted. Raises the changed mark only when the stored value really changes.
    virtual bool setValue(std::int32_t v, bool checkRange);

  private:
    const std::int32_t minimum_;
    const std::int32_t maximum_;
    const std::int32_t defaultValue_;
    std::atomic<std::int32_t> value_;
};

}  // namespace params
