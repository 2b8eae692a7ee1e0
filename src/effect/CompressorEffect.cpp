#include "effect/CompressorEffect.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "dsp/FilterBankList.h"
#include "dsp/OutputClipper.h"

namespace effect {

namespace {

constexpr const char* kEffectName = "Compressor";
constexpr const char* kProductName = "Compressor";
constexpr const char* kVendorName = "Tessel @ Vantrelix";

// Keys of the listen choice: every band summed, or one band alone.
constexpr std::int32_t kListenAll = -1;
// Key of compressor mode "B", the square-root gain law.
constexpr std::int32_t kSquareRootMode = 1;

// Input magnitudes up to this, 240 dB above full scale, pass unchanged. A
// larger sample, NaN or an infinity is taken as silence: it would leave the
// filter memories non-finite, or so large that they ring through the
// following samples with values whose driven power overflows. Below it every
// filter memory, band value and output stays finite at any setting.
constexpr float kLargestInput = 1.0e12f;

float float32(double value) {
    return static_cast<float>(value);
}

// NaN fails the comparison and becomes silence too.
float saneInput(float sample) {
    return std::fabs(sample) <= kLargestInput ? sample : 0.0f;
}

}  // namespace

CompressorEffect::CompressorEffect(vst::HostCallback host)
    : ExtendedEffectBase(host, 1, 1),
      listenTo(&parameters, "listenTo", "Listen to", ""),
      masterDrive(&parameters, "masterDrive", "Master Drive", 1.0, 0.1, 1000.0),
      masterOut(&parameters, "masterOut", "Master Out", 0.3, 0.01, 4.0),
      release(&parameters, "release", "Release", 0.1, 0.0, 20.0),
      stereoSeparation(&parameters, "stereoSeparation", "Stereo separation", 0.5, 0.0, 1.0),
      compressorMode(&parameters, "compressorMode", "Compressor mode", ""),
      clipOnOff(&parameters, "clipOnOff", "Clipping", false),
      clipShape(&parameters, "clipShape", "Clip hard<>soft", 0.1, 0.0, 1.0),
      filterBank(&parameters, "filterBank", "Filter bank", ""),
      crossoverFreq0(&parameters, "crossoverFreq0", "Band 0-1 crossover", 200.0, 20.0, 20000.0),
      crossoverFreq1(&parameters, "crossoverFreq1", "Band 1-2 crossover", 700.0, 20.0, 20000.0),
      crossoverFreq2(&parameters, "crossoverFreq2", "Band 2-3 crossover", 2000.0, 20.0, 20000.0),
      driveAdjust0(&parameters, "driveAdjust0", "Band 0 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust1(&parameters, "driveAdjust1", "Band 1 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust2(&parameters, "driveAdjust2", "Band 2 drive adjust", 1.0, 0.1, 10.0),
      driveAdjust3(&parameters, "driveAdjust3", "Band 3 drive adjust", 1.0, 0.1, 10.0),
      outAdjust0(&parameters, "outAdjust0", "Band 0 out adjust", 1.0, 0.1, 10.0),
      outAdjust1(&parameters, "outAdjust1", "Band 1 out adjust", 1.0, 0.1, 10.0),
      outAdjust2(&parameters, "outAdjust2", "Band 2 out adjust", 1.0, 0.1, 10.0),
      outAdjust3(&parameters, "outAdjust3", "Band 3 out adjust", 1.0, 0.1, 10.0) {
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
    parameters.setNormalisedValue(index, value);
    applyParameterChanges();
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
    std::strcpy(name, kEffectName);
    return true;
}

bool CompressorEffect::getVendorString(char* text) {
    std::strcpy(text, kVendorName);
    return true;
}

bool CompressorEffect::getProductString(char* text) {
    std::strcpy(text, kProductName);
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
    renderFrames(inputs, outputs, sampleFrames, false);
}

void CompressorEffect::processReplacing(float** inputs, float** outputs,
                                        std::int32_t sampleFrames) {
    renderFrames(inputs, outputs, sampleFrames, true);
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
    } else if (!rateChanged &&
               !(masterDrive.isChanged() || masterOut.isChanged() || release.isChanged() ||
                 stereoSeparation.isChanged() || compressorMode.isChanged() ||
                 crossoverFreq0.isChanged() || crossoverFreq1.isChanged() ||
                 crossoverFreq2.isChanged() || driveAdjust0.isChanged() ||
                 driveAdjust1.isChanged() || driveAdjust2.isChanged() || driveAdjust3.isChanged() ||
                 outAdjust0.isChanged() || outAdjust1.isChanged() || outAdjust2.isChanged() ||
                 outAdjust3.isChanged())) {
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

void CompressorEffect::renderFrames(float** inputs, float** outputs, std::int32_t sampleFrames,
                                    bool replace) {
    const std::int32_t listen = listenTo.value();
    platform::ScopedLock hold(lock);
    if (sampleFrames <= 0) return;

    const Block block{inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames, listen, replace};
    dsp::visitFilterBank(currentBankIndex, *currentBank,
                         [this, &block](auto& bank) { renderWith(bank, block); });
}

// One block through the bank of concrete type Bank: every per-sample call is
// direct and inlined. The bank, the dynamics' states and the noise run on
// working copies written back at the end, so they can stay in registers for
// the whole block; as members they would be reloaded after every store to the
// host's buffers, which the compiler must assume may alias them.
//
// The work per frame is two long chains of dependent operations, the bank's
// filters and the compressor's feedback loop; the processor overlaps them
// only as far as it can look ahead. So the loop that runs them does nothing
// else: it leaves the mixed frames and the clipping switch of each frame in
// a chunk buffer, and a second pass clips and writes the chunk, four frames
// at a time. Every frame still sees the same operations in the same order.
template <class Bank>
void CompressorEffect::renderWith(Bank& bank, const Block& block) {
    constexpr std::int32_t kChunk = 64;
    Bank splitter = bank;
    const dsp::BandDynamics& bandDynamics = *dynamics;
    dsp::BandDynamics::Lanes lanes = bandDynamics.loadLanes();
    dsp::AntiDenormalNoise tinyNoise = noise;
    const std::int32_t listen = block.listen;
    const std::int32_t bandCount = splitter.bandCount();
    alignas(16) float mixedLeft[kChunk];
    alignas(16) float mixedRight[kChunk];
    alignas(16) std::int32_t clipMask[kChunk];
    auto split = [&](std::int32_t i, float* left, float* right) {
        const float tiny = tinyNoise.next();
        splitter.processStereo(saneInput(block.inLeft[i]) + tiny,
                               saneInput(block.inRight[i]) + tiny, left, right);
    };

    // The bank runs one frame ahead of the dynamics: frame i + 1 is split
    // while frame i is compressed, so the two chains sit side by side in the
    // loop body.
    float bandsA[2][64];
    float bandsB[2][64];
    float* aheadLeft = bandsA[0];
    float* aheadRight = bandsA[1];
    float* bandsLeft = bandsB[0];
    float* bandsRight = bandsB[1];
    split(0, aheadLeft, aheadRight);
    for (std::int32_t start = 0; start < block.frames; start += kChunk) {
        const std::int32_t count = std::min(kChunk, block.frames - start);
        for (std::int32_t j = 0; j < count; ++j) {
            const std::int32_t i = start + j;
            std::swap(aheadLeft, bandsLeft);
            std::swap(aheadRight, bandsRight);
            if (i + 1 < block.frames) split(i + 1, aheadLeft, aheadRight);
            bandDynamics.processBands(lanes, bandsLeft, bandsRight);

            float left;
            float right;
            if (listen == kListenAll) {
                left = 0.0f;
                right = 0.0f;
                for (std::int32_t band = 0; band < bandCount; ++band) {
                    left += bandsLeft[band];
                    right += bandsRight[band];
                }
            } else {
                left = bandsLeft[listen];
                right = bandsRight[listen];
            }
            mixedLeft[j] = left;
            mixedRight[j] = right;
            clipMask[j] = clipOnOff.value() ? -1 : 0;
        }
        writeChunk(mixedLeft, mixedRight, clipMask, count, block.outLeft + start,
                   block.outRight + start, block.replace);
    }

    bank = splitter;
    dynamics->storeLanes(lanes);
    noise = tinyNoise;
}

// Clips the frames whose mask is set and writes or adds all of them to the
// host's buffers.
void CompressorEffect::writeChunk(const float* mixedLeft, const float* mixedRight,
                                  const std::int32_t* clipMask, std::int32_t count, float* outLeft,
                                  float* outRight, bool replace) const {
    const float knee = clipKnee;
    std::int32_t j = 0;
    for (; j + 4 <= count; j += 4) {
        const __m128 clip =
            _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(clipMask + j)));
        __m128 left = _mm_loadu_ps(mixedLeft + j);
        __m128 right = _mm_loadu_ps(mixedRight + j);
        if (_mm_movemask_ps(clip) != 0) {
            left = _mm_or_ps(_mm_and_ps(clip, dsp::clipOutputLanes(knee, left)),
                             _mm_andnot_ps(clip, left));
            right = _mm_or_ps(_mm_and_ps(clip, dsp::clipOutputLanes(knee, right)),
                              _mm_andnot_ps(clip, right));
        }
        if (!replace) {
            left = _mm_add_ps(_mm_loadu_ps(outLeft + j), left);
            right = _mm_add_ps(_mm_loadu_ps(outRight + j), right);
        }
        _mm_storeu_ps(outLeft + j, left);
        _mm_storeu_ps(outRight + j, right);
    }
    for (; j < count; ++j) {
        float left = mixedLeft[j];
        float right = mixedRight[j];
        if (clipMask[j] != 0) {
            left = dsp::clipOutput(knee, left);
            right = dsp::clipOutput(knee, right);
        }
        if (replace) {
            outLeft[j] = left;
            outRight[j] = right;
        } else {
            outLeft[j] += left;
            outRight[j] += right;
        }
    }
}

}  // namespace effect
