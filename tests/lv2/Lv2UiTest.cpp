// The LV2 UI library as jalv loads it (with ui:touch, as Ardour offers it): a
// window in the host's parent, driven by idle calls, edits written as port
// values between a grab and a release, port events shown.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <X11/keysym.h>
#include <dirent.h>
#include <string>
#include <vector>

#include "TestDisplay.h"
#include "lv2/PortLayout.h"

namespace {

using displaytest::Capture;

constexpr std::uint32_t kMasterDriveId = 1;
constexpr std::uint32_t kMasterDrivePort = lv2::kFirstControlPort + kMasterDriveId;

std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr) ++count;
        closedir(folder);
    }
    return count;
}

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    for (std::size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

// The UI library with jalv's features; one UI open at a time.
class UiHost {
  public:
    UiHost() {
        library_ = dlopen(LV2_UI_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr) throw std::runtime_error(dlerror());
        const auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(std::uint32_t)>(
            dlsym(library_, "lv2ui_descriptor"));
        descriptor_ = entry(0);
        idle_ = static_cast<const LV2UI_Idle_Interface*>(
            descriptor_->extension_data(LV2_UI__idleInterface));
    }
    ~UiHost() {
        close();
        dlclose(library_);
    }

    // The UI in `parent` (none: no ui:parent feature); its window, 0 if refused.
    unsigned long open(unsigned long parent) {
        LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
        LV2_Feature mapFeature{LV2_URID__map, &map_};
        LV2_Feature touchFeature{LV2_UI__touch, &touch_};
        const LV2_Feature* features[] = {&mapFeature, &idleFeature, &touchFeature,
                                         parent != 0 ? &parentFeature : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        handle_ = descriptor_->instantiate(descriptor_, lv2::kPluginUri, "", write, this,
                                           &widget, features);
        return handle_ != nullptr ? reinterpret_cast<std::uintptr_t>(widget) : 0;
    }
    void close() {
        if (handle_ != nullptr) descriptor_->cleanup(handle_);
        handle_ = nullptr;
    }
    void idle() { idle_->idle(handle_); }
    void send(std::uint32_t port, float value) {
        descriptor_->port_event(handle_, port, sizeof value, 0, &value);
    }

    const std::vector<std::pair<std::uint32_t, float>>& writes() const { return writes_; }
    struct Touch {
        std::uint32_t port;
        bool grabbed;
        std::size_t writesBefore;
    };
    const std::vector<Touch>& touches() const { return touches_; }

  private:
    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t protocol, const void* buffer) {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(protocol, 0u);
        static_cast<UiHost*>(controller)
            ->writes_.emplace_back(port, *static_cast<const float*>(buffer));
    }

    static void touch(LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
        auto& host = *static_cast<UiHost*>(handle);
        host.touches_.push_back({port, grabbed, host.writes_.size()});
    }

    void* library_ = nullptr;
    const LV2UI_Descriptor* descriptor_ = nullptr;
    const LV2UI_Idle_Interface* idle_ = nullptr;
    LV2UI_Handle handle_ = nullptr;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{&uris_, mapUri};
    std::vector<std::pair<std::uint32_t, float>> writes_;
    std::vector<Touch> touches_;
    LV2UI_Touch touch_{this, touch};
};

class Lv2UiTest : public ::testing::Test {
  protected:
    displaytest::TestDisplay display_;
    UiHost host_;
    const std::function<void()> pump_ = [this] { host_.idle(); };

    Capture settled(unsigned long window) {
        displaytest::pumpFor(pump_, std::chrono::milliseconds(150));
        return display_.capture(window);
    }
};

TEST_F(Lv2UiTest, ShowsPortEventsAndWritesADragAsPortValues) {
    EXPECT_EQ(host_.open(0), 0u) << "no ui:parent: no window";
    const unsigned long window = host_.open(display_.parent());
    ASSERT_NE(window, 0u);
    const Capture opened = settled(window);
    ASSERT_GT(opened.width, 0);
    EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";

    host_.send(kMasterDrivePort, 30.0f);
    const Capture driven = settled(window);
    EXPECT_NE(driven, opened) << "a control's port event is shown";
    host_.send(lv2::kFirstMeterPort + 2, -12.0f);
    EXPECT_NE(settled(window), driven) << "a meter's port event is shown";

    const auto point = displaytest::pointOnControl(kMasterDriveId);
    ASSERT_TRUE(point) << "no place on the editor takes a drag of Master Drive";
    // Up and to the right: a control rises whichever way it reads.
    display_.drag(point->first, point->second, point->first + 60, point->second - 60, pump_);
    displaytest::pumpUntil(pump_, [&] { return !host_.writes().empty(); });
    ASSERT_FALSE(host_.writes().empty());
    for (const auto& [port, value] : host_.writes()) {
        EXPECT_EQ(port, kMasterDrivePort);
        EXPECT_TRUE(value >= -20.0f && value <= 60.0f) << value;
    }
    EXPECT_GT(host_.writes().back().second, 30.0f) << "dragged, the drive rises";
    ASSERT_EQ(host_.touches().size(), 2u) << "the drag is one grab and one release";
    EXPECT_EQ(host_.touches()[0].port, kMasterDrivePort);
    EXPECT_TRUE(host_.touches()[0].grabbed);
    EXPECT_EQ(host_.touches()[0].writesBefore, 0u);
    EXPECT_EQ(host_.touches()[1].port, kMasterDrivePort);
    EXPECT_FALSE(host_.touches()[1].grabbed);
    EXPECT_EQ(host_.touches()[1].writesBefore, host_.writes().size()) << "the writes come between";
    host_.close();
    EXPECT_EQ(display_.errors(), 0);
}

// The window's keys: a clicked control takes the arrow keys, and typed digits
// with Return set it to the number typed.
TEST_F(Lv2UiTest, KeysAndTypedTextReachTheClickedControl) {
    ASSERT_NE(host_.open(display_.parent()), 0u);
    displaytest::pumpFor(pump_, std::chrono::milliseconds(150));
    const auto point = displaytest::pointOnControl(kMasterDriveId);
    ASSERT_TRUE(point);
    display_.drag(point->first, point->second, point->first, point->second, pump_);
    ASSERT_TRUE(host_.writes().empty()) << "a click alone changes nothing";

    display_.typeKey(XK_Right, pump_);
    ASSERT_FALSE(host_.writes().empty());
    EXPECT_EQ(host_.writes().back().first, kMasterDrivePort);
    EXPECT_GT(host_.writes().back().second, 0.0f) << "Right raises the drive from its default";

    for (const int key : {XK_1, XK_2, XK_Return}) display_.typeKey(static_cast<unsigned long>(key), pump_);
    EXPECT_EQ(host_.writes().back(), std::make_pair(kMasterDrivePort, 12.0f));
    host_.close();
    EXPECT_EQ(display_.errors(), 0);
}

TEST_F(Lv2UiTest, OpensAndClosesTwentyTimesLeavingNothingBehind) {
    // The first opening loads what stays loaded (libX11's own connections).
    host_.open(display_.parent());
    host_.close();
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 20; ++i) {
        const unsigned long window = host_.open(display_.parent());
        ASSERT_NE(window, 0u) << "opening " << i;
        EXPECT_GT(settled(window).distinctColours(), 8u) << "opening " << i;
        host_.close();
    }
    EXPECT_EQ(openDescriptors(), descriptors) << "every X connection is closed";
    EXPECT_EQ(display_.errors(), 0);
}

}  // namespace
