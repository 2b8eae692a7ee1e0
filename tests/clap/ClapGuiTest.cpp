// The gui as a Linux host opens it: created for X11, scaled, sized, parented
// to an X window, shown, driven by the host's timers and descriptor
// callbacks, destroyed. Runs on a virtual display; audio is processed on
// another thread meanwhile.
#include <dirent.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "ClapTestHost.h"
#include "TestDisplay.h"
#include "engine/ControlTable.h"

namespace {

using namespace clap;
using claphost::ReportedEdit;
using claptest::OpenGui;
using displaytest::Capture;

constexpr clap_id kMasterDrive = 1;

double shown(clap_id id, double position) {
    return engine::ControlTable::instance().find(id)->shownAt(position);
}

std::size_t openDescriptors() {
    std::size_t count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder) != nullptr) ++count;
        closedir(folder);
    }
    return count;
}

clap_window x11Window(unsigned long window) {
    clap_window parent{};
    parent.api = kWindowApiX11;
    parent.x11 = window;
    return parent;
}

class ClapGuiTest : public ::testing::Test {
  protected:
    displaytest::TestDisplay display_;

    std::function<void()> pump(const claptest::Instance& instance) {
        return [&instance] { claptest::pumpLoop(instance.plugin()); };
    }
    Capture settled(const claptest::Instance& instance) {
        displaytest::pumpFor(pump(instance), std::chrono::milliseconds(150));
        return display_.capture(display_.child());
    }
    // A drag on Master Drive, up and right; the edits the next call reports.
    // It waits first: two presses within 400 ms make a double click (the default).
    void dragMasterDrive(const claptest::Instance& instance) {
        displaytest::pumpFor(pump(instance), std::chrono::milliseconds(450));
        const auto point = displaytest::pointOnControl(kMasterDrive);
        ASSERT_TRUE(point) << "no place on the editor takes a drag of Master Drive";
        display_.drag(point->first, point->second, point->first + 60, point->second - 60,
                      pump(instance));
        displaytest::pumpFor(pump(instance), std::chrono::milliseconds(50));
    }
};

// Begin, rising values of Master Drive above `from`, end; the last value.
double checkGesture(const std::vector<ReportedEdit>& edits, double from) {
    EXPECT_GE(edits.size(), 3u);
    if (edits.size() < 3) return from;
    EXPECT_EQ(edits.front().type, kEventParamGestureBegin);
    EXPECT_EQ(edits.back().type, kEventParamGestureEnd);
    double last = from;
    for (std::size_t i = 0; i < edits.size(); ++i) {
        EXPECT_EQ(edits[i].id, kMasterDrive);
        if (i == 0 || i + 1 == edits.size()) continue;
        EXPECT_EQ(edits[i].type, kEventParamValue);
        EXPECT_GT(edits[i].value, last) << "dragged up and right, the drive rises";
        EXPECT_LE(edits[i].value, shown(kMasterDrive, 1.0));
        last = edits[i].value;
    }
    return last;
}

// The sound of an instance whose gui is opened, hidden, shown and destroyed
// while another thread processes equals the sound of one that never had a gui.
TEST_F(ClapGuiTest, LeavesTheSoundAlone) {
    const testhost::Stereo input(testhost::noise(7, 0.5, 12000), testhost::noise(8, 0.5, 12000));
    claptest::Instance instance;
    instance.queue(kMasterDrive, shown(kMasterDrive, 0.6));
    std::vector<testhost::Stereo> outputs;
    std::atomic<bool> guiClosed{false};
    std::thread audio([&] {
        do outputs.push_back(instance.render(input, 512));
        while (!guiClosed);
    });
    {
        OpenGui gui(instance.plugin(), x11Window(display_.parent()));
        EXPECT_EQ(claptest::registrations(), 2u) << "the X connection's descriptor and a timer";
        const auto [width, height] = gui.size();
        const Capture opened = settled(instance);
        EXPECT_EQ(opened.width, static_cast<int>(width));
        EXPECT_EQ(opened.height, static_cast<int>(height));
        EXPECT_GT(opened.distinctColours(), 8u) << "the window shows more than a background";
        ASSERT_TRUE(gui->hide(&instance.plugin()));
        EXPECT_EQ(settled(instance).width, 0) << "hidden, the window is unmapped";
        ASSERT_TRUE(gui->show(&instance.plugin()));
        EXPECT_GT(settled(instance).distinctColours(), 8u);
    }
    guiClosed = true;
    audio.join();
    claptest::Instance plain;
    plain.queue(kMasterDrive, shown(kMasterDrive, 0.6));
    for (std::size_t i = 0; i < outputs.size(); ++i)
        ASSERT_TRUE(plain.render(input, 512) == outputs[i])
            << "the sound with the gui is the sound without, block " << i;
    EXPECT_EQ(claptest::registrations(), 0u) << "nothing left in the host's loop";
    EXPECT_EQ(display_.errors(), 0);
}

// The host's values are shown; a drag reaches the host as a gesture from the
// next process call, or, inactive, from the flush the plug-in asks for.
TEST_F(ClapGuiTest, ShowsHostChangesAndReportsGestures) {
    claptest::Instance instance;
    OpenGui gui(instance.plugin(), x11Window(display_.parent()));
    const Capture opened = settled(instance);
    instance.queue(kMasterDrive, shown(kMasterDrive, 0.1));
    instance.process(nullptr, nullptr, 0);
    EXPECT_NE(settled(instance), opened) << "a host's change is shown";

    instance.output().clearEdits();
    dragMasterDrive(instance);
    EXPECT_TRUE(instance.output().edits().empty()) << "reported only from a process call";
    const int flushesAsked = claptest::flushRequests();
    instance.process(nullptr, nullptr, 0);
    const double last = checkGesture(instance.output().edits(), shown(kMasterDrive, 0.1));
    EXPECT_EQ(claptest::flushRequests(), flushesAsked) << "active: no flush asked for";
    EXPECT_NEAR(instance.value(kMasterDrive), last, 1e-4) << "the plug-in holds the dragged value";

    instance.deactivate();
    instance.output().clearEdits();
    dragMasterDrive(instance);
    EXPECT_GT(claptest::flushRequests(), flushesAsked) << "inactive: a flush asked for";
    instance.flush();
    checkGesture(instance.output().edits(), last);
    instance.activate(testhost::kSampleRate);
    EXPECT_EQ(display_.errors(), 0);
}

TEST_F(ClapGuiTest, OpensAndClosesTenTimesLeavingNothingBehind) {
    claptest::Instance instance;
    { OpenGui first(instance.plugin(), x11Window(display_.parent())); }
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 10; ++i) {
        OpenGui gui(instance.plugin(), x11Window(display_.parent()), i % 2 == 0 ? 1.0 : 1.5);
        EXPECT_EQ(gui.size().first, static_cast<std::uint32_t>(settled(instance).width))
            << "opening " << i;
        EXPECT_GT(settled(instance).distinctColours(), 8u) << "opening " << i;
    }
    EXPECT_EQ(claptest::registrations(), 0u);
    EXPECT_EQ(openDescriptors(), descriptors) << "every X connection is closed";
    EXPECT_EQ(display_.errors(), 0);
}

}  // namespace
