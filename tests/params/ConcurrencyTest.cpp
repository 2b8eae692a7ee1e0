// Host threads write values while the processing side polls them: meaningful under the
// ThreadSanitizer preset, where any unsynchronised access between the two fails the test.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "params/ChoiceParameter.h"
#include "params/ParameterList.h"
#include "params/RangeParameterKinds.h"
#include "params/SwitchParameter.h"

namespace params {
namespace {

constexpr int writes = 20000;

TEST(ParameterConcurrency, PollingSeesEveryValueInOrderAndLosesNoChange) {
    ParameterList list;
    DegreeParameter range(&list, "r", "Range", 0.0, 0.0, writes);
    OnOffParameter onOff(&list, "s", "Switch", false);
    ChoiceParameter<std::int32_t> choice(&list, "c", "Choice", "");
    for (std::int32_t i = 0; i < 4; ++i) {
        choice.addChoice(i, "c" + std::to_string(i), "C" + std::to_string(i));
    }
    std::atomic<bool> done{false};

    std::thread host([&] {
        for (int i = 1; i <= writes; ++i) {
            range.setValue(i, true);
            list.setNormalisedValue(1, (i % 2) != 0 ? 1.0f : 0.0f);
            list.setNormalisedValue(2, static_cast<float>(i % 4) / 4.0f);
        }
        done.store(true);
    });
    std::thread textQueries([&] {
        std::array<char, 32> buffer{};
        while (!done.load()) {
            for (std::int32_t index = 0; index < 3; ++index) {
                list.copyDisplayText(index, buffer.data());
                (void)list.normalisedValue(index);
            }
        }
    });

    double last = 0.0;
    bool monotonic = true;
    while (!done.load()) {
        if (range.isChanged()) {
            const double v = range.value();
            monotonic = monotonic && v >= last;
            last = v;
        }
        (void)onOff.value();
        (void)choice.value();
    }
    host.join();
    textQueries.join();

    EXPECT_TRUE(monotonic);
    EXPECT_TRUE(last == writes || range.isChanged()) << "the last change was lost";
    EXPECT_EQ(range.value(), writes);
    EXPECT_FALSE(onOff.value());
    EXPECT_EQ(choice.value(), 0);
}

}  // namespace
}  // namespace params
