#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "TestEffect.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace vst::test {
namespace {

// The block's true size is only visible under AddressSanitizer: every byte
// inside is addressable, the first byte past the end is not.
void expectBlockSize(const VstSpeakerArrangement* arrangement, std::size_t bytes) {
#if defined(__SANITIZE_ADDRESS__)
    auto* raw = const_cast<char*>(reinterpret_cast<const char*>(arrangement));
    EXPECT_EQ(__asan_region_is_poisoned(raw, bytes), nullptr);
    EXPECT_TRUE(__asan_address_is_poisoned(raw + bytes));
#else
    (void)arrangement;
    (void)bytes;
#endif
}

void expectZeroFilled(const VstSpeakerArrangement* arrangement, std::size_t bytes) {
    const auto* raw = reinterpret_cast<const unsigned char*>(arrangement);
    for (std::size_t i = 0; i < bytes; ++i) {
        if (i >= 4 && i < 8) continue;  // the channel count
        ASSERT_EQ(raw[i], 0) << "byte " << i;
    }
}

void fillSpeaker(VstSpeakerProperties& speaker, int seed) {
    speaker.azimuth = 0.5f * static_cast<float>(seed);
    speaker.elevation = -0.25f * static_cast<float>(seed);
    speaker.radius = 2.0f + static_cast<float>(seed);
    speaker.reserved = 7.0f;
    std::strcpy(speaker.name, seed % 2 == 0 ? "Left front" : "Right front");
    speaker.type = 100 + seed;
    for (std::size_t i = 0; i < sizeof speaker.future; ++i) {
        speaker.future[i] = static_cast<char>(seed + static_cast<int>(i));
    }
}

class SpeakerArrangements : public ::testing::Test {
  protected:
    HostSide host;
    TestEffect& effect = *host.effect;
};

TEST_F(SpeakerArrangements, AllocateGivesZeroFilledBlocksOfTheRightSize) {
    struct Row {
        std::int32_t channels;
        std::size_t bytes;
    };
    const Row rows[] = {{0, 8}, {1, 120}, {2, 232}, {8, 904}, {10, 1128}};
    VstSpeakerArrangement* arrangement = nullptr;
    for (const Row& row : rows) {
        // Each allocation frees the previous block (the leak check sees it).
        ASSERT_TRUE(effect.allocateArrangement(&arrangement, row.channels));
        ASSERT_NE(arrangement, nullptr);
        EXPECT_EQ(arrangement->numChannels, row.channels);
        expectBlockSize(arrangement, row.bytes);
        expectZeroFilled(arrangement, row.bytes);
    }
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
    EXPECT_EQ(arrangement, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
}

TEST_F(SpeakerArrangements, RefusesNegativeCountsAndNullHandles) {
    VstSpeakerArrangement* arrangement = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 2));
    VstSpeakerArrangement* const held = arrangement;
    EXPECT_FALSE(effect.allocateArrangement(&arrangement, -1));
    EXPECT_FALSE(effect.allocateArrangement(&arrangement, INT32_MIN));
    EXPECT_EQ(arrangement, held);  // still valid, still owned
    EXPECT_EQ(arrangement->numChannels, 2);
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
    effect.deallocateArrangement(&arrangement);
}

TEST_F(SpeakerArrangements, CopySpeakerCopiesEveryFieldAndBoundsTheName) {
    VstSpeakerProperties from{};
    VstSpeakerProperties to{};
    fillSpeaker(from, 3);
    EXPECT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_EQ(std::memcmp(&to, &from, sizeof to), 0);

    // A name without terminator is cut at the end of the field.
    std::memset(from.name, 'n', sizeof from.name);
    VstSpeakerProperties cut{};
    EXPECT_TRUE(effect.copySpeaker(&cut, &from));
    EXPECT_EQ(std::string(cut.name), std::string(sizeof cut.name - 1, 'n'));
    EXPECT_EQ(cut.type, from.type);

    EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
    EXPECT_FALSE(effect.copySpeaker(&to, nullptr));
}

TEST_F(SpeakerArrangements, MatchCopiesTypeAndEverySpeaker) {
    for (std::int32_t channels : {2, 10}) {
        VstSpeakerArrangement* source = nullptr;
        ASSERT_TRUE(effect.allocateArrangement(&source, channels));
        source->type = 42;
        for (std::int32_t i = 0; i < channels; ++i) fillSpeaker(source->speakers[i], i);

        VstSpeakerArrangement* target = nullptr;
        ASSERT_TRUE(effect.allocateArrangement(&target, 1));  // replaced, not leaked
        ASSERT_TRUE(effect.matchArrangement(&target, source));
        const std::size_t bytes = 8 + 112 * static_cast<std::size_t>(channels);
        expectBlockSize(target, bytes);
        EXPECT_EQ(target->type, 42);
        EXPECT_EQ(target->numChannels, channels);
        EXPECT_EQ(std::memcmp(target, source, bytes), 0) << channels << " channels";

        effect.deallocateArrangement(&target);
        effect.deallocateArrangement(&source);
    }
}

TEST_F(SpeakerArrangements, MatchRefusesNullAndKeepsAnArrangementMatchedToItself) {
    VstSpeakerArrangement* arrangement = nullptr;
    EXPECT_FALSE(effect.matchArrangement(&arrangement, nullptr));
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 2));
    arrangement->type = 5;
    // Matching to itself must not free its own source.
    EXPECT_TRUE(effect.matchArrangement(&arrangement, arrangement));
    EXPECT_EQ(arrangement->type, 5);
    EXPECT_EQ(arrangement->numChannels, 2);
    EXPECT_FALSE(effect.matchArrangement(nullptr, arrangement));

    VstSpeakerArrangement broken{};
    broken.numChannels = -1;
    EXPECT_FALSE(effect.matchArrangement(&arrangement, &broken));
    EXPECT_EQ(arrangement, nullptr);
}

}  // namespace
}  // namespace vst::test
