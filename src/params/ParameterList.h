#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace params {

class Parameter;

// The registry of parameters; the position of a parameter in it is its host index.
// It points at the parameters without owning them; their owner destroys them before the list.
//
// Threads: filled by the owner's constructor; afterwards host threads call the index operations
// concurrently, which is safe because the entries no longer change.
class ParameterList final {
  public:
    // Host text buffers hold this many characters plus a NUL.
    static constexpr std::size_t nameLength = 24;
    static constexpr std::size_t labelLength = 8;
    static constexpr std::size_t displayLength = 8;

    ParameterList() = default;
    ParameterList(const ParameterList&) = delete;
    ParameterList& operator=(const ParameterList&) = delete;

    // Called by the Parameter constructor, or by an owner that registers its parameters itself.
    void add(Parameter* parameter);
    std::size_t size() const { return entries_.size(); }
    // The parameter at a host index, or null for an index out of range.
    const Parameter* at(std::int32_t index) const { return entry(index); }

    // 0.0 for an index out of range.
    double normalisedValue(std::int32_t index) const;
    // Ignored unless the index is in range and 0 <= x <= 1 (NaN fails the test),
    // and ignored for the position the parameter reports, as a float: the value
    // stays exactly as it is and is not marked changed.
    void setNormalisedValue(std::int32_t index, float x);
    // Which value a position gives depends on the value before (a default no
    // position reaches stays; moved away and back it is the position's). This
    // puts every value where a new list set to the same positions holds it.
    // Marks changed only what moves; allocates nothing.
    void settleAtPositions();

    // Each writes a NUL at buffer[0]; for an index in range it then copies the text, cut to N
    // characters and NUL-padded, and writes a NUL at buffer[N]: N + 1 bytes in all.
    void copyDisplayName(std::int32_t index, char* buffer) const;
    void copyUnitLabel(std::int32_t index, char* buffer) const;
    void copyDisplayText(std::int32_t index, char* buffer) const;

    std::string listName;

  private:
    // Indexes are signed at the host interface; a negative one counts as out of range.
    Parameter* entry(std::int32_t index) const;

    std::vector<Parameter*> entries_;
};

}  // namespace params
