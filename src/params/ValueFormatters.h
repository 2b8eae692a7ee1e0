#pragma once

#include <string>

#include "params/ValueFormatter.h"

namespace params {

// The value as it is.
class PlainFormatter final : public ValueFormatter {
  public:
    constexpr PlainFormatter() = default;
    std::string format(double value) const override;
    double toShown(double value) const override;
    double fromShown(double shown) const override;
};

// A linear gain in decibels; exactly 0 shows as "-oo".
class DecibelFormatter final : public ValueFormatter {
  public:
    constexpr DecibelFormatter() = default;
    std::string format(double value) const override;
    double toShown(double value) const override;
    double fromShown(double shown) const override;
};

// The value times a fixed factor: fractions as percent, seconds as milliseconds.
class ScaledFormatter final : public ValueFormatter {
  public:
    constexpr explicit ScaledFormatter(double factor) : factor_(factor) {}
    std::string format(double value) const override;
    double toShown(double value) const override;
    double fromShown(double shown) const override;

  private:
    double factor_;
};

// The program-wide instances, constant-initialised when the library is loaded.
const ValueFormatter& plainFormatter();
const ValueFormatter& decibelFormatter();
// ScaledFormatter x100.
const ValueFormatter& percentFormatter();
// ScaledFormatter x1000.
const ValueFormatter& milliFormatter();

}  // namespace params
