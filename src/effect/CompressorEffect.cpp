#include "effect/CompressorEffect.h"

#include <cmath>
#include <cstring>

#include "dsp/BandGainMeter.h"
#include "dsp/BlockRenderer.h"
#include "dsp/FilterBankList.h"

namespace effect {

namespace {

// Keys of the listen choice: every band summed, or one band alone.
constexpr std::int32_t kListenAll = dsp::kAllBands;
// Key of compressor mode "B", the square-root gain law.
constexpr std::int32_t kSquareRootMode = 1;

float float32(double value) {
    return static_cast<float>(value);
}

}  // namespace

// The parameters in host-index order. The constructor registers them from
// this table, so a parameter's row is its host index; applyParameterChanges
// asks it which changes reconfigure the bands.
constexpr std::array<CompressorEffect::ParameterRow, param::count>
CompressorEffect::parameterRows() {
    return {{
        {param::listenTo, &memberOf<&CompressorEffect::listenTo>, Reach::block},
        {param::masterDrive, &memberOf<&CompressorEffect::masterDrive>, Reach::bands},
        {param::masterOut, &memberOf<&CompressorEffect::masterOut>, Reach::bands},
        {param::release, &memberOf<&CompressorEffect::release>, Reach::bands},
        {param::stereoSeparation, &memberOf<&CompressorEffect::stereoSeparation>, Reach::bands},
        {param::compressorMode, &memberOf<&CompressorEffect::compressorMode>, Reach::bands},
        {param::clipOnOff, &memberOf<&CompressorEffect::clipOnOff>, Reach::block},
        {param::clipShape, &memberOf<&CompressorEffect::clipShape>, Reach::nothing},
        {param::filterBank, &memberOf<&CompressorEffect::filterBank>, Reach::bank},
        {param::crossoverFreq0, &memberOf<&CompressorEffect::crossoverFreq0>, Reach::bands},
        {param::crossoverFreq1, &memberOf<&CompressorEffect::crossoverFreq1>, Reach::bands},
        {param::crossoverFreq2, &memberOf<&CompressorEffect::crossoverFreq2>, Reach::bands},
        {param::driveAdjust0, &memberOf<&CompressorEffect::driveAdjust0>, Reach::bands},
        {param::driveAdjust1, &memberOf<&CompressorEffect::driveAdjust1>, Reach::bands},
        {param::driveAdjust2, &memberOf<&CompressorEffect::driveAdjust2>, Reach::bands},
        {param::driveAdjust3, &memberOf<&CompressorEffect::driveAdjust3>, Reach::bands},
        {param::outAdjust0, &memberOf<&CompressorEffect::outAdjust0>, Reach::bands},
        {param::outAdjust1, &memberOf<&CompressorEffect::outAdjust1>, Reach::bands},
        {param::outAdjust2, &memberOf<&CompressorEffect::outAdjust2>, Reach::bands},
        {param::outAdjust3, &memberOf<&CompressorEffect::outAdjust3>, Reach::bands},
    }};
}

namespace {

// Every row carries the index of its position. A missing row shifts the rows
// after it, or leaves a zero-initialised one at the end: either fails.
template <class Rows>
constexpr bool inIndexOrder(const Rows& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].index != static_cast<std::int32_t>(i)) return false;
    }
    return true;
}

}  // namespace

CompressorEffect::CompressorEffect(vst::HostCallback host)
    : ExtendedEffectBase(host, 1, 1),
      // Registered in the body below, from parameterRows().
      listenTo(nullptr, param::kIdentifiers[param::listenTo], "Listen to", ""),
      masterDrive(nullptr, param::kIdentifiers[param::masterDrive], "Master Drive", 1.0, 0.1, 1000.0),
      masterOut(nullptr, param::kIdentifiers[param::masterOut], "Master Out", 0.3, 0.01, 4.0),
      release(nullptr, param::kIdentifiers[param::release], "Release", 0.1, 0.0, 20.0),
      stereoSeparation(nullptr, param::kIdentifiers[param::stereoSeparation], "Stereo separation", 0.5, 0.0, 1.0),
      compressorMode(nullptr, param::kIdentifiers[param::compressorMode], "Compressor mode", ""),
      clipOnOff(nullptr, param::kIdentifiers[param::clipOnOff], "Clipping", false),
      clipShape(nullptr, param::kIdentifiers[param::clipShape], "Clip hard<>soft", 0.1, 0.0, 1.0),
      filterBank(nullptr, param::kIdentifiers[param::filterBank], "Filter bank", ""),
      crossoverFreq0(nullptr, param::kIdentifiers[param::crossoverFreq0], "Band 0-1 crossover", 200.0, 20.0, 20000.0),
      crossoverFreq1(nullptr, param::kIdentifiers[param::crossoverFreq1], "Band 1-2 crossover", 700.0, 20.0, 20000.0),
      crossoverFreq2(nullptr, param::kIdentifiers[param::crossoverFreq2], "Band 2-3 crossover", 2000.0, 20.0, 20000.0),
      driveAdjust0(nullptr, param::kIdentifiers[param::driveAdjust0], "Band 0 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust1(nullptr, param::kIdentifiers[param::driveAdjust1], "Band 1 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust2(nullptr, param::kIdentifiers[param::driveAdjust2], "Band 2 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust3(nullptr, param::kIdentifiers[param::driveAdjust3], "Band 3 drive adjust", 1.0, 0.1, 10.0),
      outAdjust0(nullptr, param::kIdentifiers[param::outAdjust0], "Band 0 out adjust", 1.0, 0.1, 10.0),
      outAdjust1(nullptr, param::kIdentifiers[param::outAdjust1], "Band 1 out adjust", 1.0, 0.1, 10.0),
      outAdjust2(nullptr, param::kIdentifiers[param::outAdjust2], "Band 2 out adjust", 1.0, 0.1, 10.0),
      outAdjust3(nullptr, param::kIdentifiers[param::outAdjust3], "Band 3 out adjust", 1.0, 0.1, 10.0) {
    static_assert(inIndexOrder(parameterRows()),
                  "the registration table must list the parameters in the order of "
                  "ParameterIndex.h");
    for (const ParameterRow& row : parameterRows()) parameters.add(&row.member(*this));
    clipKnee = 0.0f;
    const auto count = static_cast<std::int32_t>(parameters.size());
    setParameterCount(count);

    listenTo.addChoice(kListenAll, "allChannels", "All");
    listenTo.addChoice(0, "band0", "Band 0");
    listenTo.addChoice(1, "band1", "Band 1");
    listenTo.addChoice(2, "band2", "Band 2");
    listenTo.addChoice(3, "band3", "Band 3");
    compressorMode.addChoice(0, "A", "A");
    compressorMode.addChoice(kSquareRootMode, "B", "B");

    try {
        for (std::size_t i = 0; i < dsp::kFilterBankCount; ++i) {
            const dsp::FilterBankEntry& entry = dsp::kFilterBankList[i];
            std::unique_ptr<dsp::BandSplitter> bank(entry.create());
            if (filterBank.addChoice(bank.get(), entry.identifier, entry.displayName)) {
                banks[i] = bank.release();
            }
        }
        setNumInputs(2);
        setNumOutputs(2);
        canMono(true);
        canProcessReplacing(true);
        setUniqueID(kUniqueId);
        dynamics = std::make_unique<dsp::BandDynamics>();
        currentBank = nullptr;
        applyParameterChanges();
    } catch (...) {
        // The banks belong to the effect, not to the choice list; a failed
        // construction must not leak the ones already made.
        deleteBanks();
        throw;
    }
}

CompressorEffect::~CompressorEffect() {
    deleteBanks();
}

void CompressorEffect::deleteBanks() {
    dsp::BandSplitter* bank = nullptr;
    while (filterBank.popChoice(bank)) delete bank;
    currentBank = nullptr;
    banks.fill(nullptr);
}

void CompressorEffect::setParameter(std::int32_t index, float value) {
    stageParameter(index, value);
    applyParameterChanges();
}

void CompressorEffect::stageParameter(std::int32_t index, float value) {
    parameters.setNormalisedValue(index, value);
}

float CompressorEffect::getParameter(std::int32_t index) {
    return float32(parameters.normalisedValue(index));
}

void CompressorEffect::getParameterLabel(std::int32_t index, char* text) {
    parameters.copyUnitLabel(index, text);
}

void CompressorEffect::getParameterDisplay(std::int32_t index, char* text) {
    parameters.copyDisplayText(index, text);
}

void CompressorEffect::getParameterName(std::int32_t index, char* text) {
    parameters.copyDisplayName(index, text);
}

bool CompressorEffect::getEffectName(char* name) {
    std::strcpy(name, product::kEffectName);
    return true;
}

bool CompressorEffect::getVendorString(char* text) {
    std::strcpy(text, product::kVendorName);
    return true;
}

bool CompressorEffect::getProductString(char* text) {
    std::strcpy(text, product::kProductName);
    return true;
}

void CompressorEffect::setSampleRate(float rate) {
    ExtendedEffectBase::setSampleRate(rate);
    applyParameterChanges();
}

void CompressorEffect::setBlockSizeAndSampleRate(std::int32_t size, float rate) {
    ExtendedEffectBase::setBlockSizeAndSampleRate(size, rate);
    applyParameterChanges();
}

void CompressorEffect::process(float** inputs, float** outputs, std::int32_t sampleFrames) {
    dsp::NoGainMeter none;
    renderFrames(inputs, outputs, sampleFrames, false, none);
}

void CompressorEffect::processReplacing(float** inputs, float** outputs,
                                        std::int32_t sampleFrames) {
    dsp::NoGainMeter none;
    renderFrames(inputs, outputs, sampleFrames, true, none);
}

void CompressorEffect::processReplacingMetered(float** inputs, float** outputs,
                                               std::int32_t sampleFrames, float* lowestGains) {
    dsp::LowestGainMeter meter;
    renderFrames(inputs, outputs, sampleFrames, true, meter);
    meter.store(lowestGains);
}

void CompressorEffect::resetState() {
    platform::ScopedLock hold(lock);
    currentBank->reset();
    dynamics->resetStates();
    noise = dsp::AntiDenormalNoise();
}

// Takes the base's rate as the configured one if it is a usable rate that
// differs; zero, negative and non-finite rates leave the coefficients as they
// are. Answers whether the rate changed.
bool CompressorEffect::adoptSampleRate() {
    const float rate = getSampleRate();
    if (!(rate > 0.0f && std::isfinite(rate)) || rate == configuredRate) return false;
    configuredRate = rate;
    return true;
}

// Whether a parameter whose row says it reaches the bands changed since the
// bands were last configured; asking the table, not a list of names, keeps
// an added parameter from being left out.
bool CompressorEffect::bandSettingsChanged() {
    for (const ParameterRow& row : parameterRows()) {
        if (row.reach == Reach::bands && row.member(*this).isChanged()) return true;
    }
    return false;
}

void CompressorEffect::applyParameterChanges() {
    platform::ScopedLock hold(lock);

    const bool rateChanged = adoptSampleRate();
    if (filterBank.isChanged()) {
        dsp::BandSplitter* selected = filterBank.value();
        selected->reset();
        currentBank = selected;
        for (std::size_t i = 0; i < banks.size(); ++i) {
            if (banks[i] == selected) currentBankIndex = i;
        }
    } else if (!rateChanged && !bandSettingsChanged()) {
        return;
    }

    const float frequencies[3] = {float32(crossoverFreq0.value()), float32(crossoverFreq1.value()),
                                  float32(crossoverFreq2.value())};
    const float driveAdjust[4] = {float32(driveAdjust0.value()), float32(driveAdjust1.value()),
                                  float32(driveAdjust2.value()), float32(driveAdjust3.value())};
    const float outAdjust[4] = {float32(outAdjust0.value()), float32(outAdjust1.value()),
                                float32(outAdjust2.value()), float32(outAdjust3.value())};
    const float rate = configuredRate;
    currentBank->setFrequencies(frequencies, rate);

    const bool squareRoot = compressorMode.value() == kSquareRootMode;
    const float separation = float32(stereoSeparation.value());
    const float releaseTime = float32(release.value());
    const float outGain = float32(masterOut.value());
    const float driveGain = float32(masterDrive.value());
    dynamics->configure(frequencies, rate, driveGain, driveAdjust, outGain, outAdjust, releaseTime,
                        separation, squareRoot);
}

template <class Meter>
void CompressorEffect::renderFrames(float** inputs, float** outputs, std::int32_t sampleFrames,
                                    bool replace, Meter& meter) {
    const std::int32_t listen = listenTo.value();
    platform::ScopedLock hold(lock);
    if (sampleFrames <= 0) {
        meter.relateTo(*dynamics);
        return;
    }

    const dsp::StereoBlock block{inputs[0],    inputs[1], outputs[0], outputs[1],
                                 sampleFrames, listen,    replace};
    const dsp::SignalPath path{*dynamics, noise, clipKnee};
    auto clipping = [this]() { return clipOnOff.value(); };
    dsp::visitFilterBank(currentBankIndex, *currentBank,
                         [&](auto& bank) { dsp::renderBlock(bank, path, block, clipping, meter); });
    meter.relateTo(*dynamics);
}

}  // namespace effect
