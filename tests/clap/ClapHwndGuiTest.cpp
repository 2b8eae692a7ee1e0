// The gui as a Windows host opens it: embedded in the host's HWND, driven by
// the window's own timer while the host pumps its messages.
#include <windows.h>

#include <gtest/gtest.h>

#include "ClapTestHost.h"
#include "HostWindow.h"
#include "engine/ControlTable.h"

namespace {

using namespace clap;
using displaytest::Capture;
using displaytest::HostWindow;

constexpr clap_id kMasterDrive = 1;

double shown(clap_id id, double position) {
    return engine::ControlTable::instance().find(id)->shownAt(position);
}

clap_window win32Window(HWND window) {
    clap_window parent{};
    parent.api = kWindowApiWin32;
    parent.win32 = window;
    return parent;
}

TEST(ClapHwndGui, ShowsHostChangesAndReportsADragAsOneGesture) {
    HostWindow host;
    claptest::Instance instance;
    claptest::OpenGui gui(instance.plugin(), win32Window(host.handle()));
    const Capture opened = host.settled();
    EXPECT_EQ(opened.width, static_cast<int>(gui.size().first));
    EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";
    instance.queue(kMasterDrive, shown(kMasterDrive, 0.1));
    instance.process(nullptr, nullptr, 0);
    EXPECT_NE(host.settled(), opened) << "a host's change is shown";

    const auto point = displaytest::pointOnControl(kMasterDrive);
    ASSERT_TRUE(point);
    instance.output().clearEdits();
    host.drag(point->first, point->second);
    instance.process(nullptr, nullptr, 0);
    const auto& edits = instance.output().edits();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().type, kEventParamGestureBegin);
    EXPECT_EQ(edits.back().type, kEventParamGestureEnd);
    for (std::size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(edits[i].id, kMasterDrive);
        if (i == 0 || i + 1 == edits.size()) continue;
        EXPECT_EQ(edits[i].type, kEventParamValue);
        EXPECT_GT(edits[i].value, shown(kMasterDrive, 0.1));
    }
}

TEST(ClapHwndGui, OpensAndClosesTenTimes) {
    HostWindow host;
    claptest::Instance instance;
    for (int i = 0; i < 10; ++i) {
        claptest::OpenGui gui(instance.plugin(), win32Window(host.handle()), i % 2 == 0 ? 1.0 : 1.5);
        EXPECT_GT(host.settled().distinctColours(), 8u) << "opening " << i;
    }
    EXPECT_EQ(host.child(), nullptr) << "every window is gone";
}

}  // namespace
