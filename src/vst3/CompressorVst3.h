// One VST 3 instance of the compressor: component, audio processor and edit
// controller in one object with one reference count. The processor hands the
// engine the host's parameter points (normalized value = position) at their
// frames. The controller keeps its own values, as a separate controller would.
//
// Threads: the host's main thread calls the component and controller
// methods, its process thread process(); they may overlap. The processor's
// values live in the engine; process() allocates nothing.
#pragma once

#include <array>
#include <atomic>

#include "engine/CompressorEngine.h"
#include "vst3/ParameterTable.h"
#include "vst3/PointQueues.h"
#include "vst3/ProgramList.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

// IComponent and IEditController declare setState and getState with one
// signature each; these route the two pairs to functions of their own.
class ComponentSide : public IComponent {
  public:
    tresult VST3_CALL setState(IBStream* state) final { return setProcessorState(state); }
    tresult VST3_CALL getState(IBStream* state) final { return getProcessorState(state); }

  protected:
    ~ComponentSide() = default;
    virtual tresult setProcessorState(IBStream* state) = 0;
    virtual tresult getProcessorState(IBStream* state) = 0;
};

class ControllerSide : public IEditController {
  public:
    tresult VST3_CALL setState(IBStream* state) final { return setControllerState(state); }
    tresult VST3_CALL getState(IBStream* state) final { return getControllerState(state); }

  protected:
    ~ControllerSide() = default;
    virtual tresult setControllerState(IBStream* state) = 0;
    virtual tresult getControllerState(IBStream* state) = 0;
};

class CompressorVst3 final : public ComponentSide,
                             public IAudioProcessor,
                             public ControllerSide,
                             public IUnitInfo {
  public:
    // Starts with one reference, the caller's.
    CompressorVst3();

    // FUnknown
    tresult VST3_CALL queryInterface(const char* interfaceId, void** obj) override;
    uint32 VST3_CALL addRef() override;
    uint32 VST3_CALL release() override;

    // IPluginBase: called once for the component and once for the controller.
    tresult VST3_CALL initialize(FUnknown* context) override;
    tresult VST3_CALL terminate() override;

    // IComponent
    tresult VST3_CALL getControllerClassId(char* classId) override;
    tresult VST3_CALL setIoMode(IoMode mode) override;
    int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) override;
    tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index,
                                 BusInfo& bus) override;
    tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index,
                                  TBool state) override;
    tresult VST3_CALL setActive(TBool state) override;

    // IAudioProcessor
    tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                         SpeakerArrangement* outputs, int32 numOuts) override;
    tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index,
                                        SpeakerArrangement& arrangement) override;
    tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 VST3_CALL getLatencySamples() override;
    tresult VST3_CALL setupProcessing(ProcessSetup& setup) override;
    tresult VST3_CALL setProcessing(TBool state) override;
    tresult VST3_CALL process(ProcessData& data) override;
    uint32 VST3_CALL getTailSamples() override;

    // IEditController
    tresult VST3_CALL setComponentState(IBStream* state) override;
    int32 VST3_CALL getParameterCount() override;
    tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
    tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                            String128 string) override;
    tresult VST3_CALL getParamValueByString(ParamID id, TChar* string,
                                            ParamValue& valueNormalized) override;
    ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue VST3_CALL getParamNormalized(ParamID id) override;
    tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) override;
    tresult VST3_CALL setComponentHandler(IComponentHandler* handler) override;
    IPlugView* VST3_CALL createView(FIDString name) override;

    // IUnitInfo: the root unit and its list of the factory presets.
    int32 VST3_CALL getUnitCount() override;
    tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) override;
    int32 VST3_CALL getProgramListCount() override;
    tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
    tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex,
                                     String128 name) override;
    tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                     String128 value) override;
    tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
    tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                          String128 name) override;
    UnitID VST3_CALL getSelectedUnit() override;
    tresult VST3_CALL selectUnit(UnitID unitId) override;
    tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                   UnitID& unitId) override;
    tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                         IBStream* data) override;

  private:
    ~CompressorVst3();

    tresult setProcessorState(IBStream* state) override;
    tresult getProcessorState(IBStream* state) override;
    tresult setControllerState(IBStream* state) override;
    tresult getControllerState(IBStream* state) override;
    void showInController(const engine::PluginState& state);
    void sendMeters(IParameterChanges* changes);
    void sendPositions(IParameterChanges* changes);

    std::atomic<uint32> references_{1};
    std::atomic<int32> initializations_{0};
    engine::CompressorEngine engine_;
    const ParameterTable table_;
    const ProgramList programs_;

    // Controller: the values a host's view shows, apart from the processor's.
    std::array<std::atomic<double>, kControlSlots> shown_{};
    // The program-change parameter's value.
    std::atomic<double> program_{0.0};
    IComponentHandler* handler_ = nullptr;

    // Processor.
    PointQueues points_;
    // A loaded state changed the positions: the next process() reports them,
    // as it does after a program change, because the host may not be called
    // back while it loads (Ardour 7.3 deadlocks on restartComponent there).
    std::atomic<bool> reportPositions_{false};
    // The last reading of each meter, normalized, for the controller.
    std::array<std::atomic<double>, engine::kMeterCount> meters_{};
};

}  // namespace vst3
