// The plug-ins on a machine without X (a render server): no display, or no
// libX11 at all (without-libx11.sh hides it). The libraries load and sound;
// their editors fail to open and leave nothing behind.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>

#include <cmath>
#include <cstdint>

#include "Vst3TestHost.h"
#include "Vst3ViewHost.h"

namespace {

using namespace vst3;

TEST(WithoutX, Vst3ViewFailsToAttachAndTheSoundGoesOn) {
    vst3test::Instance instance;
    vst3test::RunLoop loop;
    vst3test::PlugFrame frame(loop);
    IPlugView* view = instance.controller()->createView("editor");
    ASSERT_NE(view, nullptr);
    view->setFrame(&frame);
    // Any window ID: the view cannot reach a server to find it.
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(std::uintptr_t{0x400002}),
                             kPlatformTypeX11EmbedWindowID),
              kResultFalse);
    EXPECT_EQ(loop.registrations(), 0u);
    view->removed();
    view->setFrame(nullptr);
    EXPECT_EQ(view->release(), 0u);

    const testhost::Stereo input(testhost::sine(100.0, 0.5, 4096), testhost::sine(100.0, 0.5, 4096));
    const testhost::Stereo output = instance.render(input, 512);
    EXPECT_TRUE(testhost::allFinite(output.left.data(), output.left.size()));
    EXPECT_GT(testhost::rmsDecibels(output.left, 0, output.left.size()), -60.0);
}

TEST(WithoutX, Lv2UiRefusesToInstantiate) {
    void* library = dlopen(LV2_UI_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(std::uint32_t)>(
        dlsym(library, "lv2ui_descriptor"));
    const LV2UI_Descriptor* descriptor = entry(0);
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(std::uintptr_t{0x400002})};
    const LV2_Feature* features[] = {&parent, nullptr};
    LV2UI_Widget widget = nullptr;
    const auto write = [](LV2UI_Controller, std::uint32_t, std::uint32_t, std::uint32_t,
                          const void*) {};
    EXPECT_EQ(descriptor->instantiate(descriptor, "urn:tessel-vantrelix:compressor", "", write,
                                      nullptr, &widget, features),
              nullptr);
    dlclose(library);
}

}  // namespace
