// The audio-ports extension: one stereo main input and one stereo main
// output, which may share buffers (the effect reads a frame before it writes
// it). Constant: the ports never change.
#pragma once

#include "clap/ClapInterfaces.h"

namespace clap {

const clap_plugin_audio_ports& audioPorts();

}  // namespace clap
