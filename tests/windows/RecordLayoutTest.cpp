// The record as a Windows host of either width reads it: 144 bytes with
// 4-byte pointers (the 32-bit hosts the product was made for), 192 with
// 8-byte pointers. AEffect.h checks every offset at compile time; this checks
// that the Windows builds compile it for the width they claim.
#include <gtest/gtest.h>

#include <cstddef>

#include "binding/AEffect.h"

namespace {

TEST(WindowsRecordLayout, SizeAndLastEntryMatchTheHostsWidth) {
#if defined(_WIN64)
    EXPECT_EQ(sizeof(void*), 8u);
    EXPECT_EQ(sizeof(vst::AEffect), 192u);
    EXPECT_EQ(offsetof(vst::AEffect, processReplacing), 120u);
#elif defined(_WIN32)
    EXPECT_EQ(sizeof(void*), 4u);
    EXPECT_EQ(sizeof(vst::AEffect), 144u);
    EXPECT_EQ(offsetof(vst::AEffect, processReplacing), 80u);
#endif
    EXPECT_EQ(offsetof(vst::AEffect, future) + vst::kFutureBytes, sizeof(vst::AEffect));
}

}  // namespace
