// The processor's floating-point control state (rounding, exception masks and
// flush-to-zero / denormals-are-zero on x86).
//
// A plug-in may change this state when it loads and leave it changed for the
// thread. The host restores the state it started with before it processes,
// so no plug-in's output or speed depends on which plug-in was loaded before.
#pragma once

namespace host {

class FpuState final {
  public:
    // The state of the calling thread now.
    static FpuState current();
    // The state the process started with, captured on the first call, which
    // the host makes before it loads any plug-in.
    static const FpuState& processDefault();

    void restore() const;
    bool flushesDenormals() const;
    bool operator==(const FpuState& other) const { return control_ == other.control_; }
    bool operator!=(const FpuState& other) const { return !(*this == other); }

  private:
    explicit FpuState(unsigned int control) : control_(control) {}
    unsigned int control_;
};

}  // namespace host
