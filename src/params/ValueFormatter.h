#pragma once

#include <string>

namespace params {

// Turns a range parameter's value into its display text. Implementations are stateless apart
// from constants fixed at construction; one program-wide instance serves every thread.
class ValueFormatter {
  public:
    virtual ~ValueFormatter() = default;
    virtual std::string format(double value) const = 0;
    // The number the text shows (decibels for a gain, milliseconds for seconds), and the value
    // that shows a given number: the value as a host's slider in the display's unit holds it.
    virtual double toShown(double value) const = 0;
    virtual double fromShown(double shown) const = 0;

  protected:
    constexpr ValueFormatter() = default;
    ValueFormatter(const ValueFormatter&) = default;
    ValueFormatter& operator=(const ValueFormatter&) = default;
};

}  // namespace params
