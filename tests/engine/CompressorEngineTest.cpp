// The engine as a face drives it: a change at a frame inside a block sounds
// like the block processed in two pieces with the change made between them,
// in separate or shared buffers; a change it must not take (NaN, an unknown
// or read-only ID) changes nothing, an out-of-range one takes the nearer end.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "PluginHarness.h"
#include "SettingTable.h"
#include "engine/CompressorEngine.h"

namespace {

using engine::ControlId;
using testhost::Stereo;

constexpr std::int32_t kBlock = 512;

// One change at one frame, taken once.
class OneChange final : public engine::ChangeQueue {
  public:
    explicit OneChange(engine::Change change) : change_(change) {}
    bool front(engine::Change& change) override {
        if (taken_) return false;
        change = change_;
        return true;
    }
    void pop() override { taken_ = true; }

  private:
    engine::Change change_;
    bool taken_ = false;
};

// Frames [from, to) of the signal through the engine, in place.
void processPiece(engine::CompressorEngine& engine, Stereo& audio, std::int32_t from,
                  std::int32_t to, engine::ChangeQueue* changes = nullptr) {
    float* channels[2] = {audio.left.data() + from, audio.right.data() + from};
    engine.process(channels, channels, to - from, changes);
}

struct ChangeRow {
    std::string name;
    ControlId id;
    double position;
    // What the engine must make of it: a position, or nothing at all.
    std::optional<double> taken;
};

TEST(CompressorEngine, ChangeAtAFrameSoundsLikeTheBlockInTwoPieces) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::vector<ChangeRow> rows = {
        {"drive", param::masterDrive, 0.9, 0.9},
        {"filter bank", param::filterBank, 0.5, 0.5},
        {"bypass", engine::kBypassId, 1.0, 1.0},
        {"drive above the range", param::masterDrive, 1.7, 1.0},
        {"release below the range", param::release, -3.0, 0.0},
        {"NaN", param::masterDrive, kNaN, std::nullopt},
        {"unknown ID", 57, 0.3, std::nullopt},
        {"meter", engine::meterId(0), 0.2, std::nullopt},
    };
    const Stereo signal = testhost::burstSignal(3 * kBlock);
    for (const ChangeRow& row : rows) {
        // Inside the block, at its end, past it.
        for (const std::int32_t frame : {1, 100, 511, kBlock, kBlock + 40}) {
            for (const bool inPlace : {false, true}) {
                SCOPED_TRACE(row.name + " at " + std::to_string(frame) +
                             (inPlace ? ", in place" : ""));
                engine::CompressorEngine split;
                split.setSampleRate(testhost::kSampleRate);
                Stereo expected = signal;
                processPiece(split, expected, 0, kBlock);
                const std::int32_t cut = kBlock + std::min(frame, kBlock);
                processPiece(split, expected, kBlock, cut);
                if (row.taken) split.setPosition(row.id, *row.taken);
                processPiece(split, expected, cut, 3 * kBlock);

                engine::CompressorEngine changed;
                changed.setSampleRate(testhost::kSampleRate);
                Stereo actual = signal;
                Stereo output(signal.frames());
                processPiece(changed, actual, 0, kBlock);
                OneChange change({frame, row.id, row.position});
                float* in[2] = {actual.left.data() + kBlock, actual.right.data() + kBlock};
                float* out[2] = {output.left.data() + kBlock, output.right.data() + kBlock};
                changed.process(in, inPlace ? in : out, kBlock, &change);
                if (!inPlace) {
                    std::copy(output.left.begin() + kBlock, output.left.begin() + 2 * kBlock,
                              actual.left.begin() + kBlock);
                    std::copy(output.right.begin() + kBlock, output.right.begin() + 2 * kBlock,
                              actual.right.begin() + kBlock);
                }
                processPiece(changed, actual, 2 * kBlock, 3 * kBlock);
                ASSERT_EQ(actual, expected);
                EXPECT_EQ(changed.state(), split.state());
            }
        }
    }
}

// A flush (changes with no frames, as CLAP and VST 3 hosts send between
// blocks) measured nothing: the meters keep the last block's reading.
TEST(CompressorEngine, FlushKeepsTheMetersReading) {
    engine::CompressorEngine engine;
    engine.setSampleRate(testhost::kSampleRate);
    engine.setPosition(param::masterDrive, 0.9);
    Stereo audio = testhost::burstSignal(kBlock);
    processPiece(engine, audio, 0, kBlock);
    std::vector<double> before;
    for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
        before.push_back(engine.meterDb(band));
    }
    ASSERT_LT(*std::min_element(before.begin(), before.end()), -1.0);
    OneChange change({0, param::masterOut, 0.3});
    engine.process(nullptr, nullptr, 0, &change);
    for (std::size_t band = 0; band < engine::kMeterCount; ++band) {
        EXPECT_EQ(engine.meterDb(band), before[band]) << "band " << band;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(engine.positionOf(param::masterOut)), 0.3f);
}

}  // namespace
