#include "dsp/BandSplitter.h"

namespace dsp {

// Defined out of line so the vtable has one home.
BandSplitter::~BandSplitter() = default;

}  // namespace dsp
