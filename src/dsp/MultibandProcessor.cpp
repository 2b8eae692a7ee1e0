#include "dsp/MultibandProcessor.h"

namespace dsp {

// Defined out of line so the vtable has one home.
MultibandProcessor::~MultibandProcessor() = default;

}  // namespace dsp
