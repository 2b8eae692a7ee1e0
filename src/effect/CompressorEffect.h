// The four-band stereo compressor: owner of the parameters, the twelve filter
// banks and the band dynamics, which it runs for the host through the block
// renderer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "binding/ExtendedEffectBase.h"
#include "dsp/AntiDenormalNoise.h"
#include "dsp/BandDynamics.h"
#include "dsp/BandSplitter.h"
#include "dsp/FilterBankList.h"
#include "effect/ParameterIndex.h"
#include "effect/ProductInfo.h"
#include "params/ChoiceParameter.h"
#include "params/ParameterList.h"
#include "params/RangeParameterKinds.h"
#include "params/SwitchParameter.h"
#include "platform/CriticalSection.h"

namespace effect {

class CompressorEffect final : public vst::ExtendedEffectBase {
  public:
    static constexpr std::int32_t kUniqueId = product::kUniqueId;

    explicit CompressorEffect(vst::HostCallback host);
    ~CompressorEffect() override;

    // Host threads; no processing lock except inside applyParameterChanges.
    void setParameter(std::int32_t index, float value) override;
    float getParameter(std::int32_t index) override;
    void getParameterLabel(std::int32_t index, char* text) override;
    void getParameterDisplay(std::int32_t index, char* text) override;
    void getParameterName(std::int32_t index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;

    // Host threads: a new valid rate reaches the filters and the dynamics
    // before the next block, with the current parameter values.
    void setSampleRate(float rate) override;
    void setBlockSizeAndSampleRate(std::int32_t size, float rate) override;

    // For a face that reads all its controls at the start of a block: stores
    // a value without reconfiguring; commitParameters then reconfigures once,
    // under one lock, for every value stored since.
    void stageParameter(std::int32_t index, float value);
    void commitParameters() { applyParameterChanges(); }

    // The parameters in host-index order, for other descriptions of the effect.
    const params::ParameterList& parameterList() const { return parameters; }

    // Audio thread.
    // Forgets the signal's history: filter memories, envelopes, gains and the
    // noise start as in a new instance, and so do the parameter values at
    // their positions, reconfiguring if one moves. Allocates nothing.
    void resetState();
    void process(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, std::int32_t sampleFrames) override;
    // processReplacing that also gives each band's lowest gain within the
    // block over both channels, relative to its gain at rest (1 when the
    // band did not compress, or for no frames); four values, band 0 first.
    void processReplacingMetered(float** inputs, float** outputs, std::int32_t sampleFrames,
                                 float* lowestGains);

  private:
    // Where a parameter's value goes, which decides what a change of it does.
    enum class Reach {
        bands,    // the crossovers and the band dynamics: a change reconfigures them
        block,    // read by every block as it renders
        bank,     // selects the filter bank, which is then reset and reconfigured
        nothing,  // stored and shown only (see clipKnee)
    };
    // One row of the registration table: a host index, the parameter member
    // registered at it, and where its value goes.
    struct ParameterRow {
        param::Index index;
        params::Parameter& (*member)(CompressorEffect& effect);
        Reach reach;
    };
    template <auto Member>
    static params::Parameter& memberOf(CompressorEffect& effect) {
        return effect.*Member;
    }
    static constexpr std::array<ParameterRow, param::count> parameterRows();

    void applyParameterChanges();
    bool bandSettingsChanged();
    bool adoptSampleRate();
    void deleteBanks();
    template <class Meter>
    void renderFrames(float** inputs, float** outputs, std::int32_t sampleFrames, bool replace,
                      Meter& meter);

    platform::CriticalSection lock;
    params::ParameterList parameters;
    params::ChoiceParameter<std::int32_t> listenTo;
    params::DecibelParameter masterDrive;
    params::DecibelSqrtParameter masterOut;
    params::TimeParameter release;
    params::PercentParameter stereoSeparation;
    params::ChoiceParameter<std::int32_t> compressorMode;
    params::OnOffParameter clipOnOff;
    params::PercentParameter clipShape;
    params::ChoiceParameter<dsp::BandSplitter*> filterBank;
    params::FrequencyParameter crossoverFreq0;
    params::FrequencyParameter crossoverFreq1;
    params::FrequencyParameter crossoverFreq2;
    params::DecibelParameter driveAdjust0;
    params::DecibelParameter driveAdjust1;
    params::DecibelParameter driveAdjust2;
    params::DecibelParameter driveAdjust3;
    params::DecibelParameter outAdjust0;
    params::DecibelParameter outAdjust1;
    params::DecibelParameter outAdjust2;
    params::DecibelParameter outAdjust3;
    dsp::AntiDenormalNoise noise;
    // Stays 0, the soft curve: "Clip hard<>soft" sets nothing while which end is hard is unsettled.
    float clipKnee = 0.0f;
    std::unique_ptr<dsp::BandDynamics> dynamics;
    dsp::BandSplitter* currentBank = nullptr;
    // The banks in list order, to find the concrete type of currentBank.
    std::array<dsp::BandSplitter*, dsp::kFilterBankCount> banks{};
    std::size_t currentBankIndex = 0;
    // The rate the coefficients were computed for; guarded by the lock.
    float configuredRate = 0.0f;
};

}  // namespace effect
