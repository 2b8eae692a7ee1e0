#pragma once

#include <atomic>
#include <string>

namespace params {

class ParameterList;

// One setting the host sees as a normalised position 0..1 plus three short texts.
//
// Threads: host threads call the text, position and set operations; the processing side polls
// isChanged and reads the typed value of the concrete kind, which clears the changed mark.
class Parameter {
  public:
    // Registers the new parameter at the end of `list` (when given), which makes its position
    // there the host index. Every parameter starts out marked changed.
    Parameter(ParameterList* list, std::string identifier, std::string displayName,
              std::string unitLabel);
    virtual ~Parameter();

    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    virtual std::string identifier() const;
    // The value in its persistence form, which setFromText reads back.
    virtual std::string valueToText() const = 0;
    // False, with the value untouched, when the text is not accepted.
    virtual bool setFromText(const std::string& text) = 0;
    virtual std::string displayName() const;
    virtual std::string unitLabel() const;
    // The value as shown to the user.
    virtual std::string displayText() const = 0;
    virtual void resetToDefault() = 0;
    virtual double normalisedValue() const = 0;
    virtual void setNormalisedValue(double x) = 0;
    // Puts the value where a new parameter set to the value's position, as a float, would hold
    // it. A kind whose every position names one value already holds it: nothing to do.
    virtual void settleAtPosition() {}
    virtual bool isChanged() const final;
    virtual void setChanged(bool changed) final;

  protected:
    // Raises the changed mark after a new value has been stored.
    void markChanged() noexcept { changed_.store(true, std::memory_order_release); }

    // Clears the changed mark just before the processing side reads the value. The exchange
    // synchronises with the markChanged that raised the mark, so the value read afterwards is
    // at least as new as that change: a change landing in between is either read now or keeps
    // its mark for the next poll, never lost. The plain load keeps the unchanged case cheap.
    void consumeChanged() noexcept {
        if (changed_.load(std::memory_order_relaxed)) {
            changed_.exchange(false, std::memory_order_acquire);
        }
    }

  private:
    const std::string identifier_;
    const std::string displayName_;
    const std::string unitLabel_;
    std::atomic<bool> changed_{false};
};

}  // namespace params
