// The module's factory: one class, the compressor, whose class ID is that of
// the VST 2 plug-in's VST 3 twin. One static instance lives as long as the
// module; its reference count is not needed.
#pragma once

#include "vst3/ClassId.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

extern const Uid kCompressorClassId;

class PluginFactory final : public IPluginFactory2 {
  public:
    tresult VST3_CALL queryInterface(const char* interfaceId, void** obj) override;
    uint32 VST3_CALL addRef() override { return 1; }
    uint32 VST3_CALL release() override { return 1; }

    tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) override;
    int32 VST3_CALL countClasses() override { return 1; }
    tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) override;
    tresult VST3_CALL createInstance(FIDString cid, FIDString interfaceId, void** obj) override;
    tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) override;
};

PluginFactory& pluginFactory();

}  // namespace vst3
