#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "params/ChoiceParameterBase.h"

namespace params {

// A choice from an ordered list of keyed entries. Each entry owns an equal slice of the 0..1
// positions, and the position read back for entry i, i / (n - 1), lies inside its own slice, so
// a host that writes back what it read keeps the selection. The parameter never owns what its
// keys point to; such an owner takes them back with popChoice.
//
// Threads: the owner adds the choices right after construction and pops them while tearing
// down; in between the list is fixed, host threads change the selection and the processing side
// calls value(), lock-free.
template <typename Key>
class ChoiceParameter final : public ChoiceParameterBase {
  public:
    struct Choice {
        Key key;
        std::string displayName;
        std::string identifier;
    };

    ChoiceParameter(ParameterList* list, std::string identifier, std::string displayName,
                    std::string unitLabel)
        : ChoiceParameterBase(list, std::move(identifier), std::move(displayName),
                              std::move(unitLabel)) {}

    // Without a selectable choice (none added, or popped) the texts are empty.
    std::string valueToText() const override {
        const Choice* choice = selectedChoice();
        return choice != nullptr ? choice->identifier : std::string();
    }

    // Selects the first choice whose identifier equals the text.
    bool setFromText(const std::string& text) override {
        for (const Choice& choice : choices_) {
            if (choice.identifier == text) return setValue(choice.key);
        }
        return false;
    }

    std::string displayText() const override {
        const Choice* choice = selectedChoice();
        return choice != nullptr ? choice->displayName : std::string();
    }

    void resetToDefault() override {
        const std::uint32_t index = defaultIndex_.load(std::memory_order_relaxed);
        if (index < choices_.size()) setValue(choices_[index].key);
    }

    // 0.5 with fewer than two choices, where no position tells choices apart.
    double normalisedValue() const override {
        const std::uint32_t index = selectedIndex_.load(std::memory_order_relaxed);
        if (choices_.size() < 2 || index >= choices_.size()) return 0.5;
        return index / static_cast<double>(choices_.size() - 1);
    }

    // 1.0 selects the last choice, any other x choice trunc(x * n). Positions outside 0..1 are
    // taken as the nearer end and NaN is ignored, so no position can index past the list.
    void setNormalisedValue(double x) override {
        if (choices_.empty() || std::isnan(x)) return;
        const std::size_t last = choices_.size() - 1;
        std::size_t index = last;
        if (x <= 0.0) {
            index = 0;
        } else if (x < 1.0) {
            const double slice = std::trunc(x * static_cast<double>(choices_.size()));
            index = std::min(static_cast<std::size_t>(slice), last);
        }
        setValue(choices_[index].key);
    }

    // Selects the choice with key k and makes it the default.
    bool setDefault(const Key& k) {
        setValue(k);
        defaultIndex_.store(selectedIndex_.load(std::memory_order_relaxed),
                            std::memory_order_relaxed);
        return true;
    }

    // Refused with false when the key, the identifier or the display name is already present.
    bool addChoice(const Key& k, std::string identifier, std::string displayName) {
        for (const Choice& choice : choices_) {
            if (choice.key == k || choice.identifier == identifier ||
                choice.displayName == displayName) {
                return false;
            }
        }
        choices_.push_back(Choice{k, std::move(displayName), std::move(identifier)});
        return true;
    }

    // Takes the last choice out and hands its key back; false when there is none. The
    // selection is left as it is, so this is for tearing down only.
    bool popChoice(Key& k) {
        if (choices_.empty()) return false;
        k = choices_.back().key;
        choices_.pop_back();
        return true;
    }

    // Clears the changed mark and gives the key of the selected choice (a value-initialised key
    // when there is no selectable choice).
    Key value() {
        consumeChanged();
        const std::uint32_t index = selectedIndex_.load(std::memory_order_relaxed);
        return index < choices_.size() ? choices_[index].key : Key{};
    }

    // Selects the first choice with key k. True even when no choice has that key; the
    // selection then stays as it is.
    bool setValue(const Key& k) {
        for (std::size_t i = 0; i < choices_.size(); ++i) {
            if (choices_[i].key == k) {
                const auto index = static_cast<std::uint32_t>(i);
                if (selectedIndex_.exchange(index, std::memory_order_relaxed) != index) {
                    markChanged();
                }
                break;
            }
        }
        return true;
    }

    std::size_t choiceCount() const override { return choices_.size(); }

    std::string choiceDisplayName(std::size_t index) const override {
        return index < choices_.size() ? choices_[index].displayName : std::string();
    }

  private:
    const Choice* selectedChoice() const {
        const std::uint32_t index = selectedIndex_.load(std::memory_order_relaxed);
        return index < choices_.size() ? &choices_[index] : nullptr;
    }

    std::vector<Choice> choices_;
    std::atomic<std::uint32_t> defaultIndex_{0};
    std::atomic<std::uint32_t> selectedIndex_{0};
};

}  // namespace params
