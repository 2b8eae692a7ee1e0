// VST 2 program files (.fxp) in parameter form: the plug-in's normalised
// parameter values, readable by DAWs and by this host.
//
//   offset  size  field
//        0     4  chunkMagic 'CcnK'
//        4     4  byteSize   bytes after this field (48 + 4 * numParams)
//        8     4  fxMagic    'FxCk' (parameter form)
//       12     4  version    1
//       16     4  fxID       the plug-in's unique id
//       20     4  fxVersion  the plug-in's version
//       24     4  numParams
//       28    28  prgName    NUL-terminated
//       56  4*n   params     32-bit floats
// Every number is big-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "PluginInstance.h"

namespace host {

struct Program {
    std::int32_t pluginId = 0;
    std::int32_t pluginVersion = 0;
    std::string name;
    std::vector<float> parameters;
};

std::vector<unsigned char> encodeProgram(const Program& program);
// Checks every field and the size; throws HostError naming the source and the fault.
Program decodeProgram(const std::vector<unsigned char>& bytes, const std::string& source);

Program readProgramFile(const std::string& path);
// Fills the output's temporary file; the caller commits.
void writeProgramFile(OutputFile& output, const Program& program);
// Written through a temporary file, like every output of the host.
void writeProgramFile(const std::string& path, const Program& program);

// The plug-in's current state, and the way back into a plug-in. Applying a
// program made for another plug-in (id or parameter count) is a HostError.
Program captureProgram(const PluginInstance& plugin);
void applyProgram(PluginInstance& plugin, const Program& program, const std::string& source);

}  // namespace host
