#include "Renderer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include "AudioFile.h"
#include "DemoSignal.h"
#include "HostError.h"
#include "HostTestSupport.h"
#include "OutputFile.h"
#include "Vst2Plugin.h"

namespace host::test {
namespace {

// The test effect at its default gain (0 dB) passes the input through, and the
// host compensates its latency: the output equals the input sample for sample.
TEST(Render, CompensatesLatencyAndKeepsLengthAndRate) {
    PluginInstance plugin(kTestEffect, 44100.0, 512);
    const AudioBuffer input = sineSignal(2, 3000, 44100.0);
    const AudioBuffer output = render(plugin, input, {512, false});
    EXPECT_EQ(output.sampleRate, 44100.0);
    ASSERT_EQ(output.channelCount(), 2u);
    EXPECT_EQ(output.channels, input.channels);
}

TEST(Render, OutputDoesNotDependOnTheBlockSize) {
    const AudioBuffer input = makeDemoSignal(48000.0, 0.5);
    std::vector<std::vector<float>> first;
    for (const std::int32_t block : {512, 1, 37, 4096}) {
        PluginInstance plugin(kTestEffect, 48000.0, block);
        plugin.setParameter(0, 0.25f);
        const AudioBuffer output = render(plugin, input, {block, false});
        if (first.empty()) first = output.channels;
        EXPECT_EQ(output.channels, first) << "block " << block;
    }
}

TEST(Render, MonoInputFeedsBothPlugInInputs) {
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    const AudioBuffer input = sineSignal(1, 2000);
    const AudioBuffer output = render(plugin, input, {512, false});
    ASSERT_EQ(output.channelCount(), 2u);
    EXPECT_EQ(output.channels[0], input.channels[0]);
    EXPECT_EQ(output.channels[1], input.channels[0]);
}

TEST(Render, MoreThanTwoChannelsIsAnError) {
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    EXPECT_THROW(render(plugin, sineSignal(3, 100), {512, false}), HostError);
    EXPECT_THROW(render(plugin, sineSignal(2, 100), {1024, false}), HostError)
        << "a block above the announced maximum";
}

// A change applies from its frame on, whatever the block: the test effect's
// gain acts on its input, so with the latency compensated the output switches
// from the dry signal to the attenuated one exactly there.
TEST(Render, ChangesTakeEffectAtTheirFrame) {
    const AudioBuffer input = sineSignal(2, 2000);
    for (const std::int64_t frame : {0, 1, 255, 256, 700, 1999}) {
        Vst2Plugin plugin(kTestEffect, 48000.0, 256);
        const double minusSix = plugin.valueFor(0, "-6");
        const AudioBuffer output = render(plugin, 256, input, {256, false, {{frame, 0, minusSix}}});
        for (std::size_t n = 0; n < input.frames(); ++n) {
            const float gain = static_cast<std::int64_t>(n) < frame ? 1.0f : 0.50118723f;
            ASSERT_FLOAT_EQ(output.channels[0][n], input.channels[0][n] * gain)
                << "change at " << frame << ", frame " << n;
        }
    }
}

// Accumulating adds the effect's output to the dry input; replacing gives the
// effect's output alone. Inverted at -6 dB, the two differ by the input.
TEST(Render, AccumulateAddsTheEffectToTheInput) {
    const AudioBuffer input = sineSignal(2, 2000);
    AudioBuffer replaced;
    AudioBuffer accumulated;
    for (const bool accumulate : {false, true}) {
        PluginInstance plugin(kTestEffect, 48000.0, 256);
        plugin.setParameter(0, 0.375f);  // -6 dB
        plugin.setParameter(2, 1.0f);    // inverted
        (accumulate ? accumulated : replaced) = render(plugin, input, {256, accumulate});
    }
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t n = 0; n < input.frames(); ++n) {
            ASSERT_FLOAT_EQ(accumulated.channels[c][n],
                            input.channels[c][n] + replaced.channels[c][n])
                << "channel " << c << " frame " << n;
        }
    }
    EXPECT_NEAR(replaced.channels[0][100], -0.501187f * input.channels[0][100], 1e-6f);
}

TEST(DemoSignal, IsDeterministicStereoAtMinusThreeDecibels) {
    const AudioBuffer a = makeDemoSignal(48000.0);
    const AudioBuffer b = makeDemoSignal(48000.0);
    EXPECT_EQ(a.channels, b.channels);
    ASSERT_EQ(a.channelCount(), 2u);
    EXPECT_EQ(a.frames(), 8u * 48000u);
    const Level level = measureLevel(a);
    EXPECT_NEAR(level.peakDb, -3.0, 0.01);
    EXPECT_LT(level.rmsDb, -12.0);  // transients well above the body: something to compress
    EXPECT_GT(level.rmsDb, -24.0);
}

class AudioFiles : public ScratchFolder {};

// Files the host does not write itself, straight through libsndfile.
void writeWithSndfile(const std::string& path, int format, const AudioBuffer& audio) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channelCount());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> interleaved;
    for (std::size_t frame = 0; frame < audio.frames(); ++frame) {
        for (const auto& channel : audio.channels) interleaved.push_back(channel[frame]);
    }
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio.frames()));
    sf_close(file);
}

TEST_F(AudioFiles, RoundTripFormatsAndRefusals) {
    const AudioBuffer signal = sineSignal(2, 1000, 44100.0);
    writeAudioFile(file("float.wav"), signal, SampleFormat::Float);
    EXPECT_EQ(readAudioFile(file("float.wav")).channels, signal.channels);
    writeAudioFile(file("pcm.flac"), signal, SampleFormat::Pcm24);
    const AudioBuffer flac = readAudioFile(file("pcm.flac"));
    EXPECT_EQ(flac.sampleRate, 44100.0);
    EXPECT_NEAR(flac.channels[1][123], signal.channels[1][123], 1e-6f);

    EXPECT_THROW(writeAudioFile(file("float.flac"), signal, SampleFormat::Float), HostError);
    EXPECT_THROW(writeAudioFile(file("out.mp3"), signal, SampleFormat::Float), HostError);
    EXPECT_THROW(writeAudioFile(file("no/such/folder.wav"), signal, SampleFormat::Float),
                 HostError);
    EXPECT_THROW(readAudioFile(file("missing.wav")), HostError);
    EXPECT_THROW(parseSampleFormat("32"), HostError);

    const AudioBuffer mp3Source = sineSignal(2, 44100, 44100.0);
    writeWithSndfile(file("in.mp3"), SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, mp3Source);
    const AudioBuffer mp3 = readAudioFile(file("in.mp3"));
    EXPECT_EQ(mp3.sampleRate, 44100.0);
    EXPECT_EQ(mp3.channelCount(), 2u);
    EXPECT_NEAR(measureLevel(mp3).rmsDb, measureLevel(mp3Source).rmsDb, 0.5);

    writeWithSndfile(file("three.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, sineSignal(3, 1));
    try {
        readAudioFile(file("three.wav"));
        ADD_FAILURE() << "a three-channel file was read";
    } catch (const HostError& error) {
        EXPECT_NE(std::string(error.what()).find("has 3 channels"), std::string::npos);
    }
}

TEST_F(AudioFiles, UncommittedOutputLeavesNothingBehind) {
    {
        OutputFile output(file("result.wav"));
        std::FILE* partial = std::fopen(output.temporaryPath().c_str(), "w");
        std::fputs("half", partial);
        std::fclose(partial);
    }
    EXPECT_TRUE(contents().empty());
}

}  // namespace
}  // namespace host::test
