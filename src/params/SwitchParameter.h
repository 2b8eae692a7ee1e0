#pragma once

#include <atomic>
#include <string>

#include "params/Parameter.h"

namespace params {

// A boolean; positions below 0.5 are false, 0.5 and above true. Shown as "true"/"false".
//
// Threads: host threads set the value; the processing side calls value(), lock-free and cheap
// enough to be read once per sample.
class SwitchParameter : public Parameter {
  public:
    SwitchParameter(ParameterList* list, std::string identifier, std::string displayName,
                    bool defaultValue);

    std::string valueToText() const override;
    // Accepts exactly "true" or "false".
    bool setFromText(const std::string& text) override;
    std::string displayText() const override;
    void resetToDefault() override;
    double normalisedValue() const override;
    // A NaN position is ignored.
    void setNormalisedValue(double x) override;

    // Clears the changed mark and gives the current value. Inline: the
    // block renderer reads it once per frame.
    virtual bool value() {
        consumeChanged();
        return value_.load(std::memory_order_relaxed);
    }
    // Raises the changed mark only when the value really changes.
    virtual void setValue(bool v);

    // The display texts of the two states, for other descriptions of the parameter.
    const char* onText() const { return onText_; }
    const char* offText() const { return offText_; }

  protected:
    // The display texts of the two states, fixed by each kind.
    SwitchParameter(ParameterList* list, std::string identifier, std::string displayName,
                    bool defaultValue, const char* onText, const char* offText);

  private:
    const char* onText_;
    const char* offText_;
    const bool defaultValue_;
    std::atomic<bool> value_;
};

// A switch shown as "on"/"off". Threads: as SwitchParameter.
class OnOffParameter final : public SwitchParameter {
  public:
    OnOffParameter(ParameterList* list, std::string identifier, std::string displayName,
                   bool defaultValue);
};

// A switch shown as "yes"/"no". Threads: as SwitchParameter.
class YesNoParameter final : public SwitchParameter {
  public:
    YesNoParameter(ParameterList* list, std::string identifier, std::string displayName,
                   bool defaultValue);
};

}  // namespace params
